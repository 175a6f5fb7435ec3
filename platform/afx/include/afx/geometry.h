// Small value types for points handed to message handlers.
#pragma once

#include <windows.h>

struct CPoint : POINT {
    CPoint() : POINT{0, 0} {}
    CPoint(int ax, int ay) : POINT{ax, ay} {}
    explicit CPoint(const POINT& p) : POINT(p) {}
};
