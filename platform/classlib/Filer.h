#pragma once
// The class library's binary property stream: a property's name (a length
// byte and its characters in the code page), a value tag and the value;
// lists of properties between a list tag and an end tag. Objects write their
// published properties through their tables (stored ones that differ from
// the declared default) and what else they keep through defined properties
// (TPersistent::DefineProperties), so report files can carry the binary form
// of an object inside their own text.
//
// Every length and count read is checked against what the stream holds:
// damaged bytes raise StreamError ("Ошибка чтения потока") and never read
// past the end.

#include "platform/classlib/Classes.h"
#include "platform/classlib/Streams.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>

namespace platform::classlib {

// The value tags.
enum class ValueType : std::uint8_t {
    Null = 0, // also the end of a list
    List = 1,
    Int8 = 2,
    Int16 = 3,
    Int32 = 4,
    Extended = 5,
    String = 6,
    Ident = 7,
    False = 8,
    True = 9,
    Binary = 10,
    Set = 11,
    LString = 12,
    Nil = 13,
    Collection = 14,
    Single = 15,
    Currency = 16,
    Date = 17,
    WString = 18,
    Int64 = 19,
    UTF8String = 20,
};

class TReader;
class TWriter;

// What a class's DefineProperties is handed: it names each defined property
// with the routines that read and write it and whether there is anything to
// write.
class TFiler {
public:
    using ReaderProc = std::function<void(TReader &)>;
    using WriterProc = std::function<void(TWriter &)>;
    using StreamProc = std::function<void(TStream &)>;

    explicit TFiler(TStream &stream) : stream_(stream) {}
    virtual ~TFiler() = default;

    virtual void DefineProperty(const QString &name, const ReaderProc &read, const WriterProc &write,
                                bool hasData) = 0;
    // A binary value: the routines get a memory stream holding exactly the
    // property's bytes.
    virtual void DefineBinaryProperty(const QString &name, const StreamProc &read, const StreamProc &write,
                                      bool hasData) = 0;

    TComponent *Root() const { return root_; }
    void SetRoot(TComponent *root) { root_ = root; }
    TStream &Stream() const { return stream_; }

protected:
    TStream &stream_;
    TComponent *root_ = nullptr;
};

// The 80-bit extended float of tag 5 as a double and back.
void doubleToExtended(double value, unsigned char bytes[10]);
double extendedToDouble(const unsigned char bytes[10]);

class TWriter : public TFiler {
public:
    using TFiler::TFiler;

    void DefineProperty(const QString &name, const ReaderProc &read, const WriterProc &write, bool hasData) override;
    void DefineBinaryProperty(const QString &name, const StreamProc &read, const StreamProc &write,
                              bool hasData) override;

    void WriteValue(ValueType type);
    void WriteListBegin() { WriteValue(ValueType::List); }
    void WriteListEnd() { WriteValue(ValueType::Null); }
    // The name with the prefix of the objects it is nested in ("Font.Name").
    void WritePropName(const QString &name);
    // The narrowest of Int8, Int16, Int32 and Int64 that holds the value.
    void WriteInteger(std::int64_t value);
    void WriteBoolean(bool value) { WriteValue(value ? ValueType::True : ValueType::False); }
    void WriteFloat(double value);
    void WriteSingle(float value);
    void WriteCurrency(std::int64_t scaled);
    void WriteDate(double value);
    // An 8-bit string: tag 6 and a length byte up to 255 bytes, tag 12 and
    // a 32-bit length beyond.
    void WriteString(const QString &value);
    void WriteWideString(const QString &value);
    void WriteUTF8String(const QString &value);
    // An identifier; False, True, nil and Null take their own tags.
    void WriteIdent(const QString &ident);
    // A set as the names of its elements.
    void WriteSet(const TypeInfo &setType, std::uint32_t bits);
    void WriteBinary(const QByteArray &bytes);
    void WriteVariant(const Variant &value);
    void WriteCollection(const TCollection *collection);
    // The stored published properties that differ from their defaults, then
    // the defined ones.
    void WriteProperties(const TPersistent &object);

private:
    void writeProperty(const TPersistent &object, const PropInfo &property);
    void writeShortString(const QByteArray &bytes);
    void writeBytes(const void *data, std::int64_t count) { stream_.WriteBuffer(data, count); }
    void writeInt32(std::int32_t value);

    QString prefix_;
};

class TReader : public TFiler {
public:
    using TFiler::TFiler;

    void DefineProperty(const QString &name, const ReaderProc &read, const WriterProc &write, bool hasData) override;
    void DefineBinaryProperty(const QString &name, const StreamProc &read, const StreamProc &write,
                              bool hasData) override;

    ValueType ReadValue();
    ValueType NextValue();
    bool EndOfList() { return NextValue() == ValueType::Null; }
    void ReadListBegin() { checkValue(ValueType::List); }
    void ReadListEnd() { checkValue(ValueType::Null); }
    QString ReadPropName();
    std::int32_t ReadInteger();
    std::int64_t ReadInt64();
    bool ReadBoolean();
    double ReadFloat();
    float ReadSingle();
    std::int64_t ReadCurrency();
    double ReadDate();
    // Any string tag (8-bit, long, wide, UTF-8).
    QString ReadString();
    QString ReadWideString() { return ReadString(); }
    // An identifier; the tags of False, True, nil and Null give those words.
    QString ReadIdent();
    std::uint32_t ReadSet(const TypeInfo &setType);
    QByteArray ReadBinary();
    Variant ReadVariant();
    void ReadCollection(TCollection *collection);
    // Skips one value of any tag.
    void SkipValue();
    // Reads one property (its name, then its value) into the object; a name
    // the object neither publishes nor defines raises ClassError "Свойство
    // ... не существует".
    void ReadProperty(TPersistent &object);
    // Properties up to the end of the list, and the end tag.
    void ReadProperties(TPersistent &object);
    // Sets the object properties that were read as names: looked up among
    // the root's components (letter case ignored); unknown names leave
    // them unset.
    void FixupReferences();

private:
    void checkValue(ValueType expected);
    void readPropertyValue(TPersistent &object, const PropInfo &property);
    QByteArray readShortString();
    std::int32_t readInt32();
    void readBytes(void *data, std::int64_t count);
    std::int64_t left();
    void skip(int depth);

    struct Fixup {
        TPersistent *object;
        const PropInfo *property;
        QString name;
    };
    std::vector<Fixup> fixups_;
    QString property_; // the defined property being looked for
    bool found_ = false;
};

} // namespace platform::classlib
