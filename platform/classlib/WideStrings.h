#pragma once
// A list of wide (UTF-16) lines with an object pointer each, beside the
// 8-bit string lists: converts to and from them, splits and joins text at
// line ends, reads and writes files and streams, and stores itself in the
// binary property stream as UTF-8 lines ("UTF8"; "Strings" is read too).

#include "platform/classlib/Classes.h"

namespace platform::classlib {

class TWideStrings : public TPersistent {
    TOLVANE_CLASSINFO
public:
    int Count() const { return static_cast<int>(items_.size()); }
    // The line, or "" outside 0..Count-1.
    QString Strings(int index) const;
    // Replaces a line; Count appends; any other index raises ClassError
    // "Wide String Out of Bounds" and leaves the list.
    void SetString(int index, const QString &text);
    // The object, none outside the list; setting outside is ignored.
    TObject *Objects(int index) const;
    void SetObject(int index, TObject *object);
    int Add(const QString &text) { return AddObject(text, nullptr); }
    int AddObject(const QString &text, TObject *object);
    void AddStrings(const TWideStrings &other);
    // The class library's list error for a bad index.
    void Delete(int index);
    // The first line equal to the text (exact comparison), -1 when none.
    int IndexOf(const QString &text) const;
    void Clear() { items_.clear(); }

    // Every line followed by CR LF.
    QString Text() const;
    // Lines end at CR, LF or U+2028; after the line one CR, one LF and one
    // U+2028 are skipped, in that order, when present. An end mark at the
    // end adds no empty line; an empty text adds no line.
    void SetText(QStringView text);

    // From a wide list: lines and objects; from an 8-bit list: its lines
    // (characters of the code page) and objects.
    void Assign(const TPersistent *source) override;
    // Content of more than two bytes that begins FF FE is UTF-16
    // little-endian; anything else is 8-bit text of the code page.
    void LoadFromStream(TStream &stream);
    // FF FE, then the text as UTF-16 little-endian, so that the list loads
    // back as it was.
    void SaveToStream(TStream &stream) const;
    void LoadFromFile(const QString &fileName);
    // Replaces the file whole (a failed write leaves the old one).
    void SaveToFile(const QString &fileName) const;
    void DefineProperties(TFiler &filer) override;

protected:
    // To an 8-bit list: cleared, then each line narrowed to the code page
    // with its object, inside one update bracket.
    void AssignTo(TPersistent *target) const override;

private:
    struct Item {
        QString text;
        TObject *object = nullptr;
    };
    QByteArray fileBytes() const;
    std::vector<Item> items_;
};

} // namespace platform::classlib
