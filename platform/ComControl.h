#pragma once
// A control's dispatchable members, each written once: identifier, name, kinds, argument count
// and the call that serves it. ControlClass turns such a table into the class's identity,
// registers the class and serves Invoke from it.
#include "platform/Com.h"

#include <array>
#include <cstddef>
#include <string>
#include <type_traits>
#include <utility>

namespace Platform::Com {

constexpr uint8_t kMethod = DISPATCH_METHOD, kGet = DISPATCH_PROPERTYGET,
                  kGetPut = DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT;

// One late-bound call, already checked against the member's kinds and argument count.
struct Call {
    uint8_t kind;
    std::vector<Variant>& args;
    Variant& result;
    ExceptionInfo* exception;

    bool Put() const { return kind == DISPATCH_PROPERTYPUT; }
    // Fails the call with a run-time error.
    HResult Raise(int32_t number, const char* description) const {
        if (exception) *exception = {number, description};
        return DISP_E_EXCEPTION;
    }
};

template <class Control> struct Member {
    int32_t dispid;
    const char* name;
    uint8_t kinds;         // InvokeKind bits
    uint8_t argumentCount; // for a put: the value counts as one argument
    HResult (*call)(Control&, Call&);
};

namespace Detail {
template <class T> Variant AsVariant(T&& value) {
    if constexpr (std::is_enum_v<std::decay_t<T>>)
        return static_cast<int32_t>(value);
    else
        return Variant(std::forward<T>(value));
}
template <class M> struct ClassOf;
template <class C, class R, class... A> struct ClassOf<R (C::*)(A...)> { using type = C; };
template <class C, class R, class... A> struct ClassOf<R (C::*)(A...) const> { using type = C; };
template <auto F> using ControlOf = typename ClassOf<decltype(F)>::type;
template <class Set> struct SetterTakesReference : std::false_type {};
template <class C, class V> struct SetterTakesReference<void (C::*)(V&)> : std::true_type {};
} // namespace Detail

// A getter (a property's or a method's without arguments): its value, an enum as Long, goes
// into the result; a method returning nothing leaves the result empty.
template <auto Get> HResult Result(Detail::ControlOf<Get>& control, Call& call) {
    if constexpr (std::is_void_v<decltype((control.*Get)())>)
        (control.*Get)();
    else
        call.result = Detail::AsVariant((control.*Get)());
    return S_OK;
}

// A property: gets into the result, or converts args[0] and puts it. A setter that takes its
// value by reference gives its change back in args[0].
template <auto Get, auto Set, auto Convert>
HResult Property(Detail::ControlOf<Get>& control, Call& call) {
    if (!call.Put()) return Result<Get>(control, call);
    auto value = Convert(call.args[0]);
    if (!value) return DISP_E_TYPEMISMATCH;
    auto v = *value;
    (control.*Set)(v);
    if constexpr (Detail::SetterTakesReference<decltype(Set)>::value) call.args[0] = v;
    return S_OK;
}

// A window procedure called late-bound: window and message as Long, wParam and lParam as
// addresses; its answer is a Long.
template <auto Procedure>
HResult WindowProcedure(Detail::ControlOf<Procedure>& control, Call& call) {
    std::vector<Variant>& args = call.args;
    std::optional<int32_t> window = ToLong(args[0]), message = ToLong(args[1]);
    std::optional<intptr_t> wParam = ToAddress(args[2]), lParam = ToAddress(args[3]);
    if (!window || !message || !wParam || !lParam) return DISP_E_TYPEMISMATCH;
    call.result = static_cast<int32_t>(
        (control.*Procedure)(*window, static_cast<uint32_t>(*message), *wParam, *lParam));
    return S_OK;
}

// Registers a control class whose instances start with their properties initialised.
template <class Control> void RegisterControl(const ClassInfo& info) {
    RegisterClass(info, [] {
        auto control = std::make_unique<Control>();
        control->InitProperties();
        return std::unique_ptr<Dispatchable>(std::move(control));
    });
}

// The identity, member table and registration of one control class. Lives as long as the
// program (a namespace-scope object), since the registry keeps its address.
template <class Control, size_t N> class ControlClass {
public:
    ControlClass(ClassInfo identity, const Member<Control> (&members)[N]) : members_(members) {
        for (size_t i = 0; i < N; ++i)
            entries_[i] = {members[i].dispid, members[i].name, members[i].kinds,
                           members[i].argumentCount};
        info_ = identity;
        info_.members = entries_;
        RegisterControl<Control>(info_);
    }
    ControlClass(const ControlClass&) = delete;
    ControlClass& operator=(const ControlClass&) = delete;

    const ClassInfo& Info() const { return info_; }

    HResult Invoke(Control& control, int32_t dispid, uint8_t kind, std::vector<Variant>& args,
                   Variant& result, ExceptionInfo* exception) const {
        HResult check = CheckCall(info_, dispid, kind, args.size());
        if (check != S_OK) return check;
        result = std::monostate{};
        Call call{kind, args, result, exception};
        for (const Member<Control>& member : members_)
            if (member.dispid == dispid) return member.call(control, call);
        return DISP_E_MEMBERNOTFOUND;
    }

private:
    const Member<Control> (&members_)[N];
    std::array<DispatchMember, N> entries_{};
    ClassInfo info_{};
};

} // namespace Platform::Com
