#include "ImButton.h"

#include <algorithm>
#include <cstring>

#include "KvBackImage.h"
#include "Messages.h"

const TEnumInfo ImBtnKindInfo{
    {"ibkNormal", "ibkFlat", "ibkBevelFlat", "ibkUltraFlat", "ibkFullPicture", "ibkWindowsXP"}};

// ---- Colour set -------------------------------------------------------------

TImButtonColors::TImButtonColors(TControl* AOwner) : owner_(AOwner) { ResetToDefault(); }

void TImButtonColors::OwnerChanged() {
    if (owner_) owner_->Invalidate();
}

void TImButtonColors::ResetToDefault() {
    std::fill(std::begin(slots_), std::end(slots_), clDefault);
    OwnerChanged();
}

TColor TImButtonColors::fGetIbColor(int index) const {
    return index >= 0 && index < SlotCount ? slots_[index] : clDefault;
}

void TImButtonColors::fSetIbColor(int index, TColor value) {
    if (index < 0 || index >= SlotCount) return;
    slots_[index] = value;
    OwnerChanged();
}

void TImButtonColors::Assign(TPersistent* Source) {
    auto* other = dynamic_cast<TImButtonColors*>(Source);
    if (!other) return;
    std::copy(std::begin(other->slots_), std::end(other->slots_), std::begin(slots_));
    OwnerChanged();
}

void TImButtonColors::DeclareProperties(TProps<TImButtonColors>& P) {
    P.Integer("DefaultColor", &TImButtonColors::DefaultColor, &TImButtonColors::SetDefaultColor, clDefault, &ColorIdents)
        .Integer("DisabledColor", &TImButtonColors::DisabledColor, &TImButtonColors::SetDisabledColor, clDefault, &ColorIdents)
        .Integer("PushedColor", &TImButtonColors::PushedColor, &TImButtonColors::SetPushedColor, clDefault, &ColorIdents)
        .Integer("HotColor", &TImButtonColors::HotColor, &TImButtonColors::SetHotColor, clDefault, &ColorIdents);
}

// ---- Construction -----------------------------------------------------------

TCustomImButton::TCustomImButton(TComponent* AOwner) : TButton(AOwner) {
    SetParentColor(false);
    SetColor(clBtnFace);
    SetCursor(crHandPoint);
    colors_ = std::make_unique<TImButtonColors>(this);
    looks_ = ibkNormal;
    animatePicture_ = std::make_unique<TPicture>();
    picture_ = std::make_unique<TPicture>();
    maskPicture_ = std::make_unique<TPicture>();
    maskPicture_->OnChange = [this](TObject* sender) { fMaskPicChanged(sender); };
    timer_ = new TTimer(this);
    timer_->SetEnabled(false);
    timer_->SetInterval(200);
    timer_->OnTimer = [this](TObject* sender) { ImMousePosTimer(sender); };
}

TCustomImButton::~TCustomImButton() {
    delete timer_;
    timer_ = nullptr;
    maskPicture_.reset();
    picture_.reset();
    animatePicture_.reset();
    colors_.reset();
}

TImButton::TImButton(TComponent* AOwner) : TCustomImButton(AOwner) {}
TImButton::~TImButton() = default;

namespace {
// An event member of a base class, as a member of TImButton.
template <class F, class B>
F TImButton::*Own(F B::*member) {
    return static_cast<F TImButton::*>(member);
}
}  // namespace

void TImButton::DeclareProperties(TProps<TImButton>& P) {
    P.Boolean("DefaultDraw", &TImButton::DefaultDraw, &TImButton::SetDefaultDraw, true)
        .Boolean("Animated", &TImButton::Animated, &TImButton::fSetAnimate, false)
        .Integer("AnimateSpeed", &TImButton::fGetAniSpd, &TImButton::fSetAniSpd, 0)
        .Integer("AnimatedCount", &TImButton::AnimatedCount, &TImButton::fSetAniCount, 0)
        .Integer("Spacing", &TImButton::Spacing, &TImButton::fSetSpacing, 0)
        .Boolean("FocusRect", &TImButton::FocusRect, &TImButton::fSetFocusRect, true)
        .Enum("Looks", &TImButton::Looks, &TImButton::fSetLooks, ImBtnKindInfo, ibkNormal)
        .Integer("Color", &TImButton::Color, &TImButton::SetColor, clWindow, &ColorIdents)
        .Object("Colors", &TImButton::fGetBtnColors)
        .Boolean("ParentColor", &TImButton::ParentColor, &TImButton::SetParentColor, true)
        .Integer("HotTextColor", &TImButton::HotTextColor, &TImButton::SetHotTextColor, 0, &ColorIdents)
        .Boolean("Transparent", &TImButton::Transparent, &TImButton::fSetTransparent, false)
        .Event("OnOwnerDraw", Own(&TImButton::OnOwnerDraw))
        .Event("OnMouseEnter", Own(&TImButton::OnMouseEnter))
        .Event("OnMouseLeave", Own(&TImButton::OnMouseLeave))
        .Object("Picture", &TImButton::Picture)
        .Object("MaskPicture", &TImButton::MaskPicture)
        .Integer("PictureCount", &TImButton::PictureCount, &TImButton::fSetPicCount, 0)
        .Object("AnimatePicture", &TImButton::AnimatePicture)
        .Boolean("ShowFullPicCaption", &TImButton::ShowFullPicCaption, &TImButton::fSetShowFullPicCaption, false);
}

namespace Imbutton {
void Register() { RegisterComponents("Corvel", {ClassOf<TImButton>()}); }
}  // namespace Imbutton

// ---- Properties -------------------------------------------------------------

void TCustomImButton::fSetAnimate(bool value) {
    animated_ = value;
    Invalidate();
}

int TCustomImButton::fGetAniSpd() const { return static_cast<int>(timer_->Interval()); }

void TCustomImButton::fSetAniSpd(int value) { timer_->SetInterval(value < 0 ? 0u : static_cast<unsigned>(value)); }

void TCustomImButton::fSetAniCount(int value) {
    animatedCount_ = value;
    Invalidate();
}

void TCustomImButton::fSetSpacing(int value) {
    spacing_ = value;
    Invalidate();
}

void TCustomImButton::fSetFocusRect(bool value) {
    focusRect_ = value;
    Invalidate();
}

void TCustomImButton::fSetBtnColors(TImButtonColors* value) {
    colors_->Assign(value);
    Invalidate();
}

void TCustomImButton::fSetTransparent(bool value) {
    transparent_ = value;
    Invalidate();
}

void TCustomImButton::fSetNomPicture(TPicture* value) {
    picture_->Assign(value);
    Invalidate();
}

void TCustomImButton::fSetMaskPicture(TPicture* value) {
    maskPicture_->Assign(value);
    Invalidate();
}

void TCustomImButton::fSetPicCount(int value) {
    pictureCount_ = value;
    Invalidate();
}

void TCustomImButton::fSetHotPicutre(TPicture* value) {
    animatePicture_->Assign(value);
    Invalidate();
}

void TCustomImButton::fSetShowFullPicCaption(bool value) {
    showFullPicCaption_ = value;
    Invalidate();
}

void TCustomImButton::fSetLooks(TImBtnKind value) {
    looks_ = value;
    if (value == ibkUltraFlat) {
        colors_->fSetIbColor(0, clNavy);
        colors_->fSetIbColor(2, 0xB5B5B5);
        colors_->fSetIbColor(3, 0xF0C8C0);
    } else {
        colors_->ResetToDefault();
    }
    fSetFocusRect(true);
    if (value == ibkWindowsXP)
        fRgnXpAdjust();
    else
        _RemoveRegion(false);
    Invalidate();
}

// ---- Window shapes ----------------------------------------------------------

HWND TCustomImButton::_ShapedWindow() {
    // A button that is not placed anywhere has no window yet; the one made
    // later is shaped by its first WM_SIZE.
    return HandleAllocated() || Parent() ? Handle() : nullptr;
}

void TCustomImButton::_RemoveRegion(bool redraw) {
    if (HWND window = _ShapedWindow()) ::SetWindowRgn(window, nullptr, redraw);
}

void TCustomImButton::fRgnXpAdjust() {
    HWND window = _ShapedWindow();
    if (!window) return;
    const int w = Width(), h = Height();
    GdiRegion region(::CreateRectRgn(0, 0, w, h));
    if (!region) return;
    const RECT corners[] = {{0, 0, 1, 1}, {w - 1, 0, w, 1}, {0, h - 1, 1, h}, {w - 1, h - 1, w, h}};
    for (const RECT& c : corners) {
        GdiRegion corner(::CreateRectRgn(c.left, c.top, c.right, c.bottom));
        ::CombineRgn(region, region, corner, RGN_DIFF);
    }
    if (::SetWindowRgn(window, region, FALSE)) region.Detach();  // the system owns it now
}

void TCustomImButton::fMaskPicChanged(TObject*) {
    TGraphic* graphic = maskPicture_->Graphic();
    if (graphic && !graphic->Empty()) {
        SetWidth(maskPicture_->Width());
        SetHeight(maskPicture_->Height());
        if (TKvBackImage::ApplyShapeTo(this, graphic, true)) return;
    }
    _RemoveRegion(true);
}

// ---- Window creation and messages -------------------------------------------

void TCustomImButton::CreateParams(TCreateParams& Params) {
    TButton::CreateParams(Params);
    Params.Style |= BS_OWNERDRAW;
}

void TCustomImButton::SetButtonStyle(bool ADefault) {
    if (ADefault == default_) return;
    default_ = ADefault;
    Refresh();
}

void TCustomImButton::WndProc(TMessage& Message) {
    // Every paint covers the whole face: the background is never erased,
    // and the platform does not see the request at all.
    if (Message.Msg == WM_ERASEBKGND) {
        Message.Result = 1;
        return;
    }
    TButton::WndProc(Message);
}

void TCustomImButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_MOUSEMOVE: WMMouseMove(Message); break;
    case WM_LBUTTONDOWN: WMLButtonDown(Message); break;
    case WM_LBUTTONUP: WMLButtonUp(Message); break;
    case WM_LBUTTONDBLCLK: WMLButtonDblClk(Message); break;
    case WM_SIZE: WMSize(Message); break;
    case CM_ENABLEDCHANGED:
    case CM_FONTCHANGED:
        TButton::Dispatch(Message);
        Invalidate();
        break;
    case CM_MOUSEENTER:
        fMouseEnter();
        TButton::Dispatch(Message);
        break;
    case CM_MOUSELEAVE:
        fMouseLeave();
        TButton::Dispatch(Message);
        break;
    case CN_DRAWITEM: CNDrawItem(Message); break;
    case CN_MEASUREITEM: CNMeasureItem(Message); break;
    default: TButton::Dispatch(Message); break;
    }
}

void TCustomImButton::WMMouseMove(TMessage& Message) {
    // Unsigned halves: a position left of or above the button is a large
    // number and so lies outside.
    const unsigned x = Message.LParamLo(), y = Message.LParamHi();
    if (!hot_ && x < static_cast<unsigned>(std::max(Width(), 0)) && y < static_cast<unsigned>(std::max(Height(), 0)))
        Perform(CM_MOUSEENTER, 0, 0);
    TButton::Dispatch(Message);
}

void TCustomImButton::WMLButtonDown(TMessage& Message) {
    if (!buttonDown_ && !ComponentState().Contains(csDesigning)) {
        buttonDown_ = true;
        pushed_ = true;
        Invalidate();
    }
    TButton::Dispatch(Message);
}

void TCustomImButton::WMLButtonUp(TMessage& Message) {
    const bool changed = buttonDown_ || pushed_;
    buttonDown_ = false;
    pushed_ = false;
    if (changed) Invalidate();
    TButton::Dispatch(Message);
}

void TCustomImButton::WMLButtonDblClk(TMessage& Message) {
    // The second press of a double click is a press like the first.
    ::SendMessage(Handle(), WM_LBUTTONDOWN, Message.WParam, Message.LParam);
}

void TCustomImButton::WMSize(TMessage& Message) {
    TButton::Dispatch(Message);
    if (looks_ == ibkWindowsXP && HandleAllocated()) fRgnXpAdjust();
}

void TCustomImButton::CNDrawItem(TMessage& Message) {
    if (drawing_) return;
    struct Guard {
        bool& flag;
        ~Guard() { flag = false; }
    } guard{drawing_};
    drawing_ = true;
    DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam));
    Message.Result = 1;
}

void TCustomImButton::CNMeasureItem(TMessage& Message) {
    auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
    item->itemWidth = static_cast<UINT>(Width());
    item->itemHeight = static_cast<UINT>(Height());
    Message.Result = 1;
}

// ---- Hover and press tracking -----------------------------------------------

void TCustomImButton::fMouseEnter() {
    hot_ = true;
    counter_ = 0;
    if (buttonDown_ && !pushed_) pushed_ = true;  // a press resumes when the cursor comes back
    if (OnMouseEnter) {
        try {
            OnMouseEnter(this);
        } catch (const Exception&) {
            // a failing handler must not stop the transition
        }
    }
    Invalidate();
    timer_->SetEnabled(true);
}

void TCustomImButton::fMouseLeave() {
    timer_->SetEnabled(false);
    hot_ = false;
    counter_ = 0;
    pushed_ = false;
    if (OnMouseLeave) {
        try {
            OnMouseLeave(this);
        } catch (const Exception&) {
            // a failing handler must not stop the transition
        }
    }
    Invalidate();
}

void TCustomImButton::ImMousePosTimer(TObject*) {
    POINT p;
    if (::GetCursorPos(&p) && ::ScreenToClient(Handle(), &p)) {
        if (p.x < 0 || p.y < 0 || p.x >= Width() || p.y >= Height()) {
            fMouseLeave();
            return;
        }
    }
    if (animated_) Repaint();
}

// ---- One paint --------------------------------------------------------------

int TCustomImButton::StateBits() const {
    int state = 0;
    if (pushed_) state |= ibsPushed;
    if (hot_) state |= ibsHot;
    if (animated_) state |= ibsAnimated;
    if (!Enabled()) state |= ibsDisabled;
    if (default_) state |= ibsDefault;
    return state;
}

void TCustomImButton::DrawItem(const DRAWITEMSTRUCT& item) {
    int state = 0;
    if (item.itemState & ODS_SELECTED) state |= ibsPushed;
    if (item.itemState & ODS_FOCUS) state |= ibsFocused;
    state |= StateBits();

    TRect rect(item.rcItem);
    TCanvas canvas;
    canvas.SetHandle(item.hDC);
    canvas.Font()->Assign(Font());
    if (hot_ && Enabled()) canvas.Font()->SetColor(hotTextColor_);
    canvas.Brush()->SetStyle(bsClear);
    if (transparent_) _CaptureBackground(&canvas);

    if (defaultDraw_ || !OnOwnerDraw) {
        if (looks_ == ibkFullPicture)
            fDefaultDrawFullPc(&canvas, rect, state);
        else
            fDefaultDrawNormal(&canvas, rect, state);
    }
    if (OnOwnerDraw) {
        try {
            OnOwnerDraw(this, &canvas, &rect, state, counter_);
        } catch (const Exception&) {
            // the user's drawing failed; the paint itself is complete
        }
    }
    canvas.ReleaseHandle();
}

void TCustomImButton::_CaptureBackground(TCanvas* c) {
    TWinControl* parent = Parent();
    if (!parent || parent->Width() <= 0 || parent->Height() <= 0) return;
    TBitmap back;
    back.SetSize(parent->Width(), parent->Height());
    HDC dc = back.Canvas()->Handle();
    ::SendMessage(parent->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ::SendMessage(parent->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    ::BitBlt(c->Handle(), 0, 0, Width(), Height(), back.Canvas()->Handle(), Left(), Top(), SRCCOPY);
}

// ---- Colours ----------------------------------------------------------------

TColor TCustomImButton::fGetBtnColor(int state) {
    int slot;
    if (state & ibsDisabled)
        slot = 1;
    else if (state & ibsPushed)
        slot = 2;
    else if (state & ibsHot)
        slot = 3;
    else
        return Color();
    TColor c = colors_->fGetIbColor(slot);
    return c == clDefault ? Color() : c;
}

TColor TCustomImButton::fGetFrameColor(int state) {
    if ((state & (ibsFocused | ibsDefault)) && colors_->DefaultColor() != clDefault)
        return colors_->DefaultColor();
    return clWindowFrame;
}

// ---- Frames -----------------------------------------------------------------

namespace {

constexpr TColor Rgb(int r, int g, int b) {
    return static_cast<TColor>(r) | (static_cast<TColor>(g) << 8) | (static_cast<TColor>(b) << 16);
}

constexpr TColor kWhite = Rgb(255, 255, 255);
constexpr TColor kDark = Rgb(64, 64, 64);
constexpr TColor kLight = Rgb(223, 223, 223);
constexpr TColor kGrey = Rgb(128, 128, 128);

// A line from (x1, y1) to just before (x2, y2) in one colour.
void Line(TCanvas* c, int x1, int y1, int x2, int y2, TColor color) {
    c->Pen()->SetColor(color);
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
}

// Top and left in one colour, bottom and right in another, starting and
// ending at the bottom-left corner.
void Bevel(TCanvas* c, int l, int t, int r, int s, TColor topLeft, TColor bottomRight) {
    c->MoveTo(l, s);
    c->Pen()->SetColor(topLeft);
    c->LineTo(l, t);
    c->LineTo(r, t);
    c->Pen()->SetColor(bottomRight);
    c->LineTo(r, s);
    c->LineTo(l, s);
}

void FillFace(TCanvas* c, int l, int t, int r, int b, TColor face) {
    c->Brush()->SetColor(face);
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(TRect(l, t, r, b));
}

// Channel of a gradient: computed in floating point, truncated toward zero.
int Channel(double base, double factor, double q) { return static_cast<int>(base - factor * q); }

}  // namespace

void TCustomImButton::fDrawFrameRect(TCanvas* c, const TRect& rect, int state) {
    int L = rect.left, T = rect.top, r = rect.right - 1, s = rect.bottom - 1;
    const int W = rect.right - rect.left, H = rect.bottom - rect.top;
    const TColor face = fGetBtnColor(state);
    const TColor frame = fGetFrameColor(state);
    const bool pushed = (state & ibsPushed) != 0;

    auto focusOutline = [&] {
        if (!(state & (ibsFocused | ibsDefault))) return;
        c->Pen()->SetColor(frame);
        c->Pen()->SetWidth(1);
        c->Brush()->SetStyle(bsClear);
        c->Rectangle(rect.left, rect.top, rect.right, rect.bottom);
        ++L, ++T, --r, --s;
    };

    switch (looks_) {
    case ibkNormal:
    case ibkFullPicture:
        focusOutline();
        c->Pen()->SetStyle(psSolid);
        c->Pen()->SetWidth(1);
        Bevel(c, L, T, r, s, pushed ? kDark : kWhite, pushed ? kWhite : kDark);
        Bevel(c, L + 1, T + 1, r - 1, s - 1, pushed ? kGrey : kLight, pushed ? kLight : kGrey);
        if (!transparent_) FillFace(c, L + 2, T + 2, r - 1, s - 1, face);
        break;

    case ibkFlat: {
        c->Pen()->SetStyle(psSolid);
        c->Pen()->SetWidth(1);
        int o = 0;
        if (!(state & ibsDisabled) && (state & (ibsPushed | ibsHot))) {
            if (pushed)
                Bevel(c, L, T, r, s, kGrey, kWhite);
            else
                Bevel(c, L, T, r, s, kWhite, kGrey);
            o = 1;
        }
        if (!transparent_) FillFace(c, L + o, T + o, rect.right - o, rect.bottom - o, face);
        break;
    }

    case ibkBevelFlat:
        focusOutline();
        c->Pen()->SetStyle(psSolid);
        c->Pen()->SetWidth(1);
        Bevel(c, L, T, r, s, pushed ? kGrey : kWhite, pushed ? kWhite : kGrey);
        if (!transparent_) FillFace(c, L + 1, T + 1, r, s, face);
        break;

    case ibkUltraFlat:
        c->Pen()->SetColor(frame);
        c->Pen()->SetWidth(1);
        c->Brush()->SetColor(face);
        c->Brush()->SetStyle(bsSolid);
        c->Rectangle(rect.left, rect.top, rect.right, rect.bottom);
        if (state & (ibsFocused | ibsDefault)) {
            c->Brush()->SetStyle(bsClear);
            c->Rectangle(rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1);
        }
        break;

    case ibkWindowsXP:
        _DrawXpFace(c, L, T, r, s, W, H, state);
        break;
    }
    c->Brush()->SetStyle(bsClear);
}

void TCustomImButton::_DrawXpFace(TCanvas* c, int L, int T, int r, int s, int W, int H, int state) {
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetWidth(1);
    auto lightGradient = [&] {
        for (int i = 0; i < H - 2; ++i) {
            const double f = static_cast<double>(i) / (H - 2);
            const double q = f * f;
            Line(c, L + 1, T + i, r - 1, T + i,
                 Rgb(Channel(255, 29, q), Channel(255, 32, q), Channel(255, 41, q)));
        }
    };
    auto sidePixels = [&](bool hot) {
        const int n = s - T - 3;
        for (int k = 0; k < n; ++k) {
            const int y = T + k + 2;
            TColor outer, inner;
            if (hot) {
                outer = Rgb(238 + k * 10 / n, 220 - k * 42 / n, 173 - k * 125 / n);
                inner = Rgb(253 - k * 5 / n, 216 - k * 38 / n, 137 - k * 79 / n);
            } else {
                outer = inner = Rgb(188 - k * 51 / n, 212 - k * 39 / n, 246 - k * 18 / n);
            }
            c->SetPixels(L + 1, y, outer);
            c->SetPixels(r - 1, y, outer);
            c->SetPixels(L + 2, y, inner);
            c->SetPixels(r - 2, y, inner);
        }
    };
    auto rows = [&](TColor a, TColor b, TColor d, TColor e) {
        Line(c, L + 1, T + 1, r - 1, T + 1, a);
        Line(c, L + 1, T + 2, r - 1, T + 2, b);
        Line(c, L + 1, s - 2, r - 1, s - 2, d);
        Line(c, L + 1, s - 1, r - 1, s - 1, e);
    };

    if (state & ibsPushed) {
        for (int i = 0; i < H - 6; ++i) {
            const double f = static_cast<double>(i) / (H - 6);
            const double q = f * f;
            Line(c, L + 1, T + i + 3, r - 1, T + i + 3,
                 Rgb(Channel(229, 3, q), Channel(228, 2, q), Channel(221, 3, q)));
        }
        Line(c, L + 1, T + 1, L + 1, s - 1, Rgb(217, 214, 205));
        Line(c, L + 2, T + 1, L + 2, s - 1, Rgb(223, 221, 213));
        Line(c, r - 2, T + 1, r - 2, s - 1, Rgb(229, 228, 222));
        Line(c, r - 1, T + 1, r - 1, s - 1, Rgb(230, 229, 224));
        rows(Rgb(209, 204, 193), Rgb(220, 216, 207), Rgb(234, 233, 227), Rgb(242, 241, 238));
    } else if (state & ibsHot) {
        lightGradient();
        sidePixels(true);
        rows(Rgb(255, 233, 216), Rgb(253, 216, 137), Rgb(248, 178, 48), Rgb(229, 151, 0));
    } else if (state & (ibsFocused | ibsDefault)) {
        lightGradient();
        sidePixels(false);
        rows(Rgb(206, 231, 255), Rgb(188, 212, 246), Rgb(137, 173, 228), Rgb(105, 130, 238));
    } else {
        lightGradient();
        Line(c, L + 1, s - 1, r - 1, s - 1, Rgb(214, 208, 197));
        Line(c, r - 1, T + 1, r - 1, s - 1, Rgb(237, 234, 230));
    }

    // The border, at the canvas origin, and the pixels that soften its corners.
    c->Brush()->SetStyle(bsClear);
    c->Pen()->SetColor(Rgb(0, 60, 116));
    c->Rectangle(0, 0, W, H);
    for (const TPoint& p : {TPoint(L, T + 1), TPoint(L + 1, T), TPoint(r, T + 1), TPoint(r - 1, T),
                            TPoint(L, s - 1), TPoint(L + 1, s), TPoint(r, s - 1), TPoint(r - 1, s)})
        c->SetPixels(p.x, p.y, Rgb(122, 149, 168));
    for (const TPoint& p : {TPoint(L + 1, T + 2), TPoint(L + 2, T + 1), TPoint(r - 1, T + 2), TPoint(r - 2, T + 1),
                            TPoint(L + 1, s - 2), TPoint(L + 2, s - 1), TPoint(r - 1, s - 2), TPoint(r - 2, s - 1)})
        c->SetPixels(p.x, p.y, Rgb(192, 207, 221));
    for (const TPoint& p : {TPoint(L + 1, T + 1), TPoint(r - 1, T + 1), TPoint(L + 1, s - 1), TPoint(r - 1, s - 1)})
        c->SetPixels(p.x, p.y, Rgb(85, 125, 162));
}

// ---- Pictures and caption ---------------------------------------------------

namespace {

bool Counts(TPicture* picture) {
    return picture && picture->Graphic() && !picture->Graphic()->Empty();
}

bool IsExactly(TGraphic* graphic, const char* className) {
    return std::strcmp(graphic->ClassName(), className) == 0;
}

}  // namespace

int TCustomImButton::_FrameCount(TPicture* picture, int declared) const {
    int count = declared;
    if (count == 0) {
        if (looks_ == ibkFullPicture)
            count = Height() > 0 ? picture->Height() / Height() : 0;
        else
            count = picture->Height() > 0 ? picture->Width() / picture->Height() : 0;
    }
    return count < 1 ? 1 : count;
}

TCustomImButton::TFrameChoice TCustomImButton::_SelectPicture(int state) {
    TFrameChoice choice;
    if (state & ibsDisabled) {
        if (Counts(picture_.get())) choice = {picture_.get(), pictureCount_, 1};
    } else if (state & ibsPushed) {
        if (Counts(picture_.get())) choice = {picture_.get(), pictureCount_, 2};
    } else if (state & ibsHot) {
        if (animated_ && Counts(animatePicture_.get()))
            choice = {animatePicture_.get(), animatedCount_, counter_++};
        if (!choice.picture && Counts(picture_.get())) choice = {picture_.get(), pictureCount_, 3};
    } else if (Counts(picture_.get())) {
        choice = {picture_.get(), pictureCount_, 0};
    }
    if (choice.picture) {
        choice.count = _FrameCount(choice.picture, choice.count);
        if (choice.index >= choice.count || choice.index < 0) {
            choice.index = 0;
            counter_ = 1;
        }
    }
    return choice;
}

void TCustomImButton::fDefaultDrawNormal(TCanvas* c, const TRect& rect, int state) {
    const AnsiString caption = Caption();
    const bool pushed = (state & ibsPushed) != 0;

    RECT measure = {0, 0, 0, 0};
    ::DrawTextA(c->Handle(), caption.c_str(), static_cast<int>(caption.size()), &measure,
                DT_CALCRECT | DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    int tw = measure.right - measure.left;
    const int cx = (rect.left + rect.right) / 2;
    const int tl = cx - tw / 2;
    if (tw > Width() - 10) tw = Width() - 10;

    TRect focus(rect.left + 4, rect.top + 4, rect.right - 4, rect.bottom - 4);
    TRect text(tl, rect.top + 5, tl + tw, rect.bottom - 5);
    if (looks_ == ibkWindowsXP) focus = TRect(rect.left + 2, rect.top + 2, rect.right - 2, rect.bottom - 2);
    if (pushed) {
        if (looks_ != ibkWindowsXP) focus.Offset(1, 1);
        text.Offset(1, 1);
    }

    fDrawFrameRect(c, rect, state);

    const TFrameChoice choice = _SelectPicture(state);
    if (choice.picture) {
        TGraphic* graphic = choice.picture->Graphic();
        const int fw = graphic->Width() / choice.count;
        const int fh = graphic->Height();
        if (tw > Width() - fw - 10 - spacing_) tw = Width() - fw - 10 - spacing_;
        const int total = fw + tw + spacing_;
        const int x0 = cx - total / 2;
        TRect pic(x0, (Height() - fh) / 2, x0 + fw, (Height() + fh) / 2);
        text.left = x0 + fw + spacing_;
        text.right = text.left + tw;
        if (pushed) {
            pic.Offset(1, 1);
            text.Offset(1, 0);
        }
        if (IsExactly(graphic, "TBitmap")) {
            TBitmap frame;
            frame.SetSize(fw, fh);
            if (!graphic->Transparent()) graphic->SetTransparent(true);
            if ((state & ibsDisabled) && choice.index == 0) {
                _DrawEmbossed(c, frame, graphic, pic);
            } else {
                frame.Canvas()->CopyRect(TRect(0, 0, fw, fh), c, pic);
                frame.Canvas()->Draw(-choice.index * fw, 0, graphic);
                c->Draw(pic.left, pic.top, &frame);
            }
        } else if (IsExactly(graphic, "TIcon")) {
            c->Draw(pic.left, pic.top, graphic);
        }
    }
    fDrawCaptionText(c, focus, state, text);
}

void TCustomImButton::_DrawEmbossed(TCanvas* c, TBitmap& frame, TGraphic* graphic, const TRect& pic) {
    const int fw = frame.Width(), fh = frame.Height();
    frame.SetMonochrome(true);
    frame.Canvas()->Brush()->SetColor(clWhite);
    frame.Canvas()->Brush()->SetStyle(bsSolid);
    frame.Canvas()->FillRect(TRect(0, 0, fw, fh));
    frame.Canvas()->Draw(0, 0, graphic);

    struct Step {
        TColor font, brush;
        DWORD rop;
        int dx;
    };
    static const Step steps[] = {
        {clBtnHighlight, clBlack, SRCINVERT, 1}, {clBlack, clWhite, SRCAND, 1},
        {clBtnHighlight, clBlack, SRCINVERT, 1}, {clBtnShadow, clBlack, SRCINVERT, 0},
        {clBlack, clWhite, SRCAND, 0},           {clBtnShadow, clBlack, SRCINVERT, 0},
    };
    c->Brush()->SetStyle(bsSolid);
    for (const Step& step : steps) {
        c->Font()->SetColor(step.font);
        c->Brush()->SetColor(step.brush);
        c->SetCopyMode(step.rop);
        c->Draw(pic.left + step.dx, pic.top + step.dx, &frame);
    }
    c->SetCopyMode(SRCCOPY);
}

void TCustomImButton::fDrawCaptionText(TCanvas* c, const TRect& focus, int state, const TRect& text) {
    if ((state & ibsFocused) && focusRect_) {
        c->Brush()->SetColor(fGetBtnColor(state));
        c->DrawFocusRect(focus);
    }
    c->Brush()->SetStyle(bsClear);
    const AnsiString caption = Caption();
    auto draw = [&](TRect r) {
        ::DrawTextA(c->Handle(), caption.c_str(), static_cast<int>(caption.size()), &r,
                    DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    };
    if (state & ibsDisabled) {
        c->Font()->SetColor(clBtnHighlight);
        TRect moved = text;
        moved.Offset(1, 1);
        draw(moved);
        c->Font()->SetColor(clBtnShadow);
    }
    draw(text);
}

void TCustomImButton::fDefaultDrawFullPc(TCanvas* c, const TRect& rect, int state) {
    const TFrameChoice choice = _SelectPicture(state);
    if (!choice.picture) {
        fDefaultDrawNormal(c, rect, state);
        return;
    }
    TGraphic* graphic = choice.picture->Graphic();
    const int fw = graphic->Width();
    const int fh = graphic->Height() / choice.count;
    if (IsExactly(graphic, "TBitmap")) {
        TBitmap frame;
        frame.SetSize(fw, fh);
        frame.Canvas()->CopyRect(TRect(0, 0, fw, fh), static_cast<TBitmap*>(graphic)->Canvas(),
                                 TRect(0, choice.index * fh, fw, choice.index * fh + fh));
        frame.SetPixelFormat(pfDevice);
        frame.SetTransparent(transparent_);
        c->StretchDraw(rect, &frame);
    } else if (IsExactly(graphic, "TIcon")) {
        c->Draw(rect.left, rect.top, graphic);
    }
    if (showFullPicCaption_) {
        TRect focus(rect.left + 3, rect.top + 3, rect.right - 3, rect.bottom - 3);
        TRect text(rect.left + 4, rect.top + 4, rect.right - 4, rect.bottom - 4);
        if (state & ibsPushed) {
            focus.Offset(1, 1);
            text.Offset(1, 1);
        }
        fDrawCaptionText(c, focus, state, text);
    }
}
