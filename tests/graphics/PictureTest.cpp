// Icons and pictures: loading by extension, copies that never share, change
// notifications.
#include <gtest/gtest.h>

#include <cstdint>

#include "DibSurface.h"
#include "Graphics.h"
#include "TestSupport.h"

using namespace testsupport;

namespace {

constexpr COLORREF kBack = RGB(10, 20, 30);

// A 16 x 16 24-bit .ico: the left half red and opaque, the right half left
// out by the mask, one opaque blue pixel at (12, 3).
std::string MakeIcoFile() {
    const int w = 16, h = 16;
    std::string bytes;
    auto u8 = [&](unsigned v) { bytes.push_back(static_cast<char>(v & 0xFF)); };
    auto u16 = [&](unsigned v) { u8(v); u8(v >> 8); };
    auto u32 = [&](unsigned v) { u16(v & 0xFFFF); u16(v >> 16); };
    const unsigned xorSize = w * h * 3, andStride = 4, andSize = andStride * h;
    const unsigned imageSize = 40 + xorSize + andSize;
    u16(0); u16(1); u16(1);                                     // ICONDIR
    u8(w); u8(h); u8(0); u8(0); u16(1); u16(24); u32(imageSize); u32(6 + 16);
    u32(40); u32(w); u32(h * 2); u16(1); u16(24); u32(0); u32(xorSize + andSize); u32(0); u32(0); u32(0); u32(0);
    auto opaque = [&](int x, int y) { return x < 8 || (x == 12 && y == 3); };
    for (int row = h - 1; row >= 0; --row)                       // bottom-up colour rows, BGR
        for (int x = 0; x < w; ++x) {
            bool blue = x == 12 && row == 3;
            u8(blue ? 255 : 0); u8(0); u8(opaque(x, row) && !blue ? 255 : 0);
        }
    for (int row = h - 1; row >= 0; --row) {                     // AND mask: 1 = left out
        unsigned bits = 0;
        for (int x = 0; x < w; ++x)
            if (!opaque(x, row)) bits |= 0x80000000u >> x;
        u8(bits >> 24); u8(bits >> 16); u8(bits >> 8); u8(bits);
    }
    return bytes;
}

void PaintBitmap(TBitmap* b, int w, int h, TColor color) {
    b->SetSize(w, h);
    b->Canvas()->Brush()->SetColor(color);
    b->Canvas()->FillRect(TRect(0, 0, w, h));
}

}  // namespace

TEST(Icon, LoadsAnIcoFileAndDrawsItAtNaturalSizeThroughItsMask) {
    TempDir dir;
    WriteFile(dir / "a.ico", MakeIcoFile());
    TIcon icon;
    icon.LoadFromFile(dir / "a.ico");
    EXPECT_EQ(icon.Width(), 16);
    EXPECT_EQ(icon.Height(), 16);
    EXPECT_TRUE(icon.Transparent());
    DibSurface s(24, 24);
    s.Fill(kBack);
    TCanvas canvas;
    canvas.SetHandle(s.DC());
    canvas.Draw(2, 3, &icon);
    EXPECT_EQ(s.Count(RGB(255, 0, 0)), 8 * 16);
    EXPECT_EQ(s.Count(RGB(255, 0, 0), 2, 3, 10, 19), 8 * 16);
    EXPECT_EQ(s.Color(2 + 12, 3 + 3), RGB(0, 0, 255));
    EXPECT_EQ(s.Count(kBack), 24 * 24 - 8 * 16 - 1) << "the masked half shows the background";

    TIcon copy;
    copy.Assign(&icon);
    EXPECT_NE(copy.Handle(), icon.Handle());
    copy.SaveToFile(dir / "b.ico");
    EXPECT_EQ(ReadFile(dir / "b.ico"), MakeIcoFile());
    EXPECT_THROW(icon.SetWidth(32), EInvalidGraphicOperation);

    WriteFile(dir / "bad.ico", "not an icon");
    try {
        icon.LoadFromFile(dir / "bad.ico");
        ADD_FAILURE();
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message, "Icon image is not valid");
    }
    EXPECT_EQ(icon.Width(), 16) << "kept";
}

TEST(Picture, LoadsByExtensionAndRefusesOthers) {
    TempDir dir;
    WriteFile(dir / "a.ico", MakeIcoFile());
    TBitmap bmp;
    PaintBitmap(&bmp, 5, 7, clRed);
    bmp.SaveToFile(dir / "b.BMP");
    WriteFile(dir / "c.gif", "GIF89a");

    TPicture p;
    int changes = 0;
    p.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &p);
        ++changes;
    };
    p.LoadFromFile(dir / "a.ico");
    EXPECT_STREQ(p.Graphic()->ClassName(), "TIcon");
    EXPECT_EQ(changes, 1);
    p.LoadFromFile(dir / "b.BMP");
    EXPECT_STREQ(p.Graphic()->ClassName(), "TBitmap");
    EXPECT_EQ(p.Width(), 5);
    EXPECT_EQ(p.Height(), 7);
    EXPECT_EQ(changes, 2);
    try {
        p.LoadFromFile(dir / "c.gif");
        ADD_FAILURE();
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message, "Unknown picture file extension (.gif)");
    }
    EXPECT_THROW(p.LoadFromFile(dir / "missing.bmp"), Exception);
    EXPECT_EQ(p.Width(), 5) << "a failed load keeps the picture";
    EXPECT_EQ(changes, 2);
}

TEST(Picture, AssignCopiesTheGraphicNeverSharesIt) {
    TPicture a, b;
    PaintBitmap(a.Bitmap(), 4, 4, clRed);
    b.Assign(&a);
    ASSERT_NE(b.Graphic(), nullptr);
    EXPECT_NE(b.Graphic(), a.Graphic());
    EXPECT_NE(b.Bitmap()->Handle(), a.Bitmap()->Handle());
    b.Bitmap()->Canvas()->SetPixels(0, 0, clBlue);
    b.Bitmap()->SetWidth(9);
    EXPECT_EQ(a.Bitmap()->Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(a.Width(), 4);

    // From a graphic, and from nothing.
    TBitmap loose;
    PaintBitmap(&loose, 2, 3, clLime);
    a.Assign(&loose);
    EXPECT_NE(a.Graphic(), &loose);
    EXPECT_EQ(a.Width(), 2);
    a.SetGraphic(&loose);
    EXPECT_NE(a.Graphic(), &loose);
    a.Assign(nullptr);
    EXPECT_EQ(a.Graphic(), nullptr);
    EXPECT_EQ(a.Width(), 0);

    // A derived graphic is copied as itself.
    struct TMyBitmap : TBitmap {
        CLASS_NAME(TMyBitmap)
    public:
        std::unique_ptr<TGraphic> NewGraphic() const override { return std::make_unique<TMyBitmap>(); }
    } mine;
    a.SetGraphic(&mine);
    EXPECT_STREQ(a.Graphic()->ClassName(), "TMyBitmap");
}

TEST(Picture, NotifiesEveryChangeAlsoThroughItsGraphic) {
    TPicture p;
    int changes = 0;
    p.OnChange = [&](TObject*) { ++changes; };
    struct Step { const char* what; std::function<void()> act; int expected; };
    TBitmap other;
    PaintBitmap(&other, 3, 3, clRed);
    TempDir dir;
    other.SaveToFile(dir / "o.bmp");
    const Step steps[] = {
        {"Bitmap() creates one", [&] { p.Bitmap(); }, 1},
        {"Bitmap() again: same graphic", [&] { p.Bitmap(); }, 1},
        {"resize the graphic", [&] { p.Bitmap()->SetSize(4, 5); }, 2},
        {"transparency of the graphic", [&] { p.Bitmap()->SetTransparent(true); }, 3},
        {"load into the graphic", [&] { p.Bitmap()->LoadFromFile(dir / "o.bmp"); }, 4},
        {"assign a picture", [&] { TPicture q; q.Assign(&other); p.Assign(&q); }, 5},
        {"graphic of the copy still reports", [&] { p.Graphic()->SetWidth(8); }, 6},
        {"Icon() replaces the bitmap", [&] { p.Icon(); }, 7},
        {"cleared", [&] { p.SetGraphic(nullptr); }, 8},
    };
    for (const Step& s : steps) {
        s.act();
        EXPECT_EQ(changes, s.expected) << s.what;
    }
    EXPECT_EQ(p.Width(), 0);
}
