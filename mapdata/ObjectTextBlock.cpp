#include "mapdata/ObjectTextBlock.h"

#include "mapdata/MapFunctions.h"
#include "platform/Environment.h"
#include "platform/NumberFormat.h"
#include "platform/TextCodec.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace objectblock {

QString numberText(double value)
{
    if (!std::isfinite(value) || value == 0)
        return platform::floatToStr(value);
    // 15 significant digits, correctly rounded: "-d.dddddddddddddde+XX".
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    const std::string sci(buf, res.ptr);
    const bool negative = sci.front() == '-';
    const std::size_t ePos = sci.find('e');
    std::string digits;
    for (std::size_t i = negative ? 1 : 0; i < ePos; ++i)
        if (sci[i] != '.')
            digits.push_back(sci[i]);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const int exponent = std::atoi(sci.c_str() + ePos + 1);

    std::string out = negative ? "-" : "";
    if (exponent >= 0) {
        const std::size_t intDigits = static_cast<std::size_t>(exponent) + 1;
        std::string intPart = digits.substr(0, std::min(intDigits, digits.size()));
        intPart.append(intDigits - intPart.size(), '0');
        out += intPart;
        if (digits.size() > intDigits)
            out += '.' + digits.substr(intDigits);
    } else {
        out += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    }
    QString text = QString::fromLatin1(out.data(), static_cast<qsizetype>(out.size()));
    text.replace(u'.', platform::decimalSeparator());
    return text;
}

// ---------------------------------------------------------------------------
// Writer

Writer::Writer() { lines_ << QString::fromUtf16(Signature); }

void Writer::beginObject(int number, std::int32_t type, const std::vector<TShpParts> &parts)
{
    lines_ << QString() << QStringLiteral("Object=%1").arg(number) << QStringLiteral("Type=%1").arg(type)
           << QStringLiteral("Parts=%1").arg(parts.size());
    for (size_t k = 0; k < parts.size(); ++k) {
        const std::vector<TShpPoint> &points = parts[k].Points;
        lines_ << QStringLiteral("Part=%1").arg(k + 1) << QStringLiteral("Points=%1").arg(points.size());
        for (const TShpPoint &p : points)
            lines_ << numberText(p.X) + u';' + numberText(p.Y);
        lines_ << QStringLiteral("EndPart");
    }
}

void Writer::fields(const std::vector<TTxtValues> &values)
{
    lines_ << QStringLiteral("Fields=%1").arg(values.size());
    for (const TTxtValues &v : values) {
        QString value = v.Value;
        for (QChar &c : value)
            if (c == u'\r' || c == u'\n')
                c = u' ';
        lines_ << v.Key + u'=' + value;
    }
    lines_ << QStringLiteral("EndFields");
}

void Writer::endObject() { lines_ << QStringLiteral("EndObject"); }

// ---------------------------------------------------------------------------
// Reader

namespace {

// The number after the first "=" of a keyword line; 0 when it is no number.
std::int32_t lineNumber(const QString &line)
{
    try {
        return MapFunctions::TextToInt(line.mid(line.indexOf(u'=') + 1));
    } catch (const platform::ConvertError &) {
        return 0;
    }
}

bool hasDigit(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

// A point line: "X;Y" with either decimal separator. False for a line that
// holds no point.
bool readPoint(const QString &line, TShpPoint &point)
{
    const qsizetype semi = line.indexOf(u';');
    if (semi < 0)
        return false;
    const QString x = line.left(semi), y = line.mid(semi + 1);
    if (!hasDigit(x) || !hasDigit(y))
        return false;
    try {
        point = TShpPoint{};
        point.X = MapFunctions::TextToFloat(x, 0);
        point.Y = MapFunctions::TextToFloat(y, 0);
    } catch (const platform::ConvertError &) {
        return false;
    }
    return true;
}

} // namespace

std::vector<TShpPoint> Object::allPoints() const
{
    std::vector<TShpPoint> points = Leading;
    for (const Section &s : Sections)
        points.insert(points.end(), s.Points.begin(), s.Points.end());
    return points;
}

bool read(const QString &text, std::vector<Object> &objects)
{
    objects.clear();
    if (!text.startsWith(QString::fromUtf16(Signature)))
        return false;

    enum class Mode { Keywords, Points, Fields };
    Mode mode = Mode::Keywords;
    std::int64_t fieldsLeft = 0;
    Object *current = nullptr;

    const QStringList lines = text.split(u'\n');
    for (const QString &rawLine : lines) {
        const QString line = rawLine.trimmed();
        // Keywords in any case; names and values keep theirs.
        const QString lower = platform::ansiLowerCase(line);
        const bool endsObject = lower.contains(u"endobject");

        if (current && mode == Mode::Points) {
            if (endsObject || lower.contains(u"endpart")) {
                mode = Mode::Keywords;
            } else {
                TShpPoint p;
                if (readPoint(line, p))
                    (current->Sections.empty() ? current->Leading : current->Sections.back().Points).push_back(p);
                continue;
            }
        } else if (current && mode == Mode::Fields) {
            if (endsObject || lower.contains(u"endfields")) {
                mode = Mode::Keywords;
            } else {
                if (!line.isEmpty() && fieldsLeft > 0) {
                    current->Fields.push_back(MapFunctions::SplitPair(line, QStringLiteral("=")));
                    --fieldsLeft;
                }
                continue;
            }
        }

        if (lower.startsWith(u"object=")) {
            objects.emplace_back();
            current = &objects.back();
            mode = Mode::Keywords;
            continue;
        }
        if (endsObject) {
            current = nullptr;
            mode = Mode::Keywords;
            continue;
        }
        if (!current)
            continue;
        if (lower.startsWith(u"type=")) {
            current->HasType = true;
            current->Type = lineNumber(line);
        } else if (lower.startsWith(u"parts=")) {
            current->PartCount = lineNumber(line);
        } else if (lower.startsWith(u"part=")) {
            current->Sections.push_back(Section{lineNumber(line), {}});
        } else if (lower.startsWith(u"points=")) {
            mode = Mode::Points;
        } else if (lower.startsWith(u"fields=")) {
            mode = Mode::Fields;
            fieldsLeft = lineNumber(line);
            current->HasFields = true;
            current->Fields.clear();
        }
    }
    return true;
}

std::vector<TShpParts> pastedParts(const Object &object)
{
    std::vector<TShpParts> parts;
    if (object.PartCount < 1)
        return parts;
    // A "Part=" line with a number beyond the announced ones starts no part:
    // its points continue the part before it.
    parts.emplace_back();
    parts.back().Points = object.Leading;
    for (const Section &s : object.Sections) {
        if (s.Number >= 1 && s.Number <= object.PartCount && !parts.back().Points.empty())
            parts.emplace_back();
        parts.back().Points.insert(parts.back().Points.end(), s.Points.begin(), s.Points.end());
    }
    if (parts.back().Points.empty())
        parts.pop_back();
    return parts;
}

std::vector<TShpParts> mergedParts(const std::vector<Object> &objects)
{
    std::vector<TShpParts> parts(1);
    auto append = [&](const std::vector<TShpPoint> &points) {
        parts.back().Points.insert(parts.back().Points.end(), points.begin(), points.end());
    };
    for (const Object &object : objects) {
        append(object.Leading);
        for (const Section &s : object.Sections) {
            if (!parts.back().Points.empty())
                parts.emplace_back();
            append(s.Points);
        }
    }
    if (parts.back().Points.empty())
        parts.pop_back();
    return parts;
}

std::vector<TShpParts> splitParts(const Object &object)
{
    std::vector<TShpParts> parts;
    if (!object.Leading.empty())
        parts.push_back(TShpParts{object.Leading});
    for (const Section &s : object.Sections)
        if (!s.Points.empty())
            parts.push_back(TShpParts{s.Points});
    return parts;
}

} // namespace objectblock
