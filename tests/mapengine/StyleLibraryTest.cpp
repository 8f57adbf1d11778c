// The style libraries: both record forms read from byte fixtures, the count
// and signature rules, damaged counts, the start-up messages, the writer, and
// the libraries the build lays out in the program folder.

#include "mapengine/StyleRenderers.h"
#include "mapengine/VykTypes.h"
#include "support/ScriptedAnswers.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <cstring>

using namespace mapengine;
using testsupport::putLE32;

namespace {

// ---- fixtures, byte by byte ----

QByteArray header(const char *signature, std::int32_t count)
{
    QByteArray b(14, '\0');
    std::memcpy(b.data(), signature, std::min<size_t>(10, std::strlen(signature)));
    putLE32(b, 10, count);
    return b;
}

QByteArray oldPattern(const QByteArray &name, int kind, std::int32_t strokes, std::int32_t width,
                      std::int32_t height)
{
    QByteArray b(63, '\0');
    std::memcpy(b.data(), name.constData(), std::min<qsizetype>(50, name.size()));
    b[50] = static_cast<char>(kind);
    putLE32(b, 51, strokes);
    putLE32(b, 55, width);
    putLE32(b, 59, height);
    return b;
}

QByteArray newPattern(const QByteArray &name, int kind, std::int32_t strokes, std::int32_t width,
                      std::int32_t height, std::int32_t number1, std::int32_t number2, char reserved = 0)
{
    QByteArray b(133, '\0');
    std::memcpy(b.data(), name.constData(), std::min<qsizetype>(100, name.size()));
    b[100] = static_cast<char>(kind);
    putLE32(b, 101, strokes);
    putLE32(b, 105, width);
    putLE32(b, 109, height);
    putLE32(b, 113, number1);
    putLE32(b, 117, number2);
    for (int i = 121; i < 133; ++i)
        b[i] = reserved;
    return b;
}

QByteArray stroke(int kind, int penStyle, int brushStyle, std::int32_t brushColor, std::int32_t penColor,
                  std::int32_t penWidth, std::int32_t pointCount, std::int32_t left, std::int32_t top,
                  std::int32_t right, std::int32_t bottom)
{
    QByteArray b(36, '\0');
    b[0] = static_cast<char>(kind);
    b[1] = 7; // spare
    b[2] = static_cast<char>(penStyle);
    b[3] = static_cast<char>(brushStyle);
    putLE32(b, 4, brushColor);
    putLE32(b, 8, penColor);
    putLE32(b, 12, penWidth);
    putLE32(b, 16, pointCount);
    putLE32(b, 20, left);
    putLE32(b, 24, top);
    putLE32(b, 28, right);
    putLE32(b, 32, bottom);
    return b;
}

QByteArray points(std::initializer_list<std::pair<std::int32_t, std::int32_t>> pts)
{
    QByteArray b(static_cast<qsizetype>(pts.size()) * 8, '\0');
    qsizetype at = 0;
    for (const auto &[x, y] : pts) {
        putLE32(b, at, x);
        putLE32(b, at + 4, y);
        at += 8;
    }
    return b;
}

// Two patterns: "Сетка" with a two-point stroke and a stroke without points,
// then a 50-character name with no strokes.
QByteArray oldFormLibrary()
{
    QByteArray b = header("VYKSYMBOLS", 2);
    b += oldPattern("\xD1\xE5\xF2\xEA\xE0", 0, 2, 400, 300); // "Сетка" in Windows-1251
    b += stroke(0, 2, 1, 0x00FFFFFF, 0x000000FF, 25, 2, -100, -50, 100, 50);
    b += points({{-100, -50}, {100, 50}});
    b += stroke(3, 0, 0, 0x0000FF00, 0, 10, 0, 0, 0, 0, 0);
    b += oldPattern(QByteArray(50, 'N'), 1, 0, 200, 200);
    return b;
}

QByteArray newFormLibrary()
{
    QByteArray b = header("VYKSYMBOL6", 2);
    b += newPattern("\xCB\xE8\xED\xE8\xFF", 2, 1, 500, 100, 77, -3, 0x11); // "Линия"
    b += stroke(1, 0, 0, 0x00123456, 0x00654321, 30, 2, -20, -20, 20, 20);
    b += points({{-20, -20}, {20, 20}});
    b += newPattern(QByteArray(100, 'L'), 0, 0, 300, 300, 5, 6);
    return b;
}

} // namespace

TEST(StyleLibrary, OldFormNamesOf50CharactersAndPositionsAsNumbers)
{
    const TVykSymbols lib = readStyleLibrary(oldFormLibrary());
    EXPECT_EQ(lib.Signature, QStringLiteral("VYKSYMBOLS"));
    ASSERT_EQ(lib.Count, 2);
    ASSERT_EQ(lib.count(), 2);
    const TVykSymbol &a = lib.Items[0];
    EXPECT_EQ(a.Name, QStringLiteral("Сетка"));
    EXPECT_EQ(a.Kind, vkFill);
    EXPECT_EQ(a.Width, 400);
    EXPECT_EQ(a.Height, 300);
    EXPECT_EQ(a.Number1, 0);
    EXPECT_EQ(a.Number2, 0);
    EXPECT_EQ(a.Reserved, (std::array<std::uint8_t, 12>{}));
    ASSERT_EQ(a.StrokeCount, 2);
    ASSERT_EQ(a.Strokes.size(), 2u);
    const TVykStroke &s = a.Strokes[0];
    EXPECT_EQ(s.Kind, vsPolyline);
    EXPECT_EQ(s.Spare, 7);
    EXPECT_EQ(s.PenStyle, 2);
    EXPECT_EQ(s.BrushStyle, 1);
    EXPECT_EQ(s.BrushColor, 0x00FFFFFF);
    EXPECT_EQ(s.PenColor, 0x000000FF);
    EXPECT_EQ(s.PenWidth, 25);
    EXPECT_EQ((std::array{s.Left, s.Top, s.Right, s.Bottom}), (std::array{-100, -50, 100, 50}));
    EXPECT_EQ(s.Points, (std::vector<TVykPoint>{{-100, -50}, {100, 50}}));
    EXPECT_EQ(a.Strokes[1].Kind, vsPolygon);
    EXPECT_EQ(a.Strokes[1].BrushColor, 0x0000FF00);
    EXPECT_EQ(a.Strokes[1].PointCount, 0);
    EXPECT_TRUE(a.Strokes[1].Points.empty());

    const TVykSymbol &b = lib.Items[1];
    EXPECT_EQ(b.Name, QString(50, QLatin1Char('N')));
    EXPECT_EQ(b.Kind, vkSymbol);
    EXPECT_EQ(b.StrokeCount, 0);
    EXPECT_TRUE(b.Strokes.empty());
    EXPECT_EQ(b.Number1, 1);
    EXPECT_EQ(b.Number2, 1);
}

TEST(StyleLibrary, NewFormKeepsItsNumbers)
{
    const TVykSymbols lib = readStyleLibrary(newFormLibrary());
    EXPECT_EQ(lib.Signature, QStringLiteral("VYKSYMBOL6"));
    ASSERT_EQ(lib.count(), 2);
    const TVykSymbol &a = lib.Items[0];
    EXPECT_EQ(a.Name, QStringLiteral("Линия"));
    EXPECT_EQ(a.Kind, vkLine);
    EXPECT_EQ(a.Width, 500);
    EXPECT_EQ(a.Height, 100);
    EXPECT_EQ(a.Number1, 77);
    EXPECT_EQ(a.Number2, -3);
    EXPECT_EQ(a.Reserved[0], 0x11);
    EXPECT_EQ(a.Reserved[11], 0x11);
    ASSERT_EQ(a.Strokes.size(), 1u);
    EXPECT_EQ(a.Strokes[0].Kind, vsEllipse);
    EXPECT_EQ(a.Strokes[0].BrushColor, 0x00123456);
    EXPECT_EQ(a.Strokes[0].PenColor, 0x00654321);
    EXPECT_EQ(a.Strokes[0].Points, (std::vector<TVykPoint>{{-20, -20}, {20, 20}}));
    const TVykSymbol &b = lib.Items[1];
    EXPECT_EQ(b.Name, QString(100, QLatin1Char('L')));
    EXPECT_EQ(b.Number1, 5);
    EXPECT_EQ(b.Number2, 6);
    EXPECT_TRUE(b.Strokes.empty());
}

TEST(StyleLibrary, CountsAndSignatures)
{
    auto emptyPatterns = [](int n) {
        QByteArray b = header("VYKSYMBOL6", n);
        for (int i = 0; i < n; ++i)
            b += newPattern("p", 0, 0, 100, 100, i, i);
        return b;
    };
    struct Case {
        const char *name;
        QByteArray bytes;
        QString signature;
        std::int32_t count;
        int patterns;
    };
    const std::vector<Case> cases = {
        {"200 patterns load", emptyPatterns(200), "VYKSYMBOL6", 200, 200},
        {"201 load none", emptyPatterns(201), "VYKSYMBOL6", 0, 0},
        {"an empty file", QByteArray(), "", 0, 0},
        {"a negative count is kept, with no patterns", header("VYKSYMBOL6", -5), "VYKSYMBOL6", -5, 0},
        {"an unknown signature gives nameless patterns", header("SOMETHING1", 3) + newPattern("x", 1, 0, 1, 1, 9, 9),
         "SOMETHING1", 3, 3},
        {"a count with no patterns behind it", header("VYKSYMBOLS", 4), "VYKSYMBOLS", 4, 4},
        {"a count cut short keeps its low bytes", header("VYKSYMBOL6", 0x0102).left(11), "VYKSYMBOL6", 2, 2},
    };
    for (const Case &c : cases) {
        const TVykSymbols lib = readStyleLibrary(c.bytes);
        EXPECT_EQ(lib.Signature, c.signature) << c.name;
        EXPECT_EQ(lib.Count, c.count) << c.name;
        EXPECT_EQ(lib.count(), c.patterns) << c.name;
        EXPECT_EQ(lib.items().size(), static_cast<size_t>(c.patterns)) << c.name;
    }
    // Patterns of an unknown signature, and those the file ends before, are empty.
    const TVykSymbols unknown = readStyleLibrary(cases[4].bytes);
    for (const TVykSymbol &p : unknown.Items) {
        EXPECT_TRUE(p.Name.isEmpty());
        EXPECT_EQ(p.Kind, 0);
        EXPECT_EQ(p.Width, 0);
        EXPECT_EQ(p.Number1, 0);
        EXPECT_TRUE(p.Strokes.empty());
    }
    const TVykSymbols cut = readStyleLibrary(cases[5].bytes);
    EXPECT_EQ(cut.Items[3].Number1, 3);   // the old form's numbers are positions, not read
    EXPECT_TRUE(cut.Items[3].Name.isEmpty());
    EXPECT_EQ(readStyleLibrary(header("VYKSYMBOL6", 2)).item(2), nullptr);
    EXPECT_EQ(readStyleLibrary(header("VYKSYMBOL6", -1)).item(0), nullptr);
}

TEST(StyleLibrary, ShortFileLeavesTheUnreadFieldsZero)
{
    // The second point's y and everything after it are missing.
    QByteArray b = newFormLibrary();
    b.truncate(14 + 133 + 36 + 12);
    b += QByteArray("\x05\x00", 2);
    const TVykSymbols lib = readStyleLibrary(b);
    ASSERT_EQ(lib.count(), 2);
    const TVykStroke &s = lib.Items[0].Strokes.at(0);
    ASSERT_EQ(s.Points.size(), 2u);
    EXPECT_EQ(s.Points[0], (TVykPoint{-20, -20}));
    EXPECT_EQ(s.Points[1], (TVykPoint{20, 5}));
    EXPECT_TRUE(lib.Items[1].Name.isEmpty());
    EXPECT_EQ(lib.Items[1].Width, 0);
}

// Damaged stroke and point counts: nothing is read past the end and nothing
// is allocated beyond what the bytes left could hold.
TEST(StyleLibrary, DamagedCountsLoadWhatIsReadable)
{
    struct Case {
        const char *name;
        QByteArray bytes;
        size_t strokes;
        size_t pointsOfFirst;
    };
    const QByteArray twoPoints = stroke(0, 0, 1, 0, 0, 20, 2, 0, 0, 10, 10) + points({{0, 0}, {10, 10}});
    const std::vector<Case> cases = {
        {"negative stroke count", header("VYKSYMBOL6", 1) + newPattern("a", 0, -7, 100, 100, 0, 0) + twoPoints, 0, 0},
        {"stroke count far beyond the file",
         header("VYKSYMBOL6", 1) + newPattern("a", 0, 0x7FFFFFFF, 100, 100, 0, 0) + twoPoints, 2, 2},
        {"negative point count", header("VYKSYMBOL6", 1) + newPattern("a", 0, 1, 100, 100, 0, 0)
                                     + stroke(0, 0, 1, 0, 0, 20, -1, 0, 0, 0, 0) + points({{1, 2}}),
         1, 0},
        {"point count far beyond the file",
         header("VYKSYMBOLS", 1) + oldPattern("a", 0, 1, 100, 100) + stroke(0, 0, 1, 0, 0, 20, 0x40000000, 0, 0, 0, 0)
             + points({{1, 2}, {3, 4}, {5, 6}}) + QByteArray("\x07", 1),
         1, 4},
        {"minimum integer counts", header("VYKSYMBOL6", 1) + newPattern("a", 0, INT32_MIN, 1, 1, 0, 0), 0, 0},
    };
    for (const Case &c : cases) {
        bool whole = true;
        const TVykSymbols lib = readStyleLibrary(c.bytes, &whole);
        EXPECT_FALSE(whole) << c.name;
        ASSERT_EQ(lib.count(), 1) << c.name;
        const TVykSymbol &p = lib.Items[0];
        EXPECT_EQ(p.Strokes.size(), c.strokes) << c.name;
        EXPECT_EQ(p.StrokeCount, static_cast<std::int32_t>(p.Strokes.size())) << c.name;
        if (!p.Strokes.empty()) {
            EXPECT_EQ(p.Strokes[0].Points.size(), c.pointsOfFirst) << c.name;
            EXPECT_EQ(p.Strokes[0].PointCount, static_cast<std::int32_t>(p.Strokes[0].Points.size())) << c.name;
        }
    }
}

TEST(StyleLibrary, WriterGivesTheBytesOfBothForms)
{
    // The fixtures' spare byte is 7 and their bounds are as written.
    EXPECT_EQ(writeStyleLibrary(readStyleLibrary(newFormLibrary())), newFormLibrary());
    // The old form keeps no numbers and no reserved bytes; everything else survives.
    EXPECT_EQ(writeStyleLibrary(readStyleLibrary(oldFormLibrary())), oldFormLibrary());

    TVykSymbols lib;
    lib.Signature = QStringLiteral("VYKSYMBOL6");
    TVykSymbol p;
    p.Name = QString(120, QChar(0x0416)); // longer than the field: cut
    p.Kind = vkSymbol;
    p.Width = 300;
    p.Height = 200;
    TVykStroke s;
    s.Kind = vsPolygon;
    s.Points = {{5, -7}, {-3, 9}, {1, 1}};
    updateStrokeBounds(s);
    EXPECT_EQ((std::array{s.Left, s.Top, s.Right, s.Bottom, s.PointCount}), (std::array{-3, -7, 5, 9, 3}));
    p.Strokes = {s};
    lib.Items = {p};
    const QByteArray bytes = writeStyleLibrary(lib);
    ASSERT_EQ(bytes.size(), 14 + 133 + 36 + 3 * 8);
    EXPECT_EQ(bytes.left(10), QByteArray("VYKSYMBOL6"));
    EXPECT_EQ(static_cast<unsigned char>(bytes[14]), 0xC6u);  // "Ж" in Windows-1251
    EXPECT_EQ(static_cast<unsigned char>(bytes[14 + 99]), 0xC6u);
    EXPECT_EQ(bytes[14 + 100], 1);
    const TVykSymbols back = readStyleLibrary(bytes);
    EXPECT_EQ(back.Items[0].Name, QString(100, QChar(0x0416)));
    EXPECT_EQ(back.Items[0].Strokes, p.Strokes);
}

TEST(StyleLibrary, MissingLibraryIsReportedOnceAndTheOthersLoad)
{
    testsupport::TempFolder dir;
    dir.write(QStringLiteral("Symbols.glb"), oldFormLibrary());
    dir.write(QStringLiteral("lines.GLB"), newFormLibrary());   // any case is found
    testsupport::ScriptedAnswers answers;
    answers.reply(platform::mrOk);
    StyleServices styles;
    styles.LoadStyleLibraries(dir.path());
    ASSERT_EQ(answers.messages().size(), 1u);
    EXPECT_EQ(answers.messages()[0].text, QStringLiteral("Отутствует файл ") + dir.path()
                                              + QStringLiteral("/Points.glb с шаблонами стилей точек"));
    EXPECT_EQ(answers.messages()[0].buttons, platform::mbOK);
    EXPECT_EQ(styles.FFillStyles.count(), 2);
    EXPECT_EQ(styles.FLineStyles.count(), 2);
    EXPECT_EQ(styles.FPointStyles.count(), 0);
    EXPECT_TRUE(styles.FPointStyles.Signature.isEmpty());

    // A folder of that name is no library either.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Points.glb")));
    answers.reply(platform::mrOk);
    styles.LoadStyleLibraries(dir.path());
    EXPECT_EQ(answers.messages().size(), 2u);
    EXPECT_EQ(styles.FPointStyles.count(), 0);
}

TEST(StyleLibrary, DamagedLibrariesLoadWhatTheyHoldAndSaySo)
{
    // An empty file, counts out of range, and a library cut inside its
    // second pattern: each is reported by name, and what can be read loads.
    testsupport::TempFolder dir;
    const QByteArray good = newFormLibrary();
    bool whole = false;
    readStyleLibrary(good, &whole);
    EXPECT_TRUE(whole);
    readStyleLibrary(oldFormLibrary(), &whole);
    EXPECT_TRUE(whole);
    readStyleLibrary(header("VYKSYMBOL6", 0), &whole);
    EXPECT_TRUE(whole);   // an empty library is whole
    readStyleLibrary(header("NOTSYMBOLS", 1) + newPattern("a", 0, 0, 1, 1, 0, 0), &whole);
    EXPECT_FALSE(whole);

    const struct {
        const char *name;
        QByteArray points, lines, fills;
        std::int32_t lineCount;
        int fillsRead;
    } cases[] = {
        {"empty and out of range", header("VYKSYMBOL6", 201), header("VYKSYMBOL6", -2), QByteArray(), -2, 0},
        {"cut", good, good, good.left(good.size() - 5), 2, 2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        dir.write(QStringLiteral("Symbols.glb"), c.fills);
        dir.write(QStringLiteral("Points.glb"), c.points);
        dir.write(QStringLiteral("Lines.glb"), c.lines);
        testsupport::ScriptedAnswers answers;
        for (int i = 0; i < 3; ++i)
            answers.reply(platform::mrOk);
        StyleServices styles;
        styles.LoadStyleLibraries(dir.path());
        QStringList texts;
        for (const auto &m : answers.messages())
            texts << m.text;
        QStringList expected;
        if (c.fills != good)
            expected << QStringLiteral("Неверный формат файла ") + dir.path() +
                            QStringLiteral("/Symbols.glb с шаблонами стилей заливки полигонов !");
        if (c.points != good)
            expected << QStringLiteral("Неверный формат файла ") + dir.path() +
                            QStringLiteral("/Points.glb с шаблонами стилей точек !");
        if (c.lines != good)
            expected << QStringLiteral("Неверный формат файла ") + dir.path() +
                            QStringLiteral("/Lines.glb с шаблонами стилей линий !");
        EXPECT_EQ(texts, expected);
        EXPECT_EQ(styles.FFillStyles.count(), c.fillsRead);
        EXPECT_EQ(styles.FLineStyles.Count, c.lineCount);
    }
}

// The libraries the build writes into the program folder: the new form, and
// enough cadastral patterns of the right kinds, each drawing something.
TEST(StyleLibrary, ProgramFolderLibraries)
{
    StyleServices styles;
    styles.LoadStyleLibraries(testsupport::programFolder());
    struct Lib {
        const TVykSymbols *lib;
        int firstDrawn;
        int kind;
        int atLeast;
    };
    for (const Lib &l : {Lib{&styles.FFillStyles, 8, vkFill, 20}, Lib{&styles.FLineStyles, 2, vkLine, 15},
                         Lib{&styles.FPointStyles, 1, vkSymbol, 20}}) {
        EXPECT_EQ(l.lib->Signature, QStringLiteral("VYKSYMBOL6"));
        EXPECT_GE(l.lib->count() - l.firstDrawn, l.atLeast);
        for (int n = 0; n < l.lib->count(); ++n) {
            const TVykSymbol &p = l.lib->Items[static_cast<size_t>(n)];
            EXPECT_EQ(p.Kind, l.kind) << n;
            EXPECT_FALSE(p.Name.isEmpty()) << n;
            EXPECT_GT(p.Width, 0) << n;
            EXPECT_EQ(p.Strokes.empty(), n < l.firstDrawn) << n << " " << p.Name.toStdString();
            for (const TVykStroke &s : p.Strokes) {
                // Strokes keep inside their cell, so tiles and copies do not overlap.
                EXPECT_GE(s.Left, -p.Width / 2 - 20) << p.Name.toStdString();
                EXPECT_LE(s.Right, p.Width / 2 + 20) << p.Name.toStdString();
                EXPECT_GE(s.Top, -p.Height / 2 - 20) << p.Name.toStdString();
                EXPECT_LE(s.Bottom, p.Height / 2 + 20) << p.Name.toStdString();
            }
        }
    }
    // The fill menu of the map window names styles 8 to 13.
    ASSERT_GT(styles.FFillStyles.count(), 13);
    EXPECT_EQ(styles.FFillStyles.Items[8].Name, QStringLiteral("многолетние насаждения"));
    EXPECT_EQ(styles.FFillStyles.Items[13].Name, QStringLiteral("газоны"));
}
