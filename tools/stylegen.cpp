// Writes a style library (".glb", the "VYKSYMBOL6" form) from its readable
// description. Usage: stylegen <description.txt> <out.glb>
//
// The description (UTF-8; a line whose first character that is not blank is
// "#" is a comment):
//   library fill|symbol|line          the kind of the patterns that follow
//   boxshift <dx> <dy>                optional: ellipse and rectangle corners are
//                                     stored moved by (dx, dy) (the point
//                                     renderer moves them back when it draws)
//   pattern <n> "<name>" <width> <height> [number1=<v>] [number2=<v>]
//       n is the pattern's style number: patterns come in order from 0
//     pen <style> <width> <#RRGGBB>   pen of the strokes that follow
//     brush <style> [<#RRGGBB>]       brush of the strokes that follow
//     polyline <x y>...               strokes, in 0.01 mm from the cell's
//     polygon <x y>...                centre, y upward
//     ellipse <x1 y1 x2 y2>           two opposite corners
//     rect <x1 y1 x2 y2>
//     circle <cx cy r>                an ellipse of radius r
//   end
// Pen styles: solid dash dot dashdot dashdotdot clear insideframe. Brush
// styles: solid clear horizontal vertical fdiagonal bdiagonal cross diagcross.
// Each pattern starts with a solid black pen of 0.2 mm and a clear brush.

#include "mapengine/VykTypes.h"
#include "tools/ToolUsage.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr char Usage[] = "usage: stylegen <description.txt> <out.glb>\n"
                         "  Writes a style library from its description in text form.\n";

struct Failure {
    std::string message;
};

int number(const std::string &word)
{
    std::size_t used = 0;
    int v = 0;
    try {
        v = std::stoi(word, &used, 0);
    } catch (...) {
        used = 0;
    }
    if (used == 0 || used != word.size())
        throw Failure{"not a number: " + word};
    return v;
}

std::int32_t colour(const std::string &word)
{
    if (word.size() != 7 || word[0] != '#')
        throw Failure{"colour must be #RRGGBB: " + word};
    const int v = number("0x" + word.substr(1));
    const int r = (v >> 16) & 0xFF, g = (v >> 8) & 0xFF, b = v & 0xFF;
    return r | (g << 8) | (b << 16);
}

int styleNumber(const std::string &word, const std::map<std::string, int> &names, const char *what)
{
    const auto it = names.find(word);
    if (it == names.end())
        throw Failure{std::string("unknown ") + what + ": " + word};
    return it->second;
}

const std::map<std::string, int> kPenStyles = {{"solid", 0}, {"dash", 1},  {"dot", 2},        {"dashdot", 3},
                                               {"dashdotdot", 4}, {"clear", 5}, {"insideframe", 6}};
const std::map<std::string, int> kBrushStyles = {{"solid", 0},     {"clear", 1},     {"horizontal", 2},
                                                 {"vertical", 3},  {"fdiagonal", 4}, {"bdiagonal", 5},
                                                 {"cross", 6},     {"diagcross", 7}};

// The words of a line; a quoted text is one word (without its quotes).
std::vector<std::string> words(const std::string &line)
{
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t') {
            ++i;
            continue;
        }
        if (line[i] == '#' && out.empty())
            break;
        if (line[i] == '"') {
            const std::size_t end = line.find('"', i + 1);
            if (end == std::string::npos)
                throw Failure{"unclosed quote"};
            out.push_back(line.substr(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        std::size_t end = i;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t')
            ++end;
        out.push_back(line.substr(i, end - i));
        i = end;
    }
    return out;
}

std::vector<TVykPoint> pointsOf(const std::vector<std::string> &w, std::size_t from)
{
    if ((w.size() - from) % 2 != 0)
        throw Failure{"coordinates come in pairs"};
    std::vector<TVykPoint> pts;
    for (std::size_t i = from; i + 1 < w.size(); i += 2)
        pts.push_back({number(w[i]), number(w[i + 1])});
    return pts;
}

TVykSymbols parse(std::istream &in)
{
    TVykSymbols lib;
    lib.Signature = QString::fromLatin1(mapengine::kNewLibrarySignature);
    int kind = -1;
    int shiftX = 0, shiftY = 0;
    TVykSymbol *current = nullptr;
    TVykStroke pen, brush;
    std::string line;
    int lineNo = 0;
    auto startStroke = [&](std::uint8_t strokeKind) {
        TVykStroke s;
        s.Kind = strokeKind;
        s.PenStyle = pen.PenStyle;
        s.PenWidth = pen.PenWidth;
        s.PenColor = pen.PenColor;
        s.BrushStyle = brush.BrushStyle;
        s.BrushColor = brush.BrushColor;
        return s;
    };
    try {
        while (std::getline(in, line)) {
            ++lineNo;
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            const std::vector<std::string> w = words(line);
            if (w.empty())
                continue;
            const std::string &op = w[0];
            if (op == "library") {
                if (w.size() != 2)
                    throw Failure{"library fill|symbol|line"};
                kind = styleNumber(w[1], {{"fill", vkFill}, {"symbol", vkSymbol}, {"line", vkLine}}, "library kind");
            } else if (op == "boxshift") {
                if (w.size() != 3)
                    throw Failure{"boxshift <dx> <dy>"};
                shiftX = number(w[1]);
                shiftY = number(w[2]);
            } else if (op == "pattern") {
                if (kind < 0)
                    throw Failure{"pattern before library"};
                if (current)
                    throw Failure{"pattern inside a pattern (missing end)"};
                if (w.size() < 5)
                    throw Failure{"pattern <n> \"<name>\" <width> <height>"};
                if (number(w[1]) != static_cast<int>(lib.Items.size()))
                    throw Failure{"pattern " + w[1] + " out of order: expected " + std::to_string(lib.Items.size())};
                TVykSymbol p;
                p.Name = QString::fromUtf8(w[2].c_str());
                if (p.Name.size() > 100)
                    throw Failure{"name longer than 100 characters"};
                p.Kind = static_cast<std::uint8_t>(kind);
                p.Width = number(w[3]);
                p.Height = number(w[4]);
                if (p.Width <= 0 || p.Height <= 0)
                    throw Failure{"the cell needs a width and a height"};
                for (std::size_t i = 5; i < w.size(); ++i) {
                    const std::size_t eq = w[i].find('=');
                    const std::string key = w[i].substr(0, eq);
                    if (eq == std::string::npos || (key != "number1" && key != "number2"))
                        throw Failure{"unknown option: " + w[i]};
                    (key == "number1" ? p.Number1 : p.Number2) = number(w[i].substr(eq + 1));
                }
                lib.Items.push_back(p);
                current = &lib.Items.back();
                pen = TVykStroke{};
                pen.PenWidth = 20;
                brush = TVykStroke{};
                brush.BrushStyle = 1;
                brush.BrushColor = 0xFFFFFF;
            } else if (op == "end") {
                if (!current)
                    throw Failure{"end without pattern"};
                current->StrokeCount = static_cast<std::int32_t>(current->Strokes.size());
                current = nullptr;
            } else {
                if (!current)
                    throw Failure{op + " outside a pattern"};
                if (op == "pen") {
                    if (w.size() != 4)
                        throw Failure{"pen <style> <width> <#RRGGBB>"};
                    pen.PenStyle = static_cast<std::uint8_t>(styleNumber(w[1], kPenStyles, "pen style"));
                    pen.PenWidth = number(w[2]);
                    pen.PenColor = colour(w[3]);
                } else if (op == "brush") {
                    if (w.size() != 2 && w.size() != 3)
                        throw Failure{"brush <style> [<#RRGGBB>]"};
                    brush.BrushStyle = static_cast<std::uint8_t>(styleNumber(w[1], kBrushStyles, "brush style"));
                    brush.BrushColor = w.size() == 3 ? colour(w[2]) : 0xFFFFFF;
                } else if (op == "polyline" || op == "polygon") {
                    TVykStroke s = startStroke(op == "polyline" ? vsPolyline : vsPolygon);
                    s.Points = pointsOf(w, 1);
                    if (s.Points.size() < 2)
                        throw Failure{op + " needs two points or more"};
                    mapengine::updateStrokeBounds(s);
                    current->Strokes.push_back(s);
                } else if (op == "ellipse" || op == "rect" || op == "circle") {
                    TVykStroke s = startStroke(op == "rect" ? vsRectangle : vsEllipse);
                    if (op == "circle") {
                        if (w.size() != 4)
                            throw Failure{"circle <cx> <cy> <r>"};
                        const int cx = number(w[1]), cy = number(w[2]), r = number(w[3]);
                        s.Points = {{cx - r, cy - r}, {cx + r, cy + r}};
                    } else {
                        if (w.size() != 5)
                            throw Failure{op + " <x1> <y1> <x2> <y2>"};
                        s.Points = pointsOf(w, 1);
                    }
                    for (TVykPoint &p : s.Points) {
                        p.X += shiftX;
                        p.Y += shiftY;
                    }
                    mapengine::updateStrokeBounds(s);
                    current->Strokes.push_back(s);
                } else {
                    throw Failure{"unknown word: " + op};
                }
            }
        }
        if (current)
            throw Failure{"missing end of the last pattern"};
        if (lib.Items.size() > static_cast<std::size_t>(mapengine::kMaxLibraryPatterns))
            throw Failure{"more than 200 patterns"};
    } catch (const Failure &f) {
        throw Failure{"line " + std::to_string(lineNo) + ": " + f.message};
    }
    lib.Count = static_cast<std::int32_t>(lib.Items.size());
    return lib;
}

} // namespace

int main(int argc, char **argv)
{
    if (tools::asksForHelp(argc, argv))
        return tools::showUsage(Usage);
    if (argc != 3)
        return tools::wrongArguments("stylegen", "two file names are needed", Usage);
    std::ifstream in(argv[1]);
    if (!in) {
        std::cerr << "stylegen: cannot read " << argv[1] << "\n";
        return 1;
    }
    TVykSymbols lib;
    try {
        lib = parse(in);
    } catch (const Failure &f) {
        std::cerr << argv[1] << ": " << f.message << "\n";
        return 1;
    }
    QFile out(QString::fromLocal8Bit(argv[2]));
    const QByteArray bytes = mapengine::writeStyleLibrary(lib);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size()) {
        std::cerr << "stylegen: cannot write " << argv[2] << "\n";
        return 1;
    }
    return 0;
}
