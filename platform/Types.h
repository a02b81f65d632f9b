// Points, sizes and rectangles in pixels, layout-compatible with the Win32
// POINT, SIZE and RECT so that they pass straight to the system.
#pragma once

#include <windows.h>

struct TPoint : POINT {
    TPoint() : POINT{0, 0} {}
    TPoint(LONG ax, LONG ay) : POINT{ax, ay} {}
    TPoint(const POINT& p) : POINT(p) {}
    bool operator==(const TPoint& o) const { return x == o.x && y == o.y; }
    bool operator!=(const TPoint& o) const { return !(*this == o); }
};

struct TSize : SIZE {
    TSize() : SIZE{0, 0} {}
    TSize(LONG acx, LONG acy) : SIZE{acx, acy} {}
    TSize(const SIZE& s) : SIZE(s) {}
    bool operator==(const TSize& o) const { return cx == o.cx && cy == o.cy; }
    bool operator!=(const TSize& o) const { return !(*this == o); }
};

// Right and bottom lie outside the rectangle, as everywhere in GDI.
struct TRect : RECT {
    TRect() : RECT{0, 0, 0, 0} {}
    TRect(LONG l, LONG t, LONG r, LONG b) : RECT{l, t, r, b} {}
    TRect(const TPoint& topLeft, const TPoint& bottomRight)
        : RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y} {}
    TRect(const RECT& r) : RECT(r) {}

    LONG Width() const { return right - left; }
    LONG Height() const { return bottom - top; }
    TPoint TopLeft() const { return TPoint(left, top); }
    TPoint BottomRight() const { return TPoint(right, bottom); }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(const TPoint& p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    void Offset(LONG dx, LONG dy) { left += dx; right += dx; top += dy; bottom += dy; }
    void Inflate(LONG dx, LONG dy) { left -= dx; right += dx; top -= dy; bottom += dy; }
    bool operator==(const TRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const TRect& o) const { return !(*this == o); }
};

inline TPoint Point(LONG x, LONG y) { return TPoint(x, y); }
inline TRect Rect(LONG l, LONG t, LONG r, LONG b) { return TRect(l, t, r, b); }
inline TRect Bounds(LONG l, LONG t, LONG w, LONG h) { return TRect(l, t, l + w, t + h); }
