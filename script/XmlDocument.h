#pragma once
// The script engine's XML document: the grammars of its languages and the
// intermediate programs the parser writes are held in it, and scripts may
// use it for their own files. Its own small subset of XML:
// - a header tag, then one root element; everything lives in attributes,
//   text between tags is skipped; comments <!-- ... --> are skipped;
// - an element's attributes are kept as the raw text of its tag (Text);
//   Prop unescapes one value: "&#N;" (the code's low 8 bits) and "&quot;";
// - writing escapes line feed, carriage return, '"', '<' and '>' as "&#N;"
//   but leaves '&' as it stands, so "&#60;" written as text reads back "<";
// - bytes pass unchanged (8-bit text in the Windows code page).
// Reading leaves the stream just after the root's closing '>', although it
// reads ahead in 4096-byte blocks, so that other data may follow it.

#include "script/ScriptStream.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

namespace script {

// "Invalid file format": the text breaks the subset's structure.
inline constexpr const char *kInvalidFileFormat = "Invalid file format";

// A value escaped for an attribute of the tag text.
QByteArray xmlEscape(QByteArrayView value);
// An attribute value unescaped; a numeric reference that is no number raises
// platform::ConvertError, one without ";" stays as it is.
QByteArray xmlUnescape(QByteArrayView value);

class TfsXMLItem {
public:
    TfsXMLItem() = default;
    // Frees the subtree and leaves the parent's list.
    ~TfsXMLItem();
    TfsXMLItem(const TfsXMLItem &) = delete;
    TfsXMLItem &operator=(const TfsXMLItem &) = delete;

    // A new empty element appended as the last child.
    TfsXMLItem *Add();
    // Appends an element, taking it from its former parent.
    void AddItem(TfsXMLItem *item);
    // As AddItem, then moved to the index.
    void InsertItem(int index, TfsXMLItem *item);
    // Frees every child.
    void Clear();
    int Count() const { return static_cast<int>(children_.size()); }
    TfsXMLItem *Items(int index) const { return children_.at(static_cast<size_t>(index)); }
    // Index of the first child of that name, ignoring case; -1 when none.
    int Find(QByteArrayView name) const;
    // That child; a missing one is appended, empty, and returned.
    TfsXMLItem *FindItem(QByteArrayView name);
    // The unescaped value of the attribute (its name ignoring case, matched
    // only at the start of a pair); empty when absent.
    QByteArray Prop(QByteArrayView name) const;
    // The topmost ancestor.
    TfsXMLItem *Root();
    // Replaces the children with a copy of the source's tree, and takes its
    // name, text and data (no source: only clears).
    void CopyTree(const TfsXMLItem *source);
    TfsXMLItem *Parent() const { return parent_; }

    qintptr Data = 0;
    QByteArray Name;
    QByteArray Text;

private:
    void detach();

    TfsXMLItem *parent_ = nullptr;
    std::vector<TfsXMLItem *> children_;
};

class TfsXMLDocument {
public:
    TfsXMLDocument() = default;
    TfsXMLDocument(const TfsXMLDocument &) = delete;
    TfsXMLDocument &operator=(const TfsXMLDocument &) = delete;

    TfsXMLItem *Root() { return &root_; }
    const TfsXMLItem *Root() const { return &root_; }
    // Each tag on a line of its own, two blanks of indent a level (off
    // unless set).
    bool AutoIndent = false;

    // Raise ScriptError kInvalidFileFormat on a broken structure (what was
    // read stays in the tree); an element left open at the end is taken as
    // complete.
    void LoadFromStream(ByteStream &stream);
    void SaveToStream(ByteStream &stream) const;
    // Raise FileStreamError when the file cannot be opened or created.
    void LoadFromFile(const QString &fileName);
    void SaveToFile(const QString &fileName) const;
    // The document one tag a line, without indentation, each line ended by
    // a line feed (for people to read).
    QByteArray TagLines() const;

    // Nesting deeper than this is refused as an invalid format: the tree is
    // walked recursively.
    static constexpr int kMaxDepth = 5000;

private:
    TfsXMLItem root_;
};

} // namespace script
