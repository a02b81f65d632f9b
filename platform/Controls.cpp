#include "Controls.h"

#include <algorithm>

#include "Forms.h"

// ---------------------------------------------------------------- names

const TIdentMap ColorIdents = {
    {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
    {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
    {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
    {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
    {clScrollBar, "clScrollBar"}, {clBackground, "clBackground"}, {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"}, {clMenu, "clMenu"}, {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"}, {clMenuText, "clMenuText"}, {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"}, {clActiveBorder, "clActiveBorder"}, {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"}, {clHighlight, "clHighlight"}, {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"}, {clBtnShadow, "clBtnShadow"}, {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"}, {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"}, {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"}, {clInfoBk, "clInfoBk"}, {clNone, "clNone"}, {clDefault, "clDefault"},
};

const TIdentMap CursorIdents = {
    {crDefault, "crDefault"}, {crNone, "crNone"}, {crArrow, "crArrow"}, {crCross, "crCross"},
    {crIBeam, "crIBeam"}, {crSizeNESW, "crSizeNESW"}, {crSizeNS, "crSizeNS"}, {crSizeNWSE, "crSizeNWSE"},
    {crSizeWE, "crSizeWE"}, {crUpArrow, "crUpArrow"}, {crHourGlass, "crHourGlass"}, {crNo, "crNo"},
    {crAppStart, "crAppStart"}, {crHelp, "crHelp"}, {crHandPoint, "crHandPoint"}, {crSizeAll, "crSizeAll"},
};

const TIdentMap CharsetIdents = {
    {ANSI_CHARSET, "ANSI_CHARSET"}, {DEFAULT_CHARSET, "DEFAULT_CHARSET"}, {SYMBOL_CHARSET, "SYMBOL_CHARSET"},
    {MAC_CHARSET, "MAC_CHARSET"}, {SHIFTJIS_CHARSET, "SHIFTJIS_CHARSET"}, {HANGEUL_CHARSET, "HANGEUL_CHARSET"},
    {JOHAB_CHARSET, "JOHAB_CHARSET"}, {GB2312_CHARSET, "GB2312_CHARSET"}, {CHINESEBIG5_CHARSET, "CHINESEBIG5_CHARSET"},
    {GREEK_CHARSET, "GREEK_CHARSET"}, {TURKISH_CHARSET, "TURKISH_CHARSET"}, {VIETNAMESE_CHARSET, "VIETNAMESE_CHARSET"},
    {HEBREW_CHARSET, "HEBREW_CHARSET"}, {ARABIC_CHARSET, "ARABIC_CHARSET"}, {BALTIC_CHARSET, "BALTIC_CHARSET"},
    {RUSSIAN_CHARSET, "RUSSIAN_CHARSET"}, {THAI_CHARSET, "THAI_CHARSET"}, {EASTEUROPE_CHARSET, "EASTEUROPE_CHARSET"},
    {OEM_CHARSET, "OEM_CHARSET"},
};

const TEnumInfo AlignmentInfo = {{"taLeftJustify", "taRightJustify", "taCenter"}};
const TEnumInfo BiDiModeInfo = {{"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign", "bdRightToLeftReadingOnly"}};
const TEnumInfo FontStyleInfo = {{"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};

void TPublishedOf<TFont>::Declare(TProps<TFont>& P) {
    auto styleBits = [](TFont* f) {
        unsigned bits = 0;
        for (int s = fsBold; s <= fsStrikeOut; ++s)
            if (f->Style().Contains(static_cast<TFontStyle>(s))) bits |= 1u << s;
        return bits;
    };
    auto setStyleBits = [](TFont* f, unsigned bits) {
        TFontStyles styles;
        for (int s = fsBold; s <= fsStrikeOut; ++s)
            if (bits & (1u << s)) styles << static_cast<TFontStyle>(s);
        f->SetStyle(styles);
    };
    P.Integer("Charset", &TFont::Charset, &TFont::SetCharset, std::nullopt, &CharsetIdents)
        .Integer("Color", &TFont::Color, &TFont::SetColor, std::nullopt, &ColorIdents)
        .Integer("Height", &TFont::Height, &TFont::SetHeight)
        .String("Name", &TFont::Name, &TFont::SetName)
        .Set("Style", styleBits, setStyleBits, FontStyleInfo);
}

TShiftState KeysToShiftState(WPARAM keys) {
    TShiftState s;
    if (keys & MK_SHIFT) s << ssShift;
    if (keys & MK_CONTROL) s << ssCtrl;
    if (keys & MK_LBUTTON) s << ssLeft;
    if (keys & MK_RBUTTON) s << ssRight;
    if (keys & MK_MBUTTON) s << ssMiddle;
    if (GetKeyState(VK_MENU) < 0) s << ssAlt;
    return s;
}

TShiftState KeyboardStateToShiftState() {
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0) s << ssShift;
    if (GetKeyState(VK_CONTROL) < 0) s << ssCtrl;
    if (GetKeyState(VK_MENU) < 0) s << ssAlt;
    return s;
}

HCURSOR CursorHandle(TCursor cursor) {
    LPCSTR id = nullptr;
    switch (cursor) {
        case crArrow: id = IDC_ARROW; break;
        case crCross: id = IDC_CROSS; break;
        case crIBeam: id = IDC_IBEAM; break;
        case crSizeNESW: id = IDC_SIZENESW; break;
        case crSizeNS: id = IDC_SIZENS; break;
        case crSizeNWSE: id = IDC_SIZENWSE; break;
        case crSizeWE: id = IDC_SIZEWE; break;
        case crUpArrow: id = IDC_UPARROW; break;
        case crHourGlass: id = IDC_WAIT; break;
        case crNo: id = IDC_NO; break;
        case crAppStart: id = IDC_APPSTARTING; break;
        case crHelp: id = IDC_HELP; break;
        case crHandPoint: id = IDC_HAND; break;
        case crSizeAll: id = IDC_SIZEALL; break;
        default: return nullptr;
    }
    // Shared system cursors: never destroyed.
    return LoadCursorA(nullptr, id);
}

// ---------------------------------------------------------------- the mouse

namespace {
// The control the mouse is over: the one that got the last CM_MOUSEENTER.
TControl* gMouseControl = nullptr;
// The object a window being created belongs to, until its first message.
TWinControl* gCreating = nullptr;
const char* const kObjectProp = "VornixControlObject";
}  // namespace

static void SetMouseControl(TControl* control) {
    if (control == gMouseControl) return;
    TControl* old = gMouseControl;
    gMouseControl = control;
    if (old) old->Perform(CM_MOUSELEAVE);
    if (control && gMouseControl == control) control->Perform(CM_MOUSEENTER);
}

void CheckMouseLeave() {
    TControl* c = gMouseControl;
    if (!c) return;
    TWinControl* window = c->Is<TWinControl>() ? static_cast<TWinControl*>(c) : c->Parent();
    POINT pt;
    bool over = false;
    if (window && window->HandleAllocated() && GetCursorPos(&pt)) {
        HWND under = WindowFromPoint(pt);
        if (under == window->Handle()) {
            TPoint p = window->ScreenToClient(TPoint(pt));
            over = window->ClientRect().Contains(p);
            if (over && c != window) over = window->ControlAtPos(p, false) == c;
            else if (over) over = window->ControlAtPos(p, false) == nullptr;
        }
    }
    if (!over) SetMouseControl(nullptr);
}

// ---------------------------------------------------------------- TControl

void TControl::DeclareProperties(TProps<TControl>& P) {
    P.Integer("Left", &TControl::Left, &TControl::SetLeft)
        .Integer("Top", &TControl::Top, &TControl::SetTop)
        .Integer("Width", &TControl::Width, &TControl::SetWidth)
        .Integer("Height", &TControl::Height, &TControl::SetHeight)
        .Integer("Cursor", &TControl::Cursor, &TControl::SetCursor, crDefault, &CursorIdents)
        .Enum("BiDiMode", &TControl::BiDiMode, &TControl::SetBiDiMode, BiDiModeInfo, bdLeftToRight)
        .StoredIf([](TControl* c) { return !c->ParentBiDiMode(); })
        .Integer("Color", &TControl::Color, &TControl::SetColor, clWindow, &ColorIdents)
        .StoredIf([](TControl* c) { return !c->ParentColor(); })
        .Boolean("Enabled", &TControl::Enabled, &TControl::SetEnabled, true)
        .Object("Font", &TControl::Font)
        .StoredIf([](TControl* c) { return !c->ParentFont(); })
        .Boolean("ParentBiDiMode", &TControl::ParentBiDiMode, &TControl::SetParentBiDiMode, true)
        .Boolean("ParentColor", &TControl::ParentColor, &TControl::SetParentColor, true)
        .Boolean("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, true)
        .Boolean("Visible", &TControl::Visible, &TControl::SetVisible, true)
        .Event("OnClick", &TControl::OnClick)
        .Event("OnDblClick", &TControl::OnDblClick)
        .Event("OnMouseDown", &TControl::OnMouseDown)
        .Event("OnMouseMove", &TControl::OnMouseMove)
        .Event("OnMouseUp", &TControl::OnMouseUp)
        .Event("OnMouseEnter", &TControl::OnMouseEnter)
        .Event("OnMouseLeave", &TControl::OnMouseLeave)
        .Event("OnResize", &TControl::OnResize);
}

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), font_(std::make_unique<TFont>()) {
    font_->OnChange = [this](TObject*) { FontChanged(); };
}

TControl::~TControl() {
    if (gMouseControl == this) gMouseControl = nullptr;
    if (parent_) parent_->RemoveControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (ALeft == left_ && ATop == top_ && AWidth == width_ && AHeight == height_) return;
    InvalidateControl(visible_, false);
    bool resized = AWidth != width_ || AHeight != height_;
    left_ = ALeft;
    top_ = ATop;
    width_ = AWidth;
    height_ = AHeight;
    BoundsChanged();
    InvalidateControl(visible_, false);
    if (resized) Resize();
}

void TControl::BoundsChanged() {}

TRect TControl::ClientRect() { return TRect(0, 0, width_, height_); }

void TControl::SetClientWidth(int value) { SetWidth(value); }
void TControl::SetClientHeight(int value) { SetHeight(value); }

TPoint TControl::ClientOrigin() {
    if (!parent_) return TPoint(left_, top_);
    TPoint o = parent_->ClientOrigin();
    return TPoint(o.x + left_, o.y + top_);
}

TPoint TControl::ScreenToClient(const TPoint& p) {
    TPoint o = ClientOrigin();
    return TPoint(p.x - o.x, p.y - o.y);
}

TPoint TControl::ClientToScreen(const TPoint& p) {
    TPoint o = ClientOrigin();
    return TPoint(p.x + o.x, p.y + o.y);
}

void TControl::SetParent(TWinControl* AParent) {
    if (AParent == parent_) return;
    if (AParent == this) throw EComponentError("A control cannot have itself as its parent");
    if (parent_) parent_->RemoveControl(this);
    if (AParent) {
        AParent->InsertControl(this);
        if (parentFont_) ParentFontChangedFrom(AParent);
        if (parentColor_) ParentColorChangedFrom(AParent);
        if (parentBiDiMode_) biDiMode_ = AParent->BiDiMode();
    }
}

bool TControl::Showing() const {
    for (const TControl* c = this; c; c = c->parent_)
        if (!c->visible_) return false;
    return true;
}

void TControl::SetVisible(bool value) {
    if (value == visible_) return;
    InvalidateControl(true, false);
    visible_ = value;
    VisibleChanging();
    Perform(CM_VISIBLECHANGED, value);
    InvalidateControl(true, false);
}

void TControl::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    Perform(CM_ENABLEDCHANGED);
}

void TControl::FontChanged() {
    if (!updatingFont_) parentFont_ = false;
    Perform(CM_FONTCHANGED);
}

void TControl::ParentFontChangedFrom(TControl* parent) {
    updatingFont_ = true;
    try {
        font_->Assign(parent->Font());
    } catch (...) {
        updatingFont_ = false;
        throw;
    }
    updatingFont_ = false;
}

void TControl::SetParentFont(bool value) {
    parentFont_ = value;
    if (value && parent_) ParentFontChangedFrom(parent_);
}

void TControl::SetColor(TColor value) {
    parentColor_ = false;
    if (value == color_) return;
    color_ = value;
    Perform(CM_COLORCHANGED);
}

void TControl::ParentColorChangedFrom(TControl* parent) {
    if (color_ == parent->Color()) return;
    color_ = parent->Color();
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool value) {
    parentColor_ = value;
    if (value && parent_) ParentColorChangedFrom(parent_);
}

void TControl::SetCursor(TCursor value) {
    if (value == cursor_) return;
    cursor_ = value;
    Perform(CM_CURSORCHANGED);
}

void TControl::SetBiDiMode(TBiDiMode value) {
    parentBiDiMode_ = false;
    if (value == biDiMode_) return;
    biDiMode_ = value;
    Perform(CM_BIDIMODECHANGED);
}

void TControl::SetParentBiDiMode(bool value) {
    parentBiDiMode_ = value;
    if (value && parent_ && biDiMode_ != parent_->BiDiMode()) {
        biDiMode_ = parent_->BiDiMode();
        Perform(CM_BIDIMODECHANGED);
    }
}

AnsiString TControl::GetText() {
    if (IsWideText()) return WideToAnsi(GetWideText());
    int len = GetTextLen();
    AnsiString s(static_cast<size_t>(len) + 1, '\0');
    int n = static_cast<int>(Perform(WM_GETTEXT, s.size(), reinterpret_cast<LPARAM>(&s[0])));
    s.resize(static_cast<size_t>(std::max(0, n)));
    return s;
}

void TControl::SetText(const AnsiString& value) {
    if (IsWideText()) {
        WideString w = AnsiToWide(value);
        Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(w.c_str()));
    } else {
        if (GetText() == value) return;
        Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
    }
    Perform(CM_TEXTCHANGED);
}

WideString TControl::GetWideText() {
    int len = GetTextLen();
    WideString w(static_cast<size_t>(len) + 1, L'\0');
    int n = static_cast<int>(Perform(WM_GETTEXT, w.size(), reinterpret_cast<LPARAM>(&w[0])));
    w.resize(static_cast<size_t>(std::max(0, n)));
    return w;
}

void TControl::SetWideText(const WideString& value) {
    if (GetWideText() == value) return;
    Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
    Perform(CM_TEXTCHANGED);
}

int TControl::GetTextLen() { return static_cast<int>(Perform(WM_GETTEXTLENGTH)); }

void TControl::InvalidateControl(bool isVisible, bool isOpaque) {
    if (!isVisible || !parent_ || !parent_->HandleAllocated() || Is<TWinControl>()) return;
    TRect r = BoundsRect();
    InvalidateRect(parent_->Handle(), &r, !isOpaque);
}

void TControl::Invalidate() { InvalidateControl(visible_, false); }

void TControl::Update() {
    if (parent_) parent_->Update();
}

void TControl::Repaint() {
    if (!visible_ || !parent_ || !parent_->HandleAllocated()) return;
    TRect r = BoundsRect();
    InvalidateRect(parent_->Handle(), &r, TRUE);
    UpdateWindow(parent_->Handle());
}

void TControl::BringToFront() {
    if (!parent_) return;
    auto& list = parent_->controls_;
    list.erase(std::find(list.begin(), list.end(), this));
    list.push_back(this);
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
        SetWindowPos(w->handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    else
        Invalidate();
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage m;
    m.Msg = Msg;
    m.WParam = WParam;
    m.LParam = LParam;
    WndProc(m);
    return m.Result;
}

bool TControl::MouseInControl() const { return gMouseControl == this; }

void TControl::WndProc(TMessage& Message) { Dispatch(Message); }

void TControl::MouseMessage(TMessage& Message) {
    TShiftState shift = KeysToShiftState(Message.WParam);
    int x = Message.XPos(), y = Message.YPos();
    switch (Message.Msg) {
        case WM_MOUSEMOVE:
            MouseMove(shift, x, y);
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (Message.Msg == WM_LBUTTONDBLCLK) {
                shift << ssDouble;
                DblClick();
            }
            if (clickEvents_) clicked_ = true;
            MouseDown(mbLeft, shift, x, y);
            break;
        case WM_LBUTTONUP:
            MouseUp(mbLeft, shift, x, y);
            if (clicked_) {
                clicked_ = false;
                if (ClientRect().Contains(TPoint(x, y))) Click();
            }
            break;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            MouseDown(mbRight, shift, x, y);
            break;
        case WM_RBUTTONUP:
            MouseUp(mbRight, shift, x, y);
            break;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            MouseDown(mbMiddle, shift, x, y);
            break;
        case WM_MBUTTONUP:
            MouseUp(mbMiddle, shift, x, y);
            break;
    }
}

void TControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
        case WM_MBUTTONUP:
            MouseMessage(Message);
            break;
        case CM_MOUSEENTER:
            if (OnMouseEnter) OnMouseEnter(this);
            return;
        case CM_MOUSELEAVE:
            if (OnMouseLeave) OnMouseLeave(this);
            return;
        case CM_ENABLEDCHANGED:
        case CM_VISIBLECHANGED:
            Invalidate();
            return;
        case CM_FONTCHANGED:
        case CM_COLORCHANGED:
        case CM_TEXTCHANGED:
            Invalidate();
            return;
        case CM_PARENTFONTCHANGED:
            if (parentFont_ && parent_) ParentFontChangedFrom(parent_);
            return;
        case CM_PARENTCOLORCHANGED:
            if (parentColor_ && parent_) ParentColorChangedFrom(parent_);
            return;
        case CM_HITTEST:
            Message.Result = HTCLIENT;
            return;
    }
    DefaultHandler(Message);
}

void TControl::DefaultHandler(TMessage& Message) {
    switch (Message.Msg) {
        case WM_SETTEXT:
            if (IsWideText()) {
                auto* p = reinterpret_cast<const wchar_t*>(Message.LParam);
                wideText_ = p ? p : L"";
            } else {
                auto* p = reinterpret_cast<const char*>(Message.LParam);
                text_ = p ? p : "";
            }
            Message.Result = TRUE;
            return;
        case WM_GETTEXT: {
            size_t room = Message.WParam;
            if (room == 0 || Message.LParam == 0) {
                Message.Result = 0;
                return;
            }
            if (IsWideText()) {
                size_t n = std::min(room - 1, wideText_.size());
                auto* buf = reinterpret_cast<wchar_t*>(Message.LParam);
                std::copy_n(wideText_.c_str(), n, buf);
                buf[n] = L'\0';
                Message.Result = static_cast<LRESULT>(n);
            } else {
                size_t n = std::min(room - 1, text_.size());
                auto* buf = reinterpret_cast<char*>(Message.LParam);
                std::copy_n(text_.c_str(), n, buf);
                buf[n] = '\0';
                Message.Result = static_cast<LRESULT>(n);
            }
            return;
        }
        case WM_GETTEXTLENGTH:
            Message.Result = static_cast<LRESULT>(IsWideText() ? wideText_.size() : text_.size());
            return;
    }
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::Resize() {
    if (OnResize) OnResize(this);
}

void TControl::Loaded() { TComponent::Loaded(); }

// ---------------------------------------------------------------- TGraphicControl

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), canvas_(std::make_unique<TCanvas>()) {}

TGraphicControl::~TGraphicControl() = default;


void TGraphicControl::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_PAINT) {
        if (Message.WParam) {
            TCanvasAttach attach(canvas_.get(), reinterpret_cast<HDC>(Message.WParam));
            Paint();
        }
        Message.Result = 0;
        return;
    }
    TControl::Dispatch(Message);
}

// ---------------------------------------------------------------- window procedure

LRESULT CALLBACK StdWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* control = static_cast<TWinControl*>(GetPropA(hwnd, kObjectProp));
    if (!control && gCreating) {
        control = gCreating;
        gCreating = nullptr;
        control->handle_ = hwnd;
        SetPropA(hwnd, kObjectProp, control);
    }
    if (!control)
        return IsWindowUnicode(hwnd) ? DefWindowProcW(hwnd, msg, wParam, lParam)
                                     : DefWindowProcA(hwnd, msg, wParam, lParam);

    TMessage m;
    m.Msg = msg;
    m.WParam = wParam;
    m.LParam = lParam;
    if (control->destroying_) {
        // The object is going: only the system's handling.
        control->TWinControl::DefaultHandler(m);
    } else {
        try {
            control->WndProc(m);
        } catch (const Exception& e) {
            Application->HandleException(control, e);
        } catch (const std::exception& e) {
            Application->HandleException(control, Exception(e.what()));
        } catch (...) {
            Application->HandleException(control, Exception(""));
        }
    }
    if (msg == WM_NCDESTROY) {
        RemovePropA(hwnd, kObjectProp);
        control->handle_ = nullptr;
    }
    return m.Result;
}

// ---------------------------------------------------------------- TWinControl

void TWinControl::DeclareProperties(TProps<TWinControl>& P) {
    P.Integer("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder, -1)
        .Boolean("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, false)
        .Event("OnEnter", &TWinControl::OnEnter)
        .Event("OnExit", &TWinControl::OnExit)
        .Event("OnKeyDown", &TWinControl::OnKeyDown)
        .Event("OnKeyPress", &TWinControl::OnKeyPress)
        .Event("OnKeyUp", &TWinControl::OnKeyUp);
}

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
    destroying_ = true;
    if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(this, true);
    while (!controls_.empty()) {
        TControl* child = controls_.back();
        delete child;  // leaves controls_ in its destructor
    }
    DestroyHandle();
}

TWinControl* TWinControl::FindControl(HWND window) {
    if (!window) return nullptr;
    return static_cast<TWinControl*>(GetPropA(window, kObjectProp));
}

HWND TWinControl::Handle() {
    if (!handle_) {
        if (destroying_) return nullptr;
        CreateWnd();
    }
    return handle_;
}

void TWinControl::CreateParams(TCreateParams& Params) {
    Params.Unicode = IsWideText();
    Params.Caption = Params.Unicode ? WideToAnsi(wideText_) : text_;
    Params.WideCaption = Params.Unicode ? wideText_ : AnsiToWide(text_);
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (tabStop_) Params.Style |= WS_TABSTOP;
    if (Visible()) Params.Style |= WS_VISIBLE;
    if (!Enabled()) Params.Style |= WS_DISABLED;
    Params.X = Left();
    Params.Y = Top();
    Params.Width = Width();
    Params.Height = Height();
    if (Parent()) {
        Params.WndParent = Parent()->Handle();
        Params.Id = Parent()->nextChildId_++;
    }
    Params.WindowClass = WNDCLASSEXW{};
    Params.WindowClass.cbSize = sizeof(WNDCLASSEXW);
    Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    Params.WindowClass.lpfnWndProc = Params.Unicode ? DefWindowProcW : DefWindowProcA;
    Params.WindowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    Params.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& Params, const char* systemClassName) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (Params.Unicode) {
        if (!GetClassInfoExW(nullptr, AnsiToWide(systemClassName).c_str(), &wc))
            throw Exception(Format("Window class %s not found", systemClassName));
    } else {
        WNDCLASSEXA wa{};
        wa.cbSize = sizeof(wa);
        if (!GetClassInfoExA(nullptr, systemClassName, &wa))
            throw Exception(Format("Window class %s not found", systemClassName));
        wc.style = wa.style;
        wc.lpfnWndProc = wa.lpfnWndProc;
        wc.cbClsExtra = wa.cbClsExtra;
        wc.cbWndExtra = wa.cbWndExtra;
        wc.hCursor = wa.hCursor;
        wc.hbrBackground = wa.hbrBackground;
    }
    wc.style &= ~CS_GLOBALCLASS;
    wc.hInstance = nullptr;
    wc.lpszClassName = nullptr;
    wc.lpszMenuName = nullptr;
    Params.WindowClass = wc;
}

static void RegisterWindowClass(const TCreateParams& Params) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (Params.Unicode) {
        WideString name = AnsiToWide(Params.WinClassName);
        WNDCLASSEXW existing{};
        existing.cbSize = sizeof(existing);
        if (GetClassInfoExW(instance, name.c_str(), &existing)) return;
        WNDCLASSEXW wc = Params.WindowClass;
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = StdWndProc;
        wc.hInstance = instance;
        wc.lpszClassName = name.c_str();
        if (!RegisterClassExW(&wc)) throw Exception(Format("Error registering window class %s", Params.WinClassName));
    } else {
        WNDCLASSEXA existing{};
        existing.cbSize = sizeof(existing);
        if (GetClassInfoExA(instance, Params.WinClassName.c_str(), &existing)) return;
        const WNDCLASSEXW& w = Params.WindowClass;
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.style = w.style;
        wc.lpfnWndProc = StdWndProc;
        wc.cbClsExtra = w.cbClsExtra;
        wc.cbWndExtra = w.cbWndExtra;
        wc.hInstance = instance;
        wc.hIcon = w.hIcon;
        wc.hCursor = w.hCursor;
        wc.hbrBackground = w.hbrBackground;
        wc.lpszClassName = Params.WinClassName.c_str();
        if (!RegisterClassExA(&wc)) throw Exception(Format("Error registering window class %s", Params.WinClassName));
    }
}

void TWinControl::CreateWnd() {
    TCreateParams params;
    CreateParams(params);
    // Asking for the parent's window may have created ours already, along
    // with the parent's other children: one window per control.
    if (handle_) return;
    if ((params.Style & WS_CHILD) && !params.WndParent)
        throw EComponentError(Format("Control '%s' has no parent window", Name()));
    defWndProc_ = params.WindowClass.lpfnWndProc;
    ownClass_ = defWndProc_ == DefWindowProcA || defWndProc_ == DefWindowProcW;
    unicode_ = params.Unicode;
    RegisterWindowClass(params);
    CreateWindowHandle(params);
    if (!handle_) throw EComponentError("Error creating window");
    // The window keeps the text from now on.
    text_.clear();
    wideText_.clear();
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), FALSE);
    CreateChildHandles();
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
    gCreating = this;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HMENU id = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(Params.Id));
    if (Params.Unicode) {
        CreateWindowExW(Params.ExStyle, AnsiToWide(Params.WinClassName).c_str(), Params.WideCaption.c_str(),
                        Params.Style, Params.X, Params.Y, Params.Width, Params.Height, Params.WndParent, id, instance,
                        Params.Param);
    } else {
        CreateWindowExA(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style, Params.X,
                        Params.Y, Params.Width, Params.Height, Params.WndParent, id, instance, Params.Param);
    }
    gCreating = nullptr;
}

void TWinControl::CreateChildHandles() {
    std::vector<TControl*> children = controls_;
    for (TControl* c : children)
        if (auto* w = dynamic_cast<TWinControl*>(c); w && !w->handle_) w->CreateWnd();
}

void TWinControl::DestroyWnd() {
    // Keep the text for the next window.
    if (unicode_) {
        int n = GetWindowTextLengthW(handle_);
        WideString w(static_cast<size_t>(n) + 1, L'\0');
        n = GetWindowTextW(handle_, &w[0], n + 1);
        w.resize(static_cast<size_t>(std::max(0, n)));
        wideText_ = w;
    } else {
        int n = GetWindowTextLengthA(handle_);
        AnsiString a(static_cast<size_t>(n) + 1, '\0');
        n = GetWindowTextA(handle_, &a[0], n + 1);
        a.resize(static_cast<size_t>(std::max(0, n)));
        text_ = a;
    }
    // Children's windows go with ours; they keep their texts too.
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c); w && w->handle_) w->DestroyWnd();
    HWND h = handle_;
    if (h) DestroyWindow(h);
    handle_ = nullptr;
}

void TWinControl::DestroyHandle() {
    if (handle_) DestroyWnd();
}

void TWinControl::RecreateWnd() {
    if (!handle_) return;
    bool hadFocus = Focused();
    DestroyHandle();
    HandleNeeded();
    if (hadFocus) ::SetFocus(handle_);
}

void TWinControl::InsertControl(TControl* control) {
    controls_.push_back(control);
    control->parent_ = this;
    if (auto* w = dynamic_cast<TWinControl*>(control)) {
        tabList_.push_back(w);
        // A parent with a window gives its new windowed child one at once.
        if (handle_ && !w->handle_) w->CreateWnd();
    } else {
        control->Invalidate();
    }
}

void TWinControl::RemoveControl(TControl* control) {
    if (gMouseControl == control) gMouseControl = nullptr;
    if (captureControl_ == control) captureControl_ = nullptr;
    control->Invalidate();
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
    if (auto* w = dynamic_cast<TWinControl*>(control)) {
        tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), w), tabList_.end());
        if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(w, true);
        if (!w->destroying_) w->DestroyHandle();
    }
    control->parent_ = nullptr;
}

bool TWinControl::ContainsControl(TControl* control) const {
    for (TControl* c = control; c; c = c->Parent())
        if (c == this) return true;
    return false;
}

TControl* TWinControl::ControlAtPos(const TPoint& pos, bool allowDisabled, bool allowWinControls) {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = *it;
        if (!allowWinControls && c->Is<TWinControl>()) continue;
        if (!c->Visible() || (!c->Enabled() && !allowDisabled)) continue;
        if (!c->BoundsRect().Contains(pos)) continue;
        if (c->Perform(CM_HITTEST, 0, MAKELPARAM(pos.x - c->Left(), pos.y - c->Top())) != 0) return c;
    }
    return nullptr;
}

void TWinControl::SetTabStop(bool value) {
    if (value == tabStop_) return;
    tabStop_ = value;
    if (handle_) {
        LONG_PTR style = GetWindowLongPtrA(handle_, GWL_STYLE);
        style = value ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
        SetWindowLongPtrA(handle_, GWL_STYLE, style);
    }
    Perform(CM_TABSTOPCHANGED);
}

int TWinControl::TabOrder() const {
    if (!Parent()) return -1;
    const auto& list = Parent()->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int value) {
    if (ComponentState().Contains(csLoading)) {
        // Applied in Loaded, once the siblings exist.
        loadedTabOrder_ = value;
        return;
    }
    UpdateTabOrder(value);
}

void TWinControl::UpdateTabOrder(int value) {
    if (!Parent()) return;
    auto& list = Parent()->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    if (value < 0 || value > static_cast<int>(list.size())) value = static_cast<int>(list.size());
    list.insert(list.begin() + value, this);
}

void TWinControl::Loaded() {
    TControl::Loaded();
    if (loadedTabOrder_ >= 0) {
        UpdateTabOrder(loadedTabOrder_);
        loadedTabOrder_ = -1;
    }
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) {
    for (TWinControl* c : tabList_) {
        list.push_back(c);
        c->GetTabOrderList(list);
    }
}

bool TWinControl::CanFocus() {
    TCustomForm* form = GetParentForm(this);
    if (!form) return false;
    for (TControl* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return true;
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent) {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    int n = static_cast<int>(list.size());
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (list[static_cast<size_t>(i)] == current) start = i;
    if (start < 0) start = goForward ? n - 1 : 0;
    int i = start;
    for (int step = 0; step < n; ++step) {
        i = goForward ? (i + 1) % n : (i + n - 1) % n;
        TWinControl* c = list[static_cast<size_t>(i)];
        if (c == current && step != 0) break;
        if ((!checkTabStop || c->TabStop()) && (!checkParent || c->Parent() == this) && c->CanFocus()) return c;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
    if (TWinControl* next = FindNextControl(current, goForward, checkTabStop, false)) next->SetFocus();
}

void TWinControl::SetFocus() {
    if (TCustomForm* form = GetParentForm(this)) form->FocusControl(this);
    else ::SetFocus(Handle());
}

bool TWinControl::Focused() { return handle_ && GetFocus() == handle_; }

TRect TWinControl::ClientRect() {
    if (handle_) {
        RECT r;
        GetClientRect(handle_, &r);
        return TRect(r);
    }
    return TControl::ClientRect();
}

TPoint TWinControl::ClientOrigin() {
    POINT p = {0, 0};
    if (Handle()) ::ClientToScreen(handle_, &p);
    return TPoint(p);
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TWinControl::BoundsChanged() {
    if (handle_) {
        RECT r;
        GetWindowRect(handle_, &r);
        if (Parent() && Parent()->handle_) MapWindowPoints(nullptr, Parent()->handle_, reinterpret_cast<POINT*>(&r), 2);
        if (r.left != Left() || r.top != Top() || r.right - r.left != Width() || r.bottom - r.top != Height())
            SetWindowPos(handle_, nullptr, Left(), Top(), Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void TWinControl::VisibleChanging() {
    if (handle_) ShowWindow(handle_, Visible() ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::Invalidate() {
    if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::Update() {
    if (handle_) UpdateWindow(handle_);
}

void TWinControl::Repaint() {
    Invalidate();
    Update();
}

void TWinControl::PaintWindow(HDC) {}

void TWinControl::PaintHandler(TMessage& Message) {
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    PAINTSTRUCT ps{};
    bool own = dc == nullptr;
    if (own) dc = BeginPaint(handle_, &ps);
    try {
        int saved = SaveDC(dc);
        PaintWindow(dc);
        RestoreDC(dc, saved);
        PaintControls(dc);
    } catch (...) {
        if (own) EndPaint(handle_, &ps);
        throw;
    }
    if (own) EndPaint(handle_, &ps);
    Message.Result = 0;
}

void TWinControl::PaintControls(HDC dc) {
    for (TControl* c : std::vector<TControl*>(controls_)) {
        if (c->Is<TWinControl>() || !c->Visible()) continue;
        TRect r = c->BoundsRect();
        if (!RectVisible(dc, &r)) continue;
        int saved = SaveDC(dc);
        OffsetViewportOrgEx(dc, c->Left(), c->Top(), nullptr);
        IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
        try {
            c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        } catch (...) {
            RestoreDC(dc, saved);
            throw;
        }
        RestoreDC(dc, saved);
    }
}

void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
    if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(WORD& Key, TShiftState Shift) {
    if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key) {
    if (OnKeyPress) OnKeyPress(this, Key);
}

void TWinControl::MouseTracking(TMessage& Message) {
    if (Message.Msg == WM_MOUSEMOVE) {
        TPoint p(Message.XPos(), Message.YPos());
        TControl* target = nullptr;
        if (ClientRect().Contains(p)) {
            target = ControlAtPos(p, false);
            if (!target) target = this;
        }
        SetMouseControl(target);
        if (target && !trackingLeave_ && handle_) {
            TRACKMOUSEEVENT tme{};
            tme.cbSize = sizeof(tme);
            tme.dwFlags = TME_LEAVE;
            tme.hwndTrack = handle_;
            trackingLeave_ = TrackMouseEvent(&tme) != FALSE;
        }
    } else if (Message.Msg == WM_MOUSELEAVE) {
        trackingLeave_ = false;
        if (gMouseControl && (gMouseControl == this || gMouseControl->Parent() == this)) SetMouseControl(nullptr);
    }
}

bool TWinControl::IsControlMouseMsg(TMessage& Message) {
    TPoint p(Message.XPos(), Message.YPos());
    TControl* control = captureControl_;
    if (!control) control = ControlAtPos(p, false);
    if (!control) return false;
    switch (Message.Msg) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (!captureControl_ && handle_) {
                captureControl_ = control;
                SetCapture(handle_);
            }
            break;
    }
    TMessage m = Message;
    m.LParam = MAKELPARAM(p.x - control->Left(), p.y - control->Top());
    control->WndProc(m);
    Message.Result = m.Result;
    switch (Message.Msg) {
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            if (captureControl_ && !(Message.WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) {
                captureControl_ = nullptr;
                if (GetCapture() == handle_) ReleaseCapture();
            }
            break;
    }
    return true;
}

void TWinControl::WMSetCursor(TMessage& Message) {
    if (reinterpret_cast<HWND>(Message.WParam) == handle_ && LOWORD(Message.LParam) == HTCLIENT) {
        POINT pt;
        GetCursorPos(&pt);
        TControl* c = ControlAtPos(ScreenToClient(TPoint(pt)), false);
        TCursor cursor = c ? c->Cursor() : Cursor();
        if (c && cursor == crDefault) cursor = Cursor();
        if (HCURSOR h = CursorHandle(cursor)) {
            ::SetCursor(h);
            Message.Result = TRUE;
            return;
        }
    }
    DefaultHandler(Message);
}

bool TWinControl::ReflectToChild(TMessage& Message) {
    HWND child = nullptr;
    switch (Message.Msg) {
        case WM_COMMAND:
        case WM_HSCROLL:
        case WM_VSCROLL:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSCROLLBAR:
            child = reinterpret_cast<HWND>(Message.LParam);
            break;
        case WM_DRAWITEM:
            child = reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam)->hwndItem;
            if (reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam)->CtlType == ODT_MENU) child = nullptr;
            break;
        case WM_MEASUREITEM: {
            auto* mis = reinterpret_cast<const MEASUREITEMSTRUCT*>(Message.LParam);
            if (mis->CtlType != ODT_MENU && handle_) child = GetDlgItem(handle_, static_cast<int>(mis->CtlID));
            break;
        }
        case WM_NOTIFY:
            child = reinterpret_cast<const NMHDR*>(Message.LParam)->hwndFrom;
            break;
        default:
            return false;
    }
    TWinControl* target = FindControl(child);
    if (!target || target == this) return false;
    Message.Result = target->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
    return true;
}

void TWinControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case WM_MOUSEMOVE:
        case WM_MOUSELEAVE:
            MouseTracking(Message);
            break;
    }
    switch (Message.Msg) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK:
            if (IsControlMouseMsg(Message)) return;
            break;
        case WM_SETFOCUS:
            if (TCustomForm* form = GetParentForm(this)) form->SetFocusedControl(this);
            break;
    }
    TControl::WndProc(Message);
}

void TWinControl::Dispatch(TMessage& Message) {
    if (ReflectToChild(Message)) {
        bool colour = Message.Msg >= WM_CTLCOLORMSGBOX && Message.Msg <= WM_CTLCOLORSTATIC;
        if (!colour || Message.Result != 0) return;
    }
    switch (Message.Msg) {
        case WM_PAINT:
            if (PaintsItself()) {
                PaintHandler(Message);
                return;
            }
            break;
        case WM_PRINTCLIENT:
            // The same paint into the given device context.
            if (PaintsItself() && Message.WParam) {
                TMessage paint = Message;
                paint.Msg = WM_PAINT;
                PaintHandler(paint);
                Message.Result = 0;
                return;
            }
            break;
        case WM_ERASEBKGND:
            if (PaintsItself()) {
                RECT r;
                GetClientRect(handle_, &r);
                GdiBrush brush(CreateSolidBrush(ColorToRGB(Color())));
                FillRect(reinterpret_cast<HDC>(Message.WParam), &r, brush);
                Message.Result = 1;
                return;
            }
            break;
        case WM_SETCURSOR:
            WMSetCursor(Message);
            return;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (ownClass_ && handle_) SetCapture(handle_);
            break;
        case WM_LBUTTONUP:
            if (ownClass_ && handle_ && GetCapture() == handle_) ReleaseCapture();
            break;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            WORD key = static_cast<WORD>(Message.WParam);
            KeyDown(key, KeyboardStateToShiftState());
            if (key == 0) return;
            Message.WParam = key;
            break;
        }
        case WM_KEYUP:
        case WM_SYSKEYUP: {
            WORD key = static_cast<WORD>(Message.WParam);
            KeyUp(key, KeyboardStateToShiftState());
            if (key == 0) return;
            Message.WParam = key;
            break;
        }
        case WM_CHAR:
            if (!unicode_ || Message.WParam < 0x80) {
                char ch = static_cast<char>(Message.WParam);
                KeyPress(ch);
                if (ch == 0) return;
                Message.WParam = static_cast<unsigned char>(ch);
            }
            break;
        case WM_SIZE:
        case WM_MOVE:
        case WM_WINDOWPOSCHANGED:
            if (Message.Msg == WM_WINDOWPOSCHANGED && handle_) {
                RECT r;
                GetWindowRect(handle_, &r);
                if (Parent() && Parent()->handle_) MapWindowPoints(nullptr, Parent()->handle_, reinterpret_cast<POINT*>(&r), 2);
                bool resized = r.right - r.left != Width() || r.bottom - r.top != Height();
                left_ = r.left;
                top_ = r.top;
                width_ = r.right - r.left;
                height_ = r.bottom - r.top;
                DefaultHandler(Message);
                if (resized) Resize();
                return;
            }
            break;
        case CM_ENTER:
            DoEnter();
            return;
        case CM_EXIT:
            DoExit();
            return;
        case CM_ENABLEDCHANGED:
            if (handle_) EnableWindow(handle_, Enabled());
            Invalidate();
            return;
        case CM_FONTCHANGED:
            if (handle_) SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), FALSE);
            Invalidate();
            for (TControl* c : std::vector<TControl*>(controls_)) c->Perform(CM_PARENTFONTCHANGED);
            return;
        case CM_COLORCHANGED:
            Invalidate();
            for (TControl* c : std::vector<TControl*>(controls_)) c->Perform(CM_PARENTCOLORCHANGED);
            return;
        case CM_FOCUSCHANGED:
            for (TControl* c : std::vector<TControl*>(controls_)) c->Perform(CM_FOCUSCHANGED, Message.WParam, Message.LParam);
            return;
        case CM_DIALOGKEY:
            for (TControl* c : std::vector<TControl*>(controls_)) {
                Message.Result = c->Perform(CM_DIALOGKEY, Message.WParam, Message.LParam);
                if (Message.Result) return;
            }
            return;
        case CN_CTLCOLORBTN:
        case CN_CTLCOLOREDIT:
        case CN_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(Message.WParam);
            SetTextColor(dc, ColorToRGB(Font()->Color()));
            SetBkColor(dc, ColorToRGB(Color()));
            if (!brush_) brush_ = std::make_unique<TBrush>();
            brush_->SetColor(Color());
            Message.Result = reinterpret_cast<LRESULT>(brush_->Handle());
            return;
        }
    }
    TControl::Dispatch(Message);
}

void TWinControl::DefaultHandler(TMessage& Message) {
    if (!handle_) {
        TControl::DefaultHandler(Message);
        return;
    }
    if (Message.Msg >= CM_BASE && Message.Msg < CN_BASE + 0x400) {
        // Our own notifications mean nothing to the system.
        TControl::DefaultHandler(Message);
        return;
    }
    if (unicode_)
        Message.Result = CallWindowProcW(defWndProc_ ? defWndProc_ : DefWindowProcW, handle_, Message.Msg,
                                         Message.WParam, Message.LParam);
    else
        Message.Result = CallWindowProcA(defWndProc_ ? defWndProc_ : DefWindowProcA, handle_, Message.Msg,
                                         Message.WParam, Message.LParam);
}

// ---------------------------------------------------------------- TCustomControl

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), canvas_(std::make_unique<TCanvas>()) {}

TCustomControl::~TCustomControl() = default;

void TCustomControl::PaintWindow(HDC dc) {
    TCanvasAttach attach(canvas_.get(), dc);
    canvas_->SetFont(Font());
    canvas_->Brush()->SetColor(Color());
    Paint();
}

// ---------------------------------------------------------------- forms

TCustomForm* GetParentForm(TControl* control) {
    if (!control) return nullptr;
    while (control->Parent()) control = control->Parent();
    return dynamic_cast<TCustomForm*>(control);
}
