// The system push button and the label.
#pragma once

#include <functional>

#include "Controls.h"

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = IDOK;
constexpr TModalResult mrCancel = IDCANCEL;
constexpr TModalResult mrAbort = IDABORT;
constexpr TModalResult mrRetry = IDRETRY;
constexpr TModalResult mrIgnore = IDIGNORE;
constexpr TModalResult mrYes = IDYES;
constexpr TModalResult mrNo = IDNO;

// A real system push button (window class = the C++ class name, subclassing
// BUTTON). Click runs on BN_CLICKED, which reaches the button as CN_COMMAND.
// SetButtonStyle(true) is called when the button becomes the one the Enter
// key would press (it has the focus, or the focus is on a control that is
// not a button and this is the form's Default button), false when it stops.
class TButton : public TWinControl {
    CLASS_NAME(TButton)
    PUBLISHED(TButton, TWinControl)
public:
    explicit TButton(TComponent* AOwner);

    bool Default() const { return default_; }
    void SetDefault(bool value);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool value) { cancel_ = value; }
    // Set on the parent form when the button is clicked (mrNone: nothing).
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult value) { modalResult_ = value; }
    // Whether the button is the one Enter presses now.
    bool Active() const { return active_; }

    void Click() override;
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    // Default look: BS_DEFPUSHBUTTON while active.
    virtual void SetButtonStyle(bool ADefault);

private:
    bool default_ = false;
    bool cancel_ = false;
    bool active_ = false;
    TModalResult modalResult_ = mrNone;
};

enum TTextLayout { tlTop, tlCenter, tlBottom };
extern const TEnumInfo TextLayoutInfo;

// A windowless text. With AutoSize it takes the size of its text, keeping
// its Left (right-justified: keeping its right edge); an empty caption is
// measured as one blank so that the label keeps a line's height.
class TCustomLabel : public TGraphicControl {
    CLASS_NAME(TCustomLabel)
public:
    explicit TCustomLabel(TComponent* AOwner);

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    // "&" marks the next character as the accelerator (underlined); "&&" is one "&".
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout value);

    void Dispatch(TMessage& Message) override;

    // The label's published properties, for TLabel and the other label classes.
    template <class C>
    static void DeclareLabelProperties(TProps<C>& P);

protected:
    void Paint() override;
    void Loaded() override;
    // Draws (or with DT_CALCRECT measures) the caption into rect on the canvas.
    virtual void DoDrawText(TRect& rect, UINT flags);
    // Draws the caption through drawText in the font's colour, or embossed
    // when the label is disabled (DT_CALCRECT only measures).
    void DrawCaption(TRect& rect, UINT flags, const std::function<void(HDC, RECT&)>& drawText);
    // The DrawText flags of the current settings.
    UINT DrawTextFlags() const;
    void AdjustBounds();

private:
    TAlignment alignment_ = taLeftJustify;
    bool autoSize_ = true;
    bool transparent_ = false;
    bool showAccelChar_ = true;
    bool wordWrap_ = false;
    TTextLayout layout_ = tlTop;
};

class TLabel : public TCustomLabel {
    CLASS_NAME(TLabel)
    PUBLISHED(TLabel, TCustomLabel)
public:
    using TCustomLabel::TCustomLabel;
};


template <class C>
void TCustomLabel::DeclareLabelProperties(TProps<C>& P) {
    P.Enum("Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment, AlignmentInfo, taLeftJustify)
        .Boolean("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize, true)
        .String("Caption", &TCustomLabel::GetText, &TCustomLabel::SetText)
        .Enum("Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout, TextLayoutInfo, tlTop)
        .Boolean("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar, true)
        .Boolean("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent, false)
        .Boolean("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap, false);
}
