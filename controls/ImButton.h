// The image button: an owner-drawn system push button with six looks, a
// picture strip, a hover animation, a window shape from a mask picture and
// an optional drawing event of the user's own.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "Controls.h"
#include "ExtCtrls.h"
#include "Graphics.h"
#include "StdCtrls.h"

enum TImBtnKind : std::uint8_t {
    ibkNormal,
    ibkFlat,
    ibkBevelFlat,
    ibkUltraFlat,
    ibkFullPicture,
    ibkWindowsXP
};
extern const TEnumInfo ImBtnKindInfo;

// State bits of one paint, passed to the drawing routines and to OnOwnerDraw.
constexpr int ibsPushed = 1;
constexpr int ibsFocused = 2;
constexpr int ibsHot = 4;
constexpr int ibsAnimated = 8;
constexpr int ibsDisabled = 16;
constexpr int ibsDefault = 32;

// Draws on top of (or, without DefaultDraw, instead of) the default drawing.
// iCounter is the button's animation frame counter; the handler may change it.
using TImOwnerDrawEvent =
    std::function<void(TObject* Sender, TCanvas* lpCanvas, TRect* lpRect, int iStatus, int& iCounter)>;

class TCustomImButton;

// The button's colour set: four slots, clDefault meaning "use the button's Color".
class TImButtonColors : public TPersistent {
    CLASS_NAME(TImButtonColors)
    PUBLISHED(TImButtonColors, TPersistent)
public:
    explicit TImButtonColors(TControl* AOwner);

    void ResetToDefault();
    TColor fGetIbColor(int index) const;
    void fSetIbColor(int index, TColor value);
    // Copies from another colour set; anything else is ignored.
    void Assign(TPersistent* Source) override;

    TColor DefaultColor() const { return fGetIbColor(0); }
    void SetDefaultColor(TColor v) { fSetIbColor(0, v); }
    TColor DisabledColor() const { return fGetIbColor(1); }
    void SetDisabledColor(TColor v) { fSetIbColor(1, v); }
    TColor PushedColor() const { return fGetIbColor(2); }
    void SetPushedColor(TColor v) { fSetIbColor(2, v); }
    TColor HotColor() const { return fGetIbColor(3); }
    void SetHotColor(TColor v) { fSetIbColor(3, v); }

    static constexpr int SlotCount = 4;

private:
    void OwnerChanged();

    TControl* owner_;  // not owned
    TColor slots_[SlotCount];
};

class TCustomImButton : public TButton {
    CLASS_NAME(TCustomImButton)
public:
    explicit TCustomImButton(TComponent* AOwner);
    ~TCustomImButton() override;

    // Properties (published by TImButton).
    bool DefaultDraw() const { return defaultDraw_; }
    void SetDefaultDraw(bool value) { defaultDraw_ = value; }
    bool Animated() const { return animated_; }
    void fSetAnimate(bool value);
    int fGetAniSpd() const;
    void fSetAniSpd(int value);
    int AnimatedCount() const { return animatedCount_; }
    void fSetAniCount(int value);
    int Spacing() const { return spacing_; }
    void fSetSpacing(int value);
    bool FocusRect() const { return focusRect_; }
    void fSetFocusRect(bool value);
    TImBtnKind Looks() const { return looks_; }
    void fSetLooks(TImBtnKind value);
    TImButtonColors* fGetBtnColors() const { return colors_.get(); }
    void fSetBtnColors(TImButtonColors* value);
    TColor HotTextColor() const { return hotTextColor_; }
    void SetHotTextColor(TColor value) { hotTextColor_ = value; }
    bool Transparent() const { return transparent_; }
    void fSetTransparent(bool value);
    TPicture* Picture() const { return picture_.get(); }
    void fSetNomPicture(TPicture* value);
    TPicture* MaskPicture() const { return maskPicture_.get(); }
    void fSetMaskPicture(TPicture* value);
    int PictureCount() const { return pictureCount_; }
    void fSetPicCount(int value);
    TPicture* AnimatePicture() const { return animatePicture_.get(); }
    void fSetHotPicutre(TPicture* value);
    bool ShowFullPicCaption() const { return showFullPicCaption_; }
    void fSetShowFullPicCaption(bool value);

    TImOwnerDrawEvent OnOwnerDraw;
    // The button's own hover events: raised by fMouseEnter and fMouseLeave,
    // which discard the platform's errors they raise. They hide the
    // platform's events of the same name, which stay unused here.
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    // Colour resolution for a set of state bits.
    TColor fGetBtnColor(int state);
    TColor fGetFrameColor(int state);
    // Drawing; each draws into any canvas.
    void fDrawFrameRect(TCanvas* canvas, const TRect& rect, int state);
    void fDefaultDrawNormal(TCanvas* canvas, const TRect& rect, int state);
    void fDefaultDrawFullPc(TCanvas* canvas, const TRect& rect, int state);
    void fDrawCaptionText(TCanvas* canvas, const TRect& focus, int state, const TRect& text);
    // One paint from the system's draw record.
    void DrawItem(const DRAWITEMSTRUCT& item);

    // Window shapes.
    void fRgnXpAdjust();
    void fMaskPicChanged(TObject* Sender);

    // Hover transitions and the hover timer's tick.
    void fMouseEnter();
    void fMouseLeave();
    void ImMousePosTimer(TObject* Sender);

    // State as the last input left it (for the host and for tests).
    bool IsHot() const { return hot_; }
    bool IsButtonDown() const { return buttonDown_; }
    bool IsPushed() const { return pushed_; }
    bool IsDefault() const { return default_; }
    int FrameCounter() const { return counter_; }
    // The state bits a paint would use now, without the system's item state.
    int StateBits() const;
    TTimer* HoverTimer() const { return timer_; }

    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void SetButtonStyle(bool ADefault) override;

private:
    struct TFrameChoice {
        TPicture* picture = nullptr;
        int count = 0;  // the declared count first, the frame count once chosen
        int index = 0;
    };
    TFrameChoice _SelectPicture(int state);
    int _FrameCount(TPicture* picture, int declared) const;
    void _DrawXpFace(TCanvas* c, int L, int T, int r, int s, int W, int H, int state);
    void _DrawEmbossed(TCanvas* c, TBitmap& frame, TGraphic* graphic, const TRect& pic);
    void _CaptureBackground(TCanvas* c);
    HWND _ShapedWindow();
    void _RemoveRegion(bool redraw);
    void WMMouseMove(TMessage& Message);
    void WMLButtonDown(TMessage& Message);
    void WMLButtonUp(TMessage& Message);
    void WMLButtonDblClk(TMessage& Message);
    void WMSize(TMessage& Message);
    void CNDrawItem(TMessage& Message);
    void CNMeasureItem(TMessage& Message);

    TImBtnKind looks_ = ibkNormal;
    std::unique_ptr<TImButtonColors> colors_;
    TColor hotTextColor_ = clBlue;
    bool transparent_ = false;
    bool drawing_ = false;
    bool showFullPicCaption_ = false;
    bool defaultDraw_ = true;
    bool focusRect_ = true;
    bool hot_ = false;
    bool buttonDown_ = false;
    bool pushed_ = false;
    bool animated_ = false;
    bool default_ = false;
    TTimer* timer_ = nullptr;  // owned; also listed among the button's components
    std::int32_t counter_ = 0;
    std::int32_t spacing_ = 2;
    std::int32_t pictureCount_ = 0;
    std::int32_t animatedCount_ = 0;
    std::unique_ptr<TPicture> animatePicture_;
    std::unique_ptr<TPicture> picture_;
    std::unique_ptr<TPicture> maskPicture_;
};

class TImButton : public TCustomImButton {
    CLASS_NAME(TImButton)
    PUBLISHED(TImButton, TCustomImButton)
public:
    explicit TImButton(TComponent* AOwner);
    ~TImButton() override;
};

namespace Imbutton {
// Puts TImButton on the palette page "Corvel".
void Register();
}  // namespace Imbutton
