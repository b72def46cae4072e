#pragma once
// The screen's mouse pointer and the folder chooser, with a hook so tests never block.
#include <functional>
#include <string>

namespace Platform {

// Twips of one pixel (15 at 96 dots per inch): form layouts are given in twips.
constexpr int kTwipsPerPixel = 15;

enum MousePointerShape : int { vbDefault = 0, vbArrow = 1, vbHourglass = 11 };

// The pointer shown over the program's windows (vbDefault when none is forced).
int ScreenMousePointer();
void SetScreenMousePointer(int shape);

// Answers the folder chooser instead of showing it (title, start folder -> chosen folder).
using FolderChooserHook = std::function<std::string(const std::string&, const std::string&)>;
void SetFolderChooserHook(FolderChooserHook hook);
// A folder chosen by the user, "" when cancelled. Headless runs answer "" without a dialog.
std::string ChooseFolder(const std::string& title, const std::string& startFolder);

} // namespace Platform
