// Controls: windowless (TGraphicControl) and windowed (TWinControl,
// TCustomControl), the message path every control shares (WndProc ->
// Dispatch -> DefaultHandler), mouse enter/leave, focus and tab order.
//
// Every window we create reaches its object through one static window
// procedure; the object's virtual WndProc sees every message. A system
// control (BUTTON) is subclassed under the C++ class name: its window class
// is a copy of the system class with our procedure, the system's procedure
// being the default handling.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "Classes.h"
#include "Graphics.h"
#include "Messages.h"
#include "Types.h"

class TWinControl;
class TCustomForm;

// ---------------------------------------------------------------- small types

using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSmallSet<TShiftStateItem>;
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

// Names a description uses for these values; one table each.
extern const TIdentMap ColorIdents;    // clBtnFace, clWindowText, clBlue, ...
extern const TIdentMap CursorIdents;   // crDefault, crHandPoint, ...
extern const TIdentMap CharsetIdents;  // DEFAULT_CHARSET, ANSI_CHARSET, SHIFTJIS_CHARSET, ...
extern const TEnumInfo AlignmentInfo;  // taLeftJustify, taRightJustify, taCenter
extern const TEnumInfo BiDiModeInfo;
extern const TEnumInfo FontStyleInfo;  // fsBold, fsItalic, fsUnderline, fsStrikeOut

// The font's published properties (Name, Height, Color, Charset, Style).
template <>
struct TPublishedOf<TFont> {
    using Base = TPersistent;
    static void Declare(TProps<TFont>& P);
};

// Sends CM_MOUSELEAVE to the control the mouse was over when it is no longer
// there (the application calls it whenever its queue is empty).
void CheckMouseLeave();

// Key state of a mouse message's WParam, and of the keyboard now.
TShiftState KeysToShiftState(WPARAM keys);
TShiftState KeyboardStateToShiftState();
// The system cursor of a TCursor (0 for crDefault and crNone).
HCURSOR CursorHandle(TCursor cursor);

// Attaches a canvas to a device context for one paint, however it ends.
class TCanvasAttach {
public:
    TCanvasAttach(TCanvas* canvas, HDC dc) : canvas_(canvas) { canvas_->SetHandle(dc); }
    ~TCanvasAttach() { canvas_->SetHandle(nullptr); }
    TCanvasAttach(const TCanvasAttach&) = delete;
    TCanvasAttach& operator=(const TCanvasAttach&) = delete;

private:
    TCanvas* canvas_;
};

// ---------------------------------------------------------------- TControl

class TControl : public TComponent {
    CLASS_NAME(TControl)
    PUBLISHED(TControl, TComponent)
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int value) { SetBounds(value, top_, width_, height_); }
    void SetTop(int value) { SetBounds(left_, value, width_, height_); }
    void SetWidth(int value) { SetBounds(left_, top_, value, height_); }
    void SetHeight(int value) { SetBounds(left_, top_, width_, value); }
    // Position within the parent's client area and outer size.
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
    void SetBoundsRect(const TRect& r) { SetBounds(r.left, r.top, r.Width(), r.Height()); }
    // (0, 0, client width, client height).
    virtual TRect ClientRect();
    int ClientWidth() { return ClientRect().Width(); }
    int ClientHeight() { return ClientRect().Height(); }
    virtual void SetClientWidth(int value);
    virtual void SetClientHeight(int value);
    // Screen position of the client area's top-left corner.
    virtual TPoint ClientOrigin();
    TPoint ScreenToClient(const TPoint& p);
    TPoint ClientToScreen(const TPoint& p);

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* AParent);

    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and so are all its parents.
    bool Showing() const;
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool value);

    TFont* Font() const { return font_.get(); }
    void SetFont(TFont* value) { font_->Assign(value); }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool value);
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool value);
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor value);
    TBiDiMode BiDiMode() const { return biDiMode_; }
    void SetBiDiMode(TBiDiMode value);
    bool ParentBiDiMode() const { return parentBiDiMode_; }
    void SetParentBiDiMode(bool value);

    // The window text, through WM_GETTEXT / WM_SETTEXT (also for windowless controls).
    AnsiString Caption() { return GetText(); }
    void SetCaption(const AnsiString& value) { SetText(value); }
    AnsiString Text() { return GetText(); }
    AnsiString GetText();
    void SetText(const AnsiString& value);
    int GetTextLen();

    // Marks the control for painting; Repaint and Refresh paint it at once.
    virtual void Invalidate();
    virtual void Update();
    virtual void Repaint();
    void Refresh() { Repaint(); }
    // Moves the control to the end of its parent's painting order (on top).
    void BringToFront();

    // Runs a message through the control's WndProc and returns its result.
    LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
    virtual void WndProc(TMessage& Message);
    // Handles a message by number; a class overrides it and passes what it
    // does not handle to its base.
    virtual void Dispatch(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);

    // Whether the mouse is over this control (the one that last got CM_MOUSEENTER).
    bool MouseInControl() const;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnResize;

protected:
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void Resize();
    void Loaded() override;
    // Windowed controls keep their text in their window; others here.
    virtual bool IsWideText() const { return false; }
    // The text of a control with wide text (IsWideText), through the same
    // WM_GETTEXT / WM_SETTEXT as GetText and SetText.
    WideString GetWideText();
    void SetWideText(const WideString& value);
    // The control is now showing (or not): a windowed one creates or hides its window.
    virtual void VisibleChanging() {}
    // The control's own parent-relative rectangle changed.
    virtual void BoundsChanged();
    // Invalidates part of the parent (windowless controls).
    void InvalidateControl(bool isVisible, bool isOpaque);
    // Initial visibility without notifications (forms start hidden).
    void SetVisibleFlag(bool value) { visible_ = value; }
    // Mouse messages of a windowless control, in its own coordinates.
    void MouseMessage(TMessage& Message);
    void FontChanged();

    // Click on a left button press and release inside (off for controls
    // whose click comes from the system, like the push button).
    bool clickEvents_ = true;

private:
    friend class TWinControl;
    void ParentFontChangedFrom(TControl* parent);
    void ParentColorChangedFrom(TControl* parent);

    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TWinControl* parent_ = nullptr;
    bool visible_ = true;
    bool enabled_ = true;
    std::unique_ptr<TFont> font_;
    bool parentFont_ = true;
    bool updatingFont_ = false;
    TColor color_ = clWindow;
    bool parentColor_ = true;
    TCursor cursor_ = crDefault;
    TBiDiMode biDiMode_ = bdLeftToRight;
    bool parentBiDiMode_ = true;
    bool clicked_ = false;
    AnsiString text_;       // windowless, 8-bit
    WideString wideText_;   // windowless, wide (IsWideText)
};

// ---------------------------------------------------------------- TGraphicControl

// A control without a window: painted by its parent into the parent's paint
// (and into any device context the parent is asked to paint on), with the
// mouse delivered by the parent's hit testing.
class TGraphicControl : public TControl {
    CLASS_NAME(TGraphicControl)
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    // Drawing surface, attached to the paint's device context while Paint runs.
    TCanvas* Canvas() const { return canvas_.get(); }

protected:
    virtual void Paint() {}
    void Dispatch(TMessage& Message) override;

private:
    std::unique_ptr<TCanvas> canvas_;
};

// ---------------------------------------------------------------- TWinControl

struct TCreateParams {
    AnsiString Caption;
    WideString WideCaption;  // the caption of a wide window
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    void* Param = nullptr;
    UINT Id = 0;
    // The class to register under WinClassName; its window procedure (the
    // system's, for a subclassed control) becomes the default handling.
    WNDCLASSEXW WindowClass{};
    AnsiString WinClassName;
    // Register the class and create the window with the wide API.
    bool Unicode = false;
};

class TWinControl : public TControl {
    CLASS_NAME(TWinControl)
    PUBLISHED(TWinControl, TControl)
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    // The window, created (with its parents) on first use.
    HWND Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded() { Handle(); }
    // Destroys the window and makes a new one with the current properties.
    void RecreateWnd();
    // The object of one of our windows (nullptr for a foreign window).
    static TWinControl* FindControl(HWND window);

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const { return controls_.at(static_cast<size_t>(index)); }
    bool ContainsControl(TControl* control) const;
    // The visible child at a client point (the topmost), nullptr when none.
    TControl* ControlAtPos(const TPoint& pos, bool allowDisabled, bool allowWinControls = false);

    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value);
    // Position among the parent's windowed children in tab order (-1 without a parent).
    int TabOrder() const;
    void SetTabOrder(int value);
    // This control's windowed descendants in tab order, depth first.
    void GetTabOrderList(std::vector<TWinControl*>& list);
    TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent);
    void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);
    bool CanFocus();
    virtual void SetFocus();
    virtual bool Focused();

    TRect ClientRect() override;
    TPoint ClientOrigin() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Invalidate() override;
    void Update() override;
    void Repaint() override;

    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

protected:
    virtual void CreateParams(TCreateParams& Params);
    // Makes Params a subclass of a system class (BUTTON, EDIT, ...).
    void CreateSubClass(TCreateParams& Params, const char* systemClassName);
    virtual void CreateWnd();
    virtual void CreateWindowHandle(const TCreateParams& Params);
    virtual void DestroyWnd();
    void DestroyHandle();
    // Paints the control's own face into dc (TCustomControl: Paint).
    virtual void PaintWindow(HDC dc);
    // WM_PAINT: the own face, then the windowless children, into the
    // message's device context (WParam) or the window's paint.
    void PaintHandler(TMessage& Message);
    void PaintControls(HDC dc);
    virtual void DoEnter();
    virtual void DoExit();
    virtual void KeyDown(WORD& Key, TShiftState Shift);
    virtual void KeyUp(WORD& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);
    // Whether WM_PAINT is answered by PaintHandler (true) or by the system class.
    virtual bool PaintsItself() const { return defWndProc_ == nullptr || ownClass_; }
    void Loaded() override;
    void BoundsChanged() override;
    void VisibleChanging() override;

    WNDPROC DefWndProc() const { return defWndProc_; }
    bool UnicodeWindow() const { return unicode_; }

private:
    friend class TControl;
    friend LRESULT CALLBACK StdWndProc(HWND, UINT, WPARAM, LPARAM);
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    void CreateChildHandles();
    void UpdateTabOrder(int value);
    void MouseTracking(TMessage& Message);
    bool IsControlMouseMsg(TMessage& Message);
    void WMSetCursor(TMessage& Message);
    bool ReflectToChild(TMessage& Message);

    HWND handle_ = nullptr;
    WNDPROC defWndProc_ = nullptr;
    bool ownClass_ = true;  // the class is ours, not a subclassed system class
    bool unicode_ = false;
    bool destroying_ = false;
    bool tabStop_ = false;
    int loadedTabOrder_ = -1;
    std::vector<TControl*> controls_;      // painting order, windowless and windowed
    std::vector<TWinControl*> tabList_;    // windowed children in tab order
    TControl* captureControl_ = nullptr;   // windowless child holding the mouse button
    bool trackingLeave_ = false;           // TrackMouseEvent asked for WM_MOUSELEAVE
    std::unique_ptr<TBrush> brush_;        // background of system child controls (WM_CTLCOLOR...)
    UINT nextChildId_ = 1;
};

// ---------------------------------------------------------------- TCustomControl

// A windowed control that draws itself in Paint on its Canvas.
class TCustomControl : public TWinControl {
    CLASS_NAME(TCustomControl)
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    TCanvas* Canvas() const { return canvas_.get(); }

protected:
    virtual void Paint() {}
    void PaintWindow(HDC dc) override;

private:
    std::unique_ptr<TCanvas> canvas_;
};

// The form a control is placed on (nullptr when none).
TCustomForm* GetParentForm(TControl* control);
