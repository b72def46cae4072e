// Every dispatch identifier, name, kind and argument count of the window controls, as hosts and
// stored files know them.
#include "support/DispatchMembers.h"
#include "ui_controls/HWndGrab.h"
#include "ui_controls/LED.h"
#include "ui_controls/ax3DBorder.h"
#include "ui_controls/obStatus.h"

#include <gtest/gtest.h>

using namespace TestSupport;

namespace {

constexpr KnownMember kLED[] = {
    {"Value", 0x68030006, GP, 0},       {"ValueIsMask", 0x68030005, GP, 0},
    {"ShowDecimal", 0x68030004, GP, 0}, {"ShowBorder", 0x68030003, GP, 0},
    {"LEDColorOn", 0x68030002, GP, 0},  {"LEDColorOff", 0x68030001, GP, 0},
    {"BackStyle", 0x68030000, GP, 0},
};

constexpr KnownMember kHWndGrab[] = {
    {"hwnd", 0x68030005, G, 0},
    {"LimitWindowSize", 0x68030004, GP, 0},
    {"LimitCodeSizing", 0x68030014, GP, 0},
    {"MaxWidth", 0x68030002, GP, 0},
    {"MaxHeight", 0x68030000, GP, 0},
    {"MinWidth", 0x68030003, GP, 0},
    {"MinHeight", 0x68030001, GP, 0},
    {"MouseHoverTime", 0x68030013, GP, 0},
    {"ReturnAllMessages", 0x68030012, GP, 0},
    {"AddMenuItem", 0x6003000e, M, 5},
    {"AddPopup", 0x6003000f, M, 6},
    {"ClearMenuItem", 0x60030010, M, 1},
    {"FinaliseMenus", 0x60030011, M, 0},
};

constexpr KnownMember kobStatus[] = {
    {"Caption", 0x68030000, GP, 0},
};

constexpr KnownMember kax3DBorder[] = {
    {"BorderStyle", 0x68030003, GP, 0},
    {"BackColor", 0x68030002, GP, 0},
};

} // namespace

TEST(DispatchMembers, WindowControlsKeepTheirIdentifiers) {
    ExpectMembers(obControls::LED::Info(), kLED);
    ExpectMembers(obControls::HWndGrab::Info(), kHWndGrab);
    ExpectMembers(obControls::obStatus::Info(), kobStatus);
    ExpectMembers(obControls::ax3DBorder::Info(), kax3DBorder);
}
