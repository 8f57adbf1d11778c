#include "platform/Automation.h"

#include <QHash>

#include <mutex>

namespace platform {

AutomationError::AutomationError(std::int32_t code, const QString &message)
    : std::runtime_error(message.toStdString()), code_(code)
{
}

namespace {

struct Registry {
    std::mutex lock;
    QHash<QString, DispatchFactory> factories; // by upper-case identifier
};

Registry &registry()
{
    static Registry r;
    return r;
}

} // namespace

void registerAutomationClass(const QString &programId, DispatchFactory factory)
{
    Registry &r = registry();
    const std::lock_guard guard(r.lock);
    r.factories.insert(programId.toUpper(), std::move(factory));
}

void unregisterAutomationClass(const QString &programId)
{
    Registry &r = registry();
    const std::lock_guard guard(r.lock);
    r.factories.remove(programId.toUpper());
}

Variant createAutomationObject(const QString &programId)
{
    DispatchFactory factory;
    {
        Registry &r = registry();
        const std::lock_guard guard(r.lock);
        factory = r.factories.value(programId.toUpper());
    }
    Dispatch *object = factory ? factory() : nullptr;
    if (!object)
        throw AutomationError(kInvalidClassString, QStringLiteral("Недопустимая строка с указанием класса"));
    return Variant::dispatch(object);
}

} // namespace platform
