#pragma once
// Pictures of the program's windows: each shot makes a window, the program shows it on the
// display (Xvfb in scripts/screenshots.sh) and saves it as build/screenshots/<name>.png.
#include <QPixmap>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

namespace Screenshots {

struct Shot {
    std::string name;
    // Makes and fills the window; the harness shows it and deletes it after the picture.
    std::function<QWidget*()> make;
    // Optional: runs once the window is shown (open a menu, start a timer), before the picture.
    std::function<void(QWidget*)> prepare{};
    // Optional: disposes of the window after the picture (default: delete it).
    std::function<void(QWidget*)> dispose{};
};

std::vector<Shot>& Registry();

struct Register {
    explicit Register(Shot shot) { Registry().push_back(std::move(shot)); }
};

} // namespace Screenshots
