#pragma once
// The readable sources of the generated layers: UTF-8 text of sections
// "[kind name]" holding "key = value" lines. "#" starts a comment anywhere on
// a line; a key may repeat (lists keep their order). Every read names the
// source line in its error, so a slip in a description is found at once.

#include <QDate>
#include <QString>
#include <QStringList>

#include <stdexcept>
#include <vector>

namespace layergen {

class DescriptionError : public std::runtime_error {
public:
    explicit DescriptionError(const QString &message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString &message() const { return message_; }
private:
    QString message_;
};

struct Entry {
    QString key;
    QString value;
    int line = 0;
};

class Section {
public:
    QString kind;  // first word inside the brackets
    QString name;  // the rest, trimmed (may be empty)
    QString file;
    int line = 0;
    std::vector<Entry> entries;

    bool has(const QString &key) const;
    // The single entry of the key; raises when it is missing (unless a default
    // is given) or given twice.
    const Entry *find(const QString &key) const;
    // The single entry of the key with a value; raises when it is missing.
    const Entry &need(const QString &key) const;
    QString text(const QString &key) const;
    QString text(const QString &key, const QString &fallback) const;
    std::vector<const Entry *> all(const QString &key) const;
    // Raises when the section holds a key outside the list.
    void allowOnly(const QStringList &keys) const;

    [[noreturn]] void fail(const QString &message) const;
    [[noreturn]] void fail(const Entry &e, const QString &message) const;
};

class Description {
public:
    // Reads the file; raises DescriptionError naming the file and line.
    static Description read(const QString &path);
    static Description parse(const QString &text, const QString &file);

    QString file;
    std::vector<Section> sections;

    const Section *find(const QString &kind, const QString &name = {}) const;
    const Section &get(const QString &kind, const QString &name = {}) const;
    std::vector<const Section *> all(const QString &kind) const;
};

// Value helpers; each raises DescriptionError naming the entry's line.
QStringList splitParts(const Section &s, const Entry &e, QChar separator, int minCount, int maxCount);
double toNumber(const Section &s, const Entry &e, const QString &text);
int toInteger(const Section &s, const Entry &e, const QString &text);
// "rgb(r, g, b)" or a decimal number; the result is the Windows colour value
// 0x00BBGGRR.
int toColour(const Section &s, const Entry &e, const QString &text);
// Two or more numbers separated by ",".
std::vector<double> toNumbers(const Section &s, const Entry &e, const QString &text, int count);
// A date written yyyy-mm-dd.
QDate toDate(const Section &s, const Entry &e, const QString &text);
// A text every character of which the Windows-1251 code page holds.
QString checkCp1251(const Section &s, const Entry &e, const QString &text);

} // namespace layergen
