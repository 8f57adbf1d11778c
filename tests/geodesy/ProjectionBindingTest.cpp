#include "geodesy/LayerProjection.h"
#include "geodesy/ProjectionBinding.h"
#include "geodesy/Projector.h"

#include "support/Cs2cs.h"
#include "support/TestFiles.h"

#include <QDir>

#include <gtest/gtest.h>

#include <cmath>

using namespace geodesy;

namespace {

constexpr double degreesPerRadian = 57.29577951308232;
const QString krassTmerc = QStringLiteral("+proj=tmerc +ellps=krass +lon_0=33 +x_0=6500000");

struct Handle {
    projPJ P;
    explicit Handle(const QString &def) : P(pj_init_plus_path(def, QStringLiteral(".\\nad"))) {}
    ~Handle() { pj_free(P); }
};

projUV forwardDegrees(projPJ P, double lon, double lat)
{
    return pj_fwd({lon / degreesPerRadian, lat / degreesPerRadian}, P);
}

std::vector<projUV> cs2cs(const QStringList &args, const std::vector<projUV> &in)
{
    std::vector<std::pair<double, double>> points;
    for (const projUV &uv : in)
        points.emplace_back(uv.u, uv.v);
    std::vector<projUV> out;
    for (const auto &[a, b] : testsupport::cs2cs(args, points))
        out.push_back({a, b});
    return out;
}

} // namespace

TEST(ProjectionBinding, ReferencePointAndRoundTrip)
{
    Handle h(QStringLiteral(" +proj=tmerc +ellps=krass +lon_0=33 +k=1 +x_0=6500000"));
    ASSERT_TRUE(h.P);
    const projUV xy = forwardDegrees(h.P, 33, 50);
    EXPECT_NEAR(xy.u, 6500000.0, 1e-4);
    EXPECT_NEAR(xy.v, 5540944.4676, 1e-4);
    const projUV lp = pj_inv(xy, h.P);
    EXPECT_NEAR(lp.u * degreesPerRadian, 33, 1e-10);
    EXPECT_NEAR(lp.v * degreesPerRadian, 50, 1e-10);
    EXPECT_EQ(*pj_get_errno_ref(), 0);

    // Degrees with hemisphere letters parse.
    Handle dms(QStringLiteral("+proj=tmerc +ellps=krass +lon_0=33d00E +lat_0=0d0N +x_0=6500000"));
    ASSERT_TRUE(dms.P);
    EXPECT_NEAR(forwardDegrees(dms.P, 33, 50).v, 5540944.4676, 1e-4);
}

TEST(ProjectionBinding, AgreesWithCs2csWithinAMillimetre)
{
    if (!testsupport::haveCs2cs())
        GTEST_SKIP() << "cs2cs is not installed (package proj-bin)";
    Handle h(krassTmerc);
    ASSERT_TRUE(h.P);
    const std::vector<projUV> geographic = {{33, 50}, {35.5, 48.25}, {27.125, 44.5}, {40.75, 60.1},
                                            {30.3, 52.7}, {33.0001, 0.5}};
    const QStringList toProjected = QStringLiteral("+proj=longlat +ellps=krass +to +proj=tmerc +ellps=krass "
                                                   "+lon_0=33 +x_0=6500000").split(u' ');
    const std::vector<projUV> expected = cs2cs(toProjected, geographic);
    ASSERT_EQ(expected.size(), geographic.size());
    for (size_t i = 0; i < geographic.size(); ++i) {
        const projUV xy = forwardDegrees(h.P, geographic[i].u, geographic[i].v);
        EXPECT_NEAR(xy.u, expected[i].u, 1e-3) << i;
        EXPECT_NEAR(xy.v, expected[i].v, 1e-3) << i;
    }
    // And back: the projected values of cs2cs to degrees, against its inverse.
    const QStringList toGeographic = QStringLiteral("+proj=tmerc +ellps=krass +lon_0=33 +x_0=6500000 +to "
                                                    "+proj=longlat +ellps=krass").split(u' ');
    const std::vector<projUV> back = cs2cs(toGeographic, expected);
    ASSERT_EQ(back.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const projUV lp = pj_inv(expected[i], h.P);
        // 1e-8 degrees is about a millimetre.
        EXPECT_NEAR(lp.u * degreesPerRadian, back[i].u, 1e-8) << i;
        EXPECT_NEAR(lp.v * degreesPerRadian, back[i].v, 1e-8) << i;
        EXPECT_NEAR(back[i].u, geographic[i].u, 1e-8) << i;
    }
}

TEST(ProjectionBinding, RefusedDefinitionsAndFailedPoints)
{
    const char *refused[] = {
        "", "   ", "+proj=foo", "+proj=tmerc +ellps=ITRFMEX", "+init=epsg:4326",
        "+proj=longlat +ellps=WGS84 +type=crs", "+proj=lcc +ellps=krass",
    };
    for (const char *def : refused) {
        *pj_get_errno_ref() = 0;
        projPJ P = pj_init_plus_path(QString::fromUtf8(def), QStringLiteral(".\\nad"));
        EXPECT_FALSE(P) << def;
        pj_free(P);
        EXPECT_NE(*pj_get_errno_ref(), 0) << def;
        EXPECT_FALSE(pj_strerrno(*pj_get_errno_ref()).isEmpty()) << def;
    }
    // A refusal does not stick to the next set-up.
    Handle ok(krassTmerc);
    EXPECT_TRUE(ok.P);
    EXPECT_EQ(*pj_get_errno_ref(), 0);

    // No inverse: HUGE_VAL and an error number; the next point converts again.
    Handle airy(QStringLiteral("+proj=airy +ellps=WGS84"));
    ASSERT_TRUE(airy.P);
    const projUV bad = pj_inv({1000, 1000}, airy.P);
    EXPECT_EQ(bad.u, HUGE_VAL);
    EXPECT_EQ(bad.v, HUGE_VAL);
    EXPECT_NE(*pj_get_errno_ref(), 0);
    EXPECT_TRUE(std::isfinite(forwardDegrees(airy.P, 10, 10).u));
    EXPECT_EQ(pj_fwd({1, 1}, nullptr).u, HUGE_VAL);
    pj_free(nullptr);
}

TEST(ProjectionBinding, DatumShiftsAreLeftOut)
{
    struct Case { const char *given, *handed; };
    const Case cases[] = {
        {"+proj=tmerc +ellps=krass +towgs84=23.92,-141.27,-80.9,0,0.35,0.82,-0.12 +lon_0=33",
         "+proj=tmerc +ellps=krass +lon_0=33"},
        {"+proj=tmerc +datum=WGS84 +lon_0=33", "+proj=tmerc +ellps=WGS84 +lon_0=33"},
        {"+proj=tmerc +ellps=krass +datum=potsdam", "+proj=tmerc +ellps=krass"},
        {"+proj=tmerc +ellps=krass +nadgrids=missing.gsb +geoidgrids=g.gtx", "+proj=tmerc +ellps=krass"},
        {"  +proj=utm   +zone=36 ", "+proj=utm +zone=36"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(pureProjectionDefinition(QString::fromUtf8(c.given)), QString::fromUtf8(c.handed)) << c.given;

    Handle plain(QStringLiteral("+proj=tmerc +ellps=krass +lon_0=33 +x_0=6500000"));
    Handle shifted(QStringLiteral("+proj=tmerc +ellps=krass +lon_0=33 +x_0=6500000 "
                                  "+towgs84=23.92,-141.27,-80.9,0,0.35,0.82,-0.12 +nadgrids=missing.gsb"));
    ASSERT_TRUE(plain.P);
    ASSERT_TRUE(shifted.P);
    EXPECT_EQ(forwardDegrees(plain.P, 33, 50).u, forwardDegrees(shifted.P, 33, 50).u);
}

TEST(ProjectionBinding, GridsAreFoundInTheNadFolderOfTheCurrentFolder)
{
    testsupport::TempFolder dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("nad")));
    // A 2 x 2 vertical grid in the GTX layout: lower-left latitude and
    // longitude, steps (doubles), rows and columns (int32), all big-endian,
    // then the values as big-endian floats.
    QByteArray gtx;
    auto be64 = [&](double d) {
        quint64 v;
        std::memcpy(&v, &d, 8);
        for (int i = 7; i >= 0; --i)
            gtx.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    be64(40);
    be64(20);
    be64(20);
    be64(20);
    for (int i = 0; i < 2; ++i)
        gtx.append("\0\0\0\x02", 4);
    for (int i = 0; i < 4; ++i)
        gtx.append("\x3f\x80\0\0", 4); // 1.0f
    dir.write(QStringLiteral("nad/tiny.gtx"), gtx);

    const QString def = QStringLiteral("+proj=vgridshift +grids=tiny.gtx");
    // Tried elsewhere first: the library keeps grids it has once opened.
    projPJ missing = pj_init_plus_path(def, QStringLiteral(".\\nad"));
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());
    projPJ found = pj_init_plus_path(def, QStringLiteral(".\\nad"));
    QDir::setCurrent(before);
    EXPECT_TRUE(found);
    EXPECT_FALSE(missing);
    pj_free(found);
    pj_free(missing);
}

TEST(Projector, DefaultParameters)
{
    TProjector p;
    EXPECT_EQ(p.Params, QStringList({"proj=tmerc", "ellps=WGS84", "units=m", "zone=6", "south=E"}));
    EXPECT_FALSE(p.Projection());

    struct Case { QStringList given, result; bool complete; };
    const Case cases[] = {
        {{}, {"proj=tmerc", "ellps=WGS84", "units=m", "zone=6", "south=E"}, false},
        {{"proj=utm", "ELLPS=krass", "units=km"}, {"proj=utm", "ELLPS=krass", "units=km"}, true},
        {{"proj=tmerc", "ellps=krass"}, {"units=m", "proj=tmerc", "ellps=krass"}, false},
        {{"lon_0=33", "zone=4"}, {"proj=tmerc", "ellps=WGS84", "units=m", "lon_0=33", "zone=4", "south=E"}, false},
    };
    for (const Case &c : cases) {
        p.SetParams(c.given);
        EXPECT_EQ(p.AddDefaultParams(), c.complete) << c.given.join(u' ').toStdString();
        EXPECT_EQ(p.Params, c.result) << c.given.join(u' ').toStdString();
    }

    // The map window's default projection.
    p.Reset();
    EXPECT_TRUE(p.Projection());
    p.SetParams({"proj=tmerc", "ellps=krass", "units=m", "lon_0=33d0E", "lat_0=0d0N", "k=1", "x_0=6500000", "y_0=0"});
    ASSERT_TRUE(p.Apply());
    const projUV xy = forwardDegrees(p.Projection(), 33, 50);
    EXPECT_NEAR(xy.u, 6500000.0, 1e-4);
    EXPECT_NEAR(xy.v, 5540944.4676, 1e-4);
    p.SetParams({"proj=nothing"});
    EXPECT_FALSE(p.Apply());
    EXPECT_FALSE(p.Projection());
}

TEST(LayerProjectionLibrary, KeepsHandlesByDefinition)
{
    LayerProjectionLibrary lib;
    auto a = lib.setUp(krassTmerc);
    auto b = lib.setUp(krassTmerc);
    ASSERT_TRUE(a);
    ASSERT_TRUE(b);
    EXPECT_EQ(lib.libraryCalls(), 1);
    EXPECT_FALSE(lib.setUp(QStringLiteral("+proj=foo")));
    // A refusal says why, in the library's words; a set-up that succeeds
    // forgets it.
    EXPECT_FALSE(lib.lastError().isEmpty());
    EXPECT_FALSE(lib.setUp(QStringLiteral("+proj=foo")));
    EXPECT_EQ(lib.libraryCalls(), 3);
    lib.setUp(krassTmerc + QStringLiteral(" +y_0=1"));
    EXPECT_TRUE(lib.lastError().isEmpty());
    // Handles outlive the library's cache.
    for (int i = 2; i < 20; ++i)
        lib.setUp(krassTmerc + QStringLiteral(" +y_0=%1").arg(i));
    double x = 33 / degreesPerRadian, y = 50 / degreesPerRadian;
    a->forward(x, y);
    EXPECT_NEAR(y, 5540944.4676, 1e-4);
    a->inverse(x, y);
    EXPECT_NEAR(x * degreesPerRadian, 33, 1e-10);
}
