#pragma once
// The report library's texts: captions, hints and messages looked up by a
// key (letter case ignored); a key the store lacks stands for itself. The
// library's table and the export table are added at start-up; later lines
// override earlier ones key by key. The store also lists the language files
// ("*.frc") beside the program and opens topics of the library's help.

#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <vector>

namespace xmlreports {

class TfrxResources {
public:
    TfrxResources();

    // The text of the key, or the key itself.
    QString Get(const QString &key) const;
    // Replaces the text of the key or adds it.
    void SetText(const QString &key, const QString &text);
    // "key=text" lines (CR LF, LF or CR ends); a line without key or text
    // changes nothing.
    void AddStrings(const QString &table);
    // The seventeen script messages into the script engine's message texts.
    void CopyScriptMessages() const;
    // The language names of the "*.frc" files of the program folder
    // ("russian.frc" gives "Russian"), sorted.
    const QStringList &Languages() const { return languages_; }
    // Reads the language list again from a folder (the program folder at
    // creation).
    void ListLanguages(const QString &folder);
    const QString &HelpFile() const { return helpFile_; }

private:
    std::map<QString, int> names_; // folded key → index into texts_
    std::vector<QString> texts_;
    QStringList languages_;
    QString helpFile_ = QStringLiteral("RAVova.vev");
};

// The global store, made on first use.
TfrxResources &GetReportResources();
// Get of the number in decimal.
QString GetResourceTextById(int id);

// The library's table and the export table, "key=text" lines.
QString LibraryTextTable();
QString ExportTextTable();
// Adds the library's table (before the report unit's start-up, which copies
// the script messages) and the export table after it, once.
void LoadReportTexts();

// The help command: the help file, "::/" and the form's topic page for a
// form class of the topic table, or the bare file name; handed to the help
// hook (nothing happens without one).
using HelpHook = std::function<void(const QString &topic)>;
void SetHelpHook(HelpHook hook);
QString HelpTopicText(const QString &formClassName);
void OpenHelpTopic(const QString &formClassName);

} // namespace xmlreports
