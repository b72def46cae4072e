// Identity and dispatch table of LED.
#include "ui_controls/LED.h"

#include "platform/ComControl.h"

using namespace Platform::Com;

namespace obControls {

namespace {

// A refused value raises the LED's error.
HResult PutValue(LED& led, Call& call) {
    if (!call.Put()) return Result<&LED::Value>(led, call);
    auto value = ToInteger(call.args[0]);
    if (!value) return DISP_E_TYPEMISMATCH;
    ExceptionInfo error;
    if (led.SetValue(*value, &error)) return S_OK;
    return call.Raise(error.number, error.description.c_str());
}

constexpr Member<LED> kMembers[] = {
    {0x68030006, "Value", kGetPut, 0, PutValue},
    {0x68030005, "ValueIsMask", kGetPut, 0,
     Property<&LED::ValueIsMask, &LED::SetValueIsMask, ToBoolean>},
    {0x68030004, "ShowDecimal", kGetPut, 0,
     Property<&LED::ShowDecimal, &LED::SetShowDecimal, ToBoolean>},
    {0x68030003, "ShowBorder", kGetPut, 0,
     Property<&LED::ShowBorder, &LED::SetShowBorder, ToBoolean>},
    {0x68030002, "LEDColorOn", kGetPut, 0, Property<&LED::LEDColorOn, &LED::SetLEDColorOn, ToLong>},
    {0x68030001, "LEDColorOff", kGetPut, 0,
     Property<&LED::LEDColorOff, &LED::SetLEDColorOff, ToLong>},
    {0x68030000, "BackStyle", kGetPut, 0, Property<&LED::BackStyle, &LED::SetBackStyle, ToLong>},
};

const ControlClass kClass({"obControls.LED",
                           "{54680111-E53D-41F8-8EBA-1388C92554C0}",
                           "_LED",
                           "{B3370467-7C0F-4B3C-9A7F-BD14ABEDD9D9}",
                           "{DD1E1EB3-5B85-4562-8485-7F86F65E87BE}", // __LED, no events
                           {},
                           {}},
                          kMembers);

} // namespace

const ClassInfo& LED::Info() {
    return kClass.Info();
}

HResult LED::Invoke(int32_t dispid, uint8_t kind, std::vector<Variant>& args, Variant& result,
                    ExceptionInfo* exception) {
    return kClass.Invoke(*this, dispid, kind, args, result, exception);
}

} // namespace obControls
