// The form's focus bookkeeping: first control focused on show, Tab order,
// enter/exit notifications and their order, the default-button hook, Enter
// and Escape.
#include <gtest/gtest.h>

#include <memory>

#include "Forms.h"
#include "StdCtrls.h"
#include "WindowingTestSupport.h"

using wtest::PumpUntil;

namespace {

using Log = std::vector<AnsiString>;

class TStyleButton : public TButton {
    CLASS_NAME(TStyleButton)
public:
    TStyleButton(TComponent* owner, Log* log) : TButton(owner), log_(log) {}

protected:
    void SetButtonStyle(bool ADefault) override {
        if (ADefault != shown_) log_->push_back("style " + Name() + (ADefault ? " on" : " off"));
        shown_ = ADefault;
        TButton::SetButtonStyle(ADefault);
    }

private:
    Log* log_;
    bool shown_ = false;
};

// A focusable control that is not a button.
class TBox : public TCustomControl {
    CLASS_NAME(TBox)
public:
    explicit TBox(TComponent* owner) : TCustomControl(owner) { SetTabStop(true); }
};

class TFocusForm : public TForm {
    CLASS_NAME(TFocusForm)
public:
    explicit TFocusForm(TComponent* owner) : TForm(owner) {
        SetBounds(200, 150, 400, 260);
        B1 = Add(new TStyleButton(this, &styles), "B1", 10, 1);
        B2 = Add(new TStyleButton(this, &styles), "B2", 100, 0);
        Box = Add(new TBox(this), "Box", 190, 2);
        B3 = Add(new TStyleButton(this, &styles), "B3", 280, 3);
        Panel = Add(new TBox(this), "Panel", 10, 4);
        Panel->SetBounds(10, 100, 200, 100);
        Panel->SetTabStop(false);
        Inner = new TStyleButton(this, &styles);
        Inner->SetName("Inner");
        Inner->SetParent(Panel);
        Inner->SetBounds(10, 10, 80, 30);
        Trace(Inner);
    }
    template <class C>
    C* Add(C* c, const char* name, int left, int tab) {
        c->SetName(name);
        c->SetParent(this);
        c->SetBounds(left, 10, 80, 30);
        c->SetTabOrder(tab);
        Trace(c);
        return c;
    }
    void Trace(TWinControl* c) {
        c->OnEnter = [this](TObject* s) { log.push_back("enter " + static_cast<TComponent*>(s)->Name()); };
        c->OnExit = [this](TObject* s) { log.push_back("exit " + static_cast<TComponent*>(s)->Name()); };
    }
    TStyleButton *B1, *B2, *B3, *Inner;
    TBox *Box, *Panel;
    Log log, styles;
};

void PressKey(WORD vk, bool shift = false) {
    std::vector<INPUT> in;
    auto key = [&](WORD k, bool up) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = k;
        i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        in.push_back(i);
    };
    if (shift) key(VK_SHIFT, false);
    key(vk, false);
    key(vk, true);
    if (shift) key(VK_SHIFT, true);
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

}  // namespace

TEST(Focus, ShowFocusesTheFirstControlInTabOrderAndTabMovesAlongIt) {
    auto form = std::make_unique<TFocusForm>(nullptr);
    EXPECT_EQ(form->B2->TabOrder(), 0);
    EXPECT_EQ(form->B1->TabOrder(), 1);
    form->Show();
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == form->B2->Handle(); }));
    EXPECT_EQ(form->ActiveControl(), form->B2);
    EXPECT_TRUE(form->B2->Focused());
    EXPECT_EQ(form->log, (Log{"enter B2"}));

    // Tab: B2 -> B1 -> Box -> B3 -> Inner (inside Panel, which is no tab stop) -> B2.
    const char* order[] = {"B1", "Box", "B3", "Inner", "B2"};
    for (const char* name : order) {
        TWinControl* expected = static_cast<TWinControl*>(form->FindComponent(name));
        PressKey(VK_TAB);
        ASSERT_TRUE(PumpUntil([&] { return GetFocus() == expected->Handle(); })) << "Tab to " << name;
        EXPECT_EQ(form->ActiveControl(), expected);
    }
    PressKey(VK_TAB, true);
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == form->Inner->Handle(); })) << "Shift+Tab";
}

TEST(Focus, EnterAndExitFollowTheFocusThroughParents) {
    auto form = std::make_unique<TFocusForm>(nullptr);
    form->Show();
    ASSERT_TRUE(PumpUntil([&] { return form->B2->Focused(); }));
    form->log.clear();
    form->Inner->SetFocus();
    EXPECT_EQ(form->log, (Log{"exit B2", "enter Panel", "enter Inner"}));
    form->log.clear();
    form->Box->SetFocus();
    EXPECT_EQ(form->log, (Log{"exit Inner", "exit Panel", "enter Box"}));
    // A WM_SETFOCUS from the system records the control as well.
    form->log.clear();
    ::SetFocus(form->B1->Handle());
    EXPECT_EQ(form->log, (Log{"exit Box", "enter B1"}));
    EXPECT_EQ(form->ActiveControl(), form->B1);
}

TEST(Focus, TheButtonEnterWouldPressGetsTheDefaultStyle) {
    auto form = std::make_unique<TFocusForm>(nullptr);
    form->B3->SetDefault(true);
    form->B1->SetCancel(true);
    Log clicks;
    for (TButton* b : {static_cast<TButton*>(form->B1), static_cast<TButton*>(form->B2), static_cast<TButton*>(form->B3)})
        b->OnClick = [&clicks](TObject* s) { clicks.push_back(static_cast<TComponent*>(s)->Name()); };
    form->Show();
    ASSERT_TRUE(PumpUntil([&] { return form->B2->Focused(); }));
    // The focused button is the one; the default button is not while a button has the focus.
    EXPECT_TRUE(form->B2->Active());
    EXPECT_FALSE(form->B3->Active());
    form->styles.clear();
    form->Box->SetFocus();  // not a button: the Default button becomes the one
    EXPECT_EQ(form->styles, (Log{"style B2 off", "style B3 on"}));
    EXPECT_TRUE(form->B3->Active());
    form->styles.clear();
    form->B1->SetFocus();
    EXPECT_EQ(form->styles, (Log{"style B1 on", "style B3 off"}));

    // Enter presses the active button, Escape the Cancel button.
    form->Box->SetFocus();
    PressKey(VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return clicks.size() >= 1; }));
    EXPECT_EQ(clicks, (Log{"B3"}));
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(PumpUntil([&] { return clicks.size() >= 2; }));
    EXPECT_EQ(clicks, (Log{"B3", "B1"}));
}

TEST(Focus, AFreedControlIsForgottenByTheForm) {
    auto form = std::make_unique<TFocusForm>(nullptr);
    form->Show();
    form->Box->SetFocus();
    ASSERT_EQ(form->ActiveControl(), form->Box);
    delete form->Box;
    EXPECT_EQ(form->ActiveControl(), nullptr);
    EXPECT_EQ(form->FindComponent("Box"), nullptr);
    form->B1->SetFocus();  // still works
    EXPECT_EQ(form->ActiveControl(), form->B1);
}

namespace {
// An owner-drawn button that repaints itself at once when its default state changes.
class TRepaintingButton : public TButton {
    CLASS_NAME(TRepaintingButton)
public:
    using TButton::TButton;
    bool isDefault = false;
    int paints = 0;

protected:
    void CreateParams(TCreateParams& p) override {
        TButton::CreateParams(p);
        p.Style |= BS_OWNERDRAW;
    }
    void SetButtonStyle(bool ADefault) override {
        if (ADefault == isDefault) return;
        isDefault = ADefault;
        Refresh();
    }
    void Dispatch(TMessage& m) override {
        if (m.Msg == CN_DRAWITEM) {
            ++paints;
            m.Result = TRUE;
            return;
        }
        TButton::Dispatch(m);
    }
};
}  // namespace

TEST(Focus, OwnerDrawnButtonsRepaintingInTheStyleHook) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(100, 100, 320, 200);
    form->HandleNeeded();
    auto* a = new TRepaintingButton(form.get());
    a->SetParent(form.get());
    a->SetBounds(30, 40, 115, 35);
    auto* b = new TRepaintingButton(form.get());
    b->SetParent(form.get());
    b->SetBounds(160, 40, 115, 35);
    form->Show();
    a->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return a->isDefault && !b->isDefault; }));
    int before = a->paints;
    b->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return b->isDefault && !a->isDefault; }));
    EXPECT_GT(a->paints, before);
    EXPECT_EQ(GetWindowLongA(a->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
}
