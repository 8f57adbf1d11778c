#include "script/XmlDocument.h"

#include "platform/NumberFormat.h"
#include "script/AnsiText.h"
#include "script/ScriptError.h"

#include <algorithm>
#include <cstring>

namespace script {

qint64 MemoryStream::Read(char *buffer, qint64 count)
{
    const qint64 n = std::clamp<qint64>(bytes_.size() - position_, 0, std::max<qint64>(count, 0));
    if (n > 0)
        std::memcpy(buffer, bytes_.constData() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

qint64 MemoryStream::Write(const char *buffer, qint64 count)
{
    if (count <= 0)
        return 0;
    if (position_ + count > bytes_.size())
        bytes_.resize(position_ + count);
    std::memcpy(bytes_.data() + position_, buffer, static_cast<size_t>(count));
    position_ += count;
    return count;
}

FileStream::FileStream(const QString &fileName, Mode mode) : file_(fileName)
{
    if (mode == OpenRead) {
        if (!file_.open(QIODevice::ReadOnly))
            throw FileStreamError(QStringLiteral("Невозможно открыть файл ") + fileName);
    } else if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        throw FileStreamError(QStringLiteral("Невозможно создать файл ") + fileName);
    }
}

QByteArray xmlEscape(QByteArrayView value)
{
    QByteArray out;
    out.reserve(value.size());
    for (const char c : value) {
        switch (c) {
        case '\n': out += "&#10;"; break;
        case '\r': out += "&#13;"; break;
        case '"': out += "&#34;"; break;
        case '<': out += "&#60;"; break;
        case '>': out += "&#62;"; break;
        default: out += c;
        }
    }
    return out;
}

QByteArray xmlUnescape(QByteArrayView value)
{
    QByteArray s = value.toByteArray();
    if (!s.contains('&'))
        return s;
    // Up to the next-to-last character; a replaced reference is not scanned
    // again, so a decoded '&' stays.
    for (qsizetype i = 0; i + 1 < s.size(); ++i) {
        if (s[i] != '&')
            continue;
        if (s[i + 1] == '#' && s.size() - i - 1 >= 3) {
            const qsizetype semicolon = s.indexOf(';', i + 2);
            if (semicolon < 0)
                break; // no end before the value's end: kept as it stands
            const QByteArray digits = s.mid(i + 2, semicolon - i - 2);
            qint64 code = 0;
            if (!parseInteger(digits, code) || code < INT32_MIN || code > INT32_MAX)
                throw platform::ConvertError(QStringLiteral("'%1' is not a valid integer value")
                                                 .arg(QString::fromLatin1(digits)));
            s.replace(i, semicolon - i + 1, QByteArray(1, static_cast<char>(code & 0xFF)));
        } else if (s.mid(i + 1, 5) == "quot;") {
            s.replace(i, 6, QByteArray(1, '"'));
        }
    }
    return s;
}

// ---------------------------------------------------------------- elements

TfsXMLItem::~TfsXMLItem()
{
    Clear();
    detach();
}

void TfsXMLItem::detach()
{
    if (!parent_)
        return;
    auto &list = parent_->children_;
    list.erase(std::find(list.begin(), list.end(), this));
    parent_ = nullptr;
}

TfsXMLItem *TfsXMLItem::Add()
{
    auto *item = new TfsXMLItem;
    AddItem(item);
    return item;
}

void TfsXMLItem::AddItem(TfsXMLItem *item)
{
    item->detach();
    item->parent_ = this;
    children_.push_back(item);
}

void TfsXMLItem::InsertItem(int index, TfsXMLItem *item)
{
    AddItem(item);
    children_.pop_back();
    const auto at = std::clamp<qsizetype>(index, 0, static_cast<qsizetype>(children_.size()));
    children_.insert(children_.begin() + at, item);
}

void TfsXMLItem::Clear()
{
    for (TfsXMLItem *child : children_) {
        child->parent_ = nullptr;
        delete child;
    }
    children_.clear();
}

int TfsXMLItem::Find(QByteArrayView name) const
{
    for (size_t i = 0; i < children_.size(); ++i)
        if (ansiSameText(children_[i]->Name, name))
            return static_cast<int>(i);
    return -1;
}

TfsXMLItem *TfsXMLItem::FindItem(QByteArrayView name)
{
    const int i = Find(name);
    if (i >= 0)
        return children_[static_cast<size_t>(i)];
    TfsXMLItem *item = Add();
    item->Name = name.toByteArray();
    return item;
}

QByteArray TfsXMLItem::Prop(QByteArrayView name) const
{
    const QByteArray text = ansiUpperCase(QByteArray(" ") + Text);
    const QByteArray key = " " + ansiUpperCase(name) + "=\"";
    const qsizetype at = text.indexOf(key);
    if (at < 0)
        return {};
    // The value from the unchanged text (the blank put before it shifts by one).
    const qsizetype begin = at + key.size() - 1;
    const qsizetype end = Text.indexOf('"', begin);
    return xmlUnescape(QByteArrayView(Text).sliced(begin, (end < 0 ? Text.size() : end) - begin));
}

TfsXMLItem *TfsXMLItem::Root()
{
    TfsXMLItem *item = this;
    while (item->parent_)
        item = item->parent_;
    return item;
}

void TfsXMLItem::CopyTree(const TfsXMLItem *source)
{
    Clear();
    if (!source)
        return;
    Name = source->Name;
    Text = source->Text;
    Data = source->Data;
    for (const TfsXMLItem *child : source->children_)
        Add()->CopyTree(child);
}

// ---------------------------------------------------------------- reading

namespace {

class Reader {
public:
    explicit Reader(ByteStream &stream) : stream_(stream), size_(stream.Size()), position_(stream.Position()) {}
    // The stream stands after the last byte taken, not after the last block.
    ~Reader() { stream_.SetPosition(position_); }

    void readHeader()
    {
        QByteArray name, text;
        readTag(name, text);
        if (!name.startsWith("?xml"))
            throw ScriptError(QString::fromLatin1(kInvalidFileFormat));
    }

    // Reads the root element and its subtree into the item.
    void readRoot(TfsXMLItem *root)
    {
        // The elements still open, innermost last: iterative, so that a deep
        // text cannot exhaust the stack.
        std::vector<TfsXMLItem *> open;
        QByteArray name, text;
        readTag(name, text);
        root->Name = name;
        root->Text = text;
        if (name.isEmpty() || name.startsWith('/') || closesItself(root))
            return;
        open.push_back(root);
        while (!open.empty()) {
            readTag(name, text);
            if (name.isEmpty())
                return; // the end of the data closes what is open
            if (name.startsWith('/')) {
                if (!ansiSameText(QByteArrayView(name).sliced(1), open.back()->Name))
                    throw ScriptError(QString::fromLatin1(kInvalidFileFormat));
                open.pop_back();
                continue;
            }
            TfsXMLItem *item = open.back()->Add();
            item->Name = name;
            item->Text = text;
            if (!closesItself(item)) {
                if (static_cast<int>(open.size()) >= TfsXMLDocument::kMaxDepth)
                    throw ScriptError(QString::fromLatin1(kInvalidFileFormat));
                open.push_back(item);
            }
        }
    }

private:
    static bool closesItself(TfsXMLItem *item)
    {
        if (item->Name.endsWith('/')) {
            item->Name.chop(1);
            return true;
        }
        if (item->Text.endsWith('/')) {
            item->Text.chop(1);
            return true;
        }
        return false;
    }

    // The next byte, or -1 at the end of the stream.
    int next()
    {
        if (index_ == filled_) {
            if (position_ >= size_)
                return -1;
            filled_ = static_cast<int>(stream_.Read(buffer_, sizeof buffer_));
            index_ = 0;
            if (filled_ <= 0) {
                filled_ = 0;
                return -1;
            }
        }
        ++position_;
        return static_cast<unsigned char>(buffer_[index_++]);
    }

    // One tag: its name and its attribute text; both empty at the end of
    // the stream.
    void readTag(QByteArray &name, QByteArray &text)
    {
        name.clear();
        text.clear();
        for (;;) {
            int c;
            do
                c = next();
            while (c != -1 && c != '<');
            if (c == -1)
                return;
            tag_.clear();
            bool comment = false;
            for (;;) {
                c = next();
                if (c == -1)
                    throw ScriptError(QString::fromLatin1(kInvalidFileFormat));
                if (c == '>')
                    break;
                if (c == '<')
                    throw ScriptError(QString::fromLatin1(kInvalidFileFormat));
                tag_ += static_cast<char>(c);
                if (tag_.size() == 3 && tag_ == "!--") {
                    skipComment();
                    comment = true;
                    break;
                }
            }
            if (comment)
                continue;
            if (tag_.endsWith(' '))
                tag_.chop(1);
            const qsizetype blank = tag_.indexOf(' ');
            if (blank < 0) {
                name = tag_;
            } else {
                name = tag_.left(blank);
                text = tag_.mid(blank + 1);
            }
            return;
        }
    }

    // Up to two dashes and '>'; a third dash in a row counts as the first of
    // a new pair, so "--->" does not close.
    void skipComment()
    {
        int dashes = 0;
        for (;;) {
            const int c = next();
            if (c == -1)
                throw ScriptError(QString::fromLatin1(kInvalidFileFormat));
            if (c == '-') {
                dashes = dashes == 2 ? 1 : dashes + 1;
            } else {
                if (c == '>' && dashes == 2)
                    return;
                dashes = 0;
            }
        }
    }

    ByteStream &stream_;
    qint64 size_;
    qint64 position_;
    char buffer_[4096];
    int filled_ = 0;
    int index_ = 0;
    QByteArray tag_;
};

class Writer {
public:
    // With a line end, each tag goes on a line of its own, indented by
    // `indent` blanks a level.
    Writer(ByteStream &stream, const char *lineEnd, int indent)
        : stream_(stream), lineEnd_(lineEnd), indent_(indent)
    {
    }

    void writeDocument(const TfsXMLItem *root)
    {
        out_ += "<?xml version=\"1.0\"?>";
        out_ += lineEnd_;
        writeItem(root, 0);
        flush();
    }

private:
    void writeItem(const TfsXMLItem *item, int level)
    {
        beginLine(level);
        out_ += '<';
        out_ += item->Name;
        if (!item->Text.isEmpty()) {
            if (!item->Text.startsWith(' '))
                out_ += ' ';
            out_ += item->Text;
        }
        if (item->Count() == 0) {
            out_ += "/>";
            endLine();
            return;
        }
        out_ += '>';
        endLine();
        for (int i = 0; i < item->Count(); ++i)
            writeItem(item->Items(i), level + 1);
        beginLine(level);
        out_ += "</";
        out_ += item->Name;
        out_ += '>';
        endLine();
    }
    void beginLine(int level) { out_.append(indent_ * level, ' '); }
    void endLine()
    {
        out_ += lineEnd_;
        if (out_.size() > 4096)
            flush();
    }
    void flush()
    {
        if (out_.isEmpty())
            return;
        if (stream_.Write(out_.constData(), out_.size()) != out_.size())
            throw FileStreamError(QStringLiteral("Ошибка записи в файл"));
        out_.clear();
    }

    ByteStream &stream_;
    const char *lineEnd_;
    int indent_;
    QByteArray out_;
};

} // namespace

void TfsXMLDocument::LoadFromStream(ByteStream &stream)
{
    root_.Clear();
    Reader reader(stream);
    reader.readHeader();
    reader.readRoot(&root_);
}

void TfsXMLDocument::SaveToStream(ByteStream &stream) const
{
    if (AutoIndent)
        Writer(stream, "\r\n", 2).writeDocument(&root_);
    else
        Writer(stream, "", 0).writeDocument(&root_);
}

QByteArray TfsXMLDocument::TagLines() const
{
    MemoryStream stream;
    Writer(stream, "\n", 0).writeDocument(&root_);
    return stream.Bytes();
}

void TfsXMLDocument::LoadFromFile(const QString &fileName)
{
    FileStream stream(fileName, FileStream::OpenRead);
    LoadFromStream(stream);
}

void TfsXMLDocument::SaveToFile(const QString &fileName) const
{
    FileStream stream(fileName, FileStream::Create);
    SaveToStream(stream);
}

} // namespace script
