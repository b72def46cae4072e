// Identity, dispatch table and late-bound Invoke of HWndGrab. Late-bound callers pass menus
// and items by their handles (MenuItems::ObjectHandle) and icons as image file names.
#include "ui_controls/HWndGrab.h"

#include "ui_controls/MenuItems.h"

#include <QMenu>

using namespace Platform::Com;

namespace obControls {

namespace {

enum GrabDispid : int32_t {
    idhwnd = 0x68030005,
    idLimitWindowSize = 0x68030004,
    idLimitCodeSizing = 0x68030014,
    idMaxWidth = 0x68030002,
    idMaxHeight = 0x68030000,
    idMinWidth = 0x68030003,
    idMinHeight = 0x68030001,
    idMouseHoverTime = 0x68030013,
    idReturnAllMessages = 0x68030012,
    idAddMenuItem = 0x6003000e,
    idAddPopup = 0x6003000f,
    idClearMenuItem = 0x60030010,
    idFinaliseMenus = 0x60030011,
};

constexpr uint8_t M = DISPATCH_METHOD, G = DISPATCH_PROPERTYGET,
                  GP = DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT;

constexpr DispatchMember kMembers[] = {
    {idhwnd, "hwnd", G, 0},
    {idLimitWindowSize, "LimitWindowSize", GP, 0},
    {idLimitCodeSizing, "LimitCodeSizing", GP, 0},
    {idMaxWidth, "MaxWidth", GP, 0},
    {idMaxHeight, "MaxHeight", GP, 0},
    {idMinWidth, "MinWidth", GP, 0},
    {idMinHeight, "MinHeight", GP, 0},
    {idMouseHoverTime, "MouseHoverTime", GP, 0},
    {idReturnAllMessages, "ReturnAllMessages", GP, 0},
    {idAddMenuItem, "AddMenuItem", M, 5},
    {idAddPopup, "AddPopup", M, 6},
    {idClearMenuItem, "ClearMenuItem", M, 1},
    {idFinaliseMenus, "FinaliseMenus", M, 0},
};

constexpr EventMember kEvents[] = {
    {1, "CopyDataReceived", 2},           {2, "Move", 4},
    {3, "WindowProcMessage", 4},          {4, "WindowsNonClientMouseMove", 4},
    {5, "WindowsClientMouseMove", 4},     {6, "WindowsNonClientMouseLeave", 0},
    {7, "WindowsClientMouseLeave", 0},    {8, "WindowsClientMouseHover", 4},
    {9, "WindowsNonClientMouseHover", 4}, {10, "WindowsMouseWheel", 5},
    {11, "CopyDataReceivedEx", 3},
};

const ClassInfo kInfo = {
    "obControls.HWndGrab",
    "{5B0E7A31-2C64-4D8E-9F13-6A7C0D21B4E8}",
    "_HWndGrab",
    "{5B0E7A32-2C64-4D8E-9F13-6A7C0D21B4E8}",
    "{5B0E7A33-2C64-4D8E-9F13-6A7C0D21B4E8}", // __HWndGrab
    kMembers,
    kEvents,
};

const bool kRegistered = [] {
    RegisterControl<HWndGrab>(kInfo);
    return true;
}();

std::optional<QImage> ImageArgument(const Variant& value) {
    auto name = ToText(value);
    if (!name) return std::nullopt;
    return name->empty() ? QImage() : QImage(QString::fromStdString(*name));
}

} // namespace

const ClassInfo& HWndGrab::Info() {
    (void)kRegistered;
    return kInfo;
}

HResult HWndGrab::Invoke(int32_t dispid, uint8_t kind, std::vector<Variant>& args, Variant& result,
                         ExceptionInfo*) {
    HResult check = CheckCall(kInfo, dispid, kind, args.size());
    if (check != S_OK) return check;
    const bool put = kind == DISPATCH_PROPERTYPUT;
    auto property = [&](auto get, auto set, auto convert) {
        return AccessProperty(*this, put, args, result, get, set, convert);
    };
    result = std::monostate{};
    switch (dispid) {
    case idhwnd:
        result = hwnd();
        return S_OK;
    case idLimitWindowSize:
        return property(&HWndGrab::LimitWindowSize, &HWndGrab::SetLimitWindowSize, ToBoolean);
    case idLimitCodeSizing:
        return property(&HWndGrab::LimitCodeSizing, &HWndGrab::SetLimitCodeSizing, ToBoolean);
    case idMaxWidth:
        return property(&HWndGrab::MaxWidth, &HWndGrab::SetMaxWidth, ToLong);
    case idMaxHeight:
        return property(&HWndGrab::MaxHeight, &HWndGrab::SetMaxHeight, ToLong);
    case idMinWidth:
        return property(&HWndGrab::MinWidth, &HWndGrab::SetMinWidth, ToLong);
    case idMinHeight:
        return property(&HWndGrab::MinHeight, &HWndGrab::SetMinHeight, ToLong);
    case idMouseHoverTime:
        return property(&HWndGrab::MouseHoverTime, &HWndGrab::SetMouseHoverTime, ToLong);
    case idReturnAllMessages:
        return property(&HWndGrab::ReturnAllMessages, &HWndGrab::SetReturnAllMessages, ToBoolean);
    case idAddMenuItem: {
        auto subMenu = ToLong(args[0]), menuNum = ToLong(args[1]);
        auto caption = ToText(args[2]);
        auto icon = ImageArgument(args[3]);
        if (!subMenu || !menuNum || !caption || !icon) return DISP_E_TYPEMISMATCH;
        AddMenuItem(*subMenu, *menuNum, *caption, *icon);
        return S_OK;
    }
    case idAddPopup: {
        auto menu = ToLong(args[0]), subMenu = ToLong(args[1]), item = ToLong(args[2]);
        auto caption = ToText(args[3]);
        auto icon = ImageArgument(args[4]);
        if (!menu || !subMenu || !item || !caption || !icon) return DISP_E_TYPEMISMATCH;
        result = AddPopup(MenuItems::HandleObject(*menu),
                          qobject_cast<QMenu*>(MenuItems::HandleObject(*subMenu)),
                          qobject_cast<QAction*>(MenuItems::HandleObject(*item)), *caption, *icon);
        return S_OK;
    }
    case idClearMenuItem: {
        auto entry = ToLong(args[0]);
        if (!entry) return DISP_E_TYPEMISMATCH;
        int32_t e = *entry;
        ClearMenuItem(e);
        args[0] = e;
        return S_OK;
    }
    case idFinaliseMenus:
        FinaliseMenus();
        return S_OK;
    }
    return DISP_E_MEMBERNOTFOUND;
}

} // namespace obControls
