#pragma once
// The first stage of compiling a script: the grammar-driven parser. It
// interprets the grammar of the script's language (an XML text of the
// language registry, script/Languages.h) over the source text with the
// lexer, and writes the intermediate program: an XML document whose root is
// `program`, the same for all four languages (the builder of runtime objects
// reads it). Units named in a uses clause are parsed by nested parsers and
// put in its place.
//
// The rules keep their exact meaning, on which the intermediate program, the
// messages and the positions depend:
// - backtracking moves the position back but keeps what was written, except
//   that a rule with node= removes all it wrote when it fails;
// - only the first error is kept; a loop that ends after more than one
//   round clears an error marked term="1" (and any error when skip="1");
// - a loop keeps the output of a partly matched last round.
// Syntax errors do not raise: the first message and its position ("line:col")
// go to the script, and SourceToIL answers false. A text whose start rule
// fails without a message, or that goes on after what the start rule took,
// gets the language's err3 ("Statement expected", "End of line expected")
// at that place, unless the grammar sets ignoretail="1" (PascalScript stops
// at its final "."); an empty or blank text compiles to an empty program.
//
// Parsed grammars are cached per language name and read again when the
// registry changes.

#include "script/Lexer.h"
#include "script/XmlDocument.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace script {

// What the parser takes from the script it compiles and reports back to it
// (the script component holds these).
struct CompileTarget {
    // Identifiers may use the characters 128 to 255.
    bool ExtendedChars = false;
    // Supplies the text of a unit named in a uses clause; when unset the unit
    // is read from the file of that name (relative to the current folder).
    std::function<void(const QByteArray &unitName, QByteArray &unitText)> OnGetUnit;
    // The first error: message, "line:col", and the unit it lies in (empty
    // for the script's own text).
    QByteArray ErrorMessage;
    QByteArray ErrorPosition;
    QByteArray ErrorUnit;
};

struct ParsedGrammar;
struct GrammarNode;

class TfsILParser {
public:
    explicit TfsILParser(CompileTarget &script);
    ~TfsILParser();

    // Configures the lexer from the grammar registered under the name;
    // raises ScriptError SLangNotFound for an unknown one, kInvalidFileFormat
    // for a grammar that is not well formed.
    void SelectLanguage(const QString &name);
    // See above. Raises ScriptError SInvalidLanguage when an undefined rule
    // is reached, FileStreamError when a unit file cannot be read.
    bool SourceToIL(const QByteArray &text);

    TfsXMLDocument &ILDocument() { return il_; }
    const TfsXMLDocument &ILDocument() const { return il_; }
    // The selected grammar's root (`language`).
    const TfsXMLItem *GrammarRoot() const;
    QString LanguageName() const { return language_; }
    // False when the grammar says declarevars="0".
    bool NeedDeclaredVariables() const { return needDeclaredVariables_; }
    TfsParser &Lexer() { return lexer_; }

    // The unit being parsed (empty for the script's own text).
    QByteArray UnitName;
    // The units included so far (names compared ignoring case).
    QByteArrayList UsesList;
    // Their texts by name as the uses clause gives it, so that the builder
    // cuts an expression's source text from its own unit.
    QHash<QByteArray, QByteArray> UnitTexts;

    // Nesting deeper than this many grammar elements is refused as an error
    // at its place, so that no text can exhaust the stack.
    static constexpr int kMaxDepth = 2500;

private:
    bool matchRule(const GrammarNode *e);
    bool matchSwitch(const GrammarNode *e, int startPos);
    bool matchLoop(const GrammarNode *e, int startPos);
    void setError(const GrammarNode *e, int startPos);
    void closeNode(const GrammarNode *e, bool success, int startPos, int &startLine);
    void includeUnit(const QByteArray &name, int &startLine);
    void recordError(const QByteArray &message, int position);
    bool checkWholeText(bool matched, int startPos);

    CompileTarget &script_;
    std::shared_ptr<const ParsedGrammar> grammar_;
    QString language_;
    bool needDeclaredVariables_ = true;
    TfsParser lexer_;
    TfsXMLDocument il_;

    // While SourceToIL runs.
    std::vector<QByteArray> output_;
    QByteArray errorMessage_, errorPosition_;
    bool errorTerm_ = false;
    int depth_ = 0;
};

// The script's lines joined into the text the parser reads: carriage return
// and line feed after every line, the last included (the line-oriented
// language needs the last line ended).
QByteArray JoinScriptLines(const QByteArrayList &lines);
// A text cut into lines at CR LF, LF or CR, as a string list takes it (a
// last line break gives no empty last line).
QByteArrayList SplitScriptLines(const QByteArray &text);

} // namespace script
