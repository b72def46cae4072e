#include "platform/Com.h"
#include "platform/VB.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <mutex>
#include <strings.h>

namespace Platform::Com {
namespace {

std::optional<double> NumberOf(const Variant& value) {
    if (std::holds_alternative<std::monostate>(value)) return 0.0;
    if (auto* b = std::get_if<bool>(&value)) return *b ? -1.0 : 0.0;
    if (auto* i = std::get_if<int16_t>(&value)) return *i;
    if (auto* l = std::get_if<int32_t>(&value)) return *l;
    if (auto* f = std::get_if<float>(&value)) return *f;
    if (auto* d = std::get_if<double>(&value)) return *d;
    if (auto* s = std::get_if<std::string>(&value)) {
        try {
            size_t used = 0;
            double d = std::stod(*s, &used);
            while (used < s->size() && std::isspace(static_cast<unsigned char>((*s)[used])))
                ++used;
            if (used == s->size()) return d;
        } catch (...) {
        }
        return std::nullopt;
    }
    return std::nullopt;
}

template <typename T> std::optional<T> WholeNumber(const Variant& value) {
    if (auto* a = std::get_if<Address>(&value)) {
        if (a->value < std::numeric_limits<T>::min() || a->value > std::numeric_limits<T>::max())
            return std::nullopt;
        return static_cast<T>(a->value);
    }
    std::optional<double> number = NumberOf(value);
    if (!number || !std::isfinite(*number)) return std::nullopt;
    double rounded = VB::RoundHalfEven(*number);
    if (rounded < std::numeric_limits<T>::min() || rounded > std::numeric_limits<T>::max())
        return std::nullopt;
    return static_cast<T>(rounded);
}

} // namespace

bool IsEmpty(const Variant& value) {
    return std::holds_alternative<std::monostate>(value);
}

std::optional<int32_t> ToLong(const Variant& value) {
    return WholeNumber<int32_t>(value);
}
std::optional<int16_t> ToInteger(const Variant& value) {
    return WholeNumber<int16_t>(value);
}

std::optional<float> ToSingle(const Variant& value) {
    std::optional<double> number = NumberOf(value);
    if (!number) return std::nullopt;
    if (std::fabs(*number) > std::numeric_limits<float>::max()) return std::nullopt;
    return static_cast<float>(*number);
}

std::optional<double> ToDouble(const Variant& value) {
    return NumberOf(value);
}

std::optional<bool> ToBoolean(const Variant& value) {
    if (auto* s = std::get_if<std::string>(&value)) {
        if (strcasecmp(s->c_str(), "True") == 0) return true;
        if (strcasecmp(s->c_str(), "False") == 0) return false;
    }
    std::optional<double> number = NumberOf(value);
    if (!number) return std::nullopt;
    return *number != 0.0;
}

std::optional<std::string> ToText(const Variant& value) {
    if (auto* s = std::get_if<std::string>(&value)) return *s;
    if (IsEmpty(value)) return std::string();
    if (auto* b = std::get_if<bool>(&value)) return std::string(*b ? "True" : "False");
    if (std::holds_alternative<int16_t>(value) || std::holds_alternative<int32_t>(value))
        return std::to_string(*ToLong(value));
    if (auto* a = std::get_if<Address>(&value)) return std::to_string(a->value);
    std::optional<double> number = NumberOf(value);
    if (!number) return std::nullopt;
    char text[40];
    snprintf(text, sizeof text, "%.15g", *number);
    return std::string(text);
}

std::optional<intptr_t> ToAddress(const Variant& value) {
    if (auto* a = std::get_if<Address>(&value)) return a->value;
    std::optional<int32_t> number = ToLong(value);
    if (!number) return std::nullopt;
    return *number;
}

bool SameValue(const Variant& a, const Variant& b) {
    if (a.index() == b.index()) return a == b;
    if (std::holds_alternative<std::string>(a) || std::holds_alternative<std::string>(b))
        return false;
    std::optional<double> x = NumberOf(a), y = NumberOf(b);
    return x && y && *x == *y;
}

const DispatchMember* FindMember(const ClassInfo& info, int32_t dispid) {
    for (const DispatchMember& member : info.members)
        if (member.dispid == dispid) return &member;
    return nullptr;
}

const DispatchMember* FindMemberByName(const ClassInfo& info, const std::string& name) {
    for (const DispatchMember& member : info.members)
        if (strcasecmp(member.name, name.c_str()) == 0) return &member;
    return nullptr;
}

HResult CheckCall(const ClassInfo& info, int32_t dispid, uint8_t kind, size_t argumentCount) {
    const DispatchMember* member = FindMember(info, dispid);
    if (!member || (member->kinds & kind) == 0) return DISP_E_MEMBERNOTFOUND;
    size_t expected = member->argumentCount;
    // A property's get takes no arguments; its put takes the value.
    if (kind == DISPATCH_PROPERTYGET && (member->kinds & DISPATCH_PROPERTYPUT)) expected = 0;
    if (kind == DISPATCH_PROPERTYPUT) expected = 1;
    return argumentCount == expected ? S_OK : DISP_E_BADPARAMCOUNT;
}

bool PropertyBag::NoCase::operator()(const std::string& a, const std::string& b) const {
    return strcasecmp(a.c_str(), b.c_str()) < 0;
}

Variant PropertyBag::ReadProperty(const std::string& name, const Variant& defaultValue) const {
    auto found = values_.find(name);
    return found == values_.end() ? defaultValue : found->second;
}

void PropertyBag::WriteProperty(const std::string& name, const Variant& value,
                                const Variant& defaultValue) {
    if (!IsEmpty(defaultValue) && SameValue(value, defaultValue)) {
        values_.erase(name);
        return;
    }
    values_[name] = value;
}

bool PropertyBag::Contains(const std::string& name) const {
    return values_.count(name) > 0;
}

namespace {

struct RegisteredClass {
    const ClassInfo* info;
    ClassFactory factory;
};

struct ClassTable {
    std::mutex lock;
    std::vector<RegisteredClass> classes;
};

ClassTable& Classes() {
    static ClassTable table;
    return table;
}

bool Identifies(const ClassInfo& info, const std::string& key) {
    auto same = [&key](const char* id) { return id && *id && strcasecmp(id, key.c_str()) == 0; };
    return same(info.progId) || same(info.classId) || same(info.interfaceId) ||
           same(info.eventInterfaceId) ||
           std::any_of(info.aliasIds.begin(), info.aliasIds.end(), same);
}

const RegisteredClass* Lookup(ClassTable& table, const std::string& key) {
    for (const RegisteredClass& entry : table.classes)
        if (Identifies(*entry.info, key)) return &entry;
    return nullptr;
}

} // namespace

void RegisterClass(const ClassInfo& info, ClassFactory factory) {
    ClassTable& table = Classes();
    std::lock_guard guard(table.lock);
    for (RegisteredClass& entry : table.classes)
        if (entry.info == &info) {
            entry.factory = std::move(factory);
            return;
        }
    table.classes.push_back({&info, std::move(factory)});
}

const ClassInfo* FindClass(const std::string& progIdOrClassId) {
    ClassTable& table = Classes();
    std::lock_guard guard(table.lock);
    const RegisteredClass* entry = Lookup(table, progIdOrClassId);
    return entry ? entry->info : nullptr;
}

std::unique_ptr<Dispatchable> CreateObject(const std::string& progIdOrClassId) {
    ClassFactory factory;
    {
        ClassTable& table = Classes();
        std::lock_guard guard(table.lock);
        const RegisteredClass* entry = Lookup(table, progIdOrClassId);
        if (!entry) return nullptr;
        factory = entry->factory;
    }
    return factory ? factory() : nullptr;
}

} // namespace Platform::Com
