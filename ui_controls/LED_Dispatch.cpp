// Identity, dispatch table and late-bound Invoke of LED.
#include "ui_controls/LED.h"

using namespace Platform::Com;

namespace obControls {

namespace {

enum LedDispid : int32_t {
    idValue = 0x68030006,
    idValueIsMask = 0x68030005,
    idShowDecimal = 0x68030004,
    idShowBorder = 0x68030003,
    idLEDColorOn = 0x68030002,
    idLEDColorOff = 0x68030001,
    idBackStyle = 0x68030000,
};

constexpr uint8_t GP = DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT;

constexpr DispatchMember kMembers[] = {
    {idValue, "Value", GP, 0},
    {idValueIsMask, "ValueIsMask", GP, 0},
    {idShowDecimal, "ShowDecimal", GP, 0},
    {idShowBorder, "ShowBorder", GP, 0},
    {idLEDColorOn, "LEDColorOn", GP, 0},
    {idLEDColorOff, "LEDColorOff", GP, 0},
    {idBackStyle, "BackStyle", GP, 0},
};

const ClassInfo kInfo = {
    "obControls.LED",
    "{5B0E7A41-2C64-4D8E-9F13-6A7C0D21B4E8}",
    "_LED",
    "{5B0E7A42-2C64-4D8E-9F13-6A7C0D21B4E8}",
    "{5B0E7A43-2C64-4D8E-9F13-6A7C0D21B4E8}", // __LED, no events
    kMembers,
    {},
};

const bool kRegistered = [] {
    RegisterControl<LED>(kInfo);
    return true;
}();

} // namespace

const ClassInfo& LED::Info() {
    (void)kRegistered;
    return kInfo;
}

HResult LED::Invoke(int32_t dispid, uint8_t kind, std::vector<Variant>& args, Variant& result,
                    ExceptionInfo* exception) {
    HResult check = CheckCall(kInfo, dispid, kind, args.size());
    if (check != S_OK) return check;
    const bool put = kind == DISPATCH_PROPERTYPUT;
    auto property = [&](auto get, auto set, auto convert) {
        return AccessProperty(*this, put, args, result, get, set, convert);
    };
    result = std::monostate{};
    switch (dispid) {
    case idValue: {
        if (!put) {
            result = Value();
            return S_OK;
        }
        auto value = ToInteger(args[0]);
        if (!value) return DISP_E_TYPEMISMATCH;
        ExceptionInfo error;
        if (SetValue(*value, &error)) return S_OK;
        if (exception) *exception = error;
        return DISP_E_EXCEPTION;
    }
    case idValueIsMask:
        return property(&LED::ValueIsMask, &LED::SetValueIsMask, ToBoolean);
    case idShowDecimal:
        return property(&LED::ShowDecimal, &LED::SetShowDecimal, ToBoolean);
    case idShowBorder:
        return property(&LED::ShowBorder, &LED::SetShowBorder, ToBoolean);
    case idLEDColorOn:
        return property(&LED::LEDColorOn, &LED::SetLEDColorOn, ToLong);
    case idLEDColorOff:
        return property(&LED::LEDColorOff, &LED::SetLEDColorOff, ToLong);
    case idBackStyle:
        return property(&LED::BackStyle, &LED::SetBackStyle, ToLong);
    }
    return DISP_E_MEMBERNOTFOUND;
}

} // namespace obControls
