#include "UIKitTestSupport.h"

#include <cmath>

namespace uikit_test {

TEST(Geometry, QuarterTurnsAreExact)
{
    for (int quarter = -4; quarter <= 4; ++quarter) {
        auto t = CGAffineTransformMakeRotation(quarter * M_PI / 2);
        for (double value : { t.a, t.b, t.c, t.d })
            EXPECT_TRUE(value == 0 || value == 1 || value == -1) << "quarter " << quarter;
    }
    CGRect rotated = CGRectApplyAffineTransform(CGRectMake(0, 0, 112, 480), CGAffineTransformMakeRotation(M_PI / 2));
    EXPECT_EQ(rotated.size, CGSizeMake(480, 112));
    EXPECT_DOUBLE_EQ(rotationAngle(CGAffineTransformMakeRotation(-M_PI / 2)), -M_PI / 2);
    EXPECT_DOUBLE_EQ(rotationAngle(CGAffineTransformIdentity), 0);
}

TEST(Geometry, InvertUndoesAndSingularIsLeftAlone)
{
    auto t = CGAffineTransformTranslate(CGAffineTransformMakeRotation(0.3), 12, -7);
    CGPoint p { 31, 17 };
    CGPoint back = CGPointApplyAffineTransform(CGPointApplyAffineTransform(p, t), CGAffineTransformInvert(t));
    EXPECT_NEAR(back.x, p.x, 1e-9);
    EXPECT_NEAR(back.y, p.y, 1e-9);
    auto singular = CGAffineTransformMakeScale(0, 1);
    EXPECT_EQ(CGAffineTransformInvert(singular), singular);
}

TEST(Geometry, RectsAreHalfOpenAndNormalised)
{
    CGRect r = CGRectMake(10, 10, -5, 20);
    EXPECT_EQ(CGRectStandardize(r), CGRectMake(5, 10, 5, 20));
    EXPECT_TRUE(CGRectContainsPoint(r, { 5, 10 }));
    EXPECT_FALSE(CGRectContainsPoint(r, { 10, 10 })) << "the far edge is outside";
    EXPECT_TRUE(CGRectIsEmpty(CGRectIntersection(CGRectMake(0, 0, 10, 10), CGRectMake(10, 0, 10, 10))));
    EXPECT_EQ(CGRectIntersection(CGRectMake(0, 0, 10, 10), CGRectMake(5, 5, 10, 10)), CGRectMake(5, 5, 5, 5));
}

} // namespace uikit_test
