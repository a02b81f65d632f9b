// A 32-bit drawing surface for pixel tests: a DIB section selected into a
// memory DC, whose pixels are read back straight from memory.
#pragma once

#include <windows.h>

#include <cstdint>
#include <stdexcept>

class DibSurface {
public:
    DibSurface(int width, int height) : width_(width), height_(height) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;  // top-down: row 0 first
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        dc_ = ::CreateCompatibleDC(nullptr);
        bitmap_ = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        if (!dc_ || !bitmap_) {
            Free();
            throw std::runtime_error("DibSurface: cannot create the surface");
        }
        old_ = ::SelectObject(dc_, bitmap_);
    }
    ~DibSurface() { Free(); }
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;

    HDC DC() const { return dc_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Pixel as 0x00RRGGBB (the DIB's own order).
    std::uint32_t Rgb(int x, int y) const {
        ::GdiFlush();
        return bits_[y * width_ + x] & 0xFFFFFF;
    }
    // Pixel as a COLORREF / TColor (0x00BBGGRR).
    COLORREF Color(int x, int y) const {
        std::uint32_t v = Rgb(x, y);
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    void Fill(COLORREF color) {
        ::GdiFlush();
        std::uint32_t v = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
        for (int i = 0; i < width_ * height_; ++i) bits_[i] = v;
    }
    // How many pixels of the rectangle (right and bottom outside) have this colour.
    int Count(COLORREF color, int left, int top, int right, int bottom) const {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) n += Color(x, y) == color;
        return n;
    }
    int Count(COLORREF color) const { return Count(color, 0, 0, width_, height_); }

private:
    void Free() {
        if (dc_ && old_) ::SelectObject(dc_, old_);
        if (bitmap_) ::DeleteObject(bitmap_);
        if (dc_) ::DeleteDC(dc_);
        dc_ = nullptr;
        bitmap_ = nullptr;
    }

    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    std::uint32_t* bits_ = nullptr;
};
