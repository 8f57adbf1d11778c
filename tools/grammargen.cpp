// Turns the script languages' grammars, kept readable in script/grammars,
// into the XML texts that the script parser interprets, as a C++ source of
// constants (script/GrammarTexts.h). The build runs it; the order of the
// files is the order in which the languages are registered.
//
// A grammar file (lines starting with "#" are comments):
//   language NAME
//   [settings]   one "name value" per line, the value as it stands
//   [keywords]   the reserved words, separated by commas
//   [errors]     one "key text" per line
//   [types]      one "alias type" per line
//   [rules]      one rule per line: - `name` {attributes} = children
// A child is a terminal or combinator (char "(" {err=err7}, loop "," (...)),
// or a rule reference in backticks; "(nothing)" is a rule without children.

#include "tools/ToolUsage.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const char *const kUsage =
    "usage: grammargen OUTPUT.cpp GRAMMAR...\n"
    "  Writes the XML text of each grammar file (script/grammars/*.grammar) into\n"
    "  OUTPUT.cpp as the table of built-in languages, in the order given.\n";

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string escape(const std::string &value)
{
    std::string out;
    for (const char c : value) {
        switch (c) {
        case '<': out += "&#60;"; break;
        case '>': out += "&#62;"; break;
        case '&': out += "&#38;"; break;
        case '"': out += "&#34;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string trim(const std::string &s)
{
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return {};
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

const std::set<std::string> kElements = {"char",     "keyword",  "ident",          "number", "string",
                                         "frstring", "eol",      "sequence",       "switch", "optionalswitch",
                                         "loop",     "optionalloop", "optional"};

// One rule line, read into XML.
class RuleReader {
public:
    RuleReader(const std::string &line, std::set<std::string> &references) : s_(line), refs_(references) {}

    // "- `name` {attrs} = children" → the rule's element.
    std::string rule(std::string &name)
    {
        expect("-");
        name = backticked();
        const std::string attrs = attributes();
        expect("=");
        std::string children;
        skip();
        if (s_.compare(p_, 9, "(nothing)") == 0) {
            p_ += 9;
        } else {
            children = child();
            while (peek() == ',') {
                ++p_;
                children += child();
            }
        }
        skip();
        if (p_ != s_.size())
            fail("text after the rule");
        return element(name, attrs, children);
    }

private:
    [[noreturn]] void fail(const std::string &what) const
    {
        throw Failure(what + " at column " + std::to_string(p_ + 1));
    }
    void skip()
    {
        while (p_ < s_.size() && s_[p_] == ' ')
            ++p_;
    }
    char peek()
    {
        skip();
        return p_ < s_.size() ? s_[p_] : '\0';
    }
    void expect(const char *token)
    {
        skip();
        const std::string t(token);
        if (s_.compare(p_, t.size(), t) != 0)
            fail("\"" + t + "\" expected");
        p_ += t.size();
    }
    std::string backticked()
    {
        expect("`");
        const auto end = s_.find('`', p_);
        if (end == std::string::npos || end == p_)
            fail("a name in backticks expected");
        std::string name = s_.substr(p_, end - p_);
        p_ = end + 1;
        return name;
    }
    std::string quoted()
    {
        expect("\"");
        const auto end = s_.find('"', p_);
        if (end == std::string::npos)
            fail("closing quote expected");
        std::string text = s_.substr(p_, end - p_);
        p_ = end + 1;
        return text;
    }
    std::string word()
    {
        skip();
        const size_t b = p_;
        while (p_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[p_])) || s_[p_] == '_'))
            ++p_;
        if (b == p_)
            fail("a word expected");
        return s_.substr(b, p_ - b);
    }
    // " {a=b c="d"}" → ` a="b" c="d"` (nothing without braces).
    std::string attributes()
    {
        if (peek() != '{')
            return {};
        ++p_;
        std::string out;
        while (peek() != '}') {
            if (p_ >= s_.size())
                fail("\"}\" expected");
            const std::string name = word();
            expect("=");
            const std::string value = peek() == '"' ? quoted() : word();
            out += " " + name + "=\"" + escape(value) + "\"";
        }
        ++p_;
        return out;
    }
    std::string element(const std::string &name, const std::string &attrs, const std::string &children)
    {
        if (children.empty())
            return "<" + name + attrs + "/>";
        return "<" + name + attrs + ">" + children + "</" + name + ">";
    }
    std::string child()
    {
        if (peek() == '`') {
            const std::string name = backticked();
            refs_.insert(name);
            return element(name, attributes(), {});
        }
        const std::string name = word();
        if (!kElements.count(name))
            fail("unknown element \"" + name + "\"");
        std::string attrs;
        if (peek() == '"')
            attrs = " text=\"" + escape(quoted()) + "\"";
        attrs += attributes();
        std::string children;
        if (peek() == '(') {
            ++p_;
            children = child();
            while (peek() == ',') {
                ++p_;
                children += child();
            }
            expect(")");
        }
        return element(name, attrs, children);
    }

    const std::string &s_;
    std::set<std::string> &refs_;
    size_t p_ = 0;
};

struct Grammar {
    std::string name;
    std::string xml;
};

Grammar readGrammar(const std::string &path)
{
    std::ifstream in(path);
    if (!in)
        throw Failure("cannot read " + path);
    Grammar g;
    std::string section, settings, keywords, errors, types, rules;
    std::set<std::string> defined, referenced;
    std::string line;
    int number = 0;
    try {
        while (std::getline(in, line)) {
            ++number;
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (trim(line).empty() || line[0] == '#')
                continue;
            if (line[0] == '[') {
                section = line;
                continue;
            }
            if (section.empty()) {
                if (line.rfind("language ", 0) != 0)
                    throw Failure("\"language NAME\" expected");
                g.name = trim(line.substr(9));
                continue;
            }
            const auto blank = line.find(' ');
            const std::string key = line.substr(0, blank);
            const std::string value = blank == std::string::npos ? std::string() : line.substr(blank + 1);
            if (section == "[settings]") {
                settings += "<" + key + " text=\"" + escape(value) + "\"/>";
            } else if (section == "[keywords]") {
                std::stringstream words(line);
                std::string w;
                while (std::getline(words, w, ','))
                    if (!trim(w).empty())
                        keywords += "<" + trim(w) + "/>";
            } else if (section == "[errors]") {
                errors += "<" + key + " text=\"" + escape(value) + "\"/>";
            } else if (section == "[types]") {
                types += "<" + key + " type=\"" + escape(trim(value)) + "\"/>";
            } else if (section == "[rules]") {
                std::string name;
                rules += RuleReader(line, referenced).rule(name);
                if (!defined.insert(name).second)
                    throw Failure("rule `" + name + "` defined twice");
            } else {
                throw Failure("unknown section " + section);
            }
        }
        number = 0;
        if (g.name.empty())
            throw Failure("no language name");
        if (!defined.count("program"))
            throw Failure("no rule `program`");
        for (const std::string &r : referenced)
            if (!defined.count(r))
                throw Failure("rule `" + r + "` is used but not defined");
    } catch (const Failure &f) {
        throw Failure(path + (number ? ":" + std::to_string(number) : std::string()) + ": " + f.what());
    }
    g.xml = "<?xml version=\"1.0\"?><language text=\"" + escape(g.name) + "\"><parser>" + settings +
            "<keywords>" + keywords + "</keywords><errors>" + errors + "</errors></parser>" +
            (types.empty() ? std::string("<types/>") : "<types>" + types + "</types>") + rules + "</language>";
    return g;
}

std::string cString(const std::string &text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

} // namespace

int main(int argc, char **argv)
{
    if (tools::asksForHelp(argc, argv))
        return tools::showUsage(kUsage);
    if (argc < 3)
        return tools::wrongArguments("grammargen", "an output file and at least one grammar are needed", kUsage);
    std::vector<Grammar> grammars;
    try {
        for (int i = 2; i < argc; ++i)
            grammars.push_back(readGrammar(argv[i]));
    } catch (const Failure &f) {
        std::fprintf(stderr, "grammargen: %s\n", f.what());
        return 1;
    }
    std::ostringstream out;
    out << "// Written by tools/grammargen from script/grammars: edit those files.\n"
           "#include \"script/GrammarTexts.h\"\n\nnamespace script {\n\n"
           "const BuiltInGrammar kBuiltInGrammars[] = {\n";
    for (const Grammar &g : grammars)
        out << "    {" << cString(g.name) << ",\n     " << cString(g.xml) << "},\n";
    out << "};\nconst int kBuiltInGrammarCount = " << grammars.size() << ";\n\n} // namespace script\n";
    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    file << out.str();
    if (!file.flush()) {
        std::fprintf(stderr, "grammargen: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
