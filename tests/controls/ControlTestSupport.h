// Small helpers shared by the image-control tests: pictures made pixel by
// pixel, window regions read back as rectangles, and bounded message pumps.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "GdiObjects.h"
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

using testsupport::LiveGdiObjects;

// Handles every message already waiting.
inline void PumpWaiting() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

}  // namespace ctltest
