#include "StdCtrls.h"

#include "Forms.h"

const TEnumInfo TextLayoutInfo = {{"tlTop", "tlCenter", "tlBottom"}};

// ---------------------------------------------------------------- TButton

void TButton::DeclareProperties(TProps<TButton>& P) {
    P.Boolean("Cancel", &TButton::Cancel, &TButton::SetCancel, false)
        .String("Caption", &TButton::GetText, &TButton::SetText)
        .Boolean("Default", &TButton::Default, &TButton::SetDefault, false)
        .Integer("ModalResult", &TButton::ModalResult, &TButton::SetModalResult, mrNone)
        .Boolean("TabStop", &TButton::TabStop, &TButton::SetTabStop, true);
}

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner) {
    clickEvents_ = false;  // BN_CLICKED clicks
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
}

void TButton::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "BUTTON");
    Params.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    Params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TButton::CreateWnd() {
    TWinControl::CreateWnd();
    active_ = default_;
}

void TButton::SetButtonStyle(bool ADefault) {
    if (!HandleAllocated()) return;
    LONG_PTR style = GetWindowLongPtrA(Handle(), GWL_STYLE);
    LONG_PTR kind = style & BS_TYPEMASK;
    // Only the plain push button kinds switch; an owner-drawn button keeps its style.
    if (kind != BS_PUSHBUTTON && kind != BS_DEFPUSHBUTTON) return;
    LONG_PTR wanted = ADefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    if (kind != wanted) SendMessageA(Handle(), BM_SETSTYLE, static_cast<WPARAM>(wanted), TRUE);
}

void TButton::SetDefault(bool value) {
    if (value == default_) return;
    default_ = value;
    if (TCustomForm* form = GetParentForm(this); form && HandleAllocated())
        form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->ActiveControl()));
}

void TButton::Click() {
    if (TCustomForm* form = GetParentForm(this); form && modalResult_ != mrNone) form->SetModalResult(modalResult_);
    TWinControl::Click();
}

void TButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CN_COMMAND:
            if (HIWORD(Message.WParam) == BN_CLICKED) Click();
            return;
        case CM_FOCUSCHANGED: {
            auto* focused = reinterpret_cast<TWinControl*>(Message.LParam);
            active_ = (focused && focused->Is<TButton>()) ? focused == this : default_;
            SetButtonStyle(active_);
            break;
        }
        case CM_DIALOGKEY: {
            WPARAM key = Message.WParam;
            if (((key == VK_RETURN && active_) || (key == VK_ESCAPE && cancel_)) && CanFocus()) {
                Click();
                Message.Result = 1;
                return;
            }
            break;
        }
    }
    TWinControl::Dispatch(Message);
}

// ---------------------------------------------------------------- TCustomLabel

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetBounds(0, 0, 65, 17);
}

void TCustomLabel::SetAlignment(TAlignment value) {
    if (value == alignment_) return;
    alignment_ = value;
    Invalidate();
}

void TCustomLabel::SetAutoSize(bool value) {
    if (value == autoSize_) return;
    autoSize_ = value;
    AdjustBounds();
}

void TCustomLabel::SetTransparent(bool value) {
    if (value == transparent_) return;
    transparent_ = value;
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool value) {
    if (value == showAccelChar_) return;
    showAccelChar_ = value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool value) {
    if (value == wordWrap_) return;
    wordWrap_ = value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout value) {
    if (value == layout_) return;
    layout_ = value;
    Invalidate();
}

UINT TCustomLabel::DrawTextFlags() const {
    UINT flags = DT_EXPANDTABS;
    if (wordWrap_) flags |= DT_WORDBREAK;
    if (!showAccelChar_) flags |= DT_NOPREFIX;
    switch (alignment_) {
        case taLeftJustify: flags |= DT_LEFT; break;
        case taRightJustify: flags |= DT_RIGHT; break;
        case taCenter: flags |= DT_CENTER; break;
    }
    return flags;
}

void TCustomLabel::DoDrawText(TRect& rect, UINT flags) {
    AnsiString text = GetText();
    if ((flags & DT_CALCRECT) && (text.empty() || (showAccelChar_ && text == "&"))) text += ' ';
    DrawCaption(rect, flags, [&](HDC dc, RECT& r) {
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
    });
}

void TCustomLabel::DrawCaption(TRect& rect, UINT flags, const std::function<void(HDC, RECT&)>& drawText) {
    TCanvas* canvas = Canvas();
    canvas->SetFont(Font());
    if (!Enabled() && !(flags & DT_CALCRECT)) {
        // Disabled: embossed in the system's highlight and shadow colours.
        TRect r = rect;
        r.Offset(1, 1);
        canvas->Font()->SetColor(clBtnHighlight);
        drawText(canvas->Handle(), r);
        canvas->Font()->SetColor(clBtnShadow);
    }
    drawText(canvas->Handle(), rect);
}

void TCustomLabel::Paint() {
    TCanvas* canvas = Canvas();
    TRect r = ClientRect();
    if (!transparent_) {
        canvas->Brush()->SetColor(Color());
        canvas->Brush()->SetStyle(bsSolid);
        canvas->FillRect(r);
    }
    canvas->Brush()->SetStyle(bsClear);
    UINT flags = DrawTextFlags();
    if (layout_ != tlTop) {
        TRect calc = r;
        DoDrawText(calc, flags | DT_CALCRECT);
        int offset = r.Height() - calc.Height();
        if (layout_ == tlCenter) offset /= 2;
        r.top += offset;
    }
    DoDrawText(r, flags);
}

void TCustomLabel::AdjustBounds() {
    if (!autoSize_ || ComponentState().Contains(csLoading)) return;
    HDC screen = GetDC(nullptr);
    TRect r = ClientRect();
    {
        TCanvasAttach attach(Canvas(), screen);
        DoDrawText(r, DrawTextFlags() | DT_CALCRECT);
    }
    ReleaseDC(nullptr, screen);
    int x = Left();
    if (alignment_ == taRightJustify) x += Width() - r.right;
    SetBounds(x, Top(), r.right, r.bottom);
}

void TCustomLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TCustomLabel::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CM_TEXTCHANGED:
        case CM_FONTCHANGED:
            AdjustBounds();
            Invalidate();
            return;
    }
    TGraphicControl::Dispatch(Message);
}

void TLabel::DeclareProperties(TProps<TLabel>& P) { DeclareLabelProperties(P); }
