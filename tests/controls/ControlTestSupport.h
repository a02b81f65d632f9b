// Small helpers shared by the image-control tests: pictures made pixel by
// pixel, window regions read back as rectangles, and bounded message pumps.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "Graphics.h"

namespace ctltest {

constexpr TColor Rgb(int r, int g, int b) {
    return static_cast<TColor>(r) | (static_cast<TColor>(g) << 8) | (static_cast<TColor>(b) << 16);
}

// A bitmap of w x h pixels filled with one colour.
inline void FillBitmap(TBitmap& bmp, int w, int h, TColor color) {
    bmp.SetSize(w, h);
    bmp.Canvas()->Brush()->SetStyle(bsSolid);
    bmp.Canvas()->Brush()->SetColor(color);
    bmp.Canvas()->FillRect(TRect(0, 0, w, h));
}

inline void FillArea(TBitmap& bmp, const TRect& r, TColor color) {
    bmp.Canvas()->Brush()->SetStyle(bsSolid);
    bmp.Canvas()->Brush()->SetColor(color);
    bmp.Canvas()->FillRect(r);
}

// The rectangles of a region in the system's order (bands top-down, left to right).
inline std::vector<RECT> RegionRects(HRGN rgn) {
    std::vector<RECT> rects;
    DWORD size = ::GetRegionData(rgn, 0, nullptr);
    if (!size) return rects;
    std::vector<BYTE> buffer(size);
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    if (!::GetRegionData(rgn, size, data)) return rects;
    const RECT* r = reinterpret_cast<const RECT*>(data->Buffer);
    rects.assign(r, r + data->rdh.nCount);
    return rects;
}

// Handles waiting messages until cond holds or timeoutMs passes; true when it held.
inline bool PumpUntil(const std::function<bool()>& cond, DWORD timeoutMs = 3000) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (cond()) return true;
        if (::GetTickCount() - start > timeoutMs) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// The number of live GDI objects of this process (the count the graphics
// tests use). GetGuiResources gives it on Windows; Wine answers 0 there, so
// then the entries in use of the process's GDI handle table are counted (its
// address is in the process environment block; 64-bit layout: 24-byte
// entries, type byte at offset 14). -1 when neither is available.
inline long LiveGdiObjects() {
    if (DWORD n = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<long>(n);
#if defined(_WIN64)
    struct Entry {
        unsigned long long object;
        unsigned short processId, count, unique;
        unsigned char type, flags;
        unsigned long long user;
    };
    static_assert(sizeof(Entry) == 24, "handle table entry");
    unsigned char* peb = nullptr;
    asm("movq %%gs:0x60, %0" : "=r"(peb));
    auto* table = *reinterpret_cast<Entry**>(peb + 0xF8);
    if (!table) return -1;
    long n = 0;
    for (int i = 0; i < 0x10000; ++i) n += table[i].type != 0;
    return n;
#else
    return -1;
#endif
}

// Handles every message already waiting.
inline void PumpWaiting() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

}  // namespace ctltest
