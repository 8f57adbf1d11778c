#pragma once
// Automation objects: values of the Dispatch kind (platform/Variant.h) whose
// members are found by name and called at run time, as scripts call the
// objects CreateOleObject gives them. The system registers no automation
// server, so every program identifier is unknown unless a test (or a later
// part of the program) registers one.

#include "platform/Variant.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <span>

namespace platform {

// Result codes of automation calls: 0 is success; failures are negative
// 32-bit codes shown as eight hexadecimal digits.
constexpr std::int32_t kDispatchOk = 0;
constexpr std::int32_t kDispatchUnknownName = static_cast<std::int32_t>(0x80020006u);
constexpr std::int32_t kDispatchMemberNotFound = static_cast<std::int32_t>(0x80020003u);
constexpr std::int32_t kDispatchBadArgumentCount = static_cast<std::int32_t>(0x8002000Eu);
constexpr std::int32_t kDispatchException = static_cast<std::int32_t>(0x80020009u);
constexpr std::int32_t kInvalidClassString = static_cast<std::int32_t>(0x800401F3u);

// How a member is called; a method call that wants a result passes Method |
// PropertyGet so that a property read works too.
enum DispatchFlags : unsigned {
    DispatchMethod = 1,
    DispatchPropertyGet = 2,
    DispatchPropertyPut = 4,
};
// The named argument a property put passes for the value being assigned.
constexpr int kDispatchPropertyPut = -3;

// What a failed call tells beside its code.
struct DispatchException {
    QString source;
    QString description;
    QString helpFile;
};

// An automation object. Values of the Dispatch kind count the references
// to it and delete it when the last goes; a new object has none until a
// Variant takes it (Variant::dispatch).
class Dispatch : public detail::VarHeap {
public:
    Dispatch() { refs.store(0, std::memory_order_relaxed); }
    Dispatch(const Dispatch &) = delete;
    Dispatch &operator=(const Dispatch &) = delete;
    virtual ~Dispatch() = default;

    // The member's number for a name (letter case as the object decides).
    virtual std::int32_t idOfName(const QString &name, int &id) = 0;
    // Calls a member. The arguments come last first, as automation passes
    // them; namedIds names the arguments from the first of that array on
    // (a property put names the value kDispatchPropertyPut). result is null
    // when the caller wants none.
    virtual std::int32_t invoke(int id, unsigned flags, std::span<Variant> arguments, std::span<const int> namedIds,
                                Variant *result, DispatchException &exception) = 0;
};

// Raised when an automation object cannot be made: the code and the system's
// text for it.
class AutomationError : public std::runtime_error {
public:
    AutomationError(std::int32_t code, const QString &message);
    std::int32_t code() const { return code_; }
    QString message() const { return QString::fromUtf8(what()); }

private:
    std::int32_t code_;
};

// The registry of program identifiers (letter case ignored). A factory
// returns a new object.
using DispatchFactory = std::function<Dispatch *()>;
void registerAutomationClass(const QString &programId, DispatchFactory factory);
void unregisterAutomationClass(const QString &programId);
// A new object of a registered identifier as a Dispatch value;
// AutomationError "Недопустимая строка с указанием класса" for an
// identifier nothing registered.
Variant createAutomationObject(const QString &programId);

} // namespace platform
