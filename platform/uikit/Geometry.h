// Plain geometry values of the phone's drawing system: points, sizes and
// rectangles in points (doubles), ranges and index paths, and the affine
// transform that views carry. They travel through the runtime by value, so a
// system class can take a `CGRect` argument exactly as the phone's API does.
#pragma once

#include <compare>
#include <cstdint>

namespace uikit {

struct CGPoint {
    double x { 0 };
    double y { 0 };
    bool operator==(const CGPoint&) const = default;
};

struct CGSize {
    double width { 0 };
    double height { 0 };
    bool operator==(const CGSize&) const = default;
};

struct CGRect {
    CGPoint origin;
    CGSize size;
    bool operator==(const CGRect&) const = default;

    double minX() const;
    double minY() const;
    double maxX() const;
    double maxY() const;
    double midX() const { return origin.x + size.width / 2; }
    double midY() const { return origin.y + size.height / 2; }
    double width() const;
    double height() const;
};

// A text range in UTF-16 code units, as the platform's strings count.
struct NSRange {
    int64_t location { 0 };
    int64_t length { 0 };
    bool operator==(const NSRange&) const = default;
};

inline constexpr int64_t NSNotFound = INT64_MAX;

struct NSIndexPath {
    int64_t section { 0 };
    int64_t row { 0 };
    bool operator==(const NSIndexPath&) const = default;
    auto operator<=>(const NSIndexPath&) const = default;
};

// [a b 0; c d 0; tx ty 1], applied to row vectors as on the phone.
struct CGAffineTransform {
    double a { 1 };
    double b { 0 };
    double c { 0 };
    double d { 1 };
    double tx { 0 };
    double ty { 0 };
    bool operator==(const CGAffineTransform&) const = default;
};

inline constexpr CGAffineTransform CGAffineTransformIdentity {};
inline constexpr CGRect CGRectZero {};
inline constexpr CGPoint CGPointZero {};
inline constexpr CGSize CGSizeZero {};

inline constexpr CGRect CGRectMake(double x, double y, double width, double height) { return { { x, y }, { width, height } }; }
inline constexpr CGPoint CGPointMake(double x, double y) { return { x, y }; }
inline constexpr CGSize CGSizeMake(double width, double height) { return { width, height }; }
inline constexpr NSRange NSMakeRange(int64_t location, int64_t length) { return { location, length }; }
inline constexpr NSIndexPath NSIndexPathMake(int64_t section, int64_t row) { return { section, row }; }

CGRect CGRectStandardize(const CGRect&);
bool CGRectIsEmpty(const CGRect&);
bool CGRectContainsPoint(const CGRect&, const CGPoint&);
bool CGRectIntersectsRect(const CGRect&, const CGRect&);
bool CGRectEqualToRect(const CGRect&, const CGRect&);
CGRect CGRectIntersection(const CGRect&, const CGRect&);
CGRect CGRectOffset(const CGRect&, double dx, double dy);
CGRect CGRectInset(const CGRect&, double dx, double dy);

// Rotations by a multiple of a quarter turn are exact (cosine and sine of 0
// or ±1), so that frames of rotated windows stay whole numbers.
CGAffineTransform CGAffineTransformMakeRotation(double angle);
CGAffineTransform CGAffineTransformMakeTranslation(double tx, double ty);
CGAffineTransform CGAffineTransformMakeScale(double sx, double sy);
CGAffineTransform CGAffineTransformConcat(const CGAffineTransform& t1, const CGAffineTransform& t2);
CGAffineTransform CGAffineTransformRotate(const CGAffineTransform&, double angle);
CGAffineTransform CGAffineTransformTranslate(const CGAffineTransform&, double tx, double ty);
CGAffineTransform CGAffineTransformScale(const CGAffineTransform&, double sx, double sy);
// A transform that cannot be inverted is answered unchanged, as on the phone.
CGAffineTransform CGAffineTransformInvert(const CGAffineTransform&);
bool CGAffineTransformIsIdentity(const CGAffineTransform&);
bool CGAffineTransformEqualToTransform(const CGAffineTransform&, const CGAffineTransform&);
CGPoint CGPointApplyAffineTransform(const CGPoint&, const CGAffineTransform&);
CGSize CGSizeApplyAffineTransform(const CGSize&, const CGAffineTransform&);
// The smallest rectangle holding the transformed corners.
CGRect CGRectApplyAffineTransform(const CGRect&, const CGAffineTransform&);

// The rotation a transform applies, in radians (atan2 of its first column).
double rotationAngle(const CGAffineTransform&);

} // namespace uikit
