// Identity and dispatch table of HWndGrab. Late-bound callers pass menus
// and items by their handles (MenuItems::ObjectHandle) and icons as image file names.
#include "ui_controls/HWndGrab.h"

#include "platform/ComControl.h"
#include "ui_controls/MenuItems.h"

#include <QMenu>

using namespace Platform::Com;

namespace obControls {

namespace {

std::optional<QImage> ImageArgument(const Variant& value) {
    auto name = ToText(value);
    if (!name) return std::nullopt;
    return name->empty() ? QImage() : QImage(QString::fromStdString(*name));
}

HResult AddMenuItem(HWndGrab& grab, Call& call) {
    auto subMenu = ToLong(call.args[0]), menuNum = ToLong(call.args[1]);
    auto caption = ToText(call.args[2]);
    auto icon = ImageArgument(call.args[3]);
    if (!subMenu || !menuNum || !caption || !icon) return DISP_E_TYPEMISMATCH;
    grab.AddMenuItem(*subMenu, *menuNum, *caption, *icon);
    return S_OK;
}

HResult AddPopup(HWndGrab& grab, Call& call) {
    auto menu = ToLong(call.args[0]), subMenu = ToLong(call.args[1]), item = ToLong(call.args[2]);
    auto caption = ToText(call.args[3]);
    auto icon = ImageArgument(call.args[4]);
    if (!menu || !subMenu || !item || !caption || !icon) return DISP_E_TYPEMISMATCH;
    call.result = grab.AddPopup(
        MenuItems::HandleObject(*menu), qobject_cast<QMenu*>(MenuItems::HandleObject(*subMenu)),
        qobject_cast<QAction*>(MenuItems::HandleObject(*item)), *caption, *icon);
    return S_OK;
}

HResult ClearMenuItem(HWndGrab& grab, Call& call) {
    auto entry = ToLong(call.args[0]);
    if (!entry) return DISP_E_TYPEMISMATCH;
    int32_t e = *entry;
    grab.ClearMenuItem(e);
    call.args[0] = e;
    return S_OK;
}

using G = HWndGrab;
constexpr Member<HWndGrab> kMembers[] = {
    {0x68030005, "hwnd", kGet, 0, Result<&G::hwnd>},
    {0x68030004, "LimitWindowSize", kGetPut, 0,
     Property<&G::LimitWindowSize, &G::SetLimitWindowSize, ToBoolean>},
    {0x68030014, "LimitCodeSizing", kGetPut, 0,
     Property<&G::LimitCodeSizing, &G::SetLimitCodeSizing, ToBoolean>},
    {0x68030002, "MaxWidth", kGetPut, 0, Property<&G::MaxWidth, &G::SetMaxWidth, ToLong>},
    {0x68030000, "MaxHeight", kGetPut, 0, Property<&G::MaxHeight, &G::SetMaxHeight, ToLong>},
    {0x68030003, "MinWidth", kGetPut, 0, Property<&G::MinWidth, &G::SetMinWidth, ToLong>},
    {0x68030001, "MinHeight", kGetPut, 0, Property<&G::MinHeight, &G::SetMinHeight, ToLong>},
    {0x68030013, "MouseHoverTime", kGetPut, 0,
     Property<&G::MouseHoverTime, &G::SetMouseHoverTime, ToLong>},
    {0x68030012, "ReturnAllMessages", kGetPut, 0,
     Property<&G::ReturnAllMessages, &G::SetReturnAllMessages, ToBoolean>},
    {0x6003000e, "AddMenuItem", kMethod, 5, AddMenuItem},
    {0x6003000f, "AddPopup", kMethod, 6, AddPopup},
    {0x60030010, "ClearMenuItem", kMethod, 1, ClearMenuItem},
    {0x60030011, "FinaliseMenus", kMethod, 0, Result<&G::FinaliseMenus>},
};

constexpr EventMember kEvents[] = {
    {1, "CopyDataReceived", 2},           {2, "Move", 4},
    {3, "WindowProcMessage", 4},          {4, "WindowsNonClientMouseMove", 4},
    {5, "WindowsClientMouseMove", 4},     {6, "WindowsNonClientMouseLeave", 0},
    {7, "WindowsClientMouseLeave", 0},    {8, "WindowsClientMouseHover", 4},
    {9, "WindowsNonClientMouseHover", 4}, {10, "WindowsMouseWheel", 5},
    {11, "CopyDataReceivedEx", 3},
};

// The class interface's earlier versions, HWndGrab___v0 to HWndGrab___v6.
constexpr const char* kInterfaceVersions[] = {
    "{822E905B-8D59-4B90-8054-7D39CA57D906}", "{8B61C02F-A685-43C6-984B-522C5D144BDC}",
    "{547FE751-F08B-4D54-8FE5-DC423EC6F5F1}", "{92255C22-9E67-4B0F-A1F9-F313A6F0BB7A}",
    "{2E30863F-4A42-4714-B07A-EAE80900A269}", "{93C21C1D-B138-42E1-BBA7-241BC46DB1A1}",
    "{D859628B-E90D-4AB6-A39B-897DA1238580}",
};

const ControlClass kClass({"obControls.HWndGrab",
                           "{93FC6378-AEC0-4C66-BB7D-6604E5ABAC32}",
                           "_HWndGrab",
                           "{D4913F91-0785-496D-8ABD-D71FD2164199}",
                           "{F752117E-088E-4BFB-B844-C8EE04615B01}", // __HWndGrab
                           {},
                           kEvents,
                           kInterfaceVersions},
                          kMembers);

} // namespace

const ClassInfo& HWndGrab::Info() {
    return kClass.Info();
}

HResult HWndGrab::Invoke(int32_t dispid, uint8_t kind, std::vector<Variant>& args, Variant& result,
                         ExceptionInfo* exception) {
    return kClass.Invoke(*this, dispid, kind, args, result, exception);
}

} // namespace obControls
