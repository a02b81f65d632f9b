#include "TntStdCtrls.h"

void TTntLabel::DeclareProperties(TProps<TTntLabel>& P) {
    DeclareLabelProperties(P);
    P.WideStr("Caption", &TTntLabel::Caption, &TTntLabel::SetCaption);
}

TTntLabel::TTntLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}


void TTntLabel::DoDrawText(TRect& rect, UINT flags) {
    WideString text = Caption();
    if ((flags & DT_CALCRECT) && (text.empty() || (ShowAccelChar() && text == L"&"))) text += L' ';
    DrawCaption(rect, flags, [&](HDC dc, RECT& r) {
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
    });
}

void TTntButton::DeclareProperties(TProps<TTntButton>& P) {
    P.WideStr("Caption", &TTntButton::Caption, &TTntButton::SetCaption)
        .Enum("BiDiMode", &TTntButton::BiDiMode, &TTntButton::SetBiDiMode, BiDiModeInfo, bdLeftToRight)
        .StoredIf([](TTntButton* b) { return !b->ParentBiDiMode(); })
        .Boolean("ParentBiDiMode", &TTntButton::ParentBiDiMode, &TTntButton::SetParentBiDiMode, true);
}

TTntButton::TTntButton(TComponent* AOwner) : TButton(AOwner) {}

