// A virtual call the compiler cannot see through: the concrete class lives in
// another translation unit, so the benchmark measures a real indirect call.
#pragma once

#include <cstdint>

class Shape {
public:
    virtual ~Shape() = default;
    virtual int64_t increment(int64_t by) = 0;
};

Shape* makeShape();
