// Canvas drawing checked pixel by pixel on a 32-bit DIB surface.
#include <gtest/gtest.h>

#include "DibSurface.h"
#include "Graphics.h"

namespace {

constexpr COLORREF kBack = RGB(10, 20, 30);

struct CanvasOn {
    explicit CanvasOn(DibSurface& s) { canvas.SetHandle(s.DC()); }
    TCanvas canvas;
};

}  // namespace

TEST(Canvas, LineToCoversItsStartAndLeavesOutItsEndPoint) {
    struct Case { int x0, y0, x1, y1, pixels; };
    const Case cases[] = {
        {2, 5, 12, 5, 10},   // right
        {12, 6, 2, 6, 10},   // left
        {4, 1, 4, 9, 8},     // down
        {3, 3, 10, 10, 7},   // diagonal
    };
    for (const Case& c : cases) {
        DibSurface s(16, 16);
        s.Fill(kBack);
        CanvasOn on(s);
        on.canvas.Pen()->SetColor(clRed);
        on.canvas.MoveTo(c.x0, c.y0);
        on.canvas.LineTo(c.x1, c.y1);
        SCOPED_TRACE(testing::Message() << c.x0 << "," << c.y0 << " -> " << c.x1 << "," << c.y1);
        EXPECT_EQ(s.Color(c.x0, c.y0), RGB(255, 0, 0));
        EXPECT_EQ(s.Color(c.x1, c.y1), kBack);
        EXPECT_EQ(s.Count(RGB(255, 0, 0)), c.pixels);
        EXPECT_EQ(on.canvas.PenPos(), TPoint(c.x1, c.y1));
    }
}

TEST(Canvas, RectangleOutlinesWithPenAndFillsWithSolidBrushOnly) {
    for (TBrushStyle style : {bsSolid, bsClear}) {
        DibSurface s(20, 20);
        s.Fill(kBack);
        CanvasOn on(s);
        on.canvas.Pen()->SetColor(clBlue);
        on.canvas.Brush()->SetColor(clYellow);
        on.canvas.Brush()->SetStyle(style);
        on.canvas.Rectangle(2, 3, 12, 10);
        SCOPED_TRACE(style == bsSolid ? "solid" : "clear");
        EXPECT_EQ(s.Color(2, 3), RGB(0, 0, 255));
        EXPECT_EQ(s.Color(11, 9), RGB(0, 0, 255));
        EXPECT_EQ(s.Color(12, 9), kBack);
        EXPECT_EQ(s.Color(11, 10), kBack);
        EXPECT_EQ(s.Count(RGB(0, 0, 255)), 2 * 10 + 2 * 5);
        int inside = 8 * 5;
        EXPECT_EQ(s.Count(RGB(255, 255, 0)), style == bsSolid ? inside : 0);
        EXPECT_EQ(s.Count(kBack, 3, 4, 11, 9), style == bsSolid ? 0 : inside);
    }
}

TEST(Canvas, FillRectLeavesOutRightAndBottomAndNothingForAClearBrush) {
    DibSurface s(16, 16);
    s.Fill(kBack);
    CanvasOn on(s);
    on.canvas.Brush()->SetColor(clLime);
    on.canvas.FillRect(TRect(1, 2, 5, 7));
    EXPECT_EQ(s.Count(RGB(0, 255, 0)), 4 * 5);
    EXPECT_EQ(s.Count(RGB(0, 255, 0), 1, 2, 5, 7), 4 * 5);
    on.canvas.Brush()->SetColor(clRed);
    on.canvas.Brush()->SetStyle(bsClear);
    on.canvas.FillRect(TRect(0, 0, 16, 16));
    EXPECT_EQ(s.Count(RGB(255, 0, 0)), 0);
}

TEST(Canvas, XorAndNotXorPenModesCombineWithTheBackground) {
    struct Case { TPenMode mode; COLORREF once; };
    const COLORREF back = RGB(200, 16, 64);
    const Case cases[] = {
        {pmXor, RGB(200 ^ 255, 16 ^ 0, 64 ^ 15)},
        {pmNotXor, RGB(~(200 ^ 255) & 255, ~(16 ^ 0) & 255, ~(64 ^ 15) & 255)},
        {pmCopy, RGB(255, 0, 15)},
    };
    for (const Case& c : cases) {
        DibSurface s(8, 4);
        s.Fill(back);
        CanvasOn on(s);
        on.canvas.Pen()->SetColor(RGB(255, 0, 15));
        on.canvas.Pen()->SetMode(c.mode);
        on.canvas.MoveTo(0, 1);
        on.canvas.LineTo(8, 1);
        EXPECT_EQ(s.Color(3, 1), c.once) << c.mode;
        EXPECT_EQ(s.Color(3, 2), back) << c.mode;
        if (c.mode == pmXor) {
            on.canvas.MoveTo(0, 1);
            on.canvas.LineTo(8, 1);
            EXPECT_EQ(s.Color(3, 1), back) << "a second XOR line removes the first";
        }
    }
}

TEST(Canvas, SystemColoursResolveThroughGetSysColor) {
    const std::pair<TColor, int> system[] = {
        {clBtnFace, COLOR_BTNFACE},         {clBtnShadow, COLOR_BTNSHADOW},
        {clBtnHighlight, COLOR_BTNHIGHLIGHT}, {cl3DDkShadow, COLOR_3DDKSHADOW},
        {cl3DLight, COLOR_3DLIGHT},         {clWindow, COLOR_WINDOW},
        {clWindowText, COLOR_WINDOWTEXT},   {clHighlight, COLOR_HIGHLIGHT},
        {clGrayText, COLOR_GRAYTEXT},       {clBtnText, COLOR_BTNTEXT},
    };
    for (auto [color, index] : system) {
        EXPECT_EQ(color, 0x80000000u + index);
        EXPECT_EQ(ColorToRGB(color), ::GetSysColor(index)) << std::hex << color;
    }
    for (TColor plain : {clBlack, clWhite, clNavy, clMaroon, clFuchsia, clGray, clSilver, TColor(0x123456)})
        EXPECT_EQ(ColorToRGB(plain), plain);
    EXPECT_EQ(clBtnFace, 0x8000000Fu);
    EXPECT_EQ(clDefault, 0x20000000u);
    EXPECT_EQ(clNone, 0x1FFFFFFFu);

    // Drawn in the current system value, through pen, brush and pixels.
    DibSurface s(8, 8);
    s.Fill(kBack);
    CanvasOn on(s);
    on.canvas.Pen()->SetColor(clBtnShadow);
    on.canvas.MoveTo(0, 0);
    on.canvas.LineTo(8, 0);
    on.canvas.Brush()->SetColor(clBtnHighlight);
    on.canvas.FillRect(TRect(0, 1, 8, 2));
    on.canvas.SetPixels(0, 2, cl3DDkShadow);
    EXPECT_EQ(s.Color(4, 0), ::GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(s.Color(4, 1), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(s.Color(0, 2), ::GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(on.canvas.Pixels(0, 2), ::GetSysColor(COLOR_3DDKSHADOW));
}

TEST(Canvas, ChangingThePenWhileAttachedDrawsInTheNewColourAndPutsTheContextBack) {
    DibSurface s(8, 8);
    s.Fill(kBack);
    HGDIOBJ pen = ::GetCurrentObject(s.DC(), OBJ_PEN);
    HGDIOBJ brush = ::GetCurrentObject(s.DC(), OBJ_BRUSH);
    HGDIOBJ font = ::GetCurrentObject(s.DC(), OBJ_FONT);
    {
        TCanvas canvas;
        canvas.SetHandle(s.DC());
        canvas.Pen()->SetColor(clRed);
        canvas.MoveTo(0, 0);
        canvas.LineTo(8, 0);
        canvas.Pen()->SetColor(clBlue);
        canvas.Pen()->SetWidth(1);
        canvas.Font()->SetStyle(TFontStyles() << fsBold);
        canvas.MoveTo(0, 1);
        canvas.LineTo(8, 1);
        canvas.TextWidth("x");
        EXPECT_NE(::GetCurrentObject(s.DC(), OBJ_PEN), pen);
        canvas.SetHandle(nullptr);
        EXPECT_EQ(::GetCurrentObject(s.DC(), OBJ_PEN), pen);
        EXPECT_EQ(::GetCurrentObject(s.DC(), OBJ_BRUSH), brush);
        EXPECT_EQ(::GetCurrentObject(s.DC(), OBJ_FONT), font);
        canvas.SetHandle(s.DC());
        canvas.FillRect(TRect(0, 7, 1, 8));
    }  // destroyed while attached: the context gets its objects back as well
    EXPECT_EQ(s.Color(3, 0), RGB(255, 0, 0));
    EXPECT_EQ(s.Color(3, 1), RGB(0, 0, 255));
    EXPECT_EQ(::GetCurrentObject(s.DC(), OBJ_PEN), pen);
    EXPECT_EQ(::GetCurrentObject(s.DC(), OBJ_BRUSH), brush);
    EXPECT_EQ(::GetCurrentObject(s.DC(), OBJ_FONT), font);
}

TEST(Canvas, TextIsDrawnInTheFontColourInsideItsExtent) {
    DibSurface s(120, 50);
    s.Fill(kBack);
    CanvasOn on(s);
    on.canvas.Font()->SetName("Arial");
    on.canvas.Font()->SetHeight(-16);
    on.canvas.Font()->SetColor(clRed);
    on.canvas.Brush()->SetStyle(bsClear);
    TSize ab = on.canvas.TextExtent("Wb");
    EXPECT_GT(ab.cx, on.canvas.TextWidth("W"));
    EXPECT_GT(ab.cy, 0);
    on.canvas.TextOut(5, 6, "Wb");
    // Glyph edges may be smoothed, so ink is any pixel that changed.
    int red = s.Count(RGB(255, 0, 0));
    int ink = 120 * 50 - s.Count(kBack);
    EXPECT_GT(red, 10);
    EXPECT_EQ(ab.cx * ab.cy - s.Count(kBack, 5, 6, 5 + ab.cx, 6 + ab.cy), ink)
        << "nothing changes outside the extent";
    EXPECT_LT(ink, ab.cx * ab.cy / 2) << "a clear brush leaves the background";

    // Wide text: same glyphs, same extent; a solid brush fills the extent.
    EXPECT_EQ(on.canvas.TextExtentW(L"Wb"), ab);
    on.canvas.Brush()->SetStyle(bsSolid);
    on.canvas.Brush()->SetColor(clWhite);
    on.canvas.Font()->SetColor(clBlue);
    on.canvas.TextOutW(5, 28, L"\x00C4\x00E9");
    TSize w = on.canvas.TextExtentW(L"\x00C4\x00E9");
    EXPECT_GT(s.Count(RGB(0, 0, 255), 5, 28, 5 + w.cx, 28 + w.cy), 5);
    EXPECT_EQ(s.Count(kBack, 5, 28, 5 + w.cx, 28 + w.cy), 0) << "an opaque box";
    EXPECT_GT(s.Count(RGB(255, 255, 255), 5, 28, 5 + w.cx, 28 + w.cy), w.cx * w.cy / 2);
    EXPECT_EQ(120 * 50 - s.Count(kBack), ink + w.cx * w.cy) << "nothing changes outside the two boxes";
}

TEST(Canvas, FocusRectangleIsAnXorThatASecondCallRemoves) {
    DibSurface s(20, 20);
    s.Fill(kBack);
    CanvasOn on(s);
    on.canvas.DrawFocusRect(TRect(2, 2, 18, 12));
    int changed = 20 * 20 - s.Count(kBack);
    EXPECT_GT(changed, 10);
    EXPECT_EQ(s.Count(kBack, 3, 3, 17, 11), 14 * 8) << "only the edges";
    on.canvas.DrawFocusRect(TRect(2, 2, 18, 12));
    EXPECT_EQ(s.Count(kBack), 20 * 20);
}

TEST(Canvas, CopyRectCopiesAndStretchesWithTheCopyMode) {
    DibSurface src(4, 4), dst(12, 12);
    src.Fill(RGB(0, 0, 0));
    ::SetPixel(src.DC(), 1, 1, RGB(255, 0, 0));
    dst.Fill(RGB(0, 255, 0));
    TCanvas from, to;
    from.SetHandle(src.DC());
    to.SetHandle(dst.DC());
    to.CopyRect(TRect(0, 0, 4, 4), &from, TRect(0, 0, 4, 4));
    EXPECT_EQ(dst.Color(1, 1), RGB(255, 0, 0));
    EXPECT_EQ(dst.Color(2, 2), RGB(0, 0, 0));
    EXPECT_EQ(dst.Color(4, 4), RGB(0, 255, 0));
    to.CopyRect(TRect(4, 4, 12, 12), &from, TRect(0, 0, 4, 4));  // twice the size
    EXPECT_EQ(dst.Count(RGB(255, 0, 0), 4, 4, 12, 12), 4);
    EXPECT_EQ(dst.Color(6, 6), RGB(255, 0, 0));
    EXPECT_EQ(dst.Color(7, 7), RGB(255, 0, 0));
    to.SetCopyMode(SRCINVERT);
    to.CopyRect(TRect(0, 0, 4, 4), &from, TRect(0, 0, 4, 4));
    EXPECT_EQ(dst.Color(1, 1), RGB(0, 0, 0));
    EXPECT_EQ(dst.Color(2, 2), RGB(0, 0, 0));
}

TEST(Canvas, ScopeGuardsPutTheContextBack) {
    DibSurface s(10, 10);
    HDC dc = s.DC();
    HGDIOBJ pen = ::GetCurrentObject(dc, OBJ_PEN);
    int mode = ::GetBkMode(dc);
    COLORREF text = ::GetTextColor(dc), back = ::GetBkColor(dc);
    GdiRegion probe = CreateRectRegion(0, 0, 0, 0);
    ASSERT_EQ(::GetClipRgn(dc, probe), 0) << "no clipping to begin with";
    {
        GdiPen red(::CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
        SelectObjectGuard select(dc, red);
        BkModeGuard bk(dc, mode == OPAQUE ? TRANSPARENT : OPAQUE);
        TextColorsGuard colors(dc, RGB(1, 2, 3), RGB(4, 5, 6));
        ClipRegionGuard clip(dc);
        ::IntersectClipRect(dc, 0, 0, 2, 2);
        EXPECT_EQ(::GetCurrentObject(dc, OBJ_PEN), red.Get());
        EXPECT_EQ(::GetTextColor(dc), RGB(1, 2, 3));
        EXPECT_EQ(::GetClipRgn(dc, probe), 1);
    }  // guards leave before the pen is freed
    EXPECT_EQ(::GetCurrentObject(dc, OBJ_PEN), pen);
    EXPECT_EQ(::GetBkMode(dc), mode);
    EXPECT_EQ(::GetTextColor(dc), text);
    EXPECT_EQ(::GetBkColor(dc), back);
    EXPECT_EQ(::GetClipRgn(dc, probe), 0);

    // An existing clipping region is put back as it was.
    ::IntersectClipRect(dc, 1, 1, 5, 5);
    {
        ClipRegionGuard clip(dc);
        ::SelectClipRgn(dc, nullptr);
    }
    ASSERT_EQ(::GetClipRgn(dc, probe), 1);
    RECT box;
    ::GetRgnBox(probe, &box);
    EXPECT_EQ(TRect(box), TRect(1, 1, 5, 5));
}

TEST(Font, PropertiesAssignAndChangeNotification) {
    TFont a;
    int changes = 0;
    a.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &a);
        ++changes;
    };
    a.SetName("Arial");
    a.SetHeight(-16);
    a.SetColor(clWindowText);  // the default: no change
    a.SetColor(clRed);
    a.SetStyle(TFontStyles() << fsBold << fsUnderline);
    a.SetCharset(ANSI_CHARSET);
    EXPECT_EQ(changes, 5);
    EXPECT_TRUE(a.Style().Contains(fsBold));
    EXPECT_FALSE(a.Style().Contains(fsItalic));

    LOGFONTA lf{};
    ASSERT_NE(::GetObjectA(a.Handle(), sizeof(lf), &lf), 0);
    EXPECT_STREQ(lf.lfFaceName, "Arial");
    EXPECT_EQ(lf.lfHeight, -16);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_TRUE(lf.lfUnderline);
    EXPECT_FALSE(lf.lfItalic);
    EXPECT_EQ(lf.lfCharSet, ANSI_CHARSET);

    TFont b;
    b.Assign(&a);
    EXPECT_EQ(b.Name(), "Arial");
    EXPECT_EQ(b.Height(), -16);
    EXPECT_EQ(b.Color(), clRed);
    EXPECT_EQ(b.Style(), a.Style());
    EXPECT_NE(b.Handle(), a.Handle()) << "each font owns its object";
    ScreenDC screen;
    int ppi = ::GetDeviceCaps(screen, LOGPIXELSY);
    b.SetSize(12);
    EXPECT_EQ(b.Height(), -::MulDiv(12, ppi, 72));
    EXPECT_EQ(b.Size(), 12);
    TPen pen;
    EXPECT_THROW(b.Assign(&pen), Exception);
}
