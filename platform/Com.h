#pragma once
// The little of COM the control libraries need: variants, a property bag, each class's
// identity and dispatch table as data, late-bound Invoke, and a class registry.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace Platform::Com {

// An address of memory handed across an interface (a PCM block, a buffer).
struct Address {
    intptr_t value = 0;
    bool operator==(const Address&) const = default;
};

// Empty, Boolean, Integer, Long, Single, Double, String, address.
using Variant =
    std::variant<std::monostate, bool, int16_t, int32_t, float, double, std::string, Address>;

bool IsEmpty(const Variant& value);
// Classic coercions; nullopt when the value has no such meaning (type mismatch, overflow).
// Whole-number conversions round halves to even; True is -1.
std::optional<int32_t> ToLong(const Variant& value);
std::optional<int16_t> ToInteger(const Variant& value);
std::optional<float> ToSingle(const Variant& value);
std::optional<double> ToDouble(const Variant& value);
std::optional<bool> ToBoolean(const Variant& value);
std::optional<std::string> ToText(const Variant& value);
std::optional<intptr_t> ToAddress(const Variant& value);
bool SameValue(const Variant& a, const Variant& b);

// Results of Invoke.
using HResult = int32_t;
constexpr HResult S_OK = 0;
constexpr HResult DISP_E_MEMBERNOTFOUND = static_cast<HResult>(0x80020003);
constexpr HResult DISP_E_TYPEMISMATCH = static_cast<HResult>(0x80020005);
constexpr HResult DISP_E_EXCEPTION = static_cast<HResult>(0x80020009);
constexpr HResult DISP_E_BADPARAMCOUNT = static_cast<HResult>(0x8002000E);

// Run-time error numbers raised through DISP_E_EXCEPTION.
constexpr int32_t kErrSubscriptOutOfRange = 9;

// Invoke kinds (combinable in a member's entry).
enum InvokeKind : uint8_t {
    DISPATCH_METHOD = 1,
    DISPATCH_PROPERTYGET = 2,
    DISPATCH_PROPERTYPUT = 4,
};

struct DispatchMember {
    int32_t dispid;
    const char* name;
    uint8_t kinds;         // InvokeKind bits
    uint8_t argumentCount; // for a put: the value counts as one argument
};

struct EventMember {
    int32_t dispid;
    const char* name;
    uint8_t argumentCount;
};

struct ClassInfo {
    const char* progId;
    const char* classId;
    const char* interfaceName;
    const char* interfaceId;
    const char* eventInterfaceId;
    std::span<const DispatchMember> members;
    std::span<const EventMember> events;
    // Earlier versions of the class interface, still registered for it.
    std::span<const char* const> aliasIds = {};
};

const DispatchMember* FindMember(const ClassInfo& info, int32_t dispid);
const DispatchMember* FindMemberByName(const ClassInfo& info, const std::string& name);

// What a failed call raised (DISP_E_EXCEPTION).
struct ExceptionInfo {
    int32_t number = 0;
    std::string description;
};

// A class callable by dispatch identifier. Arguments are in call order; a by-reference
// argument is written back into its slot.
class Dispatchable {
public:
    virtual ~Dispatchable() = default;
    virtual const ClassInfo& Class() const = 0;
    virtual HResult Invoke(int32_t dispid, uint8_t kind, std::vector<Variant>& args,
                           Variant& result, ExceptionInfo* exception = nullptr) = 0;
};

// Checks the member exists, allows the kind and gets its argument count; S_OK when it does.
HResult CheckCall(const ClassInfo& info, int32_t dispid, uint8_t kind, size_t argumentCount);

// Name -> value map in which a control keeps its persisted properties.
class PropertyBag {
public:
    // The stored value, or the default when the name is missing.
    Variant ReadProperty(const std::string& name, const Variant& defaultValue = {}) const;
    // Stores the value; a value equal to its default is not kept.
    void WriteProperty(const std::string& name, const Variant& value,
                       const Variant& defaultValue = {});
    bool Contains(const std::string& name) const;
    void Clear() { values_.clear(); }
    size_t Size() const { return values_.size(); }

private:
    struct NoCase {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    std::map<std::string, Variant, NoCase> values_;
};

// Registered classes, found and created by ProgID, class id, or the id of one of the class's
// interfaces (its dispatch and event interfaces and their earlier versions).
using ClassFactory = std::function<std::unique_ptr<Dispatchable>()>;
void RegisterClass(const ClassInfo& info, ClassFactory factory);
const ClassInfo* FindClass(const std::string& progIdOrClassId);
std::unique_ptr<Dispatchable> CreateObject(const std::string& progIdOrClassId);

} // namespace Platform::Com
