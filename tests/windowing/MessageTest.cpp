// The message path: one window procedure per window reaching the object,
// WndProc -> Dispatch -> DefaultHandler, reflected notifications, window
// classes under the C++ class names, wide windows, the error display.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "DibSurface.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "TntStdCtrls.h"
#include "WindowingTestSupport.h"

using wtest::PumpUntil;

namespace {

constexpr UINT WM_TEST = WM_APP + 7;

class TTestForm : public TForm {
    CLASS_NAME(TTestForm)
public:
    explicit TTestForm(TComponent* owner) : TForm(owner) {
        SetBounds(100, 100, 300, 200);
    }
};

// A custom control that answers one message itself and logs sizes.
class TProbe : public TCustomControl {
    CLASS_NAME(TProbe)
public:
    using TCustomControl::TCustomControl;
    int testMessages = 0;
    int sizes = 0;
    void Dispatch(TMessage& m) override {
        if (m.Msg == WM_TEST) {
            ++testMessages;
            m.Result = static_cast<LRESULT>(m.WParam * 2);
            return;
        }
        if (m.Msg == WM_SIZE) ++sizes;
        TCustomControl::Dispatch(m);
    }
};

// A push button drawn by its owner: the system asks the parent, the parent
// passes the request back to the button as CN_DRAWITEM.
class TOwnerDrawButton : public TButton {
    CLASS_NAME(TOwnerDrawButton)
public:
    using TButton::TButton;
    int draws = 0;
    DRAWITEMSTRUCT last{};
    int measures = 0;

protected:
    void CreateParams(TCreateParams& p) override {
        TButton::CreateParams(p);
        p.Style |= BS_OWNERDRAW;
    }
    void Dispatch(TMessage& m) override {
        if (m.Msg == CN_DRAWITEM) {
            ++draws;
            last = *reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
            FillRect(last.hDC, &last.rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            m.Result = TRUE;
            return;
        }
        if (m.Msg == CN_MEASUREITEM) {
            ++measures;
            auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
            mis->itemWidth = static_cast<UINT>(Width());
            mis->itemHeight = static_cast<UINT>(Height());
            m.Result = TRUE;
            return;
        }
        TButton::Dispatch(m);
    }
};

AnsiString WindowClassName(HWND w) {
    char buf[256] = {};
    GetClassNameA(w, buf, sizeof buf);
    return buf;
}

}  // namespace

TEST(Messages, SentMessagesReachTheOverriddenDispatchAndOthersTheDefaultHandling) {
    auto form = std::make_unique<TTestForm>(nullptr);
    auto* probe = new TProbe(form.get());
    probe->SetParent(form.get());
    probe->SetBounds(10, 10, 50, 40);
    HWND h = probe->Handle();
    EXPECT_EQ(SendMessageA(h, WM_TEST, 21, 0), 42);  // through the system and the thunk
    EXPECT_EQ(probe->Perform(WM_TEST, 5), 10);        // straight into WndProc
    EXPECT_EQ(probe->testMessages, 2);
    // Not handled by the class: the system's default (the window text).
    probe->SetText("hello");
    char buf[32] = {};
    EXPECT_EQ(GetWindowTextA(h, buf, sizeof buf), 5);
    EXPECT_STREQ(buf, "hello");
    EXPECT_EQ(probe->Text(), "hello");
    probe->SetBounds(10, 10, 80, 40);
    EXPECT_GE(probe->sizes, 1);
    RECT r;
    GetWindowRect(h, &r);
    EXPECT_EQ(r.right - r.left, 80);
    EXPECT_EQ(TWinControl::FindControl(h), probe);
}

TEST(Messages, WindowClassesAreNamedAfterTheCppClasses) {
    auto form = std::make_unique<TTestForm>(nullptr);
    auto* button = new TButton(form.get());
    button->SetParent(form.get());
    auto* owner = new TOwnerDrawButton(form.get());
    owner->SetParent(form.get());
    auto* wide = new TTntButton(form.get());
    wide->SetParent(form.get());
    EXPECT_EQ(WindowClassName(form->Handle()), "TTestForm");
    EXPECT_EQ(WindowClassName(button->Handle()), "TButton");
    EXPECT_EQ(WindowClassName(owner->Handle()), "TOwnerDrawButton");
    EXPECT_EQ(WindowClassName(wide->Handle()), "TTntButton");
    EXPECT_FALSE(IsWindowUnicode(button->Handle()));
    EXPECT_TRUE(IsWindowUnicode(wide->Handle()));
    // A subclassed button still is a system button.
    EXPECT_EQ(SendMessageA(button->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_BUTTON, DLGC_BUTTON);
    SendMessageA(button->Handle(), BM_SETSTATE, TRUE, 0);
    EXPECT_TRUE(SendMessageA(button->Handle(), BM_GETSTATE, 0, 0) & BST_PUSHED);
}

TEST(Messages, AChildAskedForItsWindowBeforeItsParentGetsExactlyOne) {
    auto form = std::make_unique<TTestForm>(nullptr);
    auto* button = new TButton(form.get());
    button->SetParent(form.get());
    ASSERT_FALSE(form->HandleAllocated());
    HWND h = button->Handle();  // creates the form's window first, and with it the children's
    int buttons = 0;
    EnumChildWindows(
        form->Handle(),
        [](HWND w, LPARAM count) -> BOOL {
            if (WindowClassName(w) == "TButton") ++*reinterpret_cast<int*>(count);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&buttons));
    EXPECT_EQ(buttons, 1);
    EXPECT_EQ(GetParent(h), form->Handle());
    EXPECT_EQ(TWinControl::FindControl(h), button);
}

TEST(Messages, ButtonClickArrivesAsReflectedCommand) {
    auto form = std::make_unique<TTestForm>(nullptr);
    auto* button = new TButton(form.get());
    button->SetParent(form.get());
    int clicks = 0;
    TObject* sender = nullptr;
    button->OnClick = [&](TObject* s) {
        ++clicks;
        sender = s;
    };
    SendMessageA(button->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(sender, button);
    // The same notification from anywhere to the parent window.
    SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button->Handle()), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button->Handle()));
    EXPECT_EQ(clicks, 2);
}

TEST(Messages, OwnerDrawRequestsAreReflectedToTheButton) {
    auto form = std::make_unique<TTestForm>(nullptr);
    auto* button = new TOwnerDrawButton(form.get());
    button->SetParent(form.get());
    button->SetBounds(20, 30, 90, 28);
    EXPECT_EQ(GetWindowLongA(button->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    form->Show();
    ASSERT_TRUE(PumpUntil([&] { return button->draws > 0; }));
    EXPECT_EQ(button->last.CtlType, static_cast<UINT>(ODT_BUTTON));
    EXPECT_EQ(button->last.hwndItem, button->Handle());
    EXPECT_EQ(button->last.rcItem.right - button->last.rcItem.left, 90);
    EXPECT_EQ(button->last.rcItem.bottom - button->last.rcItem.top, 28);

    // Painting the button into a bitmap goes the same way (the system
    // button paints into the given device context through the parent).
    DibSurface surface(90, 28);
    surface.Fill(RGB(255, 255, 255));
    int before = button->draws;
    SendMessageA(button->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(surface.DC()), 0);
    EXPECT_EQ(button->draws, before + 1);
    EXPECT_EQ(surface.Count(RGB(0, 0, 0)), 90 * 28);

    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_BUTTON;
    mis.CtlID = static_cast<UINT>(GetDlgCtrlID(button->Handle()));
    SendMessageA(form->Handle(), WM_MEASUREITEM, mis.CtlID, reinterpret_cast<LPARAM>(&mis));
    EXPECT_EQ(button->measures, 1);
    EXPECT_EQ(mis.itemWidth, 90u);
    EXPECT_EQ(mis.itemHeight, 28u);
}

TEST(Messages, AnErrorEscapingAHandlerGoesToTheErrorDisplayAndTheLoopGoesOn) {
    wtest::CaptureErrors errors;
    auto form = std::make_unique<TTestForm>(nullptr);
    auto* button = new TButton(form.get());
    button->SetParent(form.get());
    int clicks = 0;
    button->OnClick = [&](TObject*) {
        ++clicks;
        throw Exception("Unable to write to Tool.ini");
    };
    PostMessageA(button->Handle(), BM_CLICK, 0, 0);
    PostMessageA(button->Handle(), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return clicks == 2; }));
    EXPECT_EQ(errors.count, 2);
    EXPECT_EQ(errors.last, "Unable to write to Tool.ini");
}

TEST(Messages, WideCaptionsRoundTripThroughTheWindowAndItsRecreation) {
    auto form = std::make_unique<TTestForm>(nullptr);
    auto* button = new TTntButton(form.get());
    button->SetParent(form.get());
    const WideString text = L"\u66f4\u65b0\u4e2d \u03a9 \u00e9\u00e8 Cancel";
    button->SetCaption(text);  // before the window exists
    ASSERT_FALSE(button->HandleAllocated());
    EXPECT_EQ(button->Caption(), text);
    wchar_t buf[64] = {};
    GetWindowTextW(button->Handle(), buf, 64);
    EXPECT_EQ(WideString(buf), text);
    const WideString other = L"\u30ad\u30e3\u30f3\u30bb\u30eb";
    button->SetCaption(other);
    GetWindowTextW(button->Handle(), buf, 64);
    EXPECT_EQ(WideString(buf), other);
    button->RecreateWnd();
    EXPECT_EQ(button->Caption(), other);

    auto* label = new TTntLabel(form.get());
    label->SetParent(form.get());
    label->SetCaption(text);
    EXPECT_EQ(label->Caption(), text);
    EXPECT_EQ(label->GetTextLen(), static_cast<int>(text.size()));
}

#include "ExtCtrls.h"

namespace {
BOOL CALLBACK CollectTexts(HWND child, LPARAM data) {
    char buf[256] = {};
    GetWindowTextA(child, buf, sizeof buf);
    reinterpret_cast<std::vector<AnsiString>*>(data)->push_back(buf);
    return TRUE;
}
}  // namespace

TEST(Messages, TheStandardErrorDisplayIsAMessageBoxWithTheErrorsText) {
    ASSERT_FALSE(Application->OnException);
    Application->SetTitle("Vornix test");
    std::vector<AnsiString> texts;
    bool found = false;
    TTimer timer(nullptr);
    timer.SetInterval(50);
    timer.OnTimer = [&](TObject*) {
        HWND box = FindWindowA("#32770", "Vornix test");
        if (!box) return;
        timer.SetEnabled(false);
        found = true;
        EnumChildWindows(box, CollectTexts, reinterpret_cast<LPARAM>(&texts));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    };
    // Returns once the box is closed (by the timer above, inside the box's own loop).
    Application->HandleException(nullptr, Exception("Unable to write to C:\\Tool.ini"));
    Application->SetTitle("");
    ASSERT_TRUE(found);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Unable to write to C:\\Tool.ini"), texts.end());
}
