// Plane keys: the key file "Systems.gtr" against bytes built by hand, the
// least-squares key (turns in every quadrant, residuals worked out by hand,
// the refusals) and the rows of a pasted text.

#include "geodesy/PlaneKeys.h"
#include "geodesy/PointTransform.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace geodesy;
using testsupport::putLEDouble;

namespace {

QByteArray keyRecord(const QByteArray &name, double cx, double cy, double k, double s, double c)
{
    QByteArray b(296, '\0');
    b[0] = static_cast<char>(name.size());
    b.replace(1, name.size(), name);
    putLEDouble(b, 256, cx);
    putLEDouble(b, 264, cy);
    putLEDouble(b, 272, k);
    putLEDouble(b, 280, s);
    putLEDouble(b, 288, c);
    return b;
}

// The key applied as TransformObjects applies it (kind 0), in surveying
// names: (X, Y) to (X', Y').
std::pair<double, double> applyKey(const PlaneKey &key, double X, double Y)
{
    PointTransform t({tkKey, 0, key.K, key.Cx, key.Cy, key.CosA, key.SinA, {}, {}});
    double x = Y, y = X; // easting, northing
    EXPECT_TRUE(t.apply(x, y, true));
    return {y, x};
}

} // namespace

TEST(PlaneKeys, KeyFileRecordsAndTheirBytes)
{
    // "Местная" in Windows-1251.
    const QByteArray local("\xCC\xE5\xF1\xF2\xED\xE0\xFF", 7);
    const QByteArray file = keyRecord(local, 100.5, -200, 1.0001, 0.5, 0.8660254037844386) +
                            keyRecord("B", 0, 0, 1, 0, 1);
    const std::vector<TGeoKeyRecord> keys = {{QStringLiteral("Местная"), 100.5, -200, 1.0001, 0.5, 0.8660254037844386},
                                             {QStringLiteral("B"), 0, 0, 1, 0, 1}};
    EXPECT_EQ(decodeKeys(file), keys);
    EXPECT_EQ(encodeKeys(keys), file);
    // A piece shorter than a record at the end is no key.
    EXPECT_EQ(decodeKeys(file + QByteArray(295, '\x7f')), keys);
    EXPECT_TRUE(decodeKeys(file.left(295)).empty());

    testsupport::TempFolder dir;
    const QString name = keyFileName(dir.path());
    EXPECT_TRUE(name.endsWith(QStringLiteral("/Systems.gtr")));
    EXPECT_TRUE(LoadKeys(name).empty());
    ASSERT_TRUE(SaveKeys(name, keys));
    EXPECT_EQ(dir.read(QStringLiteral("Systems.gtr")), file);
    EXPECT_EQ(LoadKeys(name), keys);
}

// Pairs made with a known key (scale, turn, shift) come back as that key, the
// turn in any quadrant; the key maps each local point onto its target.
TEST(PlaneKeys, LeastSquaresFindsTheKeyInEveryQuadrant)
{
    struct Case {
        const char *name;
        double k, degrees, cx, cy;
        std::vector<std::pair<double, double>> local;
    };
    const std::vector<std::pair<double, double>> three = {{0, 0}, {100, 20}, {30, 150}};
    const Case cases[] = {
        {"no turn", 1, 0, 100, 200, three},
        {"45 degrees, scale", std::sqrt(2.0), 45, 0, 0, three},
        {"90 degrees", 1, 90, 10, -10, three},
        {"120 degrees", 1.5, 120, 5000, 3000, three},
        {"180 degrees", 1, 180, 0, 0, {{0, 0}, {10, 0}, {0, 10}, {10, 10}}},
        {"-135 degrees", 0.5, -135, 1e6, 2e6, three},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const double a = c.degrees * std::numbers::pi / 180;
        std::vector<PointPair> pairs;
        for (const auto &[X, Y] : c.local)
            pairs.push_back({X, Y, c.cx + c.k * (X * std::cos(a) - Y * std::sin(a)),
                             c.cy + c.k * (Y * std::cos(a) + X * std::sin(a))});
        QString refusal;
        const std::optional<PlaneKey> key = computeKey(pairs, refusal);
        ASSERT_TRUE(key);
        EXPECT_TRUE(refusal.isEmpty());
        EXPECT_NEAR(key->K, c.k, 1e-12);
        EXPECT_NEAR(key->SinA, std::sin(a), 1e-12);
        EXPECT_NEAR(key->CosA, std::cos(a), 1e-12);
        EXPECT_NEAR(key->Cx, c.cx, 1e-6);
        EXPECT_NEAR(key->Cy, c.cy, 1e-6);
        for (const PointPair &p : pairs) {
            const auto [X, Y] = applyKey(*key, p.X1, p.Y1);
            EXPECT_NEAR(X, p.X2, 1e-6);
            EXPECT_NEAR(Y, p.Y2, 1e-6);
        }
    }
}

// The two-pair examples, and three pairs that do not fit a similarity
// exactly: the key and its residuals as worked out by hand.
TEST(PlaneKeys, LeastSquaresKeyAndResidualsByHand)
{
    QString refusal;
    std::optional<PlaneKey> key = computeKey({{0, 0, 100, 200}, {10, 0, 110, 200}}, refusal);
    ASSERT_TRUE(key);
    EXPECT_DOUBLE_EQ(key->K, 1);
    EXPECT_DOUBLE_EQ(key->SinA, 0);
    EXPECT_DOUBLE_EQ(key->CosA, 1);
    EXPECT_DOUBLE_EQ(key->Cx, 100);
    EXPECT_DOUBLE_EQ(key->Cy, 200);

    key = computeKey({{0, 0, 0, 0}, {10, 0, 10, 10}}, refusal);
    ASSERT_TRUE(key);
    EXPECT_DOUBLE_EQ(key->K, std::sqrt(2.0));
    EXPECT_NEAR(key->SinA, std::sqrt(0.5), 1e-15);
    EXPECT_NEAR(key->CosA, std::sqrt(0.5), 1e-15);
    EXPECT_EQ(applyKey(*key, 10, 0), std::make_pair(10.0, 10.0));

    // A quarter turn: b = 0, which the plain arctangent of c / b could not take.
    key = computeKey({{0, 0, 0, 0}, {10, 0, 0, 10}}, refusal);
    ASSERT_TRUE(key);
    EXPECT_DOUBLE_EQ(key->SinA, 1);
    EXPECT_DOUBLE_EQ(key->CosA, 0);

    // Local (0,0), (2,0), (0,2) to target (1,0), (3,1), (0,3).
    // Means: local (2/3, 2/3), target (4/3, 4/3).
    // d1 = (-2/3,-2/3), (4/3,-2/3), (-2/3,4/3); d2 = (-1/3,-4/3), (5/3,-1/3), (-4/3,5/3).
    // S1 = 10/9 + 22/9 + 28/9 = 60/9; S2 = 8/9 + 20/9 + 20/9 = 48/9;
    // S3 = 6/9 + 6/9 + 6/9 = 18/9; b = 5/4, c = 3/8, k = sqrt(109)/8.
    // Cx = 4/3 - 5/6 + 1/4 = 3/4; Cy = 4/3 - 5/6 - 1/4 = 1/4.
    // Fitted: (0,0) -> (3/4, 1/4); (2,0) -> (13/4, 1); (0,2) -> (0, 11/4).
    // Residuals (target - fitted): (1/4,-1/4), (-1/4, 0), (0, 1/4); they sum to 0.
    const std::vector<PointPair> pairs = {{0, 0, 1, 0}, {2, 0, 3, 1}, {0, 2, 0, 3}};
    key = computeKey(pairs, refusal);
    ASSERT_TRUE(key);
    EXPECT_NEAR(key->K, std::sqrt(109.0) / 8, 1e-15);
    EXPECT_NEAR(key->CosA, 10 / std::sqrt(109.0), 1e-15);
    EXPECT_NEAR(key->SinA, 3 / std::sqrt(109.0), 1e-15);
    EXPECT_NEAR(key->Cx, 0.75, 1e-15);
    EXPECT_NEAR(key->Cy, 0.25, 1e-15);
    const double residuals[3][2] = {{0.25, -0.25}, {-0.25, 0}, {0, 0.25}};
    for (size_t i = 0; i < pairs.size(); ++i) {
        const auto [X, Y] = applyKey(*key, pairs[i].X1, pairs[i].Y1);
        EXPECT_NEAR(pairs[i].X2 - X, residuals[i][0], 1e-14) << i;
        EXPECT_NEAR(pairs[i].Y2 - Y, residuals[i][1], 1e-14) << i;
    }
}

TEST(PlaneKeys, TooFewPairsAreRefusedWithAMessage)
{
    const std::vector<std::vector<PointPair>> refused = {
        {},
        {{5, 5, 10, 10}},
        {{5, 5, 10, 10}, {5, 5, 20, 30}},
    };
    for (const auto &pairs : refused) {
        QString refusal;
        EXPECT_FALSE(computeKey(pairs, refusal)) << pairs.size();
        EXPECT_EQ(refusal, QStringLiteral("Недостаточно параметров для расчёта !"));
    }
}

TEST(PlaneKeys, PastedLinesBecomeRows)
{
    const QString text = QStringLiteral("A1 10 20 0 110 220 0\r\n"
                                        "  \r\n"
                                        "\tB2\t10,5\t20.25  3\t4 5 6 7 8\n"
                                        "C3 x 7\n"
                                        "D4\r\n"
                                        "E5 . 7 -,\n");
    const std::vector<TransformRow> rows = parseTransformRows(text);
    ASSERT_EQ(rows.size(), 5u);
    struct Expected {
        const char *name;
        double x1, y1, z1, x2, y2, z2;
    };
    const Expected expected[] = {
        {"A1", 10, 20, 0, 110, 220, 0},
        {"B2", 10.5, 20.25, 3, 4, 5, 6},
        {"C3", 0, 7, 0, 0, 0, 0},
        {"D4", 0, 0, 0, 0, 0, 0},
        // A lone separator or minus reads as no number, not as an error.
        {"E5", 0, 7, 0, 0, 0, 0},
    };
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rows[i].Name, QString::fromUtf8(expected[i].name));
        EXPECT_EQ(rows[i].X1, expected[i].x1);
        EXPECT_EQ(rows[i].Y1, expected[i].y1);
        EXPECT_EQ(rows[i].Z1, expected[i].z1);
        EXPECT_EQ(rows[i].X2, expected[i].x2);
        EXPECT_EQ(rows[i].Y2, expected[i].y2);
        EXPECT_EQ(rows[i].Z2, expected[i].z2);
    }
    EXPECT_TRUE(parseTransformRows(QString()).empty());
}
