#include "platform/classlib/WideStrings.h"

#include "platform/SafeFile.h"
#include "platform/TextCodec.h"
#include "platform/classlib/Filer.h"
#include "platform/classlib/Properties.h"

#include <QtEndian>

namespace platform::classlib {

const ClassInfo &TWideStrings::staticClassInfo()
{
    static const ClassInfo info = makeClassInfo<TWideStrings, TPersistent>("TWideStrings", {});
    return info;
}

QString TWideStrings::Strings(int index) const
{
    return index >= 0 && index < Count() ? items_[static_cast<size_t>(index)].text : QString();
}

void TWideStrings::SetString(int index, const QString &text)
{
    if (index == Count())
        Add(text);
    else if (index >= 0 && index < Count())
        items_[static_cast<size_t>(index)].text = text;
    else
        throw ClassError(QStringLiteral("Wide String Out of Bounds"));
}

TObject *TWideStrings::Objects(int index) const
{
    return index >= 0 && index < Count() ? items_[static_cast<size_t>(index)].object : nullptr;
}

void TWideStrings::SetObject(int index, TObject *object)
{
    if (index >= 0 && index < Count())
        items_[static_cast<size_t>(index)].object = object;
}

int TWideStrings::AddObject(const QString &text, TObject *object)
{
    items_.push_back({text, object});
    return Count() - 1;
}

void TWideStrings::AddStrings(const TWideStrings &other)
{
    const std::vector<Item> copy = other.items_; // the list may be this one
    items_.insert(items_.end(), copy.begin(), copy.end());
}

void TWideStrings::Delete(int index)
{
    if (index < 0 || index >= Count())
        listIndexError(index);
    items_.erase(items_.begin() + index);
}

int TWideStrings::IndexOf(const QString &text) const
{
    for (int i = 0; i < Count(); ++i)
        if (items_[static_cast<size_t>(i)].text == text)
            return i;
    return -1;
}

QString TWideStrings::Text() const
{
    QString text;
    for (const Item &i : items_)
        text += i.text + QStringLiteral("\r\n");
    return text;
}

void TWideStrings::SetText(QStringView text)
{
    Clear();
    const auto isEnd = [](QChar c) { return c == u'\r' || c == u'\n' || c == QChar(0x2028); };
    qsizetype at = 0;
    const qsizetype n = text.size();
    while (at < n) {
        qsizetype end = at;
        while (end < n && !isEnd(text[end]))
            ++end;
        Add(text.mid(at, end - at).toString());
        at = end;
        if (at < n && text[at] == u'\r')
            ++at;
        if (at < n && text[at] == u'\n')
            ++at;
        if (at < n && text[at] == QChar(0x2028))
            ++at;
    }
}

void TWideStrings::Assign(const TPersistent *source)
{
    if (const auto *wide = dynamic_cast<const TWideStrings *>(source)) {
        if (wide != this)
            items_ = wide->items_;
        return;
    }
    if (const auto *narrow = dynamic_cast<const TStrings *>(source)) {
        Clear();
        for (int i = 0; i < narrow->Count(); ++i)
            AddObject(narrow->Get(i), narrow->GetObject(i));
        return;
    }
    TPersistent::Assign(source);
}

void TWideStrings::AssignTo(TPersistent *target) const
{
    if (auto *wide = dynamic_cast<TWideStrings *>(target)) {
        wide->Assign(this);
        return;
    }
    if (auto *narrow = dynamic_cast<TStrings *>(target)) {
        narrow->BeginUpdate();
        narrow->Clear();
        for (const Item &i : items_)
            narrow->AddObject(fromCp1251(toCp1251(i.text)), i.object);
        narrow->EndUpdate();
        return;
    }
    TPersistent::AssignTo(target);
}

void TWideStrings::LoadFromStream(TStream &stream)
{
    const QByteArray bytes = stream.ReadRest();
    if (bytes.size() > 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        const qsizetype units = (bytes.size() - 2) / 2;
        QString text(units, Qt::Uninitialized);
        for (qsizetype i = 0; i < units; ++i)
            text[i] = QChar(qFromLittleEndian<quint16>(bytes.constData() + 2 + 2 * i));
        SetText(text);
    } else {
        SetText(fromCp1251(bytes));
    }
}

QByteArray TWideStrings::fileBytes() const
{
    const QString text = Text();
    QByteArray bytes(2 + text.size() * 2, Qt::Uninitialized);
    bytes[0] = static_cast<char>(0xFF);
    bytes[1] = static_cast<char>(0xFE);
    for (qsizetype i = 0; i < text.size(); ++i)
        qToLittleEndian<quint16>(text[i].unicode(), bytes.data() + 2 + 2 * i);
    return bytes;
}

void TWideStrings::SaveToStream(TStream &stream) const
{
    stream.WriteBytes(fileBytes());
}

void TWideStrings::LoadFromFile(const QString &fileName)
{
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TWideStrings::SaveToFile(const QString &fileName) const
{
    if (!writeFileAtomically(fileName, fileBytes()))
        throw StreamError(QStringLiteral("Не удаётся создать файл «%1»").arg(fileName));
}

void TWideStrings::DefineProperties(TFiler &filer)
{
    const auto readList = [this](TReader &reader, bool utf8) {
        reader.ReadListBegin();
        Clear();
        while (!reader.EndOfList()) {
            const QString s = reader.ReadString();
            Add(utf8 ? QString::fromUtf8(toCp1251(s)) : s);
        }
        reader.ReadListEnd();
    };
    filer.DefineProperty(QStringLiteral("Strings"), [readList](TReader &r) { readList(r, false); }, nullptr, false);
    filer.DefineProperty(
        QStringLiteral("UTF8"), [readList](TReader &r) { readList(r, true); },
        [this](TWriter &writer) {
            writer.WriteListBegin();
            // Each line's UTF-8 bytes as an 8-bit string: every byte is a
            // character of the code page, so the bytes go out unchanged.
            for (const Item &i : items_)
                writer.WriteString(fromCp1251(i.text.toUtf8()));
            writer.WriteListEnd();
        },
        Count() > 0);
}

} // namespace platform::classlib
