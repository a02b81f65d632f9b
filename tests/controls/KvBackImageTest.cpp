// The background image control: placement of its picture, the placeholder,
// auto-size, palette registration, and the shaping of windows from masks.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "ControlTestSupport.h"
#include "DibSurface.h"
#include "Forms.h"
#include "KvBackImage.h"

using namespace ctltest;

namespace {

constexpr TColor kGround = Rgb(10, 20, 30);
constexpr TColor kMarker = Rgb(255, 0, 0);
constexpr TColor kBody = Rgb(0, 0, 255);
constexpr TColor kOther = Rgb(0, 255, 0);
constexpr TColor kKey = Rgb(255, 0, 255);

// Paints graphic on a fresh 105 x 105 surface filled with kGround.
struct Painted {
    DibSurface dib{105, 105};
    bool result = false;
    Painted(TGraphic* graphic, TKvBackImageStyle style, bool transparent = false) {
        dib.Fill(kGround);
        TCanvas canvas;
        canvas.SetHandle(dib.DC());
        result = KvPaintGraphic(&canvas, graphic, style, 105, 105, transparent);
        canvas.ReleaseHandle();
    }
};

TEST(KvPaintGraphic, TilesStartAtTheCornerAndAreCutByTheEdges) {
    TBitmap pic;
    FillBitmap(pic, 40, 30, kBody);
    pic.Canvas()->SetPixels(0, 0, kMarker);
    Painted p(&pic, kvbmsTiled);
    ASSERT_TRUE(p.result);
    for (int x : {0, 40, 80})
        for (int y : {0, 30, 60, 90}) EXPECT_EQ(p.dib.Color(x, y), kMarker) << x << "," << y;
    EXPECT_EQ(p.dib.Count(kMarker), 12);
    EXPECT_EQ(p.dib.Count(kBody), 105 * 105 - 12);  // the cut tiles still fill up to the edges
}

TEST(KvPaintGraphic, CentreOfALargerPictureHasNegativeOffsets) {
    TBitmap pic;
    FillBitmap(pic, 200, 100, kBody);
    pic.Canvas()->SetPixels(47, 0, kMarker);    // lands at (0, 2)
    pic.Canvas()->SetPixels(151, 99, kOther);   // lands at (104, 101)
    Painted p(&pic, kvbmsCenter);
    ASSERT_TRUE(p.result);
    EXPECT_EQ(p.dib.Color(0, 2), kMarker);
    EXPECT_EQ(p.dib.Color(104, 101), kOther);
    EXPECT_EQ(p.dib.Count(kGround, 0, 0, 105, 2), 105 * 2);      // rows 0 and 1 untouched
    EXPECT_EQ(p.dib.Count(kGround, 0, 102, 105, 105), 105 * 3);  // rows 102 to 104 untouched
    EXPECT_EQ(p.dib.Count(kGround, 0, 2, 105, 102), 0);
}

TEST(KvPaintGraphic, CentreOfASmallerPictureIsTruncatedTowardZero) {
    TBitmap pic;
    FillBitmap(pic, 10, 10, kBody);
    Painted p(&pic, kvbmsCenter);
    // (105 - 10) / 2 = 47
    EXPECT_EQ(p.dib.Color(46, 47), kGround);
    EXPECT_EQ(p.dib.Color(47, 47), kBody);
    EXPECT_EQ(p.dib.Color(56, 56), kBody);
    EXPECT_EQ(p.dib.Color(57, 57), kGround);
}

TEST(KvPaintGraphic, NormalDrawsOnceAtTheOrigin) {
    TBitmap pic;
    FillBitmap(pic, 40, 30, kBody);
    Painted p(&pic, kvbmsNormal);
    EXPECT_EQ(p.dib.Count(kBody), 40 * 30);
    EXPECT_EQ(p.dib.Count(kBody, 0, 0, 40, 30), 40 * 30);
}

TEST(KvPaintGraphic, StretchCoversTheWholeArea) {
    TBitmap pic;
    FillBitmap(pic, 2, 2, kBody);
    pic.Canvas()->SetPixels(0, 0, kMarker);
    pic.Canvas()->SetPixels(1, 1, kOther);
    Painted p(&pic, kvbmsStretch);
    EXPECT_EQ(p.dib.Count(kGround), 0);
    EXPECT_EQ(p.dib.Color(0, 0), kMarker);
    EXPECT_EQ(p.dib.Color(104, 104), kOther);
    EXPECT_EQ(p.dib.Color(104, 0), kBody);
    EXPECT_EQ(p.dib.Color(0, 104), kBody);
}

TEST(KvPaintGraphic, TransparentLeavesTheTransparentColourOut) {
    TBitmap pic;
    FillBitmap(pic, 20, 20, kKey);  // bottom-left pixel: the automatic transparent colour
    FillArea(pic, TRect(5, 5, 15, 15), kBody);
    Painted opaque(&pic, kvbmsNormal, false);
    EXPECT_EQ(opaque.dib.Count(kKey), 20 * 20 - 100);
    EXPECT_FALSE(pic.Transparent());
    Painted clear(&pic, kvbmsNormal, true);
    EXPECT_TRUE(pic.Transparent());
    EXPECT_EQ(clear.dib.Count(kKey), 0);
    EXPECT_EQ(clear.dib.Count(kBody), 100);
}

TEST(KvPaintGraphic, NothingToPaint) {
    TBitmap empty;
    EXPECT_FALSE(Painted(nullptr, kvbmsTiled).result);
    Painted p(&empty, kvbmsStretch);
    EXPECT_FALSE(p.result);
    EXPECT_EQ(p.dib.Count(kGround), 105 * 105);
}

// ---- Mask runs and regions ----------------------------------------------------

std::vector<std::uint32_t> Row(std::initializer_list<std::uint32_t> px) { return px; }

TEST(KvMaskRuns, OneRowGivesOneRectanglePerRun) {
    const std::uint32_t K = 0x00FF00FF, F = 0x00FFFFFF;
    struct Case {
        std::vector<std::uint32_t> row;
        std::vector<TRect> runs;
    } cases[] = {
        {Row({K, F, F, K, F}), {TRect(1, 0, 3, 1), TRect(4, 0, 5, 1)}},
        {Row({K, K, K}), {}},
        {Row({K, F, F, F}), {TRect(1, 0, 4, 1)}},
        {Row({K, F, K, F, K, F}), {TRect(1, 0, 2, 1), TRect(3, 0, 4, 1), TRect(5, 0, 6, 1)}},
        {Row({K, 0x00FFFFFE, F, K}), {TRect(1, 0, 3, 1)}},  // any other value is figure, no tolerance
    };
    for (const Case& c : cases) {
        auto runs = KvMaskRuns(c.row.data(), static_cast<int>(c.row.size()), 1);
        EXPECT_EQ(runs, c.runs);
    }
}

TEST(KvMaskRuns, KeyIsTheTopLeftPixelWhereverItLies) {
    // 4 x 3, key = figure colour of the first pixel; rows scanned independently.
    const std::uint32_t A = 1, B = 2;
    std::vector<std::uint32_t> px = {A, B, B, A,  //
                                     B, B, A, B,  //
                                     A, A, A, A};
    auto runs = KvMaskRuns(px.data(), 4, 3);
    std::vector<TRect> expected = {TRect(1, 0, 3, 1), TRect(0, 1, 2, 2), TRect(3, 1, 4, 2)};
    EXPECT_EQ(runs, expected);
}

// Pseudo-random masks with a few colours (deterministic).
std::vector<std::uint32_t> Noise(int w, int h, unsigned seed, int colours) {
    std::vector<std::uint32_t> px(static_cast<size_t>(w) * h);
    for (auto& p : px) {
        seed = seed * 1103515245u + 12345u;
        p = (seed >> 16) % static_cast<unsigned>(colours);
    }
    return px;
}

TEST(KvRegionFromRuns, EqualsTheRunByRunUnion) {
    struct Case {
        int w, h;
        std::vector<std::uint32_t> px;
    };
    std::vector<Case> cases;
    cases.push_back({64, 48, Noise(64, 48, 7, 3)});
    cases.push_back({33, 200, Noise(33, 200, 99, 2)});
    std::vector<std::uint32_t> checker(256 * 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 256; ++x) checker[y * 256 + x] = ((x / 3 + y / 2) & 1) ? 5 : 0;
    cases.push_back({256, 64, checker});
    std::vector<std::uint32_t> stripes(50 * 40, 0);  // identical rows: bands that merge vertically
    for (int y = 0; y < 40; ++y)
        for (int x = 10; x < 20; ++x) stripes[y * 50 + x] = 1;
    cases.push_back({50, 40, stripes});
    for (const Case& c : cases) {
        auto runs = KvMaskRuns(c.px.data(), c.w, c.h);
        ASSERT_GT(runs.size(), 0u);
        GdiRegion fast = KvRegionFromRuns(runs);
        GdiRegion slow = KvRegionFromRunsOneByOne(runs);
        ASSERT_TRUE(fast);
        ASSERT_TRUE(slow);
        EXPECT_TRUE(::EqualRgn(fast, slow)) << c.w << "x" << c.h << " runs " << runs.size();
        EXPECT_EQ(RegionRects(fast).size(), RegionRects(slow).size());
    }
    EXPECT_FALSE(KvRegionFromRuns({}));
    EXPECT_FALSE(KvRegionFromRunsOneByOne({}));
}

// ---- Shaping real windows -----------------------------------------------------

class ShapeTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = new TForm(nullptr);
        form->SetBounds(50, 50, 300, 200);
        form->HandleNeeded();  // the form's window first, then the control's
        target = new TCustomControl(form);
        static_cast<TControl*>(target)->SetParent(form);
        target->SetBounds(10, 10, 80, 60);
        ASSERT_TRUE(target->Handle());
    }
    void TearDown() override { delete form; }

    // The window's region as rectangles; empty when it has none.
    std::vector<RECT> WindowRegion() {
        GdiRegion rgn(::CreateRectRgn(0, 0, 0, 0));
        if (::GetWindowRgn(target->Handle(), rgn) == ERROR) return {};
        return RegionRects(rgn);
    }

    TForm* form = nullptr;
    TCustomControl* target = nullptr;
};

bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(ShapeTest, OneRowMaskKeepsExactlyItsRuns) {
    TBitmap mask;
    FillBitmap(mask, 5, 1, kKey);
    mask.Canvas()->SetPixels(1, 0, kBody);
    mask.Canvas()->SetPixels(2, 0, kBody);
    mask.Canvas()->SetPixels(4, 0, kBody);
    ASSERT_TRUE(TKvBackImage::ApplyShapeTo(target, &mask, false));
    auto rects = WindowRegion();
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_TRUE(rects[0] == (RECT{1, 0, 3, 1}));
    EXPECT_TRUE(rects[1] == (RECT{4, 0, 5, 1}));
}

TEST_F(ShapeTest, FigureKeepsItsPixelsAndLosesItsKeyColouredHoles) {
    TBitmap mask;
    FillBitmap(mask, 12, 9, kKey);
    FillArea(mask, TRect(2, 1, 10, 8), kBody);
    mask.Canvas()->SetPixels(5, 4, kKey);    // a hole inside the figure
    mask.Canvas()->SetPixels(11, 8, kBody);  // a lone pixel in the corner
    ASSERT_TRUE(TKvBackImage::ApplyShapeTo(target, &mask, true));
    GdiRegion rgn(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(::GetWindowRgn(target->Handle(), rgn), ERROR);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 14; ++x) {
            bool figure = x < 12 && y < 9 && mask.Canvas()->Pixels(x, y) != kKey;
            EXPECT_EQ(::PtInRegion(rgn, x, y) != 0, figure) << x << "," << y;
        }
}

TEST_F(ShapeTest, FailuresLeaveTheWindowAsItWas) {
    TBitmap plain, empty;
    FillBitmap(plain, 30, 20, kBody);  // every pixel equals the top-left one
    TBitmap start;
    FillBitmap(start, 3, 1, kKey);
    start.Canvas()->SetPixels(1, 0, kBody);
    ASSERT_TRUE(TKvBackImage::ApplyShapeTo(target, &start, false));
    const auto before = WindowRegion();
    ASSERT_EQ(before.size(), 1u);

    EXPECT_FALSE(TKvBackImage::ApplyShapeTo(target, &plain, false));
    EXPECT_FALSE(TKvBackImage::ApplyShapeTo(target, &empty, false));
    EXPECT_FALSE(TKvBackImage::ApplyShapeTo(target, nullptr, false));
    EXPECT_FALSE(TKvBackImage::ApplyShapeTo(nullptr, &start, false));
    const auto after = WindowRegion();
    ASSERT_EQ(after.size(), 1u);
    EXPECT_TRUE(after[0] == before[0]);
}

TEST_F(ShapeTest, InstanceFormUsesTheOwnPicture) {
    TKvBackImage image(nullptr);
    EXPECT_FALSE(image.ApplyShapeTo(target, false));  // no picture yet
    FillBitmap(*image.Picture()->Bitmap(), 4, 2, kKey);
    image.Picture()->Bitmap()->Canvas()->SetPixels(3, 1, kBody);
    ASSERT_TRUE(image.ApplyShapeTo(target, false));
    auto rects = WindowRegion();
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_TRUE(rects[0] == (RECT{3, 1, 4, 2}));
}

TEST_F(ShapeTest, ShapingLeaksNoGdiObjects) {
    TBitmap mask;
    FillBitmap(mask, 64, 32, kKey);
    for (int y = 0; y < 32; ++y)
        for (int x = (y & 1); x < 64; x += 2) mask.Canvas()->SetPixels(x, y, kBody);
    TBitmap plain;
    FillBitmap(plain, 8, 8, kBody);
    ASSERT_TRUE(TKvBackImage::ApplyShapeTo(target, &mask, false));  // first use allocates caches
    const long before = LiveGdiObjects();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(TKvBackImage::ApplyShapeTo(target, &mask, false));
    for (int i = 0; i < 5; ++i) ASSERT_FALSE(TKvBackImage::ApplyShapeTo(target, &plain, false));
    EXPECT_EQ(LiveGdiObjects(), before);
}

// ---- The control --------------------------------------------------------------

TEST(KvBackImage, NewControlIsTiledSquareAndEmpty) {
    TKvBackImage image(nullptr);
    EXPECT_EQ(image.Width(), 105);
    EXPECT_EQ(image.Height(), 105);
    EXPECT_EQ(image.Style(), kvbmsTiled);
    EXPECT_FALSE(image.Transparent());
    EXPECT_FALSE(image.AutoSize());
    EXPECT_EQ(image.Picture()->Graphic(), nullptr);
}

TEST(KvBackImage, AutoSizeFollowsThePictureAndSnapsBack) {
    TKvBackImage image(nullptr);
    image.SetBounds(7, 9, 105, 105);
    FillBitmap(*image.Picture()->Bitmap(), 64, 48, kBody);
    EXPECT_EQ(image.Width(), 105);  // AutoSize is off
    image.SetAutoSize(true);
    EXPECT_EQ(image.Width(), 64);
    EXPECT_EQ(image.Height(), 48);
    image.SetBounds(7, 9, 200, 150);
    EXPECT_EQ(image.Width(), 64);
    EXPECT_EQ(image.Height(), 48);
    EXPECT_EQ(image.Left(), 7);
    EXPECT_EQ(image.Top(), 9);
    TBitmap other;
    FillBitmap(other, 30, 20, kBody);
    image.Picture()->Assign(&other);  // a new picture resizes again
    EXPECT_EQ(image.Width(), 30);
    EXPECT_EQ(image.Height(), 20);
}

TEST(KvBackImage, PictureIsCopiedNotShared) {
    TKvBackImage image(nullptr);
    TPicture source;
    FillBitmap(*source.Bitmap(), 8, 8, kBody);
    image.fSetPicture(&source);
    ASSERT_NE(image.Picture()->Graphic(), nullptr);
    EXPECT_NE(image.Picture()->Graphic(), source.Graphic());
    FillBitmap(*source.Bitmap(), 3, 3, kMarker);
    EXPECT_EQ(image.Picture()->Width(), 8);
}

// A derived class's reaction to picture changes runs.
class CountingImage : public TKvBackImage {
public:
    using TKvBackImage::TKvBackImage;
    void PictureChanged() override {
        ++changes;
        TKvBackImage::PictureChanged();
    }
    int changes = 0;
};

TEST(KvBackImage, PictureChangesReachTheOverride) {
    CountingImage image(nullptr);
    FillBitmap(*image.Picture()->Bitmap(), 8, 8, kBody);
    EXPECT_GE(image.changes, 1);
    const int before = image.changes;
    image.Picture()->Bitmap()->SetSize(9, 9);
    EXPECT_GT(image.changes, before);
}

TEST(KvBackImage, RegisteredOnThePalettePage) {
    Kvbackimage::Register();
    auto classes = PaletteClasses("Corvel");
    EXPECT_NE(std::find(classes.begin(), classes.end(), "TKvBackImage"), classes.end());
    TComponentClass cls = GetClass("TKvBackImage");
    ASSERT_NE(cls, nullptr);
    std::unique_ptr<TComponent> made(cls->Create(nullptr));
    EXPECT_STREQ(made->ClassName(), "TKvBackImage");
}

// Paints the form (and so its windowless children) into a surface.
void PaintForm(TForm* form, DibSurface& dib) {
    ::SendMessageA(form->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(dib.DC()), 0);
}

TEST(KvBackImage, EmptyImageShowsAnInvertingOutline) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 300);
    auto* image = new TKvBackImage(&form);
    image->SetParent(&form);
    image->SetBounds(10, 10, 105, 105);
    DibSurface dib(form.ClientWidth(), form.ClientHeight());
    dib.Fill(kGround);
    PaintForm(&form, dib);
    const COLORREF back = dib.Color(50, 50);  // whatever the form painted
    const COLORREF inverted = back ^ 0xFFFFFF;
    for (int i = 10; i < 115; ++i) {
        EXPECT_EQ(dib.Color(i, 10), inverted) << i;
        EXPECT_EQ(dib.Color(i, 114), inverted) << i;
        EXPECT_EQ(dib.Color(10, i), inverted) << i;
        EXPECT_EQ(dib.Color(114, i), inverted) << i;
    }
    EXPECT_EQ(dib.Color(11, 11), back);
    EXPECT_EQ(dib.Color(115, 115), back);
}

TEST(KvBackImage, PaintsItsPictureInItsStyle) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 300);
    auto* image = new TKvBackImage(&form);
    image->SetParent(&form);
    image->SetBounds(20, 30, 105, 105);
    TBitmap pic;
    FillBitmap(pic, 40, 30, kBody);
    pic.Canvas()->SetPixels(0, 0, kMarker);
    image->Picture()->Assign(&pic);
    DibSurface dib(form.ClientWidth(), form.ClientHeight());
    PaintForm(&form, dib);
    EXPECT_EQ(dib.Count(kMarker), 12);  // tiled
    EXPECT_EQ(dib.Color(20 + 80, 30 + 90), kMarker);
    image->fSetStyle(kvbmsCenter);
    dib.Fill(kGround);
    PaintForm(&form, dib);
    EXPECT_EQ(dib.Count(kMarker), 1);
    EXPECT_EQ(dib.Color(20 + 32, 30 + 37), kMarker);  // ((105 - 40) / 2, (105 - 30) / 2)
}

}  // namespace
