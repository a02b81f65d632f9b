// The image button as a class and a window: initial values and declared
// defaults, the colour set, the looks' side effects, window shapes, and the
// hover and press tracking driven by real cursor moves and clicks.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "FormDescription.h"
#include "Forms.h"
#include "ImButton.h"

using namespace ctltest;

namespace {

// ---- Class ------------------------------------------------------------------

TEST(ImButtonClass, NewButtonHasItsInitialValues) {
    TImButton b(nullptr);
    EXPECT_EQ(b.Color(), clBtnFace);
    EXPECT_FALSE(b.ParentColor());
    EXPECT_EQ(b.Cursor(), crHandPoint);
    EXPECT_EQ(b.fGetAniSpd(), 200);
    EXPECT_EQ(b.HoverTimer()->Interval(), 200u);
    EXPECT_FALSE(b.HoverTimer()->Enabled());
    EXPECT_EQ(b.Spacing(), 2);
    EXPECT_TRUE(b.FocusRect());
    EXPECT_TRUE(b.DefaultDraw());
    EXPECT_EQ(b.HotTextColor(), clBlue);
    EXPECT_EQ(b.Looks(), ibkNormal);
    EXPECT_FALSE(b.Animated());
    EXPECT_FALSE(b.Transparent());
    EXPECT_FALSE(b.ShowFullPicCaption());
    EXPECT_EQ(b.PictureCount(), 0);
    EXPECT_EQ(b.AnimatedCount(), 0);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(b.fGetBtnColors()->fGetIbColor(i), clDefault) << i;
    EXPECT_EQ(b.Picture()->Graphic(), nullptr);
    EXPECT_EQ(b.MaskPicture()->Graphic(), nullptr);
    EXPECT_EQ(b.AnimatePicture()->Graphic(), nullptr);
    EXPECT_EQ(b.StateBits(), 0);
    EXPECT_EQ(b.FrameCounter(), 0);
}

TEST(ImButtonClass, ColourSetSlotsAndAssignment) {
    TImButton b(nullptr);
    TImButtonColors* colors = b.fGetBtnColors();
    colors->fSetIbColor(-1, clRed);
    colors->fSetIbColor(4, clRed);
    EXPECT_EQ(colors->fGetIbColor(-1), clDefault);
    EXPECT_EQ(colors->fGetIbColor(4), clDefault);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(colors->fGetIbColor(i), clDefault);

    TImButtonColors other(nullptr);
    other.SetDefaultColor(clRed);
    other.SetDisabledColor(clLime);
    other.SetPushedColor(clBlue);
    other.SetHotColor(clYellow);
    b.fSetBtnColors(&other);
    EXPECT_EQ(b.fGetBtnColors(), colors);  // the button keeps its own set
    EXPECT_EQ(colors->DefaultColor(), clRed);
    EXPECT_EQ(colors->DisabledColor(), clLime);
    EXPECT_EQ(colors->PushedColor(), clBlue);
    EXPECT_EQ(colors->HotColor(), clYellow);
    other.SetHotColor(clAqua);
    EXPECT_EQ(colors->HotColor(), clYellow);  // copied, not shared

    TFont notAColourSet;
    EXPECT_NO_THROW(colors->Assign(&notAColourSet));
    EXPECT_NO_THROW(b.fSetBtnColors(nullptr));
    EXPECT_EQ(colors->DefaultColor(), clRed);
    colors->ResetToDefault();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(colors->fGetIbColor(i), clDefault);
}

TEST(ImButtonClass, LooksBringTheirColoursAndTheFocusRectangle) {
    TImButton b(nullptr);
    TImButtonColors* colors = b.fGetBtnColors();
    colors->SetDefaultColor(clRed);
    colors->SetDisabledColor(clLime);
    colors->SetPushedColor(clBlue);
    colors->SetHotColor(clYellow);
    b.fSetFocusRect(false);
    b.fSetLooks(ibkUltraFlat);
    EXPECT_EQ(colors->DefaultColor(), clNavy);
    EXPECT_EQ(colors->DisabledColor(), clLime);  // survives
    EXPECT_EQ(colors->PushedColor(), 0xB5B5B5u);
    EXPECT_EQ(colors->HotColor(), 0xF0C8C0u);
    EXPECT_TRUE(b.FocusRect());
    for (TImBtnKind k : {ibkNormal, ibkFlat, ibkBevelFlat, ibkFullPicture}) {
        colors->SetDisabledColor(clLime);
        b.fSetFocusRect(false);
        b.fSetLooks(k);
        EXPECT_EQ(b.Looks(), k);
        EXPECT_TRUE(b.FocusRect()) << static_cast<int>(k);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(colors->fGetIbColor(i), clDefault) << static_cast<int>(k);
    }
}

TEST(ImButtonClass, AnimateSpeedIsTheHoverTimersInterval) {
    TImButton b(nullptr);
    b.fSetAniSpd(75);
    EXPECT_EQ(b.HoverTimer()->Interval(), 75u);
    EXPECT_EQ(b.fGetAniSpd(), 75);
}

TEST(ImButtonClass, RegisteredOnThePalettePageAndCreatableByName) {
    Imbutton::Register();
    auto classes = PaletteClasses("Corvel");
    EXPECT_NE(std::find(classes.begin(), classes.end(), "TImButton"), classes.end());
    TComponentClass cls = FindClass("TImButton");
    std::unique_ptr<TComponent> made(cls->Create(nullptr));
    EXPECT_STREQ(made->ClassName(), "TImButton");
    EXPECT_EQ(static_cast<TImButton*>(made.get())->Spacing(), 2);
}

// ---- Form descriptions ------------------------------------------------------

TEST(ImButtonDescription, InitialValuesThatDifferFromTheDefaultsAreStored) {
    Imbutton::Register();
    TForm form(nullptr);
    auto* b = new TImButton(&form);
    b->SetName("OK");
    static_cast<TControl*>(b)->SetParent(&form);
    const AnsiString text = WriteComponent(&form);
    for (const char* stored : {"AnimateSpeed = 200", "Spacing = 2", "Color = clBtnFace", "ParentColor = False",
                               "HotTextColor = clBlue"})
        EXPECT_NE(text.find(stored), AnsiString::npos) << stored << "\n" << text;
    for (const char* notStored : {"DefaultDraw", "FocusRect", "Looks", "Animated =", "Transparent"})
        EXPECT_EQ(text.find(notStored), AnsiString::npos) << notStored << "\n" << text;
}

TEST(ImButtonDescription, DeclaredOrderDecidesBetweenFocusRectLooksAndColors) {
    Imbutton::Register();
    TForm form(nullptr);
    ReadComponentDescription(&form,
                             "object Form1: TForm\n"
                             "  object B: TImButton\n"
                             "    FocusRect = False\n"
                             "    Looks = ibkFlat\n"
                             "    Colors.HotColor = clRed\n"
                             "    Colors.DisabledColor = clLime\n"
                             "    HotTextColor = clWindowText\n"
                             "  end\n"
                             "  object C: TImButton\n"
                             "    FocusRect = False\n"
                             "  end\n"
                             "end\n");
    auto* b = dynamic_cast<TImButton*>(form.FindComponent("B"));
    auto* c = dynamic_cast<TImButton*>(form.FindComponent("C"));
    ASSERT_NE(b, nullptr);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(b->Looks(), ibkFlat);
    EXPECT_TRUE(b->FocusRect());  // Looks, read after it, set it again
    EXPECT_EQ(b->fGetBtnColors()->HotColor(), clRed);  // Colors, read after Looks, survive
    EXPECT_EQ(b->fGetBtnColors()->DisabledColor(), clLime);
    EXPECT_EQ(b->HotTextColor(), clWindowText);
    EXPECT_FALSE(c->FocusRect());
    // Written back, the properties come out in declared order.
    const AnsiString text = WriteComponent(&form);
    const auto looks = text.find("Looks = ibkFlat"), colors = text.find("Colors.HotColor = clRed");
    ASSERT_NE(looks, AnsiString::npos);
    ASSERT_NE(colors, AnsiString::npos);
    EXPECT_LT(looks, colors);
}

// ---- Windows ----------------------------------------------------------------

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = new TForm(nullptr);
        form->SetBounds(100, 100, 320, 200);
        form->HandleNeeded();  // the form's window first, then the button's
        button = new TImButton(form);
        static_cast<TControl*>(button)->SetParent(form);
        button->SetBounds(30, 40, 115, 35);
        button->SetCaption("OK");
        ASSERT_TRUE(button->Handle());
    }
    void TearDown() override { delete form; }

    // The window region as rectangles; empty when the window has none.
    std::vector<RECT> Region() {
        GdiRegion rgn(::CreateRectRgn(0, 0, 0, 0));
        if (::GetWindowRgn(button->Handle(), rgn) == ERROR) return {};
        return RegionRects(rgn);
    }
    // Whether a point of the button lies inside its window region (true without one).
    bool Inside(int x, int y) {
        GdiRegion rgn(::CreateRectRgn(0, 0, 0, 0));
        if (::GetWindowRgn(button->Handle(), rgn) == ERROR) return true;
        return ::PtInRegion(rgn, x, y) != 0;
    }

    TForm* form = nullptr;
    TImButton* button = nullptr;
};

TEST_F(WindowTest, WindowsXpCutsTheFourCornersAndFollowsResizes) {
    EXPECT_TRUE(Region().empty());
    button->fSetLooks(ibkWindowsXP);
    for (auto [w, h] : {std::pair<int, int>{115, 35}, {60, 24}}) {
        if (w != 115) button->SetBounds(30, 40, w, h);
        EXPECT_FALSE(Inside(0, 0)) << w;
        EXPECT_FALSE(Inside(w - 1, 0)) << w;
        EXPECT_FALSE(Inside(0, h - 1)) << w;
        EXPECT_FALSE(Inside(w - 1, h - 1)) << w;
        EXPECT_TRUE(Inside(1, 0)) << w;
        EXPECT_TRUE(Inside(0, 1)) << w;
        EXPECT_TRUE(Inside(w - 2, h - 1)) << w;
        EXPECT_TRUE(Inside(w / 2, h / 2)) << w;
        EXPECT_FALSE(Inside(w, h / 2)) << w;
    }
    button->fSetLooks(ibkNormal);
    EXPECT_TRUE(Region().empty());
}

TEST_F(WindowTest, MaskPictureResizesAndShapesTheButton) {
    TPicture mask;
    TBitmap* bmp = mask.Bitmap();
    FillBitmap(*bmp, 40, 20, Rgb(255, 0, 255));
    FillArea(*bmp, TRect(5, 2, 35, 18), Rgb(0, 0, 0));
    button->fSetMaskPicture(&mask);
    EXPECT_EQ(button->Width(), 40);
    EXPECT_EQ(button->Height(), 20);
    EXPECT_TRUE(Inside(5, 2));
    EXPECT_TRUE(Inside(34, 17));
    EXPECT_FALSE(Inside(4, 2));
    EXPECT_FALSE(Inside(0, 0));
    EXPECT_FALSE(Inside(35, 10));

    // A change of the mask picture's own bitmap reshapes the window through
    // its change notification: the new column is black, so it is figure.
    button->MaskPicture()->Bitmap()->SetSize(41, 20);
    EXPECT_EQ(button->Width(), 41);
    EXPECT_TRUE(Inside(40, 0));
    EXPECT_FALSE(Inside(0, 0));

    // Cleared: rectangular again, the size stays.
    button->MaskPicture()->Assign(nullptr);
    EXPECT_TRUE(Region().empty());
    EXPECT_EQ(button->Width(), 41);

    // A change of the look removes a mask's shape.
    button->fSetMaskPicture(&mask);
    EXPECT_FALSE(Region().empty());
    button->fSetLooks(ibkFlat);
    EXPECT_TRUE(Region().empty());

    // A mask of one colour: no shape.
    TPicture plain;
    FillBitmap(*plain.Bitmap(), 30, 10, clBlack);
    button->fSetMaskPicture(&plain);
    EXPECT_EQ(button->Width(), 30);
    EXPECT_TRUE(Region().empty());
}

TEST_F(WindowTest, DefaultFlagFollowsTheButtonStyleHook) {
    auto* other = new TImButton(form);
    static_cast<TControl*>(other)->SetParent(form);
    other->SetBounds(160, 40, 115, 35);
    form->Show();
    button->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return button->IsDefault(); }));
    EXPECT_FALSE(other->IsDefault());
    EXPECT_TRUE(button->StateBits() & ibsDefault);
    other->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return other->IsDefault() && !button->IsDefault(); }));
    // The window stays owner-drawn.
    EXPECT_EQ(::GetWindowLongA(button->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_EQ(::GetWindowLongA(other->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
}

TEST_F(WindowTest, BackgroundIsNeverErased) {
    HDC dc = ::GetDC(button->Handle());
    EXPECT_EQ(::SendMessageA(button->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
    ::ReleaseDC(button->Handle(), dc);
}

// ---- Hover and press with real input ------------------------------------------

// Records the notifications the button's object receives.
class TSpyButton : public TImButton {
    CLASS_NAME(TSpyButton)
public:
    using TImButton::TImButton;
    void Dispatch(TMessage& Message) override {
        if (Message.Msg == CM_MOUSELEAVE) ++leaves;
        TImButton::Dispatch(Message);
    }
    int leaves = 0;
};

class InputTest : public ::testing::Test {
protected:
    void SetUp() override {
        MoveCursor(1200, 1000);
        form = new TForm(nullptr);
        form->SetBorderStyle(bsDialog);
        form->SetBounds(100, 100, 320, 200);
        form->HandleNeeded();
        button = new TSpyButton(form);
        static_cast<TControl*>(button)->SetParent(form);
        button->SetBounds(30, 40, 115, 35);
        button->SetCaption("OK");
        button->OnClick = [this](TObject*) { ++clicks; };
        button->OnMouseEnter = [this](TObject*) { log.push_back("enter"); };
        button->OnMouseLeave = [this](TObject*) { log.push_back("leave"); };
        form->Show();
        PumpWaiting();
    }
    void TearDown() override {
        delete form;
        MoveCursor(1200, 1000);
    }

    void MoveCursor(int x, int y) {
        ::SetCursorPos(x, y);
        PumpWaiting();
    }
    void MoveTo(int clientX, int clientY) {
        POINT p{clientX, clientY};
        ::ClientToScreen(button->Handle(), &p);
        MoveCursor(p.x, p.y);
    }
    void MoveOff() { MoveTo(200, 17); }  // on the form, right of the button
    void Button(DWORD flags) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = flags;
        ::SendInput(1, &in, sizeof in);
    }

    TForm* form = nullptr;
    TSpyButton* button = nullptr;
    int clicks = 0;
    std::vector<std::string> log;
};

TEST_F(InputTest, EnterAndLeaveFollowTheCursor) {
    MoveTo(50, 17);
    ASSERT_TRUE(PumpUntil([&] { return button->IsHot(); }));
    EXPECT_TRUE(button->HoverTimer()->Enabled());
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "enter");
    MoveOff();
    ASSERT_TRUE(PumpUntil([&] { return !button->IsHot(); }));
    EXPECT_FALSE(button->HoverTimer()->Enabled());
    EXPECT_EQ(log.back(), "leave");
    EXPECT_EQ(clicks, 0);
}

TEST_F(InputTest, PressDragOffAndBackThenReleaseClicks) {
    MoveTo(50, 17);
    ASSERT_TRUE(PumpUntil([&] { return button->IsHot(); }));
    Button(MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(PumpUntil([&] { return button->IsButtonDown(); }));
    EXPECT_TRUE(button->IsPushed());
    EXPECT_TRUE(button->StateBits() & ibsPushed);

    MoveOff();
    ASSERT_TRUE(PumpUntil([&] { return !button->IsHot(); }));
    EXPECT_FALSE(button->IsPushed());
    EXPECT_TRUE(button->IsButtonDown());  // still held

    MoveTo(60, 20);
    ASSERT_TRUE(PumpUntil([&] { return button->IsHot(); }));
    EXPECT_TRUE(button->IsPushed());  // the press resumes
    EXPECT_TRUE(button->IsButtonDown());

    Button(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(PumpUntil([&] { return clicks == 1; }));
    EXPECT_FALSE(button->IsButtonDown());
    EXPECT_FALSE(button->IsPushed());
}

TEST_F(InputTest, ReleaseOutsideGivesNoClick) {
    MoveTo(50, 17);
    ASSERT_TRUE(PumpUntil([&] { return button->IsHot(); }));
    Button(MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(PumpUntil([&] { return button->IsButtonDown(); }));
    MoveOff();
    ASSERT_TRUE(PumpUntil([&] { return !button->IsHot(); }));
    Button(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(PumpUntil([&] { return !button->IsButtonDown(); }));
    EXPECT_FALSE(button->IsPushed());
    // Any click would have been posted with the release; handle what is waiting.
    PumpWaiting();
    EXPECT_EQ(clicks, 0);
}

TEST_F(InputTest, DoubleClickClicksTwice) {
    MoveTo(50, 17);
    ASSERT_TRUE(PumpUntil([&] { return button->IsHot(); }));
    for (int i = 0; i < 2; ++i) {
        Button(MOUSEEVENTF_LEFTDOWN);
        Button(MOUSEEVENTF_LEFTUP);
    }
    ASSERT_TRUE(PumpUntil([&] { return clicks >= 2; }));
    PumpWaiting();
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(button->IsButtonDown());
}

TEST_F(InputTest, DoubleClickMessageActsAsAPress) {
    const LPARAM at = MAKELPARAM(50, 17);
    ::SendMessageA(button->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    EXPECT_TRUE(button->IsButtonDown());
    EXPECT_TRUE(button->IsPushed());
    ::SendMessageA(button->Handle(), WM_LBUTTONUP, 0, at);
    EXPECT_FALSE(button->IsButtonDown());
    PumpWaiting();
    EXPECT_EQ(clicks, 1);
}

TEST_F(InputTest, TimerEndsTheHotStateWithoutALeaveNotification) {
    // Entered without the cursor ever being there: only the timer can find out.
    button->fSetAniSpd(30);
    button->Perform(CM_MOUSEENTER);
    ASSERT_TRUE(button->IsHot());
    ASSERT_TRUE(button->HoverTimer()->Enabled());
    ASSERT_TRUE(PumpUntil([&] { return !button->IsHot(); }));
    EXPECT_EQ(button->leaves, 0);
    EXPECT_FALSE(button->HoverTimer()->Enabled());
    EXPECT_EQ(log, (std::vector<std::string>{"enter", "leave"}));
    EXPECT_EQ(button->FrameCounter(), 0);
}

TEST_F(InputTest, TimerRepaintsTheAnimationWhileHovering) {
    TPicture animation;
    FillBitmap(*animation.Bitmap(), 64, 16, Rgb(0, 128, 0));
    button->fSetHotPicutre(&animation);
    button->fSetAnimate(true);
    button->fSetAniSpd(30);
    MoveTo(50, 17);
    ASSERT_TRUE(PumpUntil([&] { return button->IsHot(); }));
    // Four frames: the counter runs 1, 2, 3, 4 and back to 1 as the ticks repaint.
    int highest = 0;
    bool wrapped = false;
    ASSERT_TRUE(PumpUntil([&] {
        const int n = button->FrameCounter();
        if (n < highest) wrapped = true;
        highest = std::max(highest, n);
        return wrapped;
    }));
    EXPECT_EQ(highest, 4);
    EXPECT_TRUE(button->IsHot());
}

TEST_F(InputTest, HandlerErrorsAreDiscarded) {
    button->OnMouseEnter = [](TObject*) { throw Exception("enter failed"); };
    button->OnMouseLeave = [](TObject*) { throw Exception("leave failed"); };
    EXPECT_NO_THROW(button->Perform(CM_MOUSEENTER));
    EXPECT_TRUE(button->IsHot());
    EXPECT_TRUE(button->HoverTimer()->Enabled());
    EXPECT_NO_THROW(button->Perform(CM_MOUSELEAVE));
    EXPECT_FALSE(button->IsHot());
    EXPECT_FALSE(button->HoverTimer()->Enabled());
    // Errors of other kinds are not ours to swallow.
    button->OnMouseEnter = [](TObject*) { throw std::runtime_error("other"); };
    EXPECT_THROW(button->fMouseEnter(), std::runtime_error);
}

TEST_F(InputTest, SpaceBarGivesThePushedLookWithoutThePushedFlag) {
    std::vector<int> states;
    button->OnOwnerDraw = [&](TObject*, TCanvas*, TRect*, int status, int&) { states.push_back(status); };
    button->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return button->Focused(); }));
    states.clear();
    ::SendMessageA(button->Handle(), WM_KEYDOWN, VK_SPACE, 0);
    ::UpdateWindow(button->Handle());
    ASSERT_TRUE(PumpUntil([&] { return !states.empty() && (states.back() & ibsPushed); }));
    EXPECT_FALSE(button->IsPushed());
    ::SendMessageA(button->Handle(), WM_KEYUP, VK_SPACE, 0);
    ASSERT_TRUE(PumpUntil([&] { return clicks == 1; }));
}

}  // namespace
