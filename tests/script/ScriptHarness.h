#pragma once
// A script with what the runtime tests call: Print (collected), Raise, the
// class library's base classes with Create and Free, a string list with
// Count, Add and a default property, and TTestThing, a component with a
// published property of each kind and an indexed property that records its
// calls.

#include "platform/TextCodec.h"
#include "platform/classlib/Classes.h"
#include "platform/classlib/Properties.h"
#include "platform/classlib/Types.h"
#include "script/Languages.h"
#include "script/Script.h"
#include "script/Statements.h"

#include <QStringList>

#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace scripttest {

using platform::Variant;
using platform::classlib::ClassInfo;
using platform::classlib::TComponent;
using platform::classlib::TObject;

inline constexpr const char *kAlignNames[] = {"alNone", "alTop", "alBottom"};
inline constexpr platform::classlib::TypeInfo tiAlign{"TAlign", platform::classlib::Kind::Enum, kAlignNames};
inline constexpr platform::classlib::TypeInfo tiAligns{"TAligns", platform::classlib::Kind::Set, {}, &tiAlign};

class TTestThing : public TComponent {
    TOLVANE_CLASSINFO
public:
    using TComponent::TComponent;
    int Count = 0;
    int Align = 0;
    int Aligns = 0;
    TTestThing *Link = nullptr;
    QString Caption;
    bool Visible = false;
    int id() const { return 42; }
};

inline const ClassInfo &TTestThing::staticClassInfo()
{
    using namespace platform::classlib;
    static const PropInfo props[] = {
        field<&TTestThing::Count>("Count", tiInteger),
        field<&TTestThing::Align>("Align", tiAlign),
        field<&TTestThing::Aligns>("Aligns", tiAligns),
        field<&TTestThing::Link>("Link", *[] {
            static const TypeInfo t{"TTestThing", Kind::Class, {}, nullptr, &TTestThing::staticClassInfo};
            return &t;
        }()),
        field<&TTestThing::Caption>("Caption", tiString),
        field<&TTestThing::Visible>("Visible", tiBoolean),
        property<&TTestThing::id>("Id", tiInteger),
    };
    static const ClassInfo info = makeClassInfo<TTestThing, TComponent>("TTestThing", props);
    return info;
}

struct Harness {
    script::TfsScript script;
    QStringList out;
    // The calls of TTestThing.Items: name and arguments.
    QStringList itemCalls;
    std::vector<std::unique_ptr<TObject>> made;

    explicit Harness(const QString &language = QStringLiteral("PascalScript"))
    {
        script::RegisterBuiltInLanguages();
        script::ResetScriptMessages();
        script.SyntaxType = language;
        script::AddCoreItems(script);
        // Kept by Clear, as the system items are.
        script.OwnerTag = 1;
        using script::TfsMethodHelper;
        script.AddMethod("procedure Print(Value: Variant)",
                         [this](TObject *, const ClassInfo *, const QByteArray &, TfsMethodHelper &m) {
                             out << m.GetParam(0).toString();
                             return Variant();
                         });
        script.AddMethod("procedure RaiseException(Param: String)",
                         [](TObject *, const ClassInfo *, const QByteArray &, TfsMethodHelper &m) -> Variant {
                             throw script::ScriptError(m.GetParam(0).toString());
                         });
        using namespace platform::classlib;
        const auto create = [](TObject *, const ClassInfo *cls, const QByteArray &, TfsMethodHelper &m) {
            TComponent *owner = m.ParamCount() ? objectOf<TComponent>(m.GetParam(0).toInt()) : nullptr;
            return Variant(cls->create()(owner)->handle());
        };
        script::TfsClassVariable *object = script.AddClass(TObject::staticClassInfo(), {});
        object->AddConstructor("constructor Create", create);
        object->AddMethod("procedure Free", [](TObject *instance, const ClassInfo *, const QByteArray &,
                                               TfsMethodHelper &) {
            delete instance;
            return Variant();
        });
        script.AddClass(TPersistent::staticClassInfo(), "TObject");
        script.AddClass(TComponent::staticClassInfo(), "TPersistent")
            ->AddConstructor("constructor Create(AOwner: TComponent)", create);
        script.AddClass(TStrings::staticClassInfo(), "TPersistent");
        script::TfsClassVariable *list = script.AddClass(TStringList::staticClassInfo(), "TStrings");
        list->AddProperty("Count", "Integer", [](TObject *o, const ClassInfo *, const QByteArray &) {
            return Variant(static_cast<TStringList *>(o)->Count());
        });
        list->AddMethod("function Add(S: String): Integer",
                        [](TObject *o, const ClassInfo *, const QByteArray &, TfsMethodHelper &m) {
                            return Variant(static_cast<TStringList *>(o)->Add(m.GetParam(0).toString()));
                        });
        list->AddDefaultProperty("Strings", "Integer", "String",
                                 [](TObject *o, const ClassInfo *, const QByteArray &, TfsMethodHelper &m) {
                                     return Variant(static_cast<TStringList *>(o)->Get(m.GetParam(0).toInt()));
                                 });
        script::TfsClassVariable *thing = script.AddClass(TTestThing::staticClassInfo(), "TComponent");
        thing->AddIndexProperty("Items", "Integer", "Variant",
                                [this](TObject *, const ClassInfo *, const QByteArray &name, TfsMethodHelper &m) {
                                    QString call = QString::fromLatin1(name);
                                    for (int i = 0; i <= m.ParamCount(); ++i)
                                        call += ' ' + m.GetParam(i).toString();
                                    itemCalls << call;
                                    return Variant(m.GetParam(0).toInt() * 10);
                                });
        thing->AddIndexProperty("Fixed", "Integer", "Integer",
                                [](TObject *, const ClassInfo *, const QByteArray &, TfsMethodHelper &) {
                                    return Variant(0);
                                },
                                true);
        thing->AddProperty("Hidden", "Boolean", [this](TObject *, const ClassInfo *, const QByteArray &) {
            return hidden;
        });
        script.OwnerTag = 0;
    }

    // What the getter of TTestThing.Hidden answers.
    Variant hidden = Variant(0);

    // A host function that stays when a compile clears the script.
    void addMethod(const QByteArray &syntax, script::TfsCallMethod handler)
    {
        script.OwnerTag = 1;
        script.AddMethod(syntax, std::move(handler));
        script.OwnerTag = 0;
    }

    // "" when the text compiled, else "line:col: message".
    QString compile(const QString &text)
    {
        script.Clear();
        script.Lines.SetText(text);
        if (script.Compile())
            return {};
        return platform::fromCp1251(script.ErrorPosition + ": " + script.ErrorMessage);
    }

    // The printed lines joined by "|", or the compile error, or "error: "
    // and the message of what the run raised.
    QString run(const QString &text)
    {
        out.clear();
        if (const QString error = compile(text); !error.isEmpty())
            return error;
        try {
            script.Execute();
        } catch (const std::exception &e) {
            out << QStringLiteral("error: ") + QString::fromUtf8(e.what());
        }
        return out.join(u'|');
    }

    TTestThing *addThing(const QByteArray &name)
    {
        auto *thing = new TTestThing;
        made.emplace_back(thing);
        script.OwnerTag = 1;
        script.AddObject(name, thing);
        script.OwnerTag = 0;
        return thing;
    }
};

} // namespace scripttest
