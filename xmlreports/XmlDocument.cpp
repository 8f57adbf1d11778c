#include "xmlreports/XmlDocument.h"

#include "platform/DateTimeFormat.h"
#include "platform/NumberFormat.h"
#include "platform/TextCodec.h"
#include "script/XmlDocument.h"
#include "xmlreports/ReportUtils.h"

#include <QFile>

#include <algorithm>

namespace xmlreports {

using platform::classlib::SeekOrigin;
using platform::classlib::TFileStream;

QByteArray EscapeXMLText(QByteArrayView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '\n' || c == '\r' || c == '"' || c == '&' || c == '<' || c == '>') {
            out += "&#";
            out += QByteArray::number(static_cast<unsigned char>(c));
            out += ';';
        } else {
            out += c;
        }
    }
    return out;
}

QByteArray UnescapeXMLText(QByteArrayView text)
{
    // The same decoding as the script engine's document.
    return script::xmlUnescape(text);
}

QByteArray VariantToXMLText(const platform::Variant &value)
{
    using platform::VarType;
    switch (value.type()) {
    case VarType::Smallint:
    case VarType::Integer:
    case VarType::Byte:
    case VarType::Word:
    case VarType::Int64:
        return QByteArray::number(value.toInt64());
    case VarType::Single:
    case VarType::Double:
    case VarType::Currency:
        return platform::toCp1251(platform::floatToStr(value.toDouble()));
    case VarType::Date:
        return platform::toCp1251(platform::dateToStr(value.toDouble()));
    case VarType::String:
    case VarType::OleStr:
        return EscapeXMLText(platform::toCp1251(value.toString()));
    case VarType::Boolean:
        return value.toBool() ? "1" : "0";
    default:
        return {};
    }
}

// ---------------------------------------------------------------- elements

TfrxXMLItem::~TfrxXMLItem()
{
    for (TfrxXMLItem *child : children_) {
        child->parent_ = nullptr;
        delete child;
    }
    children_.clear();
    detach();
}

void TfrxXMLItem::detach()
{
    if (!parent_)
        return;
    auto &list = parent_->children_;
    list.erase(std::find(list.begin(), list.end(), this));
    parent_ = nullptr;
}

TfrxXMLItem *TfrxXMLItem::Add()
{
    auto *item = new TfrxXMLItem;
    AddItem(item);
    return item;
}

void TfrxXMLItem::AddItem(TfrxXMLItem *item)
{
    item->detach();
    item->parent_ = this;
    children_.push_back(item);
}

void TfrxXMLItem::InsertItem(int index, TfrxXMLItem *item)
{
    AddItem(item);
    children_.pop_back();
    index = std::clamp(index, 0, Count());
    children_.insert(children_.begin() + index, item);
}

int TfrxXMLItem::Find(QByteArrayView name) const
{
    const QString wanted = platform::fromCp1251(name);
    for (int i = 0; i < Count(); ++i)
        if (platform::ansiSameText(platform::fromCp1251(children_[size_t(i)]->Name), wanted))
            return i;
    return -1;
}

TfrxXMLItem *TfrxXMLItem::FindItem(QByteArrayView name)
{
    const int i = Find(name);
    if (i >= 0)
        return Items(i);
    TfrxXMLItem *item = Add();
    item->Name = name.toByteArray();
    return item;
}

int TfrxXMLItem::IndexOfChild(const TfrxXMLItem *item) const
{
    const auto it = std::find(children_.begin(), children_.end(), item);
    return it == children_.end() ? -1 : static_cast<int>(it - children_.begin());
}

void TfrxXMLItem::Clear()
{
    for (TfrxXMLItem *child : children_) {
        child->parent_ = nullptr;
        delete child;
    }
    children_.clear();
    children_.shrink_to_fit();
    if (unloadable_)
        loaded_ = false;
}

void TfrxXMLItem::takeChildren(TfrxXMLItem &from)
{
    for (TfrxXMLItem *child : from.children_) {
        child->parent_ = this;
        children_.push_back(child);
    }
    from.children_.clear();
}

namespace {

// Where " NAME=\"" starts in " " + the upper-cased text (as an index into
// the text, at the name), or -1.
qsizetype findAttribute(const QByteArray &text, QByteArrayView name)
{
    const QByteArray upper = platform::toCp1251(platform::ansiUpperCase(platform::fromCp1251(text)));
    const QByteArray key =
        ' ' + platform::toCp1251(platform::ansiUpperCase(platform::fromCp1251(name))) + "=\"";
    const qsizetype at = (' ' + upper).indexOf(key);
    return at; // the name starts at at + 1 in " " + text, at at in text
}

} // namespace

QByteArray TfrxXMLItem::Prop(QByteArrayView name) const
{
    const qsizetype at = findAttribute(Text, name);
    if (at < 0)
        return {};
    const qsizetype begin = at + name.size() + 2;
    qsizetype end = Text.indexOf('"', begin);
    if (end < 0)
        end = Text.size();
    return UnescapeXMLText(QByteArrayView(Text).sliced(begin, end - begin));
}

void TfrxXMLItem::SetProp(QByteArrayView name, QByteArrayView value)
{
    qsizetype at = findAttribute(Text, name);
    if (at >= 0) {
        const qsizetype valueStart = at + name.size() + 2;
        qsizetype close = Text.indexOf('"', valueStart);
        close = close < 0 ? Text.size() : close + 1;
        Text.remove(at, close - at);
    } else {
        at = Text.size();
    }
    QByteArray pair = name.toByteArray() + "=\"" + EscapeXMLText(value) + '"';
    if (at > 0 && Text[at - 1] != ' ')
        pair.prepend(' ');
    Text.insert(at, pair);
}

// ---------------------------------------------------------------- reading

class XmlReader {
public:
    explicit XmlReader(TStream &stream) : stream_(stream), size_(stream.Size()), position_(stream.Position()) {}
    ~XmlReader() { stream_.SetPosition(position_); }

    std::int64_t Position() const { return position_; }

    void ReadHeader()
    {
        QByteArray name, text;
        readTag(name, text);
        if (!name.startsWith("?xml"))
            throw XmlFormatError();
    }

    // Reads one element into item; whether the tag read was an end.
    bool ReadItem(TfrxXMLItem &item, bool loadAll, int depth)
    {
        if (depth > TfrxXMLDocument::kMaxDepth)
            throw XmlFormatError();
        const std::int64_t start = position_;
        readTag(item.Name, item.Text);
        lastTag_ = item.Name;
        if (item.Name.isEmpty() || item.Name.startsWith('/'))
            return true;
        if (item.Name.endsWith('/')) {
            item.Name.chop(1);
            return false;
        }
        if (item.Text.endsWith('/')) {
            item.Text.chop(1);
            return false;
        }
        for (;;) {
            auto child = std::make_unique<TfrxXMLItem>();
            if (ReadItem(*child, loadAll, depth + 1))
                break;
            item.AddItem(child.release());
        }
        if (!lastTag_.isEmpty() && !platform::ansiSameText(platform::fromCp1251(lastTag_),
                                                           QLatin1Char('/') + platform::fromCp1251(item.Name)))
            throw XmlFormatError();
        const qsizetype mark = findLoadMark(item.Text);
        if (mark >= 0) {
            item.Text.remove(mark, 6);
            if (!loadAll) {
                item.Clear();
                item.SetOffset(start);
                item.unloadable_ = true;
                item.loaded_ = false;
            }
        }
        return false;
    }

private:
    // The marker ld="0" as a whole attribute: outside any value, at the
    // start of the text, after a space or right after a closing quote.
    static qsizetype findLoadMark(const QByteArray &text)
    {
        bool inValue = false;
        for (qsizetype i = 0; i + 6 <= text.size(); ++i) {
            const char c = text[i];
            if (c == '"') {
                inValue = !inValue;
                continue;
            }
            if (inValue || (c != 'l' && c != 'L'))
                continue;
            if (i > 0 && text[i - 1] != ' ' && text[i - 1] != '"')
                continue;
            if ((text[i + 1] == 'd' || text[i + 1] == 'D') && text.mid(i + 2, 4) == "=\"0\"")
                return i;
        }
        return -1;
    }

    bool nextByte(char &c)
    {
        if (index_ >= fill_) {
            if (position_ >= size_)
                return false;
            const std::int64_t want = std::min<std::int64_t>(sizeof buffer_, size_ - position_);
            stream_.SetPosition(position_);
            fill_ = static_cast<int>(stream_.Read(buffer_, want));
            index_ = 0;
            if (fill_ <= 0) {
                fill_ = 0;
                return false;
            }
        }
        c = buffer_[index_++];
        ++position_;
        return true;
    }

    void readTag(QByteArray &name, QByteArray &text)
    {
        enum { Outside, InTag, InComment } state = Outside;
        QByteArray tag;
        int dashes = 0;
        char c;
        bool done = false;
        while (!done && nextByte(c)) {
            switch (state) {
            case Outside:
                if (c == '<')
                    state = InTag;
                break;
            case InTag:
                if (c == '>') {
                    done = true;
                } else if (c == '<') {
                    throw XmlFormatError();
                } else {
                    tag += c;
                    if (tag.size() == 3 && tag == "!--") {
                        state = InComment;
                        tag.clear();
                        dashes = 0;
                    }
                }
                break;
            case InComment:
                if (dashes >= 2) {
                    if (c == '>')
                        state = Outside;
                    else
                        dashes = 0;
                } else {
                    dashes = c == '-' ? dashes + 1 : 0;
                }
                break;
            }
        }
        if (!done && state == InTag)
            throw XmlFormatError();
        if (tag.endsWith(' '))
            tag.chop(1);
        const qsizetype space = tag.indexOf(' ');
        if (space < 0) {
            name = tag;
            text.clear();
        } else {
            name = tag.left(space);
            text = tag.mid(space + 1);
        }
    }

    TStream &stream_;
    std::int64_t size_;
    std::int64_t position_;
    char buffer_[4096];
    int fill_ = 0;
    int index_ = 0;
    QByteArray lastTag_;
};

// ---------------------------------------------------------------- writing

class XmlWriter {
public:
    XmlWriter(TStream &stream, bool autoIndent, TStream *store)
        : stream_(stream), autoIndent_(autoIndent), store_(store)
    {
    }
    void WriteHeader()
    {
        out_ += "<?xml version=\"1.0\" encoding=\"utf-8\"?>";
        if (autoIndent_)
            out_ += "\r\n";
    }

    void WriteItem(TfrxXMLItem &item, int indent)
    {
        bool readBack = false;
        if (store_ && item.unloadable_ && !item.loaded_) {
            TfrxXMLItem copy;
            store_->SetPosition(item.Offset());
            {
                XmlReader reader(*store_);
                reader.ReadItem(copy, true, 0);
            }
            item.takeChildren(copy);
            readBack = true;
        }
        QByteArray tag;
        if (!item.Text.isEmpty() || item.unloadable_) {
            tag = item.Text;
            if (!tag.startsWith(' '))
                tag.prepend(' ');
            if (item.unloadable_)
                tag += "ld=\"0\"";
        }
        const bool children = item.Count() > 0;
        line(indent, '<' + item.Name + tag + (children ? ">" : "/>"));
        for (TfrxXMLItem *child : item.children_)
            WriteItem(*child, autoIndent_ ? indent + 2 : 0);
        if (children)
            line(indent, "</" + item.Name + '>');
        if (readBack) {
            item.Clear();
            item.loaded_ = false;
        }
    }

    void flush()
    {
        if (!out_.isEmpty())
            stream_.WriteBuffer(out_.constData(), out_.size());
        out_.clear();
    }

private:
    void line(int indent, const QByteArray &text)
    {
        if (autoIndent_)
            out_ += QByteArray(indent, ' ');
        out_ += text;
        if (autoIndent_)
            out_ += "\r\n";
        if (out_.size() > 4096)
            flush();
    }

    TStream &stream_;
    bool autoIndent_;
    TStream *store_;
    QByteArray out_;
};

// ---------------------------------------------------------------- document

TfrxXMLDocument::~TfrxXMLDocument()
{
    dropStore();
}

void TfrxXMLDocument::Clear()
{
    root_.Clear();
    dropStore();
}

void TfrxXMLDocument::dropStore()
{
    store_.reset();
    if (tempFile_)
        QFile::remove(tempFileName_);
    tempFile_ = false;
    tempFileName_.clear();
}

void TfrxXMLDocument::createTempFile()
{
    if (tempFile_)
        return;
    dropStore();
    tempFileName_ = MakeTempFileNameIn(TempDir.left(64));
    store_ = std::make_unique<TFileStream>(tempFileName_, platform::classlib::fmOpenReadWrite);
    tempFile_ = true;
}

void TfrxXMLDocument::LoadFromStream(std::unique_ptr<TStream> stream, bool lazy)
{
    dropStore();
    root_.Clear();
    TStream &source = *stream;
    if (lazy)
        store_ = std::move(stream);
    XmlReader reader(source);
    reader.ReadHeader();
    reader.ReadItem(root_, !lazy, 0);
}

void TfrxXMLDocument::LoadFromStream(TStream &stream)
{
    dropStore();
    root_.Clear();
    XmlReader reader(stream);
    reader.ReadHeader();
    reader.ReadItem(root_, true, 0);
}

void TfrxXMLDocument::SaveToStream(TStream &stream)
{
    XmlWriter writer(stream, AutoIndent, store_.get());
    writer.WriteHeader();
    writer.WriteItem(root_, 0);
    writer.flush();
}

void TfrxXMLDocument::LoadFromFile(const QString &fileName)
{
    TFileStream stream(fileName, platform::classlib::fmOpenRead | platform::classlib::fmShareDenyWrite);
    LoadFromStream(stream);
}

void TfrxXMLDocument::SaveToFile(const QString &fileName)
{
    // Whole in memory first, so that a failed write leaves the old file.
    platform::classlib::TMemoryStream bytes;
    SaveToStream(bytes);
    bytes.SaveToFile(fileName);
}

void TfrxXMLDocument::LoadItem(TfrxXMLItem *item)
{
    if (!store_ || !item || !item->unloadable_ || item->loaded_)
        return;
    TfrxXMLItem copy;
    store_->SetPosition(item->Offset());
    {
        XmlReader reader(*store_);
        reader.ReadItem(copy, true, 0);
    }
    item->takeChildren(copy);
    item->loaded_ = true;
}

void TfrxXMLDocument::UnloadItem(TfrxXMLItem *item)
{
    if (!item || !item->loaded_ || !item->unloadable_)
        return;
    if (store_ && !tempFile_)
        return;
    createTempFile();
    const std::int64_t offset = store_->Seek(0, SeekOrigin::End);
    {
        XmlWriter writer(*store_, AutoIndent, nullptr);
        writer.WriteItem(*item, 0);
        writer.flush();
    }
    item->SetOffset(offset);
    item->Clear();
    item->loaded_ = false;
}

} // namespace xmlreports
