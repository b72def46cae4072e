#pragma once
// The pictures of the player window's transport button, kept in the main window's image list
// under "enPlay" and "enPause".
#include <QIcon>
#include <string>

namespace CartPlayers {

// A triangle for play, two bars for pause.
QIcon TransportIcon(bool pause);
// The picture of an image-list key; an empty icon for any other key.
QIcon PlayerImage(const std::string& key);

} // namespace CartPlayers
