// Label and button with wide (UTF-16) captions.
#pragma once

#include "StdCtrls.h"

// A label whose caption is wide text, drawn with DrawTextW.
class TTntLabel : public TCustomLabel {
    CLASS_NAME(TTntLabel)
    PUBLISHED(TTntLabel, TCustomLabel)
public:
    explicit TTntLabel(TComponent* AOwner);

    WideString Caption() { return GetWideText(); }
    void SetCaption(const WideString& value) { SetWideText(value); }

protected:
    bool IsWideText() const override { return true; }
    void DoDrawText(TRect& rect, UINT flags) override;
};

// A push button whose window is a wide window (class "TTntButton" registered
// with the wide API), so that any caption round-trips.
class TTntButton : public TButton {
    CLASS_NAME(TTntButton)
    PUBLISHED(TTntButton, TButton)
public:
    explicit TTntButton(TComponent* AOwner);

    WideString Caption() { return GetWideText(); }
    void SetCaption(const WideString& value) { SetWideText(value); }

protected:
    bool IsWideText() const override { return true; }
};
