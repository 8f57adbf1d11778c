// The directional-angle calculator's arithmetic from the texts of its edits.

#include "geodesy/DirectionAngles.h"
#include "platform/Environment.h"

#include <gtest/gtest.h>

using namespace geodesy;

TEST(DirectionAngles, ConditionalReducedAndRotation)
{
    struct Case {
        const char *name;
        RotationTexts in;
        double conditional, reduced, rotation;
        bool reducedComputed, rotationComputed;
    };
    auto texts = [](const char *x2, const char *y2) {
        RotationTexts t;
        t.X1 = t.Y1 = QStringLiteral("0");
        t.X2 = QString::fromUtf8(x2);
        t.Y2 = QString::fromUtf8(y2);
        return t;
    };
    RotationTexts reducedPoints = texts("100", "100");
    reducedPoints.RX1 = QStringLiteral("10");
    reducedPoints.RY1 = QStringLiteral("10");
    reducedPoints.RX2 = QStringLiteral("10");
    reducedPoints.RY2 = QStringLiteral("110,5"); // due east: 90
    RotationTexts typedReduced = texts("100", "100");
    typedReduced.ReducedAngle = QStringLiteral("45");
    typedReduced.Rotation = QStringLiteral("7"); // not read: the reduced angle is not 0
    RotationTexts typedRotation = texts("100", "100");
    typedRotation.Rotation = QStringLiteral("12.5");
    RotationTexts negativeTarget = texts("100", "0");
    negativeTarget.RX2 = QStringLiteral("-50");
    negativeTarget.RY2 = QStringLiteral("-50");
    negativeTarget.ReducedAngle = QStringLiteral("30");
    RotationTexts unreadable = texts("abc", "");
    unreadable.Rotation = QStringLiteral("x");
    // What an edit holds while a number is being typed into it.
    RotationTexts halfTyped = texts(".", "-,");
    halfTyped.RX2 = QStringLiteral("-.");
    halfTyped.Rotation = QStringLiteral(",");
    const Case cases[] = {
        {"north-east", texts("100", "100"), 45, 0, 0, false, false},
        {"south-west", texts("-100", "-100"), 225, 0, 0, false, false},
        {"north-west", texts("100", "-100"), 315, 0, 0, false, false},
        {"same points", texts("0", "0"), 0, 0, 0, false, false},
        {"reduced points", reducedPoints, 45, 90, 45, true, true},
        {"typed reduced angle", typedReduced, 45, 45, 0, false, true},
        {"typed rotation", typedRotation, 45, 0, 12.5, false, false},
        // A target with no positive coordinate is not taken as given.
        {"negative reduced target", negativeTarget, 0, 30, 30, false, true},
        {"unreadable texts", unreadable, 0, 0, 0, false, false},
        {"half-typed texts", halfTyped, 0, 0, 0, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const RotationAngles a = computeRotation(c.in);
        // A difference of exactly 0 counts as 0.00001: some 6e-6 degrees.
        EXPECT_NEAR(a.Conditional, c.conditional, 1e-5);
        EXPECT_NEAR(a.Reduced, c.reduced, 1e-5);
        EXPECT_NEAR(a.Rotation, c.rotation, 1e-5);
        EXPECT_EQ(a.ReducedComputed, c.reducedComputed);
        EXPECT_EQ(a.RotationComputed, c.rotationComputed);
    }
}

TEST(DirectionAngles, TextsOfAnglesAndTheirParts)
{
    platform::ScopedService<platform::DecimalSeparator> comma(u',');
    struct Case {
        double degrees;
        const char *text, *d, *m, *s;
    };
    const Case cases[] = {
        {45, "45", "45", "0", "0"},
        {225.0004, "225", "225", "0", "1,44"},
        {12.3456789, "12,346", "12", "20", "44,44"},
        {-12.5, "-12,5", "-12", "30", "0"},
        {0.9999999, "1", "0", "60", "0"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.degrees);
        EXPECT_EQ(angleText(c.degrees), QString::fromUtf8(c.text));
        const DmsTexts dms = dmsTexts(c.degrees);
        EXPECT_EQ(dms.Degrees, QString::fromUtf8(c.d));
        EXPECT_EQ(dms.Minutes, QString::fromUtf8(c.m));
        EXPECT_EQ(dms.Seconds, QString::fromUtf8(c.s));
    }
}
