#include "script/ILParser.h"

#include "platform/TextCodec.h"
#include "script/AnsiText.h"
#include "script/Languages.h"
#include "script/ScriptError.h"

#include <QHash>

#include <mutex>

namespace script {

// One element of a rule body, read once from the grammar's XML.
struct GrammarNode {
    enum Kind {
        Rule, // a rule definition (a child of the grammar's root)
        Char,
        Keyword,
        Ident,
        Number,
        String,
        FrString,
        Eol,
        Sequence,
        Switch,
        OptionalSwitch,
        Loop,
        OptionalLoop,
        Optional,
        Reference,
    };
    Kind kind = Rule;
    QByteArray name; // as written; a reference's rule name
    QByteArray text; // expected token or loop separator, lower case
    QByteArray node; // lower case
    QByteArray add, addText;
    QByteArray err;        // the key
    QByteArray errMessage; // its text in the errors table
    bool term = false;
    bool noSkip = false;   // char skip="0"
    bool clearsErrors = false; // loop skip="1"
    bool isExpr = false;
    bool isUses = false;
    std::vector<const GrammarNode *> children;
    // A reference's rule; null when the grammar has none of that name.
    const GrammarNode *target = nullptr;
};

struct ParsedGrammar {
    TfsXMLDocument document;
    std::vector<std::unique_ptr<GrammarNode>> nodes;
    const GrammarNode *program = nullptr;
    QByteArrayList keywords;
    std::vector<std::pair<QByteArray, QByteArray>> settings; // lower-case name, value
    bool ignoreTail = false;
    QByteArray endMessage; // err3
    TfsXMLItem types;
};

namespace {

const QHash<QByteArray, int> &kinds()
{
    using N = GrammarNode;
    static const QHash<QByteArray, int> k = {
        {"char", N::Char},         {"keyword", N::Keyword},       {"ident", N::Ident},
        {"number", N::Number},     {"string", N::String},         {"frstring", N::FrString},
        {"eol", N::Eol},           {"sequence", N::Sequence},     {"switch", N::Switch},
        {"optionalswitch", N::OptionalSwitch}, {"loop", N::Loop}, {"optionalloop", N::OptionalLoop},
        {"optional", N::Optional},
    };
    return k;
}

class GrammarBuilder {
public:
    explicit GrammarBuilder(ParsedGrammar &g) : g_(g) {}

    void build()
    {
        TfsXMLItem *root = g_.document.Root();
        const int p = root->Find("parser");
        const TfsXMLItem *parser = p >= 0 ? root->Items(p) : nullptr;
        if (parser) {
            for (int i = 0; i < parser->Count(); ++i) {
                const TfsXMLItem *s = parser->Items(i);
                const QByteArray name = ansiLowerCase(s->Name);
                if (name == "keywords") {
                    for (int k = 0; k < s->Count(); ++k)
                        g_.keywords << s->Items(k)->Name;
                } else if (name == "errors") {
                    errors_ = s;
                } else {
                    g_.settings.emplace_back(name, s->Prop("text"));
                    if (name == "ignoretail")
                        g_.ignoreTail = s->Prop("text") == "1";
                }
            }
        }
        g_.endMessage = message("err3");
        if (const int t = root->Find("types"); t >= 0)
            g_.types.CopyTree(root->Items(t));
        else
            g_.types.Name = "types";
        // Every child of the root is a rule; a name defined twice means the
        // first.
        for (int i = 0; i < root->Count(); ++i) {
            const QByteArray key = ansiLowerCase(root->Items(i)->Name);
            if (!rules_.contains(key))
                rules_.insert(key, element(root->Items(i), true));
        }
        for (GrammarNode *ref : references_)
            ref->target = rules_.value(ansiLowerCase(ref->name), nullptr);
        g_.program = rules_.value("program", nullptr);
    }

private:
    QByteArray message(const QByteArray &key) const
    {
        if (!errors_ || key.isEmpty())
            return {};
        const int i = errors_->Find(key);
        return i < 0 ? QByteArray() : errors_->Items(i)->Prop("text");
    }

    GrammarNode *element(const TfsXMLItem *item, bool rule)
    {
        using N = GrammarNode;
        auto owned = std::make_unique<N>();
        N *n = owned.get();
        g_.nodes.push_back(std::move(owned));
        n->name = item->Name;
        const QByteArray kind = ansiLowerCase(item->Name);
        if (rule)
            n->kind = N::Rule;
        else if (const auto it = kinds().constFind(kind); it != kinds().constEnd())
            n->kind = static_cast<N::Kind>(*it);
        else {
            n->kind = N::Reference;
            references_.push_back(n);
        }
        n->text = ansiLowerCase(item->Prop("text"));
        n->node = ansiLowerCase(item->Prop("node"));
        n->add = item->Prop("add");
        n->addText = item->Prop("addtext");
        n->err = item->Prop("err");
        n->errMessage = message(n->err);
        n->term = item->Prop("term") == "1";
        n->noSkip = n->kind == N::Char && item->Prop("skip") == "0";
        n->clearsErrors = item->Prop("skip") == "1";
        n->isExpr = n->node == "expr";
        n->isUses = n->node == "uses";
        for (int i = 0; i < item->Count(); ++i)
            n->children.push_back(element(item->Items(i), false));
        return n;
    }

    ParsedGrammar &g_;
    const TfsXMLItem *errors_ = nullptr;
    QHash<QByteArray, GrammarNode *> rules_;
    std::vector<GrammarNode *> references_;
};

// Parsed grammars by language name (lower case), valid for one state of
// the registry.
struct GrammarCache {
    std::mutex mutex;
    int version = -1;
    QHash<QString, std::shared_ptr<const ParsedGrammar>> grammars;
};

std::shared_ptr<const ParsedGrammar> parsedGrammar(const QString &language)
{
    static GrammarCache cache;
    std::lock_guard lock(cache.mutex);
    if (cache.version != LanguagesVersion()) {
        cache.grammars.clear();
        cache.version = LanguagesVersion();
    }
    const QString key = platform::ansiLowerCase(language);
    if (auto found = cache.grammars.value(key))
        return found;
    auto g = std::make_shared<ParsedGrammar>();
    MemoryStream stream(GetLanguageGrammar(language));
    g->document.LoadFromStream(stream);
    GrammarBuilder(*g).build();
    cache.grammars.insert(key, g);
    return g;
}

// A text nested deeper than the parser takes.
struct TooDeep {
    int position;
};

// In the Windows code page, as every message of the parser.
QByteArray tooDeep()
{
    return platform::toCp1251(QStringLiteral("Слишком глубокая вложенность"));
}

} // namespace

TfsILParser::TfsILParser(CompileTarget &script) : script_(script) {}

TfsILParser::~TfsILParser() = default;

const TfsXMLItem *TfsILParser::GrammarRoot() const
{
    return grammar_ ? grammar_->document.Root() : nullptr;
}

void TfsILParser::SelectLanguage(const QString &name)
{
    lexer_.ResetSettings();
    language_ = name;
    grammar_ = parsedGrammar(name);
    needDeclaredVariables_ = true;
    for (const QByteArray &word : grammar_->keywords)
        lexer_.AddReservedWord(word);
    for (const auto &[setting, value] : grammar_->settings) {
        if (setting == "identchars")
            lexer_.DefineIdentChars(value);
        else if (setting == "commentline1")
            lexer_.CommentLine1 = value;
        else if (setting == "commentline2")
            lexer_.CommentLine2 = value;
        else if (setting == "commentblock1")
            lexer_.SetBlockComment1(value);
        else if (setting == "commentblock2")
            lexer_.SetBlockComment2(value);
        else if (setting == "stringquotes")
            lexer_.StringQuotes = value;
        else if (setting == "hexsequence")
            lexer_.HexSequence = value;
        else if (setting == "skipchar")
            lexer_.SkipChar = value;
        else if (setting == "declarevars" && value == "0")
            needDeclaredVariables_ = false;
        else if (setting == "skipeol" && value == "0")
            lexer_.SkipEOL = false;
        else if (setting == "casesensitive" && value == "1")
            lexer_.CaseSensitive = true;
    }
    if (script_.ExtendedChars)
        for (int c = 128; c < 256; ++c)
            lexer_.AddIdentChar(static_cast<unsigned char>(c));
}

void TfsILParser::recordError(const QByteArray &message, int position)
{
    if (!errorMessage_.isEmpty() || message.isEmpty())
        return;
    errorMessage_ = message;
    errorPosition_ = lexer_.PositionText(position);
    errorTerm_ = false;
}

bool TfsILParser::SourceToIL(const QByteArray &text)
{
    if (!grammar_)
        SelectLanguage(language_.isEmpty() ? QStringLiteral("PascalScript") : language_);
    if (UnitName.isEmpty())
        script_.ErrorUnit.clear();
    output_.clear();
    errorMessage_.clear();
    errorPosition_.clear();
    errorTerm_ = false;

    lexer_.LoadSource(text);
    int start = 1;
    if (lexer_.ReadPunctuation() == "#" && ansiSameText(lexer_.ReadIdentifier(), "language")) {
        const int from = lexer_.Position();
        qsizetype cr = text.indexOf('\r', from - 1);
        if (cr < 0)
            cr = text.size();
        QByteArray name = text.mid(from - 1, cr - from + 1);
        while (!name.isEmpty() && static_cast<unsigned char>(name.back()) <= ' ')
            name.chop(1);
        while (!name.isEmpty() && static_cast<unsigned char>(name.front()) <= ' ')
            name.remove(0, 1);
        SelectLanguage(platform::fromCp1251(name));
        lexer_.LoadSource(text);
        start = std::min(static_cast<int>(cr) + 3, lexer_.Size() + 1);
    }
    lexer_.MoveTo(start);

    bool matched;
    try {
        matched = grammar_->program ? matchRule(grammar_->program) : true;
        matched = checkWholeText(matched, start);
    } catch (const TooDeep &deep) {
        recordError(tooDeep(), deep.position);
        matched = false;
    }

    const bool ok = matched && errorMessage_.isEmpty();
    if (ok) {
        QByteArray program = "<?xml version=\"1.0\"?>\r\n<program>\r\n";
        for (const QByteArray &line : output_) {
            program += line;
            program += "\r\n";
        }
        program += "</program>\r\n";
        MemoryStream stream(program);
        il_.LoadFromStream(stream);
        il_.Root()->Add()->CopyTree(&grammar_->types);
    }
    output_.clear();
    script_.ErrorPosition = errorPosition_;
    script_.ErrorMessage = errorMessage_;
    return ok;
}

// The start rule must take the whole text: what it leaves, or a failure
// without a message, is an error at its place; a blank text is an empty
// program.
bool TfsILParser::checkWholeText(bool matched, int startPos)
{
    if (!errorMessage_.isEmpty())
        return matched;
    if (!matched)
        lexer_.MoveTo(startPos);
    else if (grammar_->ignoreTail)
        return true;
    while (lexer_.SkipLineBreak()) {
    }
    if (lexer_.Position() > lexer_.Size()) {
        if (!matched)
            output_.clear();
        return true;
    }
    recordError(grammar_->endMessage.isEmpty() ? QByteArray("Statement expected") : grammar_->endMessage,
                lexer_.Position());
    return false;
}

bool TfsILParser::matchRule(const GrammarNode *e)
{
    struct Depth {
        int &d;
        Depth(int &depth, int position) : d(depth)
        {
            if (++d > kMaxDepth) {
                --d;
                throw TooDeep{position};
            }
        }
        ~Depth() { --d; }
    } depth(depth_, lexer_.Position());

    const int startPos = lexer_.Position();
    int startLine = static_cast<int>(output_.size());
    QByteArray token;
    bool matched = false;
    bool terminal = false;
    switch (e->kind) {
    case GrammarNode::Rule:
    case GrammarNode::Sequence:
        matched = true;
        break;
    case GrammarNode::Char:
        if (!e->noSkip)
            lexer_.SkipBlanks();
        token = lexer_.ReadPunctuation();
        terminal = true;
        break;
    case GrammarNode::Keyword:
        token = lexer_.ReadKeyword();
        terminal = true;
        break;
    case GrammarNode::Ident:
        token = lexer_.ReadIdentifier();
        terminal = true;
        break;
    case GrammarNode::Number:
        token = lexer_.ReadNumberLiteral();
        terminal = true;
        break;
    case GrammarNode::String:
        token = lexer_.ReadStringLiteral();
        terminal = true;
        break;
    case GrammarNode::FrString: {
        // A report expression <T> is a call Get('T'), written whether or not
        // the text is empty.
        token = lexer_.ReadBracketed();
        const QByteArray p = lexer_.PositionText();
        output_.push_back("<dsgn pos=\"" + p + "\">");
        output_.push_back("<node text=\"Get\" pos=\"" + p + "\"/>");
        output_.push_back("<expr pos=\"" + p + "\">");
        output_.push_back("<string text=\"'" + xmlEscape(token) + "'\" pos=\"" + p + "\"/>");
        output_.push_back("</expr>");
        output_.push_back("</dsgn>");
        terminal = true;
        break;
    }
    case GrammarNode::Eol:
        matched = lexer_.SkipLineBreak();
        break;
    case GrammarNode::Switch:
    case GrammarNode::OptionalSwitch:
        return matchSwitch(e, startPos);
    case GrammarNode::Loop:
    case GrammarNode::OptionalLoop:
        return matchLoop(e, startPos);
    case GrammarNode::Optional:
        for (const GrammarNode *child : e->children) {
            if (!matchRule(child)) {
                lexer_.MoveTo(startPos);
                break;
            }
        }
        return true;
    case GrammarNode::Reference:
        if (!e->target)
            throw ScriptError(SInvalidLanguage);
        matched = matchRule(e->target);
        break;
    }

    if (terminal)
        matched = !token.isEmpty() &&
                  (e->text.isEmpty() || (lexer_.CaseSensitive ? token == e->text : ansiSameText(token, e->text)));
    bool result = true;
    if (!matched) {
        result = false;
        setError(e, startPos);
    } else {
        if (e->kind != GrammarNode::Rule)
            closeNode(e, true, startPos, startLine);
        if (!e->add.isEmpty()) {
            const QByteArray &value = e->addText.isEmpty() ? token : e->addText;
            output_.push_back('<' + e->add + " text=\"" + xmlEscape(value) + "\" pos=\"" + lexer_.PositionText() +
                              "\"/>");
        }
        for (const GrammarNode *child : e->children) {
            if (!matchRule(child)) {
                result = false;
                break;
            }
        }
    }
    if (!result)
        lexer_.MoveTo(startPos);
    if (e->kind == GrammarNode::Rule)
        closeNode(e, result, startPos, startLine);
    return result;
}

bool TfsILParser::matchSwitch(const GrammarNode *e, int startPos)
{
    for (const GrammarNode *child : e->children)
        if (matchRule(child))
            return true;
    if (e->kind == GrammarNode::OptionalSwitch)
        return true;
    setError(e, startPos);
    return false;
}

bool TfsILParser::matchLoop(const GrammarNode *e, int startPos)
{
    int rounds = 0;
    int roundEnd = startPos;
    bool last = true;
    for (bool stop = false; !stop;) {
        ++rounds;
        const int roundStart = lexer_.Position();
        last = true;
        for (const GrammarNode *child : e->children) {
            if (!matchRule(child)) {
                last = false;
                stop = true;
                break;
            }
        }
        roundEnd = lexer_.Position();
        if (last && !e->text.isEmpty()) {
            lexer_.SkipBlanks();
            if (lexer_.ReadPunctuation() != e->text) {
                lexer_.MoveTo(roundEnd);
                stop = true;
            }
        }
        if (lexer_.Position() == roundStart)
            stop = true;
    }
    bool result = last;
    if (rounds > 1) {
        if (e->clearsErrors || errorTerm_)
            errorMessage_.clear();
        lexer_.MoveTo(roundEnd);
        result = true;
    }
    if (e->kind == GrammarNode::OptionalLoop && !result) {
        lexer_.MoveTo(startPos);
        result = true;
    }
    return result;
}

void TfsILParser::setError(const GrammarNode *e, int startPos)
{
    if (e->err.isEmpty() || !errorMessage_.isEmpty())
        return;
    lexer_.MoveTo(startPos);
    lexer_.SkipBlanks();
    errorMessage_ = e->errMessage;
    errorPosition_ = lexer_.PositionText();
    errorTerm_ = e->term;
}

void TfsILParser::closeNode(const GrammarNode *e, bool success, int startPos, int &startLine)
{
    if (e->isUses) {
        // The units replace the file leaves, the last first.
        while (startLine < static_cast<int>(output_.size())) {
            const QByteArray &leaf = output_.back();
            QByteArray name;
            if (const qsizetype b = leaf.indexOf("text=\""); b >= 0) {
                const qsizetype from = b + 6;
                qsizetype end = leaf.indexOf("\" ", from);
                if (end < 0)
                    end = leaf.size();
                name = leaf.mid(from, end - from);
                name = name.size() >= 2 ? name.mid(1, name.size() - 2) : QByteArray();
            }
            includeUnit(name, startLine);
            output_.pop_back();
        }
        return;
    }
    if (e->node.isEmpty())
        return;
    if (!success) {
        output_.resize(static_cast<size_t>(startLine));
        return;
    }
    const int noted = lexer_.Position();
    lexer_.MoveTo(startPos);
    lexer_.SkipBlanks();
    QByteArray open = '<' + e->node + " pos=\"" + lexer_.PositionText() + '"';
    lexer_.MoveTo(noted);
    if (e->isExpr)
        open += " pos1=\"" + lexer_.PositionText() + '"';
    open += '>';
    output_.insert(output_.begin() + startLine, open);
    output_.push_back("</" + e->node + '>');
}

void TfsILParser::includeUnit(const QByteArray &name, int &startLine)
{
    for (const QByteArray &used : UsesList)
        if (ansiSameText(used, name))
            return;
    UsesList << name;

    QByteArray text;
    if (script_.OnGetUnit) {
        script_.OnGetUnit(name, text);
    } else {
        FileStream file(platform::fromCp1251(name), FileStream::OpenRead);
        text.resize(file.Size());
        text.resize(file.Read(text.data(), text.size()));
    }
    text = JoinScriptLines(SplitScriptLines(text));

    QByteArray program;
    if (!text.isEmpty()) {
        TfsILParser unit(script_);
        unit.UnitName = name;
        unit.depth_ = depth_;
        unit.SelectLanguage(language_);
        unit.UsesList = UsesList;
        UnitTexts.insert(name, text);
        if (unit.SourceToIL(text)) {
            UsesList = unit.UsesList;
            for (auto it = unit.UnitTexts.cbegin(); it != unit.UnitTexts.cend(); ++it)
                UnitTexts.insert(it.key(), it.value());
            MemoryStream stream;
            unit.il_.SaveToStream(stream);
            program = stream.Bytes();
            const qsizetype header = program.indexOf("?>");
            program.remove(0, header < 0 ? 0 : header + 2);
        } else if (errorMessage_.isEmpty() && !script_.ErrorMessage.isEmpty()) {
            // The error names the unit it lies in: the innermost one.
            errorMessage_ = script_.ErrorMessage;
            errorPosition_ = script_.ErrorPosition;
            errorTerm_ = false;
            if (script_.ErrorUnit.isEmpty())
                script_.ErrorUnit = name;
        }
    }
    output_.insert(output_.begin() + startLine, {"<uses unit=\"" + name + "\">", program, "</uses>"});
    startLine += 3;
}

QByteArray JoinScriptLines(const QByteArrayList &lines)
{
    QByteArray text;
    for (const QByteArray &line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

QByteArrayList SplitScriptLines(const QByteArray &text)
{
    QByteArrayList lines;
    qsizetype begin = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines << text.mid(begin, i - begin);
        if (text[i] == '\r' && i + 1 < n && text[i + 1] == '\n')
            ++i;
        begin = i + 1;
    }
    if (begin < n)
        lines << text.mid(begin);
    return lines;
}

} // namespace script
