// The background image control: a windowless picture in one of four
// placements, sized to its picture on request, and the shaping of a window
// to the figure of a mask picture.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "Controls.h"
#include "GdiHandle.h"
#include "Graphics.h"

enum TKvBackImageStyle : std::uint8_t { kvbmsNormal, kvbmsCenter, kvbmsTiled, kvbmsStretch };
extern const TEnumInfo KvBackImageStyleInfo;

// Paints a graphic over the area (0, 0, width, height) of a canvas in one of
// the placements; the graphic's transparency is set to `transparent` first.
// False when there is nothing to paint (no graphic, or an empty one).
bool KvPaintGraphic(TCanvas* canvas, TGraphic* graphic, TKvBackImageStyle style, int width, int height,
                    bool transparent);

// The horizontal runs of a 32-bit picture (rows top-down, `width` pixels a
// row) whose pixels differ from the key colour, the top-left pixel: one
// rectangle (x, y, j, y + 1) per run, row by row, left to right.
std::vector<TRect> KvMaskRuns(const std::uint32_t* pixels, int width, int height);
// The union of the runs built in one go; empty when there are none.
GdiRegion KvRegionFromRuns(const std::vector<TRect>& runs);
// The same union merged one run at a time (the reference for the above).
GdiRegion KvRegionFromRunsOneByOne(const std::vector<TRect>& runs);

class TKvBackImage : public TGraphicControl {
    CLASS_NAME(TKvBackImage)
    PUBLISHED(TKvBackImage, TGraphicControl)
public:
    explicit TKvBackImage(TComponent* AOwner);
    ~TKvBackImage() override;

    TPicture* Picture() const { return picture_.get(); }
    void fSetPicture(TPicture* value);
    bool Transparent() const { return transparent_; }
    void fSetTransparent(bool value);
    TKvBackImageStyle Style() const { return style_; }
    void fSetStyle(TKvBackImageStyle value);
    bool AutoSize() const { return autoSize_; }
    virtual void SetAutoSize(bool value);

    // Cuts the window of `control` to the figure of this control's picture.
    virtual bool ApplyShapeTo(TWinControl* control, bool redraw);
    // Paints a picture in the current style; false when there was nothing to paint.
    virtual bool PaintPicture(TPicture* picture);
    virtual void PictureChanged();

    // Cuts the window of `control` to the figure of `graphic`: every pixel of
    // the key colour (the top-left one) is cut away. False, leaving the
    // window as it was, when there is no control or graphic, the graphic is
    // empty or all of the key colour, or the system refuses.
    static bool ApplyShapeTo(TWinControl* control, TGraphic* graphic, bool redraw);

    void fAdjustBounds();

protected:
    void Paint() override;
    void Resize() override;

private:
    void fPictureChanged(TObject* Sender);

    std::unique_ptr<TPicture> picture_;
    bool transparent_ = false;
    TKvBackImageStyle style_ = kvbmsTiled;
    bool autoSize_ = false;
    bool adjusting_ = false;
};

namespace Kvbackimage {
// Puts TKvBackImage on the palette page "Corvel".
void Register();
}  // namespace Kvbackimage
