#include "TntStdCtrls.h"

void TTntLabel::DeclareProperties(TProps<TTntLabel>& P) {
    DeclareLabelProperties(P);
    P.WideStr("Caption", &TTntLabel::Caption, &TTntLabel::SetCaption);
}

TTntLabel::TTntLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}

WideString TTntLabel::Caption() {
    int len = GetTextLen();
    WideString w(static_cast<size_t>(len) + 1, L'\0');
    int n = static_cast<int>(Perform(WM_GETTEXT, w.size(), reinterpret_cast<LPARAM>(&w[0])));
    w.resize(static_cast<size_t>(n < 0 ? 0 : n));
    return w;
}

void TTntLabel::SetCaption(const WideString& value) {
    if (Caption() == value) return;
    Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
    Perform(CM_TEXTCHANGED);
}

void TTntLabel::DoDrawText(TRect& rect, UINT flags) {
    WideString text = Caption();
    if ((flags & DT_CALCRECT) && (text.empty() || (ShowAccelChar() && text == L"&"))) text += L' ';
    TCanvas* canvas = Canvas();
    canvas->SetFont(Font());
    if (!Enabled() && !(flags & DT_CALCRECT)) {
        TRect r = rect;
        r.Offset(1, 1);
        canvas->Font()->SetColor(clBtnHighlight);
        DrawTextW(canvas->Handle(), text.c_str(), static_cast<int>(text.size()), &r, flags);
        canvas->Font()->SetColor(clBtnShadow);
    }
    DrawTextW(canvas->Handle(), text.c_str(), static_cast<int>(text.size()), &rect, flags);
}

void TTntButton::DeclareProperties(TProps<TTntButton>& P) {
    P.WideStr("Caption", &TTntButton::Caption, &TTntButton::SetCaption)
        .Enum("BiDiMode", &TTntButton::BiDiMode, &TTntButton::SetBiDiMode, BiDiModeInfo, bdLeftToRight)
        .StoredIf([](TTntButton* b) { return !b->ParentBiDiMode(); })
        .Boolean("ParentBiDiMode", &TTntButton::ParentBiDiMode, &TTntButton::SetParentBiDiMode, true);
}

TTntButton::TTntButton(TComponent* AOwner) : TButton(AOwner) {}

WideString TTntButton::Caption() {
    int len = GetTextLen();
    WideString w(static_cast<size_t>(len) + 1, L'\0');
    int n = static_cast<int>(Perform(WM_GETTEXT, w.size(), reinterpret_cast<LPARAM>(&w[0])));
    w.resize(static_cast<size_t>(n < 0 ? 0 : n));
    return w;
}

void TTntButton::SetCaption(const WideString& value) {
    if (Caption() == value) return;
    Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
    Perform(CM_TEXTCHANGED);
}
