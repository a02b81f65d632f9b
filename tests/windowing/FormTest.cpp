// Forms (dialog border, designed position, client size, modal display,
// closing), the application's loop, label auto-size and the timer.
#include <gtest/gtest.h>

#include <memory>

#include "DibSurface.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "TntStdCtrls.h"
#include "WindowingTestSupport.h"

using wtest::PumpUntil;

namespace {
class TDialogForm : public TForm {
    CLASS_NAME(TDialogForm)
public:
    explicit TDialogForm(TComponent* owner) : TForm(owner) {
        SetBorderStyle(bsDialog);
        SetBounds(452, 299, 100, 100);
        SetClientWidth(341);
        SetClientHeight(180);
        SetCaption("UpdateTool");
    }
};
}  // namespace

TEST(Form, DialogBorderDesignedPositionAndClientSize) {
    auto form = std::make_unique<TDialogForm>(nullptr);
    form->Show();
    HWND h = form->Handle();
    LONG style = GetWindowLongA(h, GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);  // the close box
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    RECT client, outer;
    GetClientRect(h, &client);
    GetWindowRect(h, &outer);
    EXPECT_EQ(client.right, 341);
    EXPECT_EQ(client.bottom, 180);
    EXPECT_EQ(form->ClientWidth(), 341);
    EXPECT_EQ(outer.left, 452);
    EXPECT_EQ(outer.top, 299);
    char title[64] = {};
    GetWindowTextA(h, title, sizeof title);
    EXPECT_STREQ(title, "UpdateTool");
    EXPECT_TRUE(IsWindowVisible(h));
}

namespace {
// Runs a form modally while something closes it from a timer tick.
TModalResult RunModalClosedBy(TForm* form, const std::function<void()>& close, bool* othersDisabled, HWND other) {
    TTimer timer(nullptr);
    timer.SetInterval(30);
    timer.OnTimer = [&](TObject*) {
        timer.SetEnabled(false);
        if (othersDisabled) *othersDisabled = !IsWindowEnabled(other);
        close();
    };
    return form->ShowModal();
}
}  // namespace

TEST(Form, ShowModalEndsByCloseByTheCloseBoxAndByAButtonsModalResult) {
    auto owner = std::make_unique<TDialogForm>(nullptr);
    owner->Show();
    auto dialog = std::make_unique<TDialogForm>(nullptr);
    auto* ok = new TButton(dialog.get());
    ok->SetParent(dialog.get());
    ok->SetModalResult(mrOk);
    HWND main = owner->Handle();

    struct Case {
        const char* how;
        std::function<void()> close;
        TModalResult expected;
    };
    TDialogForm* d = dialog.get();
    std::vector<Case> cases = {
        {"Close", [d] { d->Close(); }, mrCancel},
        {"close box", [d] { PostMessageA(d->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }, mrCancel},
        {"WM_CLOSE", [d] { PostMessageA(d->Handle(), WM_CLOSE, 0, 0); }, mrCancel},
        {"button", [ok] { PostMessageA(ok->Handle(), BM_CLICK, 0, 0); }, mrOk},
    };
    for (const Case& c : cases) {
        bool disabled = false;
        TModalResult r = RunModalClosedBy(dialog.get(), c.close, &disabled, main);
        EXPECT_EQ(r, c.expected) << c.how;
        EXPECT_TRUE(disabled) << c.how << ": the other windows are disabled while it shows";
        EXPECT_TRUE(IsWindowEnabled(main)) << c.how;
        EXPECT_FALSE(IsWindowVisible(dialog->Handle())) << c.how;
        EXPECT_FALSE(dialog->Visible()) << c.how;
    }
}

TEST(Form, OnCloseQueryCanRefuseTheEndOfAModalForm) {
    auto dialog = std::make_unique<TDialogForm>(nullptr);
    int asked = 0;
    dialog->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = ++asked >= 2; };
    TTimer timer(nullptr);
    timer.SetInterval(20);
    timer.OnTimer = [&](TObject*) {
        if (asked >= 2) timer.SetEnabled(false);
        else dialog->Close();
    };
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    EXPECT_EQ(asked, 2);
}

TEST(Form, ClosingTheMainFormEndsRunAndAnotherFormOnlyHides) {
    TDialogForm* mainForm = nullptr;
    Application->CreateForm(mainForm);
    std::unique_ptr<TDialogForm> guard(mainForm);  // freed here; the application forgets it
    auto other = std::make_unique<TDialogForm>(nullptr);
    EXPECT_EQ(Application->MainForm(), mainForm);
    other->Show();
    other->Close();
    EXPECT_FALSE(other->Visible());
    EXPECT_FALSE(Application->Terminated());

    PostMessageA(mainForm->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    Application->Run();  // returns once the main form closed
    EXPECT_TRUE(Application->Terminated());
    guard.reset();
    EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST(Label, AutoSizeFitsTheTextKeepingTheAnchoredEdge) {
    auto form = std::make_unique<TDialogForm>(nullptr);
    struct Case {
        TAlignment alignment;
        int expectedLeftFromRightEdge;  // -1: Left stays
    };
    for (TAlignment a : {taLeftJustify, taCenter, taRightJustify}) {
        auto* label = new TLabel(form.get());
        label->SetParent(form.get());
        label->Font()->SetName("Arial");
        label->Font()->SetHeight(-16);
        label->SetAlignment(a);
        label->SetBounds(50, 40, 8, 16);
        label->SetCaption("Being upgraded, please wait ...");
        // The expected size: the font's extent of the text.
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, label->Font()->Handle());
        SIZE ext;
        GetTextExtentPoint32A(dc, "Being upgraded, please wait ...", 31, &ext);
        SIZE blank;
        GetTextExtentPoint32A(dc, " ", 1, &blank);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        EXPECT_EQ(label->Width(), ext.cx) << a;
        EXPECT_EQ(label->Height(), ext.cy) << a;
        if (a == taRightJustify) EXPECT_EQ(label->Left() + label->Width(), 58) << "right edge kept";
        else EXPECT_EQ(label->Left(), 50) << a;
        // Empty: one blank wide, a line high.
        label->SetCaption("");
        EXPECT_EQ(label->Width(), blank.cx);
        EXPECT_EQ(label->Height(), blank.cy);
        // Not auto-sized: the size stays.
        label->SetAutoSize(false);
        label->SetCaption("A much longer text than before");
        EXPECT_EQ(label->Width(), blank.cx);
    }
}

TEST(Label, PaintsItsTextIntoTheParentsPaintTransparentOrFilled) {
    auto form = std::make_unique<TDialogForm>(nullptr);
    form->SetColor(RGB(0, 0, 255));
    auto* label = new TLabel(form.get());
    label->SetParent(form.get());
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 60, 20);
    label->SetCaption("WWW");
    label->Font()->SetColor(RGB(255, 0, 0));
    label->SetColor(RGB(0, 255, 0));
    form->HandleNeeded();
    for (bool transparent : {false, true}) {
        label->SetTransparent(transparent);
        DibSurface s(100, 50);
        s.Fill(RGB(0, 0, 0));
        form->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(s.DC()));
        if (transparent) SendMessageA(form->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(s.DC()), PRF_CLIENT);
        else form->Perform(WM_PAINT, reinterpret_cast<WPARAM>(s.DC()));
        EXPECT_GT(s.Count(RGB(255, 0, 0), 10, 10, 70, 30), 10) << "text drawn";
        EXPECT_EQ(s.Count(RGB(255, 0, 0), 0, 0, 100, 10), 0) << "nothing outside the label";
        EXPECT_EQ(s.Count(RGB(0, 255, 0), 10, 10, 70, 30) > 0, !transparent) << "own colour only when opaque";
        EXPECT_EQ(s.Color(5, 5), RGB(0, 0, 255)) << "the form's colour around";
    }
}

TEST(Timer, TicksOnTheGuiThreadAndRestartsWhenTheIntervalChanges) {
    TTimer timer(nullptr);
    int ticks = 0;
    DWORD thread = 0;
    timer.OnTimer = [&](TObject* s) {
        ++ticks;
        thread = GetCurrentThreadId();
        EXPECT_EQ(s, &timer);
    };
    timer.SetInterval(15);
    EXPECT_TRUE(timer.Running());
    ASSERT_TRUE(PumpUntil([&] { return ticks >= 3; }));
    EXPECT_EQ(thread, GetCurrentThreadId());

    timer.SetEnabled(false);
    EXPECT_FALSE(timer.Running());
    int stopped = ticks;
    wtest::PumpFor(100);
    EXPECT_EQ(ticks, stopped);

    // A long interval, then a short one: the short one takes effect at once.
    timer.SetInterval(60000);
    timer.SetEnabled(true);
    timer.SetInterval(10);
    EXPECT_EQ(timer.Interval(), 10u);
    ASSERT_TRUE(PumpUntil([&] { return ticks >= stopped + 2; }, 3000));
    timer.SetInterval(0);
    EXPECT_FALSE(timer.Running());
}

TEST(Timer, AnErrorInOnTimerGoesToTheErrorDisplay) {
    wtest::CaptureErrors errors;
    TTimer timer(nullptr);
    timer.SetInterval(10);
    timer.OnTimer = [&](TObject*) {
        timer.SetEnabled(false);
        throw Exception("tick failed");
    };
    ASSERT_TRUE(PumpUntil([&] { return errors.count == 1; }));
    EXPECT_EQ(errors.last, "tick failed");
}
