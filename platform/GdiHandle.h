// Owning and non-owning wrappers for GDI handles, and scope guards that put
// a device context's state back however a drawing routine is left.
#pragma once

#include <windows.h>

#include <utility>

// How each kind of handle is given back to the system.
template <class H>
struct GdiHandleTraits {
    static void Free(H h) { ::DeleteObject(h); }
};
template <>
struct GdiHandleTraits<HDC> {
    static void Free(HDC h) { ::DeleteDC(h); }
};
template <>
struct GdiHandleTraits<HICON> {
    static void Free(HICON h) { ::DestroyIcon(h); }
};

// A GDI handle. Managed = true: the wrapper owns the handle and frees it when
// it is destroyed or given another one; it can be moved, never copied.
// Managed = false: a plain view of a handle somebody else owns.
template <class H, bool Managed = true>
class GdiHandle {
public:
    GdiHandle() = default;
    explicit GdiHandle(H h) : h_(h) {}
    ~GdiHandle() { Reset(); }

    GdiHandle(const GdiHandle& other) : h_(other.h_) { static_assert(!Managed, "an owned handle is moved, not copied"); }
    GdiHandle& operator=(const GdiHandle& other) {
        static_assert(!Managed, "an owned handle is moved, not copied");
        h_ = other.h_;
        return *this;
    }
    GdiHandle(GdiHandle&& other) noexcept : h_(other.Detach()) {}
    GdiHandle& operator=(GdiHandle&& other) noexcept {
        if (this != &other) Reset(other.Detach());
        return *this;
    }

    H Get() const { return h_; }
    operator H() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

    // Frees the handle held (when owned) and takes h.
    void Reset(H h = nullptr) {
        if (Managed && h_ && h_ != h) GdiHandleTraits<H>::Free(h_);
        h_ = h;
    }
    // Gives up the handle without freeing it.
    H Detach() {
        H h = h_;
        h_ = nullptr;
        return h;
    }

private:
    H h_ = nullptr;
};

using GdiPen = GdiHandle<HPEN>;
using GdiBrush = GdiHandle<HBRUSH>;
using GdiFont = GdiHandle<HFONT>;
using GdiBitmap = GdiHandle<HBITMAP>;
using GdiRegion = GdiHandle<HRGN>;
using GdiMemoryDC = GdiHandle<HDC>;
using GdiIcon = GdiHandle<HICON>;

// A rectangular region owned by the caller; empty when the system refuses.
inline GdiRegion CreateRectRegion(int left, int top, int right, int bottom) {
    return GdiRegion(::CreateRectRgn(left, top, right, bottom));
}

// A screen-compatible DC for the length of a scope.
class ScreenDC {
public:
    ScreenDC() : dc_(::GetDC(nullptr)) {}
    ~ScreenDC() { ::ReleaseDC(nullptr, dc_); }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    operator HDC() const { return dc_; }

private:
    HDC dc_;
};

// Selects an object into a DC and selects the previous one back on leaving.
class SelectObjectGuard {
public:
    SelectObjectGuard(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
    ~SelectObjectGuard() {
        if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
    }
    SelectObjectGuard(const SelectObjectGuard&) = delete;
    SelectObjectGuard& operator=(const SelectObjectGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// Sets the background mode (TRANSPARENT or OPAQUE) for a scope.
class BkModeGuard {
public:
    BkModeGuard(HDC dc, int mode) : dc_(dc), old_(::SetBkMode(dc, mode)) {}
    ~BkModeGuard() { ::SetBkMode(dc_, old_); }
    BkModeGuard(const BkModeGuard&) = delete;
    BkModeGuard& operator=(const BkModeGuard&) = delete;

private:
    HDC dc_;
    int old_;
};

// Sets the text and background colours for a scope.
class TextColorsGuard {
public:
    TextColorsGuard(HDC dc, COLORREF text, COLORREF back)
        : dc_(dc), oldText_(::SetTextColor(dc, text)), oldBack_(::SetBkColor(dc, back)) {}
    ~TextColorsGuard() {
        ::SetTextColor(dc_, oldText_);
        ::SetBkColor(dc_, oldBack_);
    }
    TextColorsGuard(const TextColorsGuard&) = delete;
    TextColorsGuard& operator=(const TextColorsGuard&) = delete;

private:
    HDC dc_;
    COLORREF oldText_, oldBack_;
};

// Keeps the DC's clipping region and puts it back on leaving, so that a
// routine may narrow the clipping freely (IntersectClipRect, SelectClipRgn).
class ClipRegionGuard {
public:
    explicit ClipRegionGuard(HDC dc) : dc_(dc), saved_(::CreateRectRgn(0, 0, 0, 0)) {
        // 1: the DC has a clipping region (copied into saved_); 0: it has none.
        hadClip_ = saved_ && ::GetClipRgn(dc_, saved_) == 1;
    }
    ~ClipRegionGuard() { ::SelectClipRgn(dc_, hadClip_ ? saved_.Get() : nullptr); }
    ClipRegionGuard(const ClipRegionGuard&) = delete;
    ClipRegionGuard& operator=(const ClipRegionGuard&) = delete;

private:
    HDC dc_;
    GdiRegion saved_;
    bool hadClip_ = false;
};
