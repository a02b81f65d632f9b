// Mouse enter and leave for windowed and windowless controls from real
// cursor moves, and mouse messages delivered to windowless controls.
#include <gtest/gtest.h>

#include <memory>

#include "Forms.h"
#include "StdCtrls.h"
#include "WindowingTestSupport.h"

using wtest::MoveCursorTo;
using wtest::PumpUntil;

namespace {

class TMouseForm : public TForm {
    CLASS_NAME(TMouseForm)
public:
    explicit TMouseForm(TComponent* owner) : TForm(owner) {
        SetBorderStyle(bsDialog);
        SetBounds(120, 120, 360, 220);
        panel = new TCustomControl(this);
        panel->SetParent(this);
        panel->SetBounds(10, 10, 80, 60);
        label = new TLabel(this);
        label->SetParent(this);
        label->SetAutoSize(false);
        label->SetBounds(150, 10, 80, 40);
        label->SetCaption("Label");
        for (TControl* c : {static_cast<TControl*>(panel), static_cast<TControl*>(label)}) {
            c->OnMouseEnter = [this, c](TObject* s) { log.push_back(AnsiString(s == c ? "enter " : "?enter ") + c->ClassName()); };
            c->OnMouseLeave = [this, c](TObject* s) { log.push_back(AnsiString(s == c ? "leave " : "?leave ") + c->ClassName()); };
        }
    }
    TCustomControl* panel;
    TLabel* label;
    std::vector<AnsiString> log;

    TPoint CentreOf(TControl* c) {
        return ClientToScreen(TPoint(c->Left() + c->Width() / 2, c->Top() + c->Height() / 2));
    }
};

}  // namespace

TEST(Mouse, EnterAndLeaveForWindowedAndWindowlessControls) {
    auto form = std::make_unique<TMouseForm>(nullptr);
    form->Show();
    MoveCursorTo(1200, 1000);
    wtest::PumpFor(100);
    form->log.clear();
    using Log = std::vector<AnsiString>;

    TPoint p = form->CentreOf(form->panel);
    MoveCursorTo(p.x, p.y);
    ASSERT_TRUE(PumpUntil([&] { return form->log.size() >= 1; })) << "no enter on the windowed control";
    EXPECT_EQ(form->log, (Log{"enter TCustomControl"}));
    EXPECT_TRUE(form->panel->MouseInControl());

    // Onto the form's empty area: the control is left.
    TPoint empty = form->ClientToScreen(TPoint(120, 150));
    MoveCursorTo(empty.x, empty.y);
    ASSERT_TRUE(PumpUntil([&] { return form->log.size() >= 2; }));
    EXPECT_EQ(form->log[1], "leave TCustomControl");

    // The windowless label: the form's hit testing finds it.
    p = form->CentreOf(form->label);
    MoveCursorTo(p.x, p.y);
    ASSERT_TRUE(PumpUntil([&] { return form->log.size() >= 3; }));
    EXPECT_EQ(form->log[2], "enter TLabel");

    // Straight out of the form in one jump: the leave still comes.
    MoveCursorTo(1200, 1000);
    ASSERT_TRUE(PumpUntil([&] { return form->log.size() >= 4; })) << "no leave after leaving the window quickly";
    EXPECT_EQ(form->log[3], "leave TLabel");

    // From the windowed control straight out of the form, too.
    p = form->CentreOf(form->panel);
    MoveCursorTo(p.x, p.y);
    ASSERT_TRUE(PumpUntil([&] { return form->log.size() >= 5; }));
    MoveCursorTo(1200, 1000);
    ASSERT_TRUE(PumpUntil([&] { return form->log.size() >= 6; }));
    EXPECT_EQ(form->log, (Log{"enter TCustomControl", "leave TCustomControl", "enter TLabel", "leave TLabel",
                              "enter TCustomControl", "leave TCustomControl"}));
    wtest::PumpFor(100);
    EXPECT_EQ(form->log.size(), 6u);  // nothing twice
}

TEST(Mouse, WindowlessControlsGetTheirMouseMessagesInTheirOwnCoordinates) {
    auto form = std::make_unique<TMouseForm>(nullptr);
    form->Show();
    struct Event {
        AnsiString what;
        int x, y;
    };
    std::vector<Event> events;
    form->label->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) { events.push_back({"down", x, y}); };
    form->label->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int x, int y) { events.push_back({"up", x, y}); };
    form->label->OnClick = [&](TObject*) { events.push_back({"click", 0, 0}); };
    int formClicks = 0;
    form->OnClick = [&](TObject*) { ++formClicks; };
    HWND h = form->Handle();
    // Press on the label at (155, 15), release still on it at (160, 20).
    PostMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(155, 15));
    PostMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(160, 20));
    ASSERT_TRUE(PumpUntil([&] { return events.size() >= 3; }));
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].what, "down");
    EXPECT_EQ(events[0].x, 5);
    EXPECT_EQ(events[0].y, 5);
    EXPECT_EQ(events[1].what, "up");
    EXPECT_EQ(events[1].x, 10);
    EXPECT_EQ(events[2].what, "click");
    // Pressed on the label, released off it: the label keeps the mouse, no click.
    events.clear();
    PostMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(155, 15));
    PostMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(300, 150));
    ASSERT_TRUE(PumpUntil([&] { return events.size() >= 2; }));
    wtest::PumpFor(50);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1].what, "up");
    EXPECT_EQ(events[1].x, 150);  // 300 - 150
    EXPECT_EQ(formClicks, 0);
}

TEST(Mouse, TheCursorOfTheControlUnderTheMouseIsShown) {
    auto form = std::make_unique<TMouseForm>(nullptr);
    form->panel->SetCursor(crHandPoint);
    form->label->SetCursor(crIBeam);
    form->Show();
    HWND panel = form->panel->Handle();
    EXPECT_EQ(SendMessageA(panel, WM_SETCURSOR, reinterpret_cast<WPARAM>(panel), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), TRUE);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));
    // A windowless control's cursor is set by its parent's window.
    TPoint p = form->CentreOf(form->label);
    MoveCursorTo(p.x, p.y);
    HWND h = form->Handle();
    EXPECT_EQ(SendMessageA(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), TRUE);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_IBEAM));
    MoveCursorTo(1200, 1000);
}
