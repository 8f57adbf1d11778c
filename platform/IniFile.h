#pragma once
// Ini files of the system (language files, "VYK.INI", table descriptions):
// Windows-1251 text, sections and keys compared without regard to case, keys
// that may hold "." and "[ ]" (as in "nFileOpen.Caption" or "Tabs[0]").
// Values are read as the Windows profile routines do: the text after the first
// "=", with surrounding blanks removed and one pair of enclosing quotes dropped.

#include <QString>
#include <QStringList>

#include <vector>

namespace platform {

class IniFile {
public:
    // Loads the file when it exists; a missing file reads as empty.
    explicit IniFile(QString fileName);

    const QString &fileName() const { return fileName_; }

    QString readString(QStringView section, QStringView key, const QString &def) const;
    // Whole numbers in decimal or with a "$"/"0x" hexadecimal prefix; anything
    // else gives the default.
    int readInteger(QStringView section, QStringView key, int def) const;
    bool readBool(QStringView section, QStringView key, bool def) const;

    bool sectionExists(QStringView section) const;
    bool valueExists(QStringView section, QStringView key) const;
    QStringList sections() const;
    QStringList sectionKeys(QStringView section) const;

    // Changes are written to the file at once, as the profile routines do; the
    // result is false when the file could not be written (the old file stays).
    bool writeString(QStringView section, QStringView key, const QString &value);
    bool writeInteger(QStringView section, QStringView key, int value);
    bool writeBool(QStringView section, QStringView key, bool value);
    bool eraseSection(QStringView section);
    bool deleteKey(QStringView section, QStringView key);

    // Parses ini text already in memory (used by the loader and by tests).
    void parse(const QString &text);
    QString text() const;

private:
    struct Entry {
        QString key;   // empty for a line that is not key=value (kept as it was)
        QString value; // or the raw line
    };
    struct Section {
        QString name;
        std::vector<Entry> entries;
    };

    const Section *findSection(QStringView name) const;
    Section *findSection(QStringView name);
    const Entry *findEntry(QStringView section, QStringView key) const;
    bool save() const;

    QString fileName_;
    std::vector<Entry> preamble_; // lines before the first section
    std::vector<Section> sections_;
};

} // namespace platform
