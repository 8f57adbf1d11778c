// Feeds arbitrary bytes to the binary property stream's reader, as the
// serializer applies a "PropData" attribute: property after property into an
// object with fonts, a pen, a brush, string lists, a picture and a
// collection, until the end or the first error. Whatever was read must write
// the same bytes after a second read of what it wrote.

#include "FuzzSupport.h"
#include "platform/classlib/Filer.h"
#include "platform/classlib/Graphics.h"
#include "platform/classlib/Properties.h"
#include "platform/classlib/WideStrings.h"

using namespace platform::classlib;

namespace {

class Item : public TCollectionItem {
    TOLVANE_CLASSINFO
public:
    QString Name;
    platform::Variant Value;
    double Width = 0;
    int Style = 0;
};

const ClassInfo &Item::staticClassInfo()
{
    static const PropInfo props[] = {
        field<&Item::Name>("Name", tiString),
        field<&Item::Value>("Value", tiVariant),
        field<&Item::Width>("Width", tiExtended),
        field<&Item::Style>("Style", tiFontStyles),
    };
    static const ClassInfo info = makeClassInfo<Item, TCollectionItem>("TFuzzItem", props);
    return info;
}

constexpr TypeInfo tiFont{"TFont", Kind::Class, {}, nullptr, &TFont::staticClassInfo};
constexpr TypeInfo tiPen{"TPen", Kind::Class, {}, nullptr, &TPen::staticClassInfo};
constexpr TypeInfo tiBrush{"TBrush", Kind::Class, {}, nullptr, &TBrush::staticClassInfo};
constexpr TypeInfo tiStrings{"TStrings", Kind::Class, {}, nullptr, &TStrings::staticClassInfo};
constexpr TypeInfo tiWide{"TWideStrings", Kind::Class, {}, nullptr, &TWideStrings::staticClassInfo};
constexpr TypeInfo tiPicture{"TPicture", Kind::Class, {}, nullptr, &TPicture::staticClassInfo};
constexpr TypeInfo tiItems{"TCollection", Kind::Class, {}, nullptr, &TCollection::staticClassInfo};

// Owns one object of each kind, published.
class Holder : public TPersistent {
    TOLVANE_CLASSINFO
public:
    TFont *Font() const { return &font_; }
    TPen *Pen() const { return &pen_; }
    TBrush *Brush() const { return &brush_; }
    TStringList *Lines() const { return &lines_; }
    TWideStrings *Wide() const { return &wide_; }
    TPicture *Picture() const { return &picture_; }
    TCollection *Items() const { return &items_; }

private:
    mutable TFont font_;
    mutable TPen pen_;
    mutable TBrush brush_;
    mutable TStringList lines_;
    mutable TWideStrings wide_;
    mutable TPicture picture_;
    mutable TCollection items_{Item::staticClassInfo()};
};

const ClassInfo &Holder::staticClassInfo()
{
    static const PropInfo props[] = {
        property<&Holder::Font>("Font", tiFont),       property<&Holder::Pen>("Pen", tiPen),
        property<&Holder::Brush>("Brush", tiBrush),    property<&Holder::Lines>("Lines", tiStrings),
        property<&Holder::Wide>("Wide", tiWide),       property<&Holder::Picture>("Picture", tiPicture),
        property<&Holder::Items>("Items", tiItems),
    };
    static const ClassInfo info = makeClassInfo<Holder, TPersistent>("TFuzzHolder", props);
    return info;
}

// Property after property to the end or the first error, as the serializer
// applies its hex data.
void readAll(const QByteArray &bytes, Holder &holder)
{
    TMemoryStream stream(bytes);
    TReader reader(stream);
    try {
        while (stream.Position() < stream.Size()) {
            const std::int64_t at = stream.Position();
            reader.ReadProperty(holder);
            if (stream.Position() <= at)
                __builtin_trap(); // no progress
        }
    } catch (const std::exception &) {
    }
}

QByteArray writeAll(const Holder &holder)
{
    TMemoryStream stream;
    TWriter writer(stream);
    writer.WriteProperties(holder);
    return stream.Memory();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    fuzzsupport::startApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Holder first;
    readAll(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)), first);
    const QByteArray written = writeAll(first);
    Holder second;
    readAll(written, second);
    if (writeAll(second) != written)
        __builtin_trap();
    return 0;
}
