// Bitmaps: formats, transparent, stretched and monochrome drawing, files,
// copies, and GDI objects given back.
#include <gtest/gtest.h>

#include <functional>

#include "DibSurface.h"
#include "GdiObjects.h"
#include "Graphics.h"
#include "TestSupport.h"

using namespace testsupport;

namespace {

constexpr COLORREF kBack = RGB(10, 20, 30);

// A 4 x 3 bitmap: magenta everywhere (bottom-left too), red at (1, 0),
// blue at (2, 1), white at (0, 0).
void Paint4x3(TBitmap& b, TPixelFormat format = pf32bit) {
    b.SetPixelFormat(format);
    b.SetSize(4, 3);
    b.Canvas()->Brush()->SetColor(clFuchsia);
    b.Canvas()->FillRect(TRect(0, 0, 4, 3));
    b.Canvas()->SetPixels(1, 0, clRed);
    b.Canvas()->SetPixels(2, 1, clBlue);
    b.Canvas()->SetPixels(0, 0, clWhite);
}

// Black-and-white 3 x 1: black, white, black.
void PaintMono(TBitmap& b) {
    b.SetMonochrome(true);
    b.SetSize(3, 1);
    b.Canvas()->Brush()->SetColor(clWhite);
    b.Canvas()->FillRect(TRect(0, 0, 3, 1));
    b.Canvas()->SetPixels(0, 0, clBlack);
    b.Canvas()->SetPixels(2, 0, clBlack);
}

class DerivedBitmap : public TBitmap {
    CLASS_NAME(DerivedBitmap)
};

}  // namespace

TEST(Bitmap, ClassNamesAreExact) {
    TBitmap b;
    TIcon i;
    DerivedBitmap d;
    EXPECT_STREQ(b.ClassName(), "TBitmap");
    EXPECT_STREQ(i.ClassName(), "TIcon");
    EXPECT_STREQ(d.ClassName(), "DerivedBitmap");
    EXPECT_TRUE(d.Is<TBitmap>());
}

TEST(Bitmap, ResizingKeepsTheOverlapInEveryFormat) {
    for (TPixelFormat format : {pfDevice, pf24bit, pf32bit}) {
        TBitmap b;
        Paint4x3(b, format);
        EXPECT_EQ(b.PixelFormat(), format);
        EXPECT_FALSE(b.Empty());
        b.SetWidth(6);
        b.SetHeight(2);
        EXPECT_EQ(b.Width(), 6);
        EXPECT_EQ(b.Height(), 2);
        EXPECT_EQ(b.Canvas()->Pixels(1, 0), clRed) << format;
        EXPECT_EQ(b.Canvas()->Pixels(2, 1), clBlue) << format;
        EXPECT_EQ(b.Canvas()->Pixels(5, 1), clBlack) << "new pixels are black";
    }
    TBitmap empty;
    EXPECT_TRUE(empty.Empty());
    empty.SetWidth(5);
    EXPECT_TRUE(empty.Empty()) << "no height yet";
    EXPECT_EQ(empty.Handle(), nullptr);
}

TEST(Bitmap, MonochromeKeepsWhiteAndTurnsEveryOtherColourBlack) {
    TBitmap b;
    Paint4x3(b);
    b.SetMonochrome(true);
    EXPECT_TRUE(b.Monochrome());
    EXPECT_EQ(b.PixelFormat(), pf1bit);
    BITMAP bm{};
    ::GetObjectA(b.Handle(), sizeof(bm), &bm);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(b.Canvas()->Pixels(0, 0), clWhite);
    EXPECT_EQ(b.Canvas()->Pixels(1, 0), clBlack);
    EXPECT_EQ(b.Canvas()->Pixels(3, 2), clBlack);
}

TEST(Bitmap, DrawsAtNaturalSizeWithAndWithoutItsTransparentColour) {
    struct Case { bool transparent; TTransparentMode mode; TColor fixed; COLORREF at00, at11; };
    const Case cases[] = {
        {false, tmAuto, clNone, RGB(255, 255, 255), RGB(255, 0, 255)},
        {true, tmAuto, clNone, RGB(255, 255, 255), kBack},        // bottom-left magenta left out
        {true, tmFixed, clWhite, kBack, RGB(255, 0, 255)},          // white left out, magenta drawn
    };
    for (const Case& c : cases) {
        TBitmap b;
        Paint4x3(b);
        b.SetTransparent(c.transparent);
        if (c.mode == tmFixed) b.SetTransparentColor(c.fixed);
        EXPECT_EQ(b.TransparentMode(), c.mode);
        DibSurface s(10, 10);
        s.Fill(kBack);
        TCanvas canvas;
        canvas.SetHandle(s.DC());
        canvas.Draw(3, 4, &b);
        SCOPED_TRACE(testing::Message() << c.transparent << "/" << c.mode);
        EXPECT_EQ(s.Color(3, 4), c.at00);
        EXPECT_EQ(s.Color(4, 5), c.at11);
        EXPECT_EQ(s.Color(4, 4), RGB(255, 0, 0));
        EXPECT_EQ(s.Color(5, 5), RGB(0, 0, 255));
        EXPECT_EQ(s.Count(kBack, 0, 0, 10, 4) + s.Count(kBack, 0, 7, 10, 10), 10 * 4 + 10 * 3) << "drawn nowhere else";
    }
    TBitmap b;
    Paint4x3(b);
    EXPECT_EQ(b.TransparentColor(), clFuchsia) << "tmAuto: the bottom-left pixel";
}

TEST(Bitmap, StretchDrawScalesEveryPixelAndHonoursTransparency) {
    TBitmap b;
    Paint4x3(b);
    for (bool transparent : {false, true}) {
        b.SetTransparent(transparent);
        DibSurface s(12, 8);
        s.Fill(kBack);
        TCanvas canvas;
        canvas.SetHandle(s.DC());
        canvas.StretchDraw(TRect(0, 0, 12, 6), &b);  // 3 x 2 per pixel
        EXPECT_EQ(s.Count(RGB(255, 0, 0), 3, 0, 6, 2), 6);
        EXPECT_EQ(s.Count(RGB(0, 0, 255), 6, 2, 9, 4), 6);
        EXPECT_EQ(s.Count(RGB(255, 0, 0)), 6);
        EXPECT_EQ(s.Count(RGB(255, 0, 255)), transparent ? 0 : 12 * 6 - 3 * 6);
        EXPECT_EQ(s.Count(kBack), transparent ? 12 * 8 - 3 * 6 : 12 * 2);
    }
}

TEST(Bitmap, MonochromeDrawsBlackInFontColourAndWhiteInBrushColourUnderTheCopyMode) {
    // Target pixel before and after per raster operation, for a black and a
    // white source pixel, with font colour F and brush colour B.
    const COLORREF F = RGB(0xF0, 0x0F, 0x33), B = RGB(0x11, 0xAA, 0xCC), D = RGB(0x5A, 0x3C, 0x99);
    struct Case { DWORD rop; COLORREF black, white; };
    const Case cases[] = {
        {SRCCOPY, F, B},
        {SRCINVERT, F ^ D, B ^ D},
        {SRCAND, F & D, B & D},
    };
    for (const Case& c : cases) {
        TBitmap mono;
        PaintMono(mono);
        DibSurface s(6, 2);
        s.Fill(D);
        TCanvas canvas;
        canvas.SetHandle(s.DC());
        canvas.Font()->SetColor(F);
        canvas.Brush()->SetColor(B);
        canvas.SetCopyMode(c.rop);
        canvas.Draw(1, 1, &mono);
        EXPECT_EQ(s.Color(1, 1), c.black) << std::hex << c.rop;
        EXPECT_EQ(s.Color(2, 1), c.white) << std::hex << c.rop;
        EXPECT_EQ(s.Color(3, 1), c.black) << std::hex << c.rop;
        EXPECT_EQ(s.Color(4, 1), D);
        EXPECT_EQ(s.Color(1, 0), D);
    }
}

TEST(Bitmap, EngravedPictureFromAOneBitCopy) {
    // A 4 x 4 frame: a 2 x 2 red square at (1, 1) on a magenta (transparent) ground.
    TBitmap frame;
    frame.SetPixelFormat(pf32bit);
    frame.SetSize(4, 4);
    frame.Canvas()->Brush()->SetColor(clFuchsia);
    frame.Canvas()->FillRect(TRect(0, 0, 4, 4));
    frame.Canvas()->Brush()->SetColor(clRed);
    frame.Canvas()->FillRect(TRect(1, 1, 3, 3));
    frame.SetTransparent(true);

    TBitmap b;
    b.SetSize(4, 4);
    b.SetMonochrome(true);
    b.Canvas()->Brush()->SetColor(clWhite);
    b.Canvas()->FillRect(TRect(0, 0, 4, 4));
    b.Canvas()->Draw(0, 0, &frame);
    EXPECT_EQ(b.Canvas()->Pixels(1, 1), clBlack) << "content turns black";
    EXPECT_EQ(b.Canvas()->Pixels(0, 0), clWhite) << "the transparent colour stays white";

    const COLORREF face = RGB(100, 100, 100);
    DibSurface s(8, 8);
    s.Fill(face);
    TCanvas c;
    c.SetHandle(s.DC());
    struct Step { TColor font, brush; DWORD rop; int at; };
    const Step steps[] = {
        {clBtnHighlight, clBlack, SRCINVERT, 1}, {clBlack, clWhite, SRCAND, 1}, {clBtnHighlight, clBlack, SRCINVERT, 1},
        {clBtnShadow, clBlack, SRCINVERT, 0},    {clBlack, clWhite, SRCAND, 0}, {clBtnShadow, clBlack, SRCINVERT, 0},
    };
    for (const Step& st : steps) {
        c.Font()->SetColor(st.font);
        c.Brush()->SetColor(st.brush);
        c.SetCopyMode(st.rop);
        c.Draw(2 + st.at, 2 + st.at, &b);
    }
    c.SetCopyMode(SRCCOPY);
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT), dark = ::GetSysColor(COLOR_BTNSHADOW);
    // The square at (3..4, 3..4) in shadow, its copy one right and down in highlight.
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            bool shadow = x >= 3 && x <= 4 && y >= 3 && y <= 4;
            bool highlight = !shadow && x >= 4 && x <= 5 && y >= 4 && y <= 5;
            EXPECT_EQ(s.Color(x, y), shadow ? dark : highlight ? light : face) << x << "," << y;
        }
}

TEST(Bitmap, AssignMakesAnIndependentDeepCopy) {
    TBitmap a;
    Paint4x3(a);
    a.SetTransparent(true);
    a.SetTransparentColor(clWhite);
    TBitmap b;
    b.Assign(&a);
    EXPECT_NE(b.Handle(), a.Handle());
    EXPECT_EQ(b.Width(), 4);
    EXPECT_EQ(b.Height(), 3);
    EXPECT_EQ(b.PixelFormat(), pf32bit);
    EXPECT_TRUE(b.Transparent());
    EXPECT_EQ(b.TransparentMode(), tmFixed);
    EXPECT_EQ(b.TransparentColor(), clWhite);
    EXPECT_EQ(b.Canvas()->Pixels(2, 1), clBlue);
    b.Canvas()->SetPixels(2, 1, clLime);
    EXPECT_EQ(a.Canvas()->Pixels(2, 1), clBlue);
    b.Assign(nullptr);
    EXPECT_TRUE(b.Empty());
    TFont font;
    EXPECT_THROW(b.Assign(&font), Exception);
}

TEST(Bitmap, SavesAndLoadsBmpFilesInEachFormat) {
    TempDir dir;
    for (TPixelFormat format : {pf24bit, pf32bit, pf1bit}) {
        TBitmap a;
        if (format == pf1bit)
            PaintMono(a);
        else
            Paint4x3(a, format);
        std::string path = dir.Path() + "\\pic.bmp";
        a.SaveToFile(path);
        TBitmap b;
        int changes = 0;
        b.OnChange = [&](TObject*) { ++changes; };
        b.LoadFromFile(path);
        EXPECT_EQ(changes, 1);
        EXPECT_EQ(b.PixelFormat(), format);
        EXPECT_EQ(b.Width(), a.Width());
        EXPECT_EQ(b.Height(), a.Height());
        for (int y = 0; y < a.Height(); ++y)
            for (int x = 0; x < a.Width(); ++x)
                EXPECT_EQ(b.Canvas()->Pixels(x, y), a.Canvas()->Pixels(x, y)) << format << " " << x << "," << y;
    }
}

TEST(Bitmap, LoadingAMissingOrBrokenFileRaisesAndKeepsTheBitmap) {
    TempDir dir;
    TBitmap b;
    Paint4x3(b);
    WriteFile(dir.Path() + "\\broken.bmp", "BM this is no bitmap");
    WriteFile(dir.Path() + "\\text.bmp", "hello");
    for (const char* name : {"broken.bmp", "text.bmp"}) {
        try {
            b.LoadFromFile(dir.Path() + "\\" + name);
            ADD_FAILURE() << name;
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message, "Bitmap image is not valid");
        }
    }
    EXPECT_THROW(b.LoadFromFile(dir.Path() + "\\missing.bmp"), Exception);
    EXPECT_EQ(b.Width(), 4);
    EXPECT_EQ(b.Canvas()->Pixels(1, 0), clRed);
}

TEST(Bitmap, ChangesAreNotified) {
    TBitmap b;
    int changes = 0;
    b.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &b);
        ++changes;
    };
    b.SetSize(3, 3);
    EXPECT_EQ(changes, 1);
    b.SetSize(3, 3);
    EXPECT_EQ(changes, 1) << "same size, no change";
    b.SetPixelFormat(pf32bit);
    b.SetTransparent(true);
    b.SetTransparentColor(clRed);
    EXPECT_EQ(changes, 4);
}

using testsupport::LiveGdiObjects;

TEST(Bitmap, RepeatedCreateDrawFreeLeavesNoGdiObjects) {
    DibSurface s(32, 32);
    auto cycle = [&](int i) {
        TBitmap b;
        Paint4x3(b, i % 2 ? pfDevice : pf32bit);
        b.SetTransparent(i % 3 == 0);
        TBitmap mono;
        PaintMono(mono);
        TBitmap copy;
        copy.Assign(&b);
        TCanvas canvas;
        canvas.SetHandle(s.DC());
        canvas.Font()->SetStyle(TFontStyles() << fsItalic);
        canvas.Pen()->SetColor(clRed);
        canvas.Brush()->SetColor(clBtnFace);
        canvas.Rectangle(0, 0, 5, 5);
        canvas.Pen()->SetColor(clBlue);  // changed while selected
        canvas.LineTo(9, 9);
        canvas.TextOut(0, 0, "x");
        canvas.Draw(1, 1, &copy);
        canvas.StretchDraw(TRect(0, 0, 20, 20), &mono);
        b.SetSize(7, 7);
        b.Canvas()->TextOut(0, 0, "y");
        b.SetMonochrome(true);
        b.Handle();
        canvas.Draw(0, 0, &b);
        { GdiRegion r = CreateRectRegion(0, 0, 3, 3); }
        { ClipRegionGuard clip(s.DC()); ::IntersectClipRect(s.DC(), 0, 0, 2, 2); }
    };
    // The system's own first-use objects (stock fonts, ...) come now: one
    // round of every variant the cycles go through (i % 2, i % 3).
    for (int i = 0; i < 6; ++i) cycle(i);

    // The count must see an object come and go before it is trusted.
    long before = LiveGdiObjects();
    ASSERT_GT(before, 0);
    HPEN pen = ::CreatePen(PS_SOLID, 1, 0);
    HDC dc = ::CreateCompatibleDC(nullptr);
    EXPECT_EQ(LiveGdiObjects(), before + 2);
    ::DeleteDC(dc);
    ::DeleteObject(pen);
    ASSERT_EQ(LiveGdiObjects(), before);

    for (int i = 1; i <= 60; ++i) cycle(i);
    EXPECT_EQ(LiveGdiObjects(), before);
}

TEST(Bitmap, OneFrameOfAStripDrawnTransparentlyAtANegativeOffset) {
    // Two 3 x 2 frames side by side on a magenta ground: frame 0 has red at
    // (0, 0), frame 1 has blue at (1, 0); the bottom-left pixel is magenta.
    TBitmap strip;
    strip.SetPixelFormat(pf24bit);
    strip.SetSize(6, 2);
    strip.Canvas()->Brush()->SetColor(clFuchsia);
    strip.Canvas()->FillRect(TRect(0, 0, 6, 2));
    strip.Canvas()->SetPixels(0, 0, clRed);
    strip.Canvas()->SetPixels(3 + 1, 0, clBlue);
    strip.SetTransparent(true);

    TBitmap b;
    b.SetSize(3, 2);
    b.Canvas()->Brush()->SetColor(clGray);
    b.Canvas()->FillRect(TRect(0, 0, 3, 2));
    b.Canvas()->Draw(-3, 0, &strip);
    EXPECT_EQ(b.Canvas()->Pixels(1, 0), clBlue);
    EXPECT_EQ(b.Canvas()->Pixels(0, 0), clGray) << "frame 0 stays outside";
    for (auto [x, y] : {std::pair{2, 0}, {0, 1}, {1, 1}, {2, 1}})
        EXPECT_EQ(b.Canvas()->Pixels(x, y), clGray) << "the face shows through at " << x << "," << y;
}

TEST(Bitmap, TakesOverBitmapHandlesOfEachKind) {
    struct Case { WORD bits; TPixelFormat format; };
    const Case cases[] = {{1, pf1bit}, {8, pf24bit}, {24, pf24bit}, {32, pf32bit}};
    for (const Case& c : cases) {
        // A DIB section whose pixel (1, 0) is white and the rest black.
        std::vector<char> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD), 0);
        auto* bi = reinterpret_cast<BITMAPINFO*>(info.data());
        bi->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi->bmiHeader.biWidth = 3;
        bi->bmiHeader.biHeight = 1;
        bi->bmiHeader.biPlanes = 1;
        bi->bmiHeader.biBitCount = c.bits;
        bi->bmiHeader.biCompression = BI_RGB;
        if (c.bits <= 8) bi->bmiColors[1] = RGBQUAD{255, 255, 255, 0};
        void* pixels = nullptr;
        HBITMAP dib = ::CreateDIBSection(nullptr, bi, DIB_RGB_COLORS, &pixels, nullptr, 0);
        ASSERT_NE(dib, nullptr);
        {
            GdiMemoryDC dc(::CreateCompatibleDC(nullptr));
            SelectObjectGuard select(dc, dib);
            ::SetPixel(dc, 1, 0, RGB(255, 255, 255));
        }
        TBitmap b;
        b.SetHandle(dib);
        EXPECT_EQ(b.PixelFormat(), c.format) << c.bits;
        EXPECT_EQ(b.Width(), 3);
        EXPECT_EQ(b.Canvas()->Pixels(1, 0), clWhite) << c.bits;
        EXPECT_EQ(b.Canvas()->Pixels(2, 0), clBlack) << c.bits;
        if (c.bits == 1) {  // follows the canvas colours like any monochrome bitmap
            DibSurface s(3, 1);
            TCanvas canvas;
            canvas.SetHandle(s.DC());
            canvas.Font()->SetColor(clRed);
            canvas.Brush()->SetColor(clLime);
            canvas.Draw(0, 0, &b);
            EXPECT_EQ(s.Color(0, 0), RGB(255, 0, 0));
            EXPECT_EQ(s.Color(1, 0), RGB(0, 255, 0));
        }
    }
    TBitmap b;
    EXPECT_THROW(b.SetHandle(reinterpret_cast<HBITMAP>(::GetStockObject(BLACK_PEN))), EInvalidGraphic);
}
