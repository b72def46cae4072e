// Every dispatch identifier, name, kind and argument count of the window controls, as hosts and
// stored files know them.
#include "support/DispatchMembers.h"
#include "ui_controls/HWndGrab.h"
#include "ui_controls/LED.h"
#include "ui_controls/ax3DBorder.h"
#include "ui_controls/obStatus.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

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

    // Hosts find each class by its class id, its interfaces and the grabber's earlier
    // interface versions.
    const std::pair<const Platform::Com::ClassInfo*, std::vector<const char*>> identities[] = {
        {&obControls::HWndGrab::Info(),
         {"obControls.HWndGrab", "{93FC6378-AEC0-4C66-BB7D-6604E5ABAC32}",
          "{D4913F91-0785-496D-8ABD-D71FD2164199}", "{F752117E-088E-4BFB-B844-C8EE04615B01}",
          "{822E905B-8D59-4B90-8054-7D39CA57D906}", "{8B61C02F-A685-43C6-984B-522C5D144BDC}",
          "{547FE751-F08B-4D54-8FE5-DC423EC6F5F1}", "{92255C22-9E67-4B0F-A1F9-F313A6F0BB7A}",
          "{2E30863F-4A42-4714-B07A-EAE80900A269}", "{93C21C1D-B138-42E1-BBA7-241BC46DB1A1}",
          "{d859628b-e90d-4ab6-a39b-897da1238580}"}},
        {&obControls::LED::Info(),
         {"{54680111-E53D-41F8-8EBA-1388C92554C0}", "{B3370467-7C0F-4B3C-9A7F-BD14ABEDD9D9}",
          "{DD1E1EB3-5B85-4562-8485-7F86F65E87BE}"}},
        {&obControls::obStatus::Info(),
         {"{99203E9C-2FAB-4240-9065-E1E965BC73D9}", "{0CF258B4-B336-4F71-B2C4-3B58F3286EC1}",
          "{888DB773-B1F5-4B46-B05E-1C89C434AF4C}"}},
        {&obControls::ax3DBorder::Info(),
         {"{A44E4D74-43F6-4080-AA2B-1FF29648289B}", "{CF920418-1F7E-4B91-BA2D-ED2CF4C9CEE4}",
          "{058C51E1-C7BF-4E3A-8162-D5BB8AC23E63}"}},
    };
    for (const auto& [info, ids] : identities)
        for (const char* id : ids)
            EXPECT_EQ(Platform::Com::FindClass(id), info) << id;
    EXPECT_EQ(Platform::Com::FindClass(""), nullptr);
}
