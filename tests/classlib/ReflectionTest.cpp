// The published tables: order, kinds, types, defaults and stored tests as
// the class-info tool prints them; reading and writing by kind; the class
// registry; object handles.

#include "TestClasses.h"

#include "platform/classlib/ClassTable.h"

#include <gtest/gtest.h>

using namespace testclasses;
using platform::Variant;
using platform::VarType;

TEST(Reflection, ViewAndFrameTables)
{
    EXPECT_EQ(describeClass(TTestFrame::staticClassInfo(), false),
              QStringLiteral("TfrxFrame: TPersistent, TObject\n"
                             "  property     kind     type            default  stored\n"
                             "  Color        Integer  TColor          0        yes\n"
                             "  DropShadow   Enum     Boolean         False    yes\n"
                             "  ShadowColor  Integer  TColor          0        yes\n"
                             "  ShadowWidth  Float    Extended        -        when\n"
                             "  Style        Enum     TfrxFrameStyle  fsSolid  yes\n"
                             "  Typ          Set      TfrxFrameTypes  -        when\n"
                             "  Width        Float    Extended        -        when\n"));
    // Ancestors first in declaration order; the same alphabetically.
    const ClassInfo &view = TTestView::staticClassInfo();
    QStringList declared, sorted;
    for (const PropInfo *p : view.all())
        declared << QString::fromLatin1(p->name);
    for (const PropInfo *p : view.sorted())
        sorted << QString::fromLatin1(p->name);
    EXPECT_EQ(declared.join(u' '),
              QStringLiteral("Name Tag Parent Align Printable ShiftMode Left Top Width Height GroupIndex Restrictions "
                             "Visible OnAfterData OnAfterPrint OnBeforePrint OnPreviewClick Font ParentFont Frame "
                             "DataSet"));
    EXPECT_EQ(sorted.join(u' '),
              QStringLiteral("Align DataSet Font Frame GroupIndex Height Left Name OnAfterData OnAfterPrint "
                             "OnBeforePrint OnPreviewClick Parent ParentFont Printable Restrictions ShiftMode Tag "
                             "Top Visible Width"));
    EXPECT_EQ(describeClass(view, true),
              QStringLiteral("TfrxView: TfrxComponent, TComponent, TPersistent, TObject\n"
                             "  property        kind     type              default   stored\n"
                             "  Align           Enum     TfrxAlign         baNone    yes\n"
                             "  DataSet         Class    TfrxDataSet       -         yes\n"
                             "  Font            Class    TFont             -         when\n"
                             "  Frame           Class    TfrxFrame         -         yes\n"
                             "  GroupIndex      Integer  Integer           0         yes\n"
                             "  Height          Float    Extended          -         yes\n"
                             "  Left            Float    Extended          -         yes\n"
                             "  Name            String   TComponentName    -         no\n"
                             "  OnAfterData     String   String            -         yes\n"
                             "  OnAfterPrint    String   String            -         yes\n"
                             "  OnBeforePrint   String   String            -         yes\n"
                             "  OnPreviewClick  String   String            -         yes\n"
                             "  Parent          Class    TfrxComponent     -         no\n"
                             "  ParentFont      Enum     Boolean           True      yes\n"
                             "  Printable       Enum     Boolean           True      yes\n"
                             "  Restrictions    Set      TfrxRestrictions  []        yes\n"
                             "  ShiftMode       Enum     TfrxShiftMode     smAlways  yes\n"
                             "  Tag             Integer  Integer           0         yes\n"
                             "  Top             Float    Extended          -         yes\n"
                             "  Visible         Enum     Boolean           True      yes\n"
                             "  Width           Float    Extended          -         yes\n"));

    // Lookup in any letter case; a default and no default are two states.
    EXPECT_EQ(view.find(u"printable"), view.find(u"PRINTABLE"));
    ASSERT_NE(view.find(u"pRiNtAbLe"), nullptr);
    EXPECT_EQ(view.find(u"Printable")->def, std::optional<std::int64_t>(1));
    EXPECT_FALSE(view.find(u"Left")->def.has_value());
    EXPECT_EQ(view.find(u"NoSuch"), nullptr);
    EXPECT_EQ(view.find(u""), nullptr);
}

TEST(Reflection, StoredTests)
{
    TTestFrame frame;
    const ClassInfo &info = frame.classInfo();
    const PropInfo &shadow = *info.find(u"ShadowWidth"), &typ = *info.find(u"Typ"), &width = *info.find(u"Width");
    EXPECT_FALSE(shadow.isStored(frame));
    EXPECT_FALSE(typ.isStored(frame));
    EXPECT_FALSE(width.isStored(frame));
    frame.ShadowWidth = 5;
    frame.Typ = 1 << ftTop;
    frame.Width = 0.5;
    EXPECT_TRUE(shadow.isStored(frame));
    EXPECT_TRUE(typ.isStored(frame));
    EXPECT_TRUE(width.isStored(frame));

    TTestView view;
    const PropInfo &font = *view.classInfo().find(u"Font");
    EXPECT_FALSE(font.isStored(view)) << "stored when the parent-font flag is off";
    view.ParentFont = false;
    EXPECT_TRUE(font.isStored(view));
}

TEST(Reflection, ReadAndWriteByKind)
{
    TTestView view;
    TTestKinds kinds;
    const auto prop = [](const TObject &o, const char16_t *name) { return o.classInfo().find(QStringView(name)); };
    const struct {
        TObject *object;
        const char16_t *property;
        Variant written;
        VarType type;
        const char *read;
    } cases[] = {
        {&view, u"GroupIndex", Variant(QStringLiteral("12")), VarType::Integer, "12"},
        {&view, u"Align", Variant(baClient), VarType::Integer, "6"},
        {&view, u"Restrictions", Variant(5), VarType::Integer, "5"},
        {&view, u"Left", Variant(QStringLiteral("2.5")), VarType::Double, "2.5"},
        {&view, u"OnBeforePrint", Variant(7), VarType::String, "7"},
        // Boolean: written 1 only for a value equal to true; read as a Boolean.
        {&view, u"Visible", Variant(5), VarType::Boolean, "False"},
        {&view, u"Visible", Variant(true), VarType::Boolean, "True"},
        {&view, u"Printable", Variant(QStringLiteral("True")), VarType::Boolean, "True"},
        {&kinds, u"Letter", Variant(QStringLiteral("xyz")), VarType::String, "x"},
        {&kinds, u"WideLetter", Variant(QStringLiteral("ж")), VarType::String, "ж"},
        {&kinds, u"Text", Variant(1.5), VarType::String, "1.5"},
        {&kinds, u"WideText", Variant(QStringLiteral("ы")), VarType::OleStr, "ы"},
        {&kinds, u"Value", Variant::currency(12345), VarType::Currency, "1.2345"},
        // 64-bit integers and events are neither read nor written by kind.
        {&kinds, u"Big", Variant(9), VarType::Null, ""},
        {&kinds, u"OnClick", Variant(1), VarType::Null, ""},
    };
    for (const auto &c : cases) {
        const PropInfo *p = prop(*c.object, c.property);
        ASSERT_NE(p, nullptr);
        writeProperty(*c.object, *p, c.written);
        const Variant r = readProperty(*c.object, *p);
        EXPECT_EQ(r.type(), c.type) << QString::fromUtf16(c.property).toStdString();
        EXPECT_EQ(r.toString().toStdString(), c.read) << QString::fromUtf16(c.property).toStdString();
    }
    EXPECT_EQ(kinds.Big, 0);

    // A Boolean whose ordinal is 5 (set raw, as a file may) reads true.
    const PropInfo &visible = *prop(view, u"Visible");
    visible.set(view, Variant(5));
    EXPECT_EQ(readProperty(view, visible).toString(), QStringLiteral("True"));

    // Class kinds travel as handles; the typed accessors give the object.
    TTestDataSet dataSet;
    const PropInfo &ds = *prop(view, u"DataSet");
    writeProperty(view, ds, Variant(dataSet.handle()));
    EXPECT_EQ(view.DataSet, &dataSet);
    EXPECT_EQ(readProperty(view, ds).toInt(), dataSet.handle());
    EXPECT_EQ(ds.getObject(view), &dataSet);
    EXPECT_THROW(writeProperty(view, ds, Variant(view.handle())), InvalidCast) << "a view is no data set";
    writeProperty(view, ds, Variant(0));
    EXPECT_EQ(view.DataSet, nullptr);

    // Events: typed closures, assignable and cleared.
    int clicks = 0;
    const PropInfo &click = *prop(kinds, u"OnClick");
    click.setMethod(kinds, TNotifyEvent([&](TObject *) { ++clicks; }));
    ASSERT_TRUE(kinds.OnClick);
    kinds.OnClick(&kinds);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(click.getMethod(kinds).has_value());
    click.setMethod(kinds, Closure());
    EXPECT_FALSE(kinds.OnClick);
}

TEST(Reflection, ClassRegistry)
{
    registerTestClasses();
    EXPECT_EQ(findClass(u"TFRXVIEW"), &TTestView::staticClassInfo());
    EXPECT_EQ(findClass(u"tfrxmemoview"), &TTestMemo::staticClassInfo());
    EXPECT_EQ(findClass(u"TNoSuchClass"), nullptr);

    TTestReport owner;
    // TfrxMemoView has no constructor of its own: made by name it is a memo,
    // owned as asked.
    TObject *made = createObject(u"TfrxMemoView", &owner);
    ASSERT_NE(dynamic_cast<TTestMemo *>(made), nullptr);
    EXPECT_EQ(made->className(), QStringLiteral("TfrxMemoView"));
    EXPECT_EQ(static_cast<TTestMemo *>(made)->Owner(), &owner);
    EXPECT_TRUE(made->inheritsFrom(TTestView::staticClassInfo()));
    EXPECT_FALSE(made->inheritsFrom(TTestDataSet::staticClassInfo()));
    // Classes that are not components are made too, without an owner.
    TObject *frame = createObject(u"TfrxFrame", &owner);
    ASSERT_NE(dynamic_cast<TTestFrame *>(frame), nullptr);
    delete frame;

    // Class references are handles of their own range.
    const std::int32_t classHandle = TTestView::staticClassInfo().handle();
    EXPECT_EQ(&classOf(classHandle), &TTestView::staticClassInfo());
    EXPECT_EQ(TTestView::staticClassInfo().handle(), classHandle);
    EXPECT_THROW(objectOf(classHandle, TObject::staticClassInfo()), InvalidObjectReference);
    EXPECT_THROW(classOf(made->handle()), InvalidObjectReference);
}

TEST(Reflection, HandlesOfFreedObjects)
{
    auto *view = new TTestView;
    const std::int32_t handle = view->handle();
    EXPECT_GT(handle, 0);
    EXPECT_EQ(view->handle(), handle) << "stable while the object lives";
    EXPECT_EQ(objectOf<TTestView>(handle), view);
    EXPECT_TRUE(isObjectOf(handle, TTestComponent::staticClassInfo()));
    EXPECT_FALSE(isObjectOf(handle, TTestDataSet::staticClassInfo()));
    EXPECT_THROW(objectOf<TTestDataSet>(handle), InvalidCast);
    EXPECT_EQ(objectOf(0, TObject::staticClassInfo()), nullptr) << "nil";
    delete view;
    EXPECT_THROW(objectOf(handle, TObject::staticClassInfo()), InvalidObjectReference);
    EXPECT_FALSE(isObjectOf(handle, TObject::staticClassInfo()));
    try {
        objectOf(handle, TObject::staticClassInfo());
    } catch (const InvalidObjectReference &e) {
        EXPECT_STREQ(e.what(), "invalid object reference");
    }
    for (const std::int32_t forged : {-1, 1, 12345, 0x3FFFFFFF, 0x7FFFFFFF})
        EXPECT_THROW(objectOf(forged, TObject::staticClassInfo()), InvalidObjectReference) << forged;

    // A million objects made and freed: slots are reused, each time with a
    // new generation, so no old handle names a new object.
    const std::size_t slotsBefore = objectSlotCount();
    std::int32_t first = 0, previous = 0;
    for (int i = 0; i < 1000000; ++i) {
        TObject o;
        const std::int32_t h = o.handle();
        if (i == 0)
            first = h;
        ASSERT_NE(h, previous);
        previous = h;
    }
    EXPECT_LT(objectSlotCount() - slotsBefore, 2000u);
    EXPECT_THROW(objectOf(first, TObject::staticClassInfo()), InvalidObjectReference);
    TObject last;
    EXPECT_EQ(objectOf(last.handle(), TObject::staticClassInfo()), &last);
}
