#pragma once
// The report library's XML document, under its templates (".fr3") and
// prepared reports (".fp3"): elements carry a name and their attributes as
// the raw bytes of the tag; text between tags is skipped, comments too; only
// "&#N;" and "&quot;" are decoded and nothing is transcoded. Beside the
// script engine's document (script/XmlDocument.h) it escapes "&" as well,
// writes the utf-8 header and can keep subtrees out of memory: an element
// marked ld="0" is left in the stream it was read from, or unloaded to a
// temporary file, and read back on demand (LoadItem), so that large prepared
// reports need not be held whole.

#include "platform/Variant.h"
#include "platform/classlib/Streams.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace xmlreports {

using platform::classlib::TStream;

// "Invalid file format": the text breaks the structure of the subset.
class XmlFormatError : public std::runtime_error {
public:
    XmlFormatError() : std::runtime_error("Invalid file format") {}
    QString message() const { return QStringLiteral("Invalid file format"); }
};

// Each LF, CR, '"', '&', '<' and '>' as "&#" + decimal code + ";".
QByteArray EscapeXMLText(QByteArrayView text);
// "&#N;" as the character N (modulo 256) and "&quot;" as '"'; every other
// reference stays. A reference whose digits are no number raises
// platform::ConvertError; one without ";" stays as it stands.
QByteArray UnescapeXMLText(QByteArrayView text);
// Integers in decimal, floats by the platform's float text (the regional
// decimal separator), dates by their short date text, strings escaped (as
// Windows-1251 bytes), Booleans "1"/"0"; anything else empty.
QByteArray VariantToXMLText(const platform::Variant &value);

class TfrxXMLDocument;

class TfrxXMLItem {
public:
    TfrxXMLItem() = default;
    // Frees the subtree and leaves the parent's list.
    ~TfrxXMLItem();
    TfrxXMLItem(const TfrxXMLItem &) = delete;
    TfrxXMLItem &operator=(const TfrxXMLItem &) = delete;

    TfrxXMLItem *Add();
    // Appends an element, taking it from its former parent.
    void AddItem(TfrxXMLItem *item);
    // As AddItem, then moved to the index.
    void InsertItem(int index, TfrxXMLItem *item);
    int Count() const { return static_cast<int>(children_.size()); }
    TfrxXMLItem *Items(int index) const { return children_.at(static_cast<size_t>(index)); }
    // The first child of that name (letter case ignored, Cyrillic too); -1.
    int Find(QByteArrayView name) const;
    // That child, or a new last child of that name.
    TfrxXMLItem *FindItem(QByteArrayView name);
    int IndexOfChild(const TfrxXMLItem *item) const;
    // Frees the children; an unloadable element becomes not loaded.
    void Clear();
    TfrxXMLItem *Parent() const { return parent_; }

    // The unescaped value of the attribute (name in any letter case), empty
    // when absent.
    QByteArray Prop(QByteArrayView name) const;
    // Replaces the attribute in place or appends it; the value is escaped.
    void SetProp(QByteArrayView name, QByteArrayView value);

    bool Loaded() const { return loaded_; }
    bool Unloadable() const { return unloadable_; }
    void SetUnloadable(bool on) { unloadable_ = on; }
    // Where the element's opening tag starts in the store (40 bits).
    std::int64_t Offset() const { return (std::int64_t(hiOffset_) << 32) | loOffset_; }
    void SetOffset(std::int64_t offset)
    {
        hiOffset_ = static_cast<std::uint8_t>(offset >> 32);
        loOffset_ = static_cast<std::uint32_t>(offset);
    }

    QByteArray Name;
    // The attributes as they stand in the tag, values escaped.
    QByteArray Text;

private:
    friend class TfrxXMLDocument;
    friend class XmlReader;
    friend class XmlWriter;
    void detach();
    // Takes the children of another element (which keeps none).
    void takeChildren(TfrxXMLItem &from);

    TfrxXMLItem *parent_ = nullptr;
    std::vector<TfrxXMLItem *> children_;
    bool loaded_ = true;
    bool unloadable_ = false;
    std::uint8_t hiOffset_ = 0;
    std::uint32_t loOffset_ = 0;
};

class TfrxXMLDocument {
public:
    TfrxXMLDocument() = default;
    ~TfrxXMLDocument();
    TfrxXMLDocument(const TfrxXMLDocument &) = delete;
    TfrxXMLDocument &operator=(const TfrxXMLDocument &) = delete;

    TfrxXMLItem *Root() { return &root_; }
    const TfrxXMLItem *Root() const { return &root_; }
    // Each tag on a line of its own (CR LF), two spaces of indent a level.
    bool AutoIndent = false;
    // The folder of the temporary file; empty: the system's.
    QString TempDir;

    // Clears the root's children and drops the store.
    void Clear();
    // Reads the header and the root element. Lazy: marked elements stay in
    // the stream, which the document then keeps (and frees). Raises
    // XmlFormatError on a broken structure (what was read stays).
    void LoadFromStream(std::unique_ptr<TStream> stream, bool lazy);
    // Not lazy: the stream stays the caller's.
    void LoadFromStream(TStream &stream);
    // The header and the whole tree; unloaded elements are read back on
    // the way and unloaded again after.
    void SaveToStream(TStream &stream);
    void LoadFromFile(const QString &fileName);
    void SaveToFile(const QString &fileName);
    // Reads an unloaded element's children back from the store.
    void LoadItem(TfrxXMLItem *item);
    // Moves a loaded unloadable element's subtree to the end of the
    // temporary file. Nothing on a document read lazily: its unread
    // elements live in the source stream, which is not written to.
    void UnloadItem(TfrxXMLItem *item);
    // The temporary file's name; empty while there is none.
    const QString &TempFileName() const { return tempFileName_; }

    // Nesting deeper than this is refused as an invalid format.
    static constexpr int kMaxDepth = 4000;

private:
    void createTempFile();
    void dropStore();

    TfrxXMLItem root_;
    std::unique_ptr<TStream> store_;
    QString tempFileName_;
    bool tempFile_ = false;
};

} // namespace xmlreports
