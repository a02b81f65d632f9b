// The image button's drawing, pixel by pixel on a DIB section: the frames of
// the six looks, the Windows XP face, the caption and focus rectangle, the
// picture strips, the hover animation, the embossed picture and the
// full-picture look.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "DibSurface.h"
#include "Forms.h"
#include "ImButton.h"

using namespace ctltest;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kDark = RGB(64, 64, 64);
constexpr COLORREF kLight = RGB(223, 223, 223);
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kSentinel = RGB(1, 2, 3);

COLORREF Sys(int index) { return ::GetSysColor(index); }

// A form with one image button, configured as the dialogs configure theirs.
class ButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = new TForm(nullptr);
        form->SetBounds(40, 40, 300, 200);
        form->HandleNeeded();  // the form's window first, then the button's
        button = new TImButton(form);
        static_cast<TControl*>(button)->SetParent(form);
        button->SetBounds(30, 40, 115, 35);
        button->SetCaption("OK");
        button->Font()->SetName("MS Gothic");
        button->Font()->SetHeight(-16);
        button->Font()->SetColor(clWindowText);
        button->SetHotTextColor(clWindowText);
    }
    void TearDown() override { delete form; }

    // One paint of the whole button through its draw record.
    void Paint(DibSurface& dib, UINT itemState = 0) {
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_BUTTON;
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = itemState;
        dis.hwndItem = button->Handle();
        dis.hDC = dib.DC();
        dis.rcItem = RECT{0, 0, button->Width(), button->Height()};
        button->DrawItem(dis);
    }

    // Only the frame and face of the current look.
    void Frame(DibSurface& dib, int state) {
        dib.Fill(kSentinel);
        TCanvas canvas;
        canvas.SetHandle(dib.DC());
        button->fDrawFrameRect(&canvas, TRect(0, 0, dib.Width(), dib.Height()), state);
        EXPECT_EQ(canvas.Brush()->Style(), bsClear);
        canvas.ReleaseHandle();
    }

    TForm* form = nullptr;
    TImButton* button = nullptr;
};

// The width of the caption as the system measures it with the dialogs' font.
int CaptionWidth(const char* text) {
    HFONT font = ::CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "MS Gothic");
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, font);
    RECT r{0, 0, 0, 0};
    ::DrawTextA(dc, text, -1, &r, DT_CALCRECT | DT_SINGLELINE);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::DeleteObject(font);
    return r.right - r.left;
}

// Bounding box of the pixels in an area that differ from one colour.
RECT InkBox(const DibSurface& dib, COLORREF ground, const RECT& area) {
    RECT box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (dib.Color(x, y) != ground) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    return box;
}

// ---- The dialogs' OK button -------------------------------------------------

TEST_F(ButtonTest, DialogButtonPlainHasTheClassicBevelAndCentredCaption) {
    DibSurface dib(115, 35);
    dib.Fill(kSentinel);
    Paint(dib);
    const COLORREF face = Sys(COLOR_BTNFACE);
    for (int y = 0; y <= 34; ++y) EXPECT_EQ(dib.Color(0, y), kWhite) << y;
    for (int x = 0; x <= 113; ++x) EXPECT_EQ(dib.Color(x, 0), kWhite) << x;
    for (int y = 0; y <= 34; ++y) EXPECT_EQ(dib.Color(114, y), kDark) << y;
    for (int x = 1; x <= 114; ++x) EXPECT_EQ(dib.Color(x, 34), kDark) << x;
    for (int y = 2; y <= 33; ++y) EXPECT_EQ(dib.Color(1, y), kLight) << y;
    for (int x = 1; x <= 112; ++x) EXPECT_EQ(dib.Color(x, 1), kLight) << x;
    for (int y = 1; y <= 33; ++y) EXPECT_EQ(dib.Color(113, y), kGrey) << y;
    for (int x = 2; x <= 113; ++x) EXPECT_EQ(dib.Color(x, 33), kGrey) << x;

    // The face: columns 2..112, rows 2..32, all clBtnFace but the caption,
    // which lies inside the text rectangle (cx - tw / 2, 5, cx - tw / 2 + tw, 30).
    const int tw = CaptionWidth("OK");
    ASSERT_GT(tw, 0);
    const RECT text{57 - tw / 2, 5, 57 - tw / 2 + tw, 30};
    int ink = 0;
    for (int y = 2; y <= 32; ++y)
        for (int x = 2; x <= 112; ++x) {
            if (dib.Color(x, y) == face) continue;
            ++ink;
            EXPECT_TRUE(x >= text.left && x < text.right && y >= text.top && y < text.bottom) << x << "," << y;
        }
    EXPECT_GT(ink, 10);
    EXPECT_EQ(dib.Count(kSentinel), 0);
    // Centred both ways: the ink is as far from the rectangle's left as from its right (within a pixel).
    const RECT box = InkBox(dib, face, RECT{2, 2, 113, 33});
    EXPECT_LE(std::abs((box.left - text.left) - (text.right - box.right)), 2);
    EXPECT_LE(std::abs((box.top - text.top) - (text.bottom - box.bottom)), 3);
}

TEST_F(ButtonTest, DialogButtonFocusedHasAnOutlineAndDottedFocusRectangle) {
    DibSurface dib(115, 35);
    Paint(dib, ODS_FOCUS);
    const COLORREF frame = Sys(COLOR_WINDOWFRAME), face = Sys(COLOR_BTNFACE);
    for (int x = 0; x < 115; ++x) {
        EXPECT_EQ(dib.Color(x, 0), frame) << x;
        EXPECT_EQ(dib.Color(x, 34), frame) << x;
    }
    for (int y = 0; y < 35; ++y) {
        EXPECT_EQ(dib.Color(0, y), frame) << y;
        EXPECT_EQ(dib.Color(114, y), frame) << y;
    }
    // The bevel one pixel further in.
    for (int y = 1; y <= 33; ++y) EXPECT_EQ(dib.Color(1, y), kWhite) << y;
    for (int y = 1; y <= 33; ++y) EXPECT_EQ(dib.Color(113, y), kDark) << y;
    for (int y = 3; y <= 32; ++y) EXPECT_EQ(dib.Color(2, y), kLight) << y;
    for (int y = 2; y <= 32; ++y) EXPECT_EQ(dib.Color(112, y), kGrey) << y;
    EXPECT_EQ(dib.Color(3, 3), face);
    // Dotted focus rectangle along the edges of (4, 4, 111, 31): every other pixel changed.
    int dotsTop = 0, dotsLeft = 0;
    for (int x = 4; x < 111; ++x) dotsTop += dib.Color(x, 4) != face;
    for (int y = 4; y < 31; ++y) dotsLeft += dib.Color(4, y) != face;
    EXPECT_NEAR(dotsTop, 107 / 2, 2);
    EXPECT_NEAR(dotsLeft, 27 / 2, 2);
    EXPECT_EQ(dib.Count(face, 5, 5, 20, 30), 15 * 25);  // inside the focus rectangle, left of the caption
    EXPECT_EQ(dib.Count(face, 3, 3, 111, 4), 108);       // between the bevel and the focus rectangle
}

TEST_F(ButtonTest, FocusRectangleOnlyWithFocusAndFocusRect) {
    DibSurface focused(115, 35), noRect(115, 35), plain(115, 35);
    Paint(focused, ODS_FOCUS);
    button->fSetFocusRect(false);
    Paint(noRect, ODS_FOCUS);
    const COLORREF face = Sys(COLOR_BTNFACE);
    EXPECT_LT(focused.Count(face, 4, 4, 111, 5), 107);
    EXPECT_EQ(noRect.Count(face, 4, 4, 111, 5), 107);
    button->fSetFocusRect(true);
    Paint(plain, 0);
    EXPECT_EQ(plain.Count(face, 4, 4, 111, 5), 107);
}

TEST_F(ButtonTest, DialogButtonPushedSwapsTheBevelsAndShiftsTheCaption) {
    DibSurface plain(115, 35), pushed(115, 35);
    Paint(plain);
    Paint(pushed, ODS_SELECTED);
    for (int y = 1; y <= 33; ++y) {
        EXPECT_EQ(pushed.Color(0, y), kDark) << y;
        EXPECT_EQ(pushed.Color(114, y), kWhite) << y;
        if (y >= 2) {
            EXPECT_EQ(pushed.Color(1, y), kGrey) << y;
        }
        EXPECT_EQ(pushed.Color(113, y), kLight) << y;
    }
    const COLORREF face = Sys(COLOR_BTNFACE);
    RECT a = InkBox(plain, face, RECT{2, 2, 113, 33});
    RECT b = InkBox(pushed, face, RECT{2, 2, 113, 33});
    EXPECT_EQ(b.left, a.left + 1);
    EXPECT_EQ(b.top, a.top + 1);
    EXPECT_EQ(b.right, a.right + 1);
    EXPECT_EQ(b.bottom, a.bottom + 1);
}

TEST_F(ButtonTest, WideCaptionIsClippedLeftOfCentre) {
    std::string wide = "W";
    while (CaptionWidth(wide.c_str()) <= 105) wide += "W";
    const int tw = CaptionWidth(wide.c_str());
    ASSERT_LT(tw, 130);
    button->SetCaption(wide);
    DibSurface dib(115, 35);
    Paint(dib);
    const int left = 57 - tw / 2;  // keeps the unclamped width's left edge
    const RECT box = InkBox(dib, Sys(COLOR_BTNFACE), RECT{2, 2, 113, 33});
    EXPECT_GE(box.left, std::max(left, 2));
    EXPECT_LE(box.right, left + 105);
    EXPECT_LT(box.right - 57, 57 - box.left);  // more of it left of the centre than right
}

TEST_F(ButtonTest, AmpersandUnderlinesTheNextCharacter) {
    DibSurface with(115, 35), without(115, 35);
    button->SetCaption("&A");
    Paint(with);
    button->SetCaption("A");
    Paint(without);
    const COLORREF face = Sys(COLOR_BTNFACE);
    const RECT a = InkBox(with, face, RECT{2, 2, 113, 33});
    const RECT b = InkBox(without, face, RECT{2, 2, 113, 33});
    EXPECT_LE(std::abs((a.right - a.left) - (b.right - b.left)), 2);  // the "&" itself is not shown
    EXPECT_LT(with.Count(face), without.Count(face));                  // the underline adds ink
}

TEST_F(ButtonTest, DisabledCaptionIsEngraved) {
    button->SetEnabled(false);
    DibSurface dib(115, 35);
    Paint(dib);
    const COLORREF face = Sys(COLOR_BTNFACE);
    const int shadow = dib.Count(Sys(COLOR_BTNSHADOW), 2, 2, 113, 33);
    const int light = dib.Count(Sys(COLOR_BTNHIGHLIGHT), 2, 2, 113, 33);
    EXPECT_GT(shadow, 10);
    EXPECT_GT(light, 0);
    EXPECT_EQ(dib.Count(Sys(COLOR_WINDOWTEXT), 2, 2, 113, 33), 0);
    EXPECT_GT(dib.Count(face, 2, 2, 113, 33), 0);
}

TEST_F(ButtonTest, DialogButtonLooksTheSameHotAndNot) {
    int enters = 0, leaves = 0;
    button->OnMouseEnter = [&](TObject*) { ++enters; };
    button->OnMouseLeave = [&](TObject*) { ++leaves; };
    DibSurface plain(115, 35), hot(115, 35), after(115, 35);
    Paint(plain, ODS_FOCUS);
    button->fMouseEnter();
    Paint(hot, ODS_FOCUS);
    button->fMouseLeave();
    Paint(after, ODS_FOCUS);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(leaves, 1);
    for (int y = 0; y < 35; ++y)
        for (int x = 0; x < 115; ++x) {
            ASSERT_EQ(hot.Color(x, y), plain.Color(x, y)) << x << "," << y;
            ASSERT_EQ(after.Color(x, y), plain.Color(x, y)) << x << "," << y;
        }
}

TEST_F(ButtonTest, HotCaptionUsesTheHotTextColour) {
    button->SetHotTextColor(clRed);
    button->fMouseEnter();
    DibSurface dib(115, 35);
    Paint(dib);
    EXPECT_GT(dib.Count(RGB(255, 0, 0), 2, 2, 113, 33), 10);
    button->fMouseLeave();
    Paint(dib);
    EXPECT_EQ(dib.Count(RGB(255, 0, 0), 2, 2, 113, 33), 0);
}

// ---- Frames of the looks ----------------------------------------------------

struct FrameCase {
    TImBtnKind looks;
    int state;
    bool transparent;
    std::vector<std::pair<POINT, COLORREF>> pixels;  // on a 20 x 12 frame
};

TEST_F(ButtonTest, FramesOfTheLooks) {
    const COLORREF face = Sys(COLOR_BTNFACE), wf = Sys(COLOR_WINDOWFRAME);
    const COLORREF navy = RGB(0, 0, 128);
    const std::vector<FrameCase> cases = {
        // ibkNormal: two-pixel bevel; the default bit draws the outline too.
        {ibkNormal, 0, false, {{{0, 5}, kWhite}, {{19, 5}, kDark}, {{1, 5}, kLight}, {{18, 5}, kGrey}, {{2, 2}, face}}},
        {ibkNormal, 0, true, {{{0, 5}, kWhite}, {{1, 5}, kLight}, {{2, 2}, kSentinel}, {{10, 6}, kSentinel}}},
        {ibkNormal, ibsDefault, false, {{{0, 0}, wf}, {{19, 11}, wf}, {{1, 5}, kWhite}, {{18, 5}, kDark}, {{3, 3}, face}}},
        {ibkNormal, ibsPushed, false, {{{0, 5}, kDark}, {{19, 5}, kWhite}, {{1, 5}, kGrey}, {{18, 5}, kLight}}},
        // ibkFlat: no line unless hot or pushed; never while disabled.
        {ibkFlat, 0, false, {{{0, 0}, face}, {{19, 11}, face}, {{10, 6}, face}}},
        {ibkFlat, ibsFocused, false, {{{0, 0}, face}, {{19, 11}, face}}},
        {ibkFlat, ibsHot, false, {{{0, 5}, kWhite}, {{19, 5}, kGrey}, {{1, 1}, face}}},
        {ibkFlat, ibsPushed | ibsHot, false, {{{0, 5}, kGrey}, {{19, 5}, kWhite}, {{1, 1}, face}}},
        {ibkFlat, ibsDisabled | ibsHot, false, {{{0, 5}, face}, {{19, 5}, face}}},
        {ibkFlat, ibsHot, true, {{{0, 5}, kWhite}, {{1, 1}, kSentinel}}},
        {ibkFlat, 0, true, {{{0, 0}, kSentinel}, {{10, 6}, kSentinel}}},
        // ibkBevelFlat: always a one-pixel bevel, outline with focus.
        {ibkBevelFlat, 0, false, {{{0, 5}, kWhite}, {{19, 5}, kGrey}, {{1, 1}, face}, {{18, 10}, face}}},
        {ibkBevelFlat, ibsPushed, false, {{{0, 5}, kGrey}, {{19, 5}, kWhite}}},
        {ibkBevelFlat, ibsFocused, false, {{{0, 5}, wf}, {{1, 5}, kWhite}, {{18, 5}, kGrey}, {{2, 2}, face}}},
        {ibkBevelFlat, 0, true, {{{0, 5}, kWhite}, {{1, 1}, kSentinel}}},
        // ibkUltraFlat with the colours its look brings: filled even when transparent.
        {ibkUltraFlat, 0, false, {{{0, 0}, wf}, {{19, 11}, wf}, {{1, 1}, face}}},
        {ibkUltraFlat, ibsFocused, false, {{{0, 0}, navy}, {{1, 1}, navy}, {{18, 10}, navy}, {{2, 2}, face}}},
        {ibkUltraFlat, ibsPushed, false, {{{0, 0}, wf}, {{1, 1}, RGB(181, 181, 181)}}},
        {ibkUltraFlat, ibsHot, true, {{{0, 0}, wf}, {{1, 1}, RGB(192, 200, 240)}, {{10, 6}, RGB(192, 200, 240)}}},
        // ibkFullPicture without a picture is ibkNormal.
        {ibkFullPicture, 0, false, {{{0, 5}, kWhite}, {{19, 5}, kDark}, {{2, 2}, face}}},
        // ibkWindowsXP ignores Transparent.
        {ibkWindowsXP, 0, true, {{{0, 5}, RGB(0, 60, 116)}, {{10, 6}, RGB(244, 243, 240)}}},  // row 6 of 12: q = 0.36
    };
    DibSurface dib(20, 12);
    for (const FrameCase& c : cases) {
        button->fSetLooks(c.looks);
        button->fSetTransparent(c.transparent);
        Frame(dib, c.state);
        for (const auto& [p, colour] : c.pixels)
            EXPECT_EQ(dib.Color(p.x, p.y), colour)
                << "looks " << static_cast<int>(c.looks) << " state " << c.state << " transparent " << c.transparent << " at "
                << p.x << "," << p.y;
    }
}

TEST_F(ButtonTest, FrameHonoursTheColourSet) {
    button->fGetBtnColors()->SetDefaultColor(clRed);
    button->fGetBtnColors()->SetDisabledColor(clLime);
    button->fGetBtnColors()->SetPushedColor(clBlue);
    button->fGetBtnColors()->SetHotColor(clYellow);
    struct Case {
        int state;
        COLORREF frame, face;
    } cases[] = {
        {0, 0, Sys(COLOR_BTNFACE)},
        {ibsHot, 0, RGB(255, 255, 0)},
        {ibsPushed | ibsHot, 0, RGB(0, 0, 255)},
        {ibsDisabled | ibsPushed, 0, RGB(0, 255, 0)},
        {ibsFocused, RGB(255, 0, 0), Sys(COLOR_BTNFACE)},
        {ibsDefault | ibsHot, RGB(255, 0, 0), RGB(255, 255, 0)},
    };
    DibSurface dib(20, 12);
    for (const Case& c : cases) {
        Frame(dib, c.state);
        EXPECT_EQ(dib.Color(10, 6), c.face) << c.state;
        if (c.frame) {
            EXPECT_EQ(dib.Color(0, 0), c.frame) << c.state;
        }
        EXPECT_EQ(ColorToRGB(button->fGetBtnColor(c.state)), c.face) << c.state;
    }
    // A slot left at clDefault gives the button's colour.
    button->fGetBtnColors()->SetHotColor(clDefault);
    EXPECT_EQ(button->fGetBtnColor(ibsHot), button->Color());
    EXPECT_EQ(button->fGetFrameColor(0), clWindowFrame);
}

// ---- Windows XP face --------------------------------------------------------

// The expected colours, from the formulas of the look (independent of the code).
COLORREF LightRow(int i, int H) {
    double q = std::pow(static_cast<double>(i) / (H - 2), 2);
    return RGB(static_cast<int>(255 - 29 * q), static_cast<int>(255 - 32 * q), static_cast<int>(255 - 41 * q));
}
COLORREF PushedRow(int i, int H) {
    double q = std::pow(static_cast<double>(i) / (H - 6), 2);
    return RGB(static_cast<int>(229 - 3 * q), static_cast<int>(228 - 2 * q), static_cast<int>(221 - 3 * q));
}

void ExpectXpBorder(const DibSurface& dib, int W, int H, const char* what) {
    const int r = W - 1, s = H - 1;
    for (int x = 3; x < W - 3; ++x) {
        EXPECT_EQ(dib.Color(x, 0), RGB(0, 60, 116)) << what << x;
        EXPECT_EQ(dib.Color(x, s), RGB(0, 60, 116)) << what << x;
    }
    for (int y = 3; y < H - 3; ++y) {
        EXPECT_EQ(dib.Color(0, y), RGB(0, 60, 116)) << what << y;
        EXPECT_EQ(dib.Color(r, y), RGB(0, 60, 116)) << what << y;
    }
    EXPECT_EQ(dib.Color(0, 0), RGB(0, 60, 116)) << what;  // cut away by the window region
    const POINT soft1[] = {{0, 1}, {1, 0}, {r, 1}, {r - 1, 0}, {0, s - 1}, {1, s}, {r, s - 1}, {r - 1, s}};
    for (POINT p : soft1) EXPECT_EQ(dib.Color(p.x, p.y), RGB(122, 149, 168)) << what << p.x << "," << p.y;
    const POINT soft2[] = {{1, 2}, {2, 1}, {r - 1, 2}, {r - 2, 1}, {1, s - 2}, {2, s - 1}, {r - 1, s - 2}, {r - 2, s - 1}};
    for (POINT p : soft2) EXPECT_EQ(dib.Color(p.x, p.y), RGB(192, 207, 221)) << what << p.x << "," << p.y;
    const POINT soft3[] = {{1, 1}, {r - 1, 1}, {1, s - 1}, {r - 1, s - 1}};
    for (POINT p : soft3) EXPECT_EQ(dib.Color(p.x, p.y), RGB(85, 125, 162)) << what << p.x << "," << p.y;
}

TEST_F(ButtonTest, WindowsXpFacesFollowTheirFormulas) {
    button->fSetLooks(ibkWindowsXP);
    const int W = 41, H = 23, r = W - 1, s = H - 1, n = H - 4;
    DibSurface dib(W, H);

    // Plain: the light gradient, a bottom line and a right line.
    Frame(dib, 0);
    for (int i = 3; i <= H - 4; ++i) EXPECT_EQ(dib.Color(20, i), LightRow(i, H)) << "plain row " << i;
    for (int x = 3; x < r - 2; ++x) EXPECT_EQ(dib.Color(x, s - 1), RGB(214, 208, 197)) << x;
    for (int y = 3; y < s - 2; ++y) EXPECT_EQ(dib.Color(r - 1, y), RGB(237, 234, 230)) << y;
    ExpectXpBorder(dib, W, H, "plain ");

    // Hot: side pixels and orange rows.
    Frame(dib, ibsHot);
    for (int i = 3; i <= H - 4; ++i) EXPECT_EQ(dib.Color(20, i), LightRow(i, H)) << "hot row " << i;
    for (int k = 1; k < n - 2; ++k) {
        const int y = k + 2;
        const COLORREF outer = RGB(238 + k * 10 / n, 220 - k * 42 / n, 173 - k * 125 / n);
        const COLORREF inner = RGB(253 - k * 5 / n, 216 - k * 38 / n, 137 - k * 79 / n);
        EXPECT_EQ(dib.Color(1, y), outer) << "hot k " << k;
        EXPECT_EQ(dib.Color(r - 1, y), outer) << "hot k " << k;
        EXPECT_EQ(dib.Color(2, y), inner) << "hot k " << k;
        EXPECT_EQ(dib.Color(r - 2, y), inner) << "hot k " << k;
    }
    const COLORREF hotRows[] = {RGB(255, 233, 216), RGB(253, 216, 137), RGB(248, 178, 48), RGB(229, 151, 0)};
    const int rowsY[] = {1, 2, s - 2, s - 1};
    for (int j = 0; j < 4; ++j)
        for (int x = 3; x < r - 2; ++x) EXPECT_EQ(dib.Color(x, rowsY[j]), hotRows[j]) << "hot row " << rowsY[j];
    ExpectXpBorder(dib, W, H, "hot ");

    // Focused and default: blue side pixels and rows.
    for (int state : {ibsFocused, ibsDefault}) {
        Frame(dib, state);
        for (int k = 1; k < n - 2; ++k) {
            const COLORREF c = RGB(188 - k * 51 / n, 212 - k * 39 / n, 246 - k * 18 / n);
            for (int x : {1, 2, r - 2, r - 1}) EXPECT_EQ(dib.Color(x, k + 2), c) << "focus k " << k << " x " << x;
        }
        const COLORREF rows[] = {RGB(206, 231, 255), RGB(188, 212, 246), RGB(137, 173, 228), RGB(105, 130, 238)};
        for (int j = 0; j < 4; ++j) EXPECT_EQ(dib.Color(20, rowsY[j]), rows[j]) << "focus row " << rowsY[j];
        ExpectXpBorder(dib, W, H, "focused ");
    }

    // Pushed (also when hot): its own gradient, columns and rows.
    for (int state : {ibsPushed, ibsPushed | ibsHot, ibsPushed | ibsFocused}) {
        Frame(dib, state);
        for (int i = 0; i < H - 6; ++i) EXPECT_EQ(dib.Color(20, i + 3), PushedRow(i, H)) << "pushed i " << i;
        const COLORREF cols[] = {RGB(217, 214, 205), RGB(223, 221, 213), RGB(229, 228, 222), RGB(230, 229, 224)};
        const int colsX[] = {1, 2, r - 2, r - 1};
        for (int j = 0; j < 4; ++j)
            for (int y = 3; y < s - 2; ++y) EXPECT_EQ(dib.Color(colsX[j], y), cols[j]) << "pushed col " << colsX[j];
        const COLORREF rows[] = {RGB(209, 204, 193), RGB(220, 216, 207), RGB(234, 233, 227), RGB(242, 241, 238)};
        for (int j = 0; j < 4; ++j) EXPECT_EQ(dib.Color(20, rowsY[j]), rows[j]) << "pushed row " << rowsY[j];
        ExpectXpBorder(dib, W, H, "pushed ");
    }
}

TEST_F(ButtonTest, WindowsXpOnTinyButtons) {
    button->fSetLooks(ibkWindowsXP);
    for (int H : {1, 2, 3, 4, 6}) {
        DibSurface dib(10, H);
        for (int state : {0, ibsHot, ibsFocused, ibsPushed}) {
            Frame(dib, state);  // no division by zero, nothing drawn outside
            EXPECT_EQ(dib.Color(5, 0), RGB(0, 60, 116)) << H;
        }
    }
    // Six pixels high: no pushed gradient; the middle row keeps the pushed rows' colours.
    DibSurface six(10, 6);
    Frame(six, ibsPushed);
    EXPECT_EQ(six.Color(5, 3), RGB(234, 233, 227));
}

// ---- Pictures ---------------------------------------------------------------

const COLORREF kFrameColours[] = {RGB(200, 0, 0), RGB(0, 160, 0), RGB(0, 0, 200), RGB(200, 200, 0), RGB(0, 200, 200)};
constexpr TColor kPictureKey = Rgb(255, 0, 255);

// A strip of `frames` square frames of `size` pixels: each a coloured square
// on the transparent colour (bottom-left pixel).
void MakeStrip(TBitmap& bmp, int frames, int size) {
    FillBitmap(bmp, frames * size, size, kPictureKey);
    for (int i = 0; i < frames; ++i)
        FillArea(bmp, TRect(i * size + 2, 2, i * size + size - 2, size - 2), kFrameColours[i]);
}

class PictureTest : public ButtonTest {
protected:
    void SetUp() override {
        ButtonTest::SetUp();
        button->SetCaption("");
    }
    // Colour at the middle of the picture rectangle of an empty-caption,
    // 16-pixel-frame button: P = (48, 9, 64, 25).
    COLORREF Centre(DibSurface& dib, bool pushed = false) { return dib.Color(56 + pushed, 17 + pushed); }
};

TEST_F(PictureTest, StateFramesOfAStrip) {
    TPicture strip;
    MakeStrip(*strip.Bitmap(), 4, 16);
    button->fSetNomPicture(&strip);
    DibSurface dib(115, 35);
    Paint(dib);
    EXPECT_EQ(Centre(dib), kFrameColours[0]);
    EXPECT_EQ(dib.Color(48, 9), Sys(COLOR_BTNFACE));  // the face shows through the transparent colour
    EXPECT_EQ(dib.Color(50, 11), kFrameColours[0]);   // the frame's square starts at P + (2, 2)
    EXPECT_EQ(dib.Color(49, 10), Sys(COLOR_BTNFACE));
    Paint(dib, ODS_SELECTED);
    EXPECT_EQ(Centre(dib, true), kFrameColours[2]);
    EXPECT_EQ(dib.Color(51, 12), kFrameColours[2]);
    EXPECT_EQ(dib.Color(50, 11), Sys(COLOR_BTNFACE));
    button->fMouseEnter();
    Paint(dib);
    EXPECT_EQ(Centre(dib), kFrameColours[3]);
    button->fMouseLeave();
    button->SetEnabled(false);
    Paint(dib);
    EXPECT_EQ(Centre(dib), kFrameColours[1]);
}

TEST_F(PictureTest, IndexBeyondTheCountFallsBackToTheFirstFrame) {
    TPicture strip;
    MakeStrip(*strip.Bitmap(), 4, 16);
    button->fSetNomPicture(&strip);
    button->fSetPicCount(2);  // two frames of 32 pixels
    button->fMouseEnter();    // hot: index 3 is not below 2
    ASSERT_EQ(button->FrameCounter(), 0);
    DibSurface dib(115, 35);
    Paint(dib);
    // P = (57 - (32 + 2) / 2, 9, 72, 25) = (40, 9, 72, 25); the first 32 pixels of the strip.
    EXPECT_EQ(dib.Color(47, 17), kFrameColours[0]);
    EXPECT_EQ(dib.Color(63, 17), kFrameColours[1]);
    EXPECT_EQ(button->FrameCounter(), 1);
    button->fMouseLeave();
}

TEST_F(PictureTest, PictureSitsBesideTheCaption) {
    TPicture strip;
    MakeStrip(*strip.Bitmap(), 4, 16);
    button->fSetNomPicture(&strip);
    button->SetCaption("OK");
    button->fSetSpacing(6);
    const int tw = CaptionWidth("OK");
    DibSurface dib(115, 35);
    Paint(dib);
    const int x0 = 57 - (16 + tw + 6) / 2;
    EXPECT_EQ(dib.Color(x0 + 2, 11), kFrameColours[0]);
    EXPECT_EQ(dib.Color(x0 + 1, 11), Sys(COLOR_BTNFACE));
    EXPECT_EQ(dib.Color(x0 + 13, 22), kFrameColours[0]);
    const RECT text = InkBox(dib, Sys(COLOR_BTNFACE), RECT{x0 + 16, 5, 110, 30});
    EXPECT_GE(text.left, x0 + 16 + 6);
    EXPECT_LE(text.right, x0 + 16 + 6 + tw);
}

TEST_F(PictureTest, HoverAnimationAdvancesOnePerPaint) {
    TPicture strip, animation;
    MakeStrip(*strip.Bitmap(), 4, 16);
    MakeStrip(*animation.Bitmap(), 5, 16);
    button->fSetNomPicture(&strip);
    button->fSetHotPicutre(&animation);
    button->fSetAnimate(true);
    DibSurface dib(115, 35);
    button->fMouseEnter();
    std::vector<COLORREF> shown;
    for (int i = 0; i < 7; ++i) {
        Paint(dib);
        shown.push_back(Centre(dib));
    }
    const std::vector<COLORREF> expected = {kFrameColours[0], kFrameColours[1], kFrameColours[2], kFrameColours[3],
                                            kFrameColours[4], kFrameColours[0], kFrameColours[1]};
    EXPECT_EQ(shown, expected);
    // Each hover starts at the first frame again.
    button->fMouseLeave();
    button->fMouseEnter();
    Paint(dib);
    EXPECT_EQ(Centre(dib), kFrameColours[0]);
    button->fMouseLeave();
    // Not hot: the state frame.
    Paint(dib);
    EXPECT_EQ(Centre(dib), kFrameColours[0]);
}

TEST_F(PictureTest, AnimatedWithoutAnAnimationShowsTheHotFrame) {
    TPicture strip;
    MakeStrip(*strip.Bitmap(), 4, 16);
    button->fSetNomPicture(&strip);
    button->fSetAnimate(true);
    button->fMouseEnter();
    DibSurface dib(115, 35);
    Paint(dib);
    EXPECT_EQ(Centre(dib), kFrameColours[3]);
    button->fMouseLeave();
}

TEST_F(PictureTest, DisabledSingleFrameIsEmbossedInTwoColours) {
    TPicture single;
    TBitmap* bmp = single.Bitmap();
    FillBitmap(*bmp, 16, 16, clWhite);  // transparent colour: white
    FillArea(*bmp, TRect(4, 4, 12, 12), Rgb(0, 0, 200));
    button->fSetNomPicture(&single);
    button->SetEnabled(false);
    DibSurface dib(115, 35);
    Paint(dib);
    // P = (48, 9, 64, 25): the shape (52..59, 13..20) in the shadow colour,
    // its copy one pixel right and down in the highlight colour where not covered.
    const COLORREF face = Sys(COLOR_BTNFACE), shadow = Sys(COLOR_BTNSHADOW), light = Sys(COLOR_BTNHIGHLIGHT);
    for (int y = 9; y < 26; ++y)
        for (int x = 48; x < 65; ++x) {
            const bool shape = x >= 52 && x < 60 && y >= 13 && y < 21;
            const bool moved = x >= 53 && x < 61 && y >= 14 && y < 22;
            const COLORREF want = shape ? shadow : moved ? light : face;
            EXPECT_EQ(dib.Color(x, y), want) << x << "," << y;
        }
    // Pushed or hot with the same picture: frame 0 in colour.
    button->SetEnabled(true);
    Paint(dib, ODS_SELECTED);
    EXPECT_EQ(dib.Color(57, 18), RGB(0, 0, 200));
}

TEST_F(PictureTest, IconIsDrawnWhole) {
    // An icon made in memory: 16 x 16, opaque square in the middle.
    std::vector<BYTE> andMask(16 * 2, 0xFF), xorBits(16 * 16 * 4, 0);
    for (int y = 4; y < 12; ++y) {
        for (int x = 4; x < 12; ++x) {
            andMask[y * 2 + x / 8] &= static_cast<BYTE>(~(0x80 >> (x % 8)));
            BYTE* p = &xorBits[(y * 16 + x) * 4];
            p[0] = 0;
            p[1] = 128;
            p[2] = 0;
            p[3] = 0xFF;
        }
    }
    HICON handle = ::CreateIcon(nullptr, 16, 16, 1, 32, andMask.data(), xorBits.data());
    ASSERT_TRUE(handle);
    TPicture pic;
    pic.Icon()->SetHandle(handle);
    ASSERT_EQ(pic.Width(), 16);
    button->fSetNomPicture(&pic);
    DibSurface dib(115, 35);
    Paint(dib);
    EXPECT_EQ(dib.Color(48 + 8, 9 + 8), RGB(0, 128, 0));
    EXPECT_EQ(dib.Color(48 + 1, 9 + 1), Sys(COLOR_BTNFACE));
}

// A graphic class the button does not know how to draw.
class TOddGraphic : public TBitmap {
    CLASS_NAME(TOddGraphic)
public:
    std::unique_ptr<TGraphic> NewGraphic() const override { return std::make_unique<TOddGraphic>(); }
};

TEST_F(PictureTest, UnknownGraphicMovesTheCaptionButIsNotDrawn) {
    TOddGraphic odd;
    FillBitmap(odd, 16, 16, Rgb(0, 0, 200));
    ASSERT_STREQ(odd.ClassName(), "TOddGraphic");
    button->Picture()->Assign(&odd);
    ASSERT_STREQ(button->Picture()->Graphic()->ClassName(), "TOddGraphic");
    button->SetCaption("OK");
    DibSurface withOdd(115, 35), without(115, 35);
    Paint(withOdd);
    EXPECT_EQ(withOdd.Count(RGB(0, 0, 200)), 0);
    button->Picture()->Assign(nullptr);
    Paint(without);
    const RECT a = InkBox(withOdd, Sys(COLOR_BTNFACE), RECT{2, 2, 113, 33});
    const RECT b = InkBox(without, Sys(COLOR_BTNFACE), RECT{2, 2, 113, 33});
    EXPECT_EQ(a.left, b.left + (16 + 2) / 2);  // moved aside by half the picture and spacing
}

TEST_F(PictureTest, PaintsLeakNoGdiObjects) {
    TPicture strip, single;
    MakeStrip(*strip.Bitmap(), 4, 16);
    MakeStrip(*single.Bitmap(), 1, 16);
    DibSurface dib(115, 35);
    auto paints = [&] {
        button->fSetLooks(ibkNormal);
        button->fSetNomPicture(&strip);
        Paint(dib, ODS_FOCUS);
        Paint(dib, ODS_SELECTED);
        button->fSetNomPicture(&single);
        button->SetEnabled(false);
        Paint(dib);  // embossed
        button->SetEnabled(true);
        button->fSetLooks(ibkWindowsXP);
        Paint(dib);
        button->fSetLooks(ibkFullPicture);
        button->fSetNomPicture(&strip);
        Paint(dib);
        button->fSetTransparent(true);
        Paint(dib);
        button->fSetTransparent(false);
    };
    paints();  // first use allocates caches
    const long before = LiveGdiObjects();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 10; ++i) paints();
    EXPECT_EQ(LiveGdiObjects(), before);
}

// ---- Full picture -----------------------------------------------------------

class FullPictureTest : public ButtonTest {
protected:
    void SetUp() override {
        ButtonTest::SetUp();
        button->SetBounds(30, 40, 100, 35);
        button->fSetLooks(ibkFullPicture);
        FillBitmap(*strip.Bitmap(), 100, 140, 0);
        for (int i = 0; i < 4; ++i) FillArea(*strip.Bitmap(), TRect(0, i * 35, 100, i * 35 + 35), kFrameColours[i]);
        button->fSetNomPicture(&strip);
    }
    TPicture strip;
};

TEST_F(FullPictureTest, FramesAreStretchedOverTheWholeButton) {
    DibSurface dib(100, 35);
    struct Case {
        UINT itemState;
        bool hot, disabled;
        int frame;
    } cases[] = {{0, false, false, 0}, {ODS_SELECTED, false, false, 2}, {0, true, false, 3}, {0, false, true, 1},
                 {ODS_FOCUS, false, false, 0}};
    for (const Case& c : cases) {
        if (c.hot) button->fMouseEnter();
        button->SetEnabled(!c.disabled);
        Paint(dib, c.itemState);
        // No frame, no caption, no focus rectangle: the whole button is the frame.
        EXPECT_EQ(dib.Count(kFrameColours[c.frame]), 100 * 35) << c.frame;
        if (c.hot) button->fMouseLeave();
    }
}

TEST_F(FullPictureTest, TwoFramesOfSeventyPixels) {
    button->fSetPicCount(2);
    DibSurface dib(100, 35);
    Paint(dib);
    // Frame 0 is the strip's first 70 rows (colours 0 and 1) squeezed into 35.
    EXPECT_EQ(dib.Color(50, 3), kFrameColours[0]);
    EXPECT_EQ(dib.Color(50, 31), kFrameColours[1]);
    Paint(dib, ODS_SELECTED);  // index 2 is not below 2: frame 0
    EXPECT_EQ(dib.Color(50, 3), kFrameColours[0]);
}

TEST_F(FullPictureTest, CaptionOnlyWhenAskedFor) {
    button->SetCaption("OK");
    button->Font()->SetColor(clWhite);
    button->SetHotTextColor(clWhite);
    DibSurface dib(100, 35);
    Paint(dib, ODS_FOCUS);
    EXPECT_EQ(dib.Count(kWhite), 0);
    button->fSetShowFullPicCaption(true);
    Paint(dib, ODS_FOCUS);
    EXPECT_GT(dib.Count(kWhite, 4, 4, 96, 31), 10);
    int dots = 0;  // the focus rectangle along (3, 3, 97, 32)
    for (int x = 3; x < 97; ++x) dots += dib.Color(x, 3) != kFrameColours[0];
    EXPECT_GT(dots, 30);
}

TEST_F(FullPictureTest, WithoutAPictureTheNormalFrameIsDrawn) {
    button->Picture()->Assign(nullptr);
    DibSurface dib(100, 35);
    Paint(dib);
    EXPECT_EQ(dib.Color(0, 5), kWhite);
    EXPECT_EQ(dib.Color(99, 5), kDark);
    EXPECT_EQ(dib.Color(10, 3), Sys(COLOR_BTNFACE));
}

// ---- Owner drawing ----------------------------------------------------------

TEST_F(ButtonTest, OwnerDrawRunsOnTopOfOrInsteadOfTheDefault) {
    int calls = 0, seenStatus = -1;
    button->OnOwnerDraw = [&](TObject* sender, TCanvas* canvas, TRect* rect, int status, int& counter) {
        EXPECT_EQ(sender, button);
        ++calls;
        seenStatus = status;
        counter = 42;
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(clRed);
        canvas->FillRect(TRect(rect->left + 50, rect->top + 10, rect->left + 60, rect->top + 20));
    };
    DibSurface dib(115, 35);
    dib.Fill(kSentinel);
    Paint(dib, ODS_FOCUS);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(seenStatus, ibsFocused);
    EXPECT_EQ(button->FrameCounter(), 42);
    EXPECT_EQ(dib.Color(55, 15), RGB(255, 0, 0));
    EXPECT_EQ(dib.Color(1, 5), kWhite);  // the default drawing is underneath

    button->SetDefaultDraw(false);
    dib.Fill(kSentinel);
    Paint(dib);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(dib.Color(0, 5), kSentinel);  // only the handler drew
    EXPECT_EQ(dib.Count(RGB(255, 0, 0)), 100);

    button->OnOwnerDraw = nullptr;  // DefaultDraw false but no handler: the default look
    Paint(dib);
    EXPECT_EQ(dib.Color(0, 5), kWhite);
}

TEST_F(ButtonTest, StateBitsReachTheHandler) {
    std::vector<int> seen;
    button->OnOwnerDraw = [&](TObject*, TCanvas*, TRect*, int status, int&) { seen.push_back(status); };
    DibSurface dib(115, 35);
    Paint(dib, ODS_SELECTED);
    button->fSetAnimate(true);
    button->fMouseEnter();
    Paint(dib, ODS_FOCUS);
    button->fMouseLeave();
    button->fSetAnimate(false);
    button->SetEnabled(false);
    Paint(dib);
    const std::vector<int> expected = {ibsPushed, ibsFocused | ibsHot | ibsAnimated, ibsDisabled};
    EXPECT_EQ(seen, expected);
}

TEST_F(ButtonTest, OwnerDrawErrorsAreDiscardedAndOthersPassOn) {
    int calls = 0;
    button->OnOwnerDraw = [&](TObject*, TCanvas*, TRect*, int, int&) {
        ++calls;
        throw Exception("drawing failed");
    };
    DibSurface dib(115, 35);
    EXPECT_NO_THROW(Paint(dib));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(dib.Color(0, 5), kWhite);

    // Anything else passes on, and the drawing flag is cleared all the same.
    button->OnOwnerDraw = [&](TObject*, TCanvas*, TRect*, int, int&) {
        ++calls;
        throw std::runtime_error("not ours");
    };
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.hDC = dib.DC();
    dis.rcItem = RECT{0, 0, 115, 35};
    EXPECT_THROW(button->Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis)), std::runtime_error);
    EXPECT_THROW(button->Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis)), std::runtime_error);
    EXPECT_EQ(calls, 3);
}

TEST_F(ButtonTest, ReentrantDrawRequestsAreIgnored) {
    int calls = 0;
    DibSurface dib(115, 35);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.hDC = dib.DC();
    dis.rcItem = RECT{0, 0, 115, 35};
    button->OnOwnerDraw = [&](TObject*, TCanvas*, TRect*, int, int&) {
        ++calls;
        button->Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));  // a paint within the paint
    };
    button->Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    EXPECT_EQ(calls, 1);
}

// ---- Through the system -----------------------------------------------------

TEST_F(ButtonTest, SystemDrawRequestReachesTheButton) {
    // The system button asks its parent to draw it; the request comes back
    // to the button, which draws into the device context it was given.
    DibSurface dib(115, 35);
    dib.Fill(kSentinel);
    char cls[64] = {};
    ::GetClassNameA(button->Handle(), cls, sizeof cls);
    EXPECT_STREQ(cls, "TImButton");
    EXPECT_EQ(::GetWindowLongA(button->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    ::SendMessageA(button->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib.DC()), PRF_CLIENT);
    EXPECT_EQ(dib.Color(0, 5), kWhite);
    EXPECT_EQ(dib.Color(114, 5), kDark);
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_BUTTON;
    button->Perform(CN_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
    EXPECT_EQ(mis.itemWidth, 115u);
    EXPECT_EQ(mis.itemHeight, 35u);
}

TEST_F(ButtonTest, TransparentButtonShowsItsParent) {
    form->SetColor(clRed);
    form->HandleNeeded();
    button->fSetTransparent(true);
    DibSurface dib(115, 35);
    dib.Fill(kSentinel);
    Paint(dib);
    EXPECT_EQ(dib.Color(10, 10), RGB(255, 0, 0));  // the face is the parent's background
    EXPECT_EQ(dib.Color(0, 5), kWhite);            // lines are still drawn
}

}  // namespace
