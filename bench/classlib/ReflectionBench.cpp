// The class library's property tables beside Qt's property system, on one
// class of 21 published properties shaped like the report library's view
// (positions, flags, enumerations, sets, texts, colours):
//   - memory of 100,000 objects (bytes per object, as malloc counts them);
//   - a read by name (the script engine's designators): the table's
//     case-blind lookup against QObject::property;
//   - a read through a cached entry: PropInfo::get against
//     QMetaProperty::read;
//   - all 21 properties of an object (the serializer's walk).
// Goals: by name at most 0.5x Qt's time, cached at most 0.2x, and at most 16
// bytes per object for the layer beyond the fields.
//
//   build/bench/bench_classlib

#include "platform/classlib/Classes.h"
#include "platform/classlib/Properties.h"

#include <QMetaProperty>
#include <QObject>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <memory>
#include <vector>

using namespace platform::classlib;

namespace {

// The fields both classes hold.
#define VIEW_FIELDS                                                                                                    \
    int Tag = 0;                                                                                                       \
    QString Description;                                                                                               \
    int Align = 0;                                                                                                     \
    bool Printable = true;                                                                                             \
    int ShiftMode = 1;                                                                                                 \
    double Left = 1, Top = 2, Width = 3, Height = 4;                                                                   \
    int GroupIndex = 0;                                                                                                \
    int Restrictions = 0;                                                                                              \
    bool Visible = true;                                                                                               \
    int BrushStyle = 0;                                                                                                \
    int Color = 0x1FFFFFFF;                                                                                            \
    int Cursor = 0;                                                                                                    \
    QString DataField, DataSetName, TagStr, URL, Hint, Caption;

struct ViewFields {
    VIEW_FIELDS
};

class OwnView : public TPersistent {
    TOLVANE_CLASSINFO
public:
    VIEW_FIELDS
};

inline constexpr const char *kAlignNames[] = {"baNone", "baLeft", "baRight", "baCenter", "baWidth", "baBottom", "baClient"};
inline constexpr TypeInfo tiAlign{"TfrxAlign", Kind::Enum, kAlignNames};
inline constexpr const char *kShiftNames[] = {"smDontShift", "smAlways", "smWhenOverlapped"};
inline constexpr TypeInfo tiShift{"TfrxShiftMode", Kind::Enum, kShiftNames};
inline constexpr const char *kRestrictionNames[] = {"rfDontModify", "rfDontSize", "rfDontMove", "rfDontDelete"};
inline constexpr TypeInfo tiRestriction{"TfrxRestriction", Kind::Enum, kRestrictionNames};
inline constexpr TypeInfo tiRestrictions{"TfrxRestrictions", Kind::Set, {}, &tiRestriction};
inline constexpr const char *kBrushNames[] = {"bsSolid", "bsClear"};
inline constexpr TypeInfo tiBrush{"TBrushStyle", Kind::Enum, kBrushNames};

const ClassInfo &OwnView::staticClassInfo()
{
    static const PropInfo props[] = {
        field<&OwnView::Tag>("Tag", tiInteger).defaultsTo(0),
        field<&OwnView::Description>("Description", tiString),
        field<&OwnView::Align>("Align", tiAlign).defaultsTo(0),
        field<&OwnView::Printable>("Printable", tiBoolean).defaultsTo(1),
        field<&OwnView::ShiftMode>("ShiftMode", tiShift).defaultsTo(1),
        field<&OwnView::Left>("Left", tiExtended),
        field<&OwnView::Top>("Top", tiExtended),
        field<&OwnView::Width>("Width", tiExtended),
        field<&OwnView::Height>("Height", tiExtended),
        field<&OwnView::GroupIndex>("GroupIndex", tiInteger).defaultsTo(0),
        field<&OwnView::Restrictions>("Restrictions", tiRestrictions).defaultsTo(0),
        field<&OwnView::Visible>("Visible", tiBoolean).defaultsTo(1),
        field<&OwnView::BrushStyle>("BrushStyle", tiBrush).defaultsTo(0),
        field<&OwnView::Color>("Color", tiColor).defaultsTo(0x1FFFFFFF),
        field<&OwnView::Cursor>("Cursor", tiCursor).defaultsTo(0),
        field<&OwnView::DataField>("DataField", tiString),
        field<&OwnView::DataSetName>("DataSetName", tiString),
        field<&OwnView::TagStr>("TagStr", tiString),
        field<&OwnView::URL>("URL", tiString),
        field<&OwnView::Hint>("Hint", tiString),
        field<&OwnView::Caption>("Caption", tiString),
    };
    static const ClassInfo info = makeClassInfo<OwnView, TPersistent>("TfrxView", props);
    return info;
}

class QtView : public QObject {
    Q_OBJECT
public:
    VIEW_FIELDS
    Q_PROPERTY(int Tag MEMBER Tag)
    Q_PROPERTY(QString Description MEMBER Description)
    Q_PROPERTY(int Align MEMBER Align)
    Q_PROPERTY(bool Printable MEMBER Printable)
    Q_PROPERTY(int ShiftMode MEMBER ShiftMode)
    Q_PROPERTY(double Left MEMBER Left)
    Q_PROPERTY(double Top MEMBER Top)
    Q_PROPERTY(double Width MEMBER Width)
    Q_PROPERTY(double Height MEMBER Height)
    Q_PROPERTY(int GroupIndex MEMBER GroupIndex)
    Q_PROPERTY(int Restrictions MEMBER Restrictions)
    Q_PROPERTY(bool Visible MEMBER Visible)
    Q_PROPERTY(int BrushStyle MEMBER BrushStyle)
    Q_PROPERTY(int Color MEMBER Color)
    Q_PROPERTY(int Cursor MEMBER Cursor)
    Q_PROPERTY(QString DataField MEMBER DataField)
    Q_PROPERTY(QString DataSetName MEMBER DataSetName)
    Q_PROPERTY(QString TagStr MEMBER TagStr)
    Q_PROPERTY(QString URL MEMBER URL)
    Q_PROPERTY(QString Hint MEMBER Hint)
    Q_PROPERTY(QString Caption MEMBER Caption)
};

const char *const kNames[] = {"Tag",        "Description",  "Align",   "Printable",  "ShiftMode", "Left",
                              "Top",        "Width",        "Height",  "GroupIndex", "Restrictions",
                              "Visible",    "BrushStyle",   "Color",   "Cursor",     "DataField", "DataSetName",
                              "TagStr",     "URL",          "Hint",    "Caption"};
constexpr int kCount = 21;

template <class T>
void memoryPerObject(benchmark::State &state)
{
    constexpr int n = 100000;
    double perObject = 0;
    for (auto _ : state) {
        const size_t before = mallinfo2().uordblks;
        std::vector<std::unique_ptr<T>> objects;
        objects.reserve(n);
        const size_t reserved = mallinfo2().uordblks;
        for (int i = 0; i < n; ++i)
            objects.push_back(std::make_unique<T>());
        perObject = static_cast<double>(mallinfo2().uordblks - reserved) / n;
        benchmark::DoNotOptimize(before);
    }
    state.counters["bytes/object"] = perObject;
    state.counters["sizeof"] = sizeof(T);
    state.counters["fields"] = sizeof(ViewFields);
}

void BM_Own_Memory(benchmark::State &state)
{
    memoryPerObject<OwnView>(state);
}
void BM_Qt_Memory(benchmark::State &state)
{
    memoryPerObject<QtView>(state);
}

void BM_Own_ReadByName(benchmark::State &state)
{
    OwnView view;
    QString names[kCount];
    for (int i = 0; i < kCount; ++i)
        names[i] = QString::fromLatin1(kNames[i]).toLower(); // the table ignores letter case
    const ClassInfo &info = view.classInfo();
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(info.find(names[i])->get(view));
        i = i + 1 == kCount ? 0 : i + 1;
    }
}

void BM_Qt_ReadByName(benchmark::State &state)
{
    QtView view;
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(view.property(kNames[i]));
        i = i + 1 == kCount ? 0 : i + 1;
    }
}

void BM_Own_ReadCached(benchmark::State &state)
{
    OwnView view;
    const PropInfo *p = view.classInfo().find(u"Left");
    for (auto _ : state)
        benchmark::DoNotOptimize(p->get(view));
}

void BM_Qt_ReadCached(benchmark::State &state)
{
    QtView view;
    const QMetaProperty p = view.metaObject()->property(view.metaObject()->indexOfProperty("Left"));
    for (auto _ : state)
        benchmark::DoNotOptimize(p.read(&view));
}

void BM_Own_ReadAll(benchmark::State &state)
{
    OwnView view;
    const auto all = view.classInfo().all();
    for (auto _ : state)
        for (const PropInfo *p : all)
            benchmark::DoNotOptimize(p->get(view));
}

void BM_Qt_ReadAll(benchmark::State &state)
{
    QtView view;
    const QMetaObject *mo = view.metaObject();
    for (auto _ : state)
        for (int i = mo->propertyOffset(); i < mo->propertyCount(); ++i)
            benchmark::DoNotOptimize(mo->property(i).read(&view));
}

} // namespace

BENCHMARK(BM_Own_Memory)->Iterations(3);
BENCHMARK(BM_Qt_Memory)->Iterations(3);
BENCHMARK(BM_Own_ReadByName);
BENCHMARK(BM_Qt_ReadByName);
BENCHMARK(BM_Own_ReadCached);
BENCHMARK(BM_Qt_ReadCached);
BENCHMARK(BM_Own_ReadAll);
BENCHMARK(BM_Qt_ReadAll);

BENCHMARK_MAIN();

#include "ReflectionBench.moc"
