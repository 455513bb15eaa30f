#include "Geometry.h"

#include <algorithm>
#include <cmath>

namespace uikit {

double CGRect::minX() const { return std::min(origin.x, origin.x + size.width); }
double CGRect::minY() const { return std::min(origin.y, origin.y + size.height); }
double CGRect::maxX() const { return std::max(origin.x, origin.x + size.width); }
double CGRect::maxY() const { return std::max(origin.y, origin.y + size.height); }
double CGRect::width() const { return std::fabs(size.width); }
double CGRect::height() const { return std::fabs(size.height); }

CGRect CGRectStandardize(const CGRect& r)
{
    return CGRectMake(r.minX(), r.minY(), r.width(), r.height());
}

bool CGRectIsEmpty(const CGRect& r)
{
    return r.size.width == 0 || r.size.height == 0 || std::isnan(r.size.width) || std::isnan(r.size.height);
}

bool CGRectContainsPoint(const CGRect& r, const CGPoint& p)
{
    // Half-open, as on the phone: the far edges are outside.
    return p.x >= r.minX() && p.x < r.maxX() && p.y >= r.minY() && p.y < r.maxY();
}

bool CGRectIntersectsRect(const CGRect& a, const CGRect& b)
{
    return !CGRectIsEmpty(CGRectIntersection(a, b));
}

bool CGRectEqualToRect(const CGRect& a, const CGRect& b)
{
    return CGRectStandardize(a) == CGRectStandardize(b);
}

CGRect CGRectIntersection(const CGRect& a, const CGRect& b)
{
    double x1 = std::max(a.minX(), b.minX());
    double y1 = std::max(a.minY(), b.minY());
    double x2 = std::min(a.maxX(), b.maxX());
    double y2 = std::min(a.maxY(), b.maxY());
    if (x2 <= x1 || y2 <= y1)
        return CGRectZero;
    return CGRectMake(x1, y1, x2 - x1, y2 - y1);
}

CGRect CGRectOffset(const CGRect& r, double dx, double dy)
{
    return CGRectMake(r.origin.x + dx, r.origin.y + dy, r.size.width, r.size.height);
}

CGRect CGRectInset(const CGRect& r, double dx, double dy)
{
    CGRect s = CGRectStandardize(r);
    return CGRectMake(s.origin.x + dx, s.origin.y + dy, s.size.width - 2 * dx, s.size.height - 2 * dy);
}

namespace {

    // cos and sin, exact for multiples of a quarter turn.
    void cosSin(double angle, double& c, double& s)
    {
        double quarters = angle / (M_PI / 2);
        double nearest = std::round(quarters);
        if (std::fabs(quarters - nearest) < 1e-12 && std::fabs(nearest) < 1e9) {
            static constexpr double cosTable[4] = { 1, 0, -1, 0 };
            static constexpr double sinTable[4] = { 0, 1, 0, -1 };
            int index = static_cast<int>(std::fmod(std::fmod(nearest, 4) + 4, 4));
            c = cosTable[index];
            s = sinTable[index];
            return;
        }
        c = std::cos(angle);
        s = std::sin(angle);
    }

} // namespace

CGAffineTransform CGAffineTransformMakeRotation(double angle)
{
    double c, s;
    cosSin(angle, c, s);
    return { c, s, -s, c, 0, 0 };
}

CGAffineTransform CGAffineTransformMakeTranslation(double tx, double ty) { return { 1, 0, 0, 1, tx, ty }; }
CGAffineTransform CGAffineTransformMakeScale(double sx, double sy) { return { sx, 0, 0, sy, 0, 0 }; }

CGAffineTransform CGAffineTransformConcat(const CGAffineTransform& t1, const CGAffineTransform& t2)
{
    return {
        t1.a * t2.a + t1.b * t2.c,
        t1.a * t2.b + t1.b * t2.d,
        t1.c * t2.a + t1.d * t2.c,
        t1.c * t2.b + t1.d * t2.d,
        t1.tx * t2.a + t1.ty * t2.c + t2.tx,
        t1.tx * t2.b + t1.ty * t2.d + t2.ty,
    };
}

CGAffineTransform CGAffineTransformRotate(const CGAffineTransform& t, double angle)
{
    return CGAffineTransformConcat(CGAffineTransformMakeRotation(angle), t);
}

CGAffineTransform CGAffineTransformTranslate(const CGAffineTransform& t, double tx, double ty)
{
    return CGAffineTransformConcat(CGAffineTransformMakeTranslation(tx, ty), t);
}

CGAffineTransform CGAffineTransformScale(const CGAffineTransform& t, double sx, double sy)
{
    return CGAffineTransformConcat(CGAffineTransformMakeScale(sx, sy), t);
}

CGAffineTransform CGAffineTransformInvert(const CGAffineTransform& t)
{
    double det = t.a * t.d - t.b * t.c;
    if (det == 0 || !std::isfinite(det))
        return t;
    CGAffineTransform inverse { t.d / det, -t.b / det, -t.c / det, t.a / det, 0, 0 };
    inverse.tx = -(t.tx * inverse.a + t.ty * inverse.c);
    inverse.ty = -(t.tx * inverse.b + t.ty * inverse.d);
    return inverse;
}

bool CGAffineTransformIsIdentity(const CGAffineTransform& t) { return t == CGAffineTransformIdentity; }
bool CGAffineTransformEqualToTransform(const CGAffineTransform& a, const CGAffineTransform& b) { return a == b; }

CGPoint CGPointApplyAffineTransform(const CGPoint& p, const CGAffineTransform& t)
{
    return { t.a * p.x + t.c * p.y + t.tx, t.b * p.x + t.d * p.y + t.ty };
}

CGSize CGSizeApplyAffineTransform(const CGSize& s, const CGAffineTransform& t)
{
    return { t.a * s.width + t.c * s.height, t.b * s.width + t.d * s.height };
}

CGRect CGRectApplyAffineTransform(const CGRect& r, const CGAffineTransform& t)
{
    CGRect s = CGRectStandardize(r);
    CGPoint corners[4] = {
        CGPointApplyAffineTransform(s.origin, t),
        CGPointApplyAffineTransform({ s.maxX(), s.minY() }, t),
        CGPointApplyAffineTransform({ s.minX(), s.maxY() }, t),
        CGPointApplyAffineTransform({ s.maxX(), s.maxY() }, t),
    };
    double x1 = corners[0].x, x2 = corners[0].x, y1 = corners[0].y, y2 = corners[0].y;
    for (const auto& p : corners) {
        x1 = std::min(x1, p.x);
        x2 = std::max(x2, p.x);
        y1 = std::min(y1, p.y);
        y2 = std::max(y2, p.y);
    }
    return CGRectMake(x1, y1, x2 - x1, y2 - y1);
}

double rotationAngle(const CGAffineTransform& t)
{
    if (t.b == 0 && t.a >= 0)
        return 0;
    return std::atan2(t.b, t.a);
}

} // namespace uikit
