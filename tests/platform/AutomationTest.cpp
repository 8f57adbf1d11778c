// Automation objects as values: the registry of program identifiers, the
// reference count, and a call through the dispatch interface as the script
// engine makes it (arguments last first, the property put's named argument).

#include "platform/Automation.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

// Records every call; "Cells" is a property with two indexes.
class RecordingObject : public Dispatch {
public:
    explicit RecordingObject(bool *freed) : freed_(freed) {}
    ~RecordingObject() override { *freed_ = true; }

    std::int32_t idOfName(const QString &name, int &id) override
    {
        if (name.compare(u"Cells", Qt::CaseInsensitive) != 0)
            return kDispatchUnknownName;
        id = 7;
        return kDispatchOk;
    }
    std::int32_t invoke(int id, unsigned flags, std::span<Variant> arguments, std::span<const int> namedIds,
                        Variant *result, DispatchException &) override
    {
        calls << QStringLiteral("%1/%2").arg(id).arg(flags);
        for (const Variant &a : arguments)
            calls.last() += u' ' + a.toString();
        for (int n : namedIds)
            calls.last() += QStringLiteral(" named %1").arg(n);
        if (result)
            *result = Variant(42);
        return kDispatchOk;
    }
    QStringList calls;

private:
    bool *freed_;
};

} // namespace

TEST(Automation, RegistryAndReferences)
{
    try {
        createAutomationObject(QStringLiteral("Excel.Application"));
        ADD_FAILURE() << "nothing is registered";
    } catch (const AutomationError &e) {
        EXPECT_EQ(e.code(), kInvalidClassString);
        EXPECT_EQ(e.message(), QStringLiteral("Недопустимая строка с указанием класса"));
    }

    bool freed = false;
    RecordingObject *made = nullptr;
    registerAutomationClass(QStringLiteral("Test.Recorder"), [&] { return made = new RecordingObject(&freed); });
    {
        const Variant object = createAutomationObject(QStringLiteral("test.RECORDER"));
        ASSERT_EQ(object.type(), VarType::Dispatch);
        ASSERT_EQ(object.toDispatch(), made);
        Variant copy = object;
        int id = 0;
        ASSERT_EQ(copy.toDispatch()->idOfName(QStringLiteral("cells"), id), kDispatchOk);
        // Obj.Cells[1, 2] := 5: the arguments last first, the value named.
        Variant args[] = {Variant(5), Variant(2), Variant(1)};
        const int named[] = {kDispatchPropertyPut};
        DispatchException info;
        EXPECT_EQ(copy.toDispatch()->invoke(id, DispatchPropertyPut, args, named, nullptr, info), kDispatchOk);
        EXPECT_EQ(made->calls, QStringList{QStringLiteral("7/4 5 2 1 named -3")});
        copy = Variant();
        EXPECT_FALSE(freed) << "one value still holds it";
    }
    EXPECT_TRUE(freed) << "the last value frees it";
    unregisterAutomationClass(QStringLiteral("Test.Recorder"));
    EXPECT_THROW(createAutomationObject(QStringLiteral("Test.Recorder")), AutomationError);
    try {
        Variant(1).toDispatch();
        ADD_FAILURE() << "an integer is no automation object";
    } catch (const VariantError &e) {
        EXPECT_TRUE(e.message().endsWith(QStringLiteral("(Integer) в тип (Dispatch)")));
    }
}
