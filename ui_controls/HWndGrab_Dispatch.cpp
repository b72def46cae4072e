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

const ControlClass kClass({"obControls.HWndGrab",
                           "{5B0E7A31-2C64-4D8E-9F13-6A7C0D21B4E8}",
                           "_HWndGrab",
                           "{5B0E7A32-2C64-4D8E-9F13-6A7C0D21B4E8}",
                           "{5B0E7A33-2C64-4D8E-9F13-6A7C0D21B4E8}", // __HWndGrab
                           {},
                           kEvents},
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
