#include "KvBackImage.h"

#include <algorithm>
#include <cstring>

bool KvPaintGraphic(TCanvas* canvas, TGraphic* graphic, TKvBackImageStyle style, int width, int height,
                    bool transparent) {
    if (!graphic || graphic->Empty()) return false;
    if (graphic->Transparent() != transparent) graphic->SetTransparent(transparent);
    const int pw = graphic->Width(), ph = graphic->Height();
    switch (style) {
    case kvbmsCenter:
        canvas->Draw((width - pw) / 2, (height - ph) / 2, graphic);
        break;
    case kvbmsTiled: {
        const int dx = std::max(pw, 1), dy = std::max(ph, 1);
        for (int y = 0; y < height; y += dy)
            for (int x = 0; x < width; x += dx) canvas->Draw(x, y, graphic);
        break;
    }
    case kvbmsStretch:
        canvas->StretchDraw(TRect(0, 0, width, height), graphic);
        break;
    default:
        canvas->Draw(0, 0, graphic);
        break;
    }
    return true;
}

// ---- Window shapes from mask pixels ----------------------------------------

std::vector<TRect> KvMaskRuns(const uint32_t* pixels, int width, int height) {
    std::vector<TRect> runs;
    if (!pixels || width < 1 || height < 1) return runs;
    const uint32_t key = pixels[0];
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
        int x = 0;
        while (x < width) {
            if (row[x] == key) {
                ++x;
                continue;
            }
            int j = x;
            while (j < width && row[j] != key) ++j;
            runs.emplace_back(x, y, j, y + 1);
            x = j + 1;  // row[j] is the key colour (or j is past the row)
        }
    }
    return runs;
}

GdiRegion KvRegionFromRunsOneByOne(const std::vector<TRect>& runs) {
    GdiRegion acc;
    for (const TRect& r : runs) {
        GdiRegion piece(::CreateRectRgn(r.left, r.top, r.right, r.bottom));
        if (!piece) return GdiRegion();
        if (!acc) {
            acc = std::move(piece);
        } else if (::CombineRgn(acc, acc, piece, RGN_OR) == ERROR) {
            return GdiRegion();
        }
    }
    return acc;
}

namespace {

// One region from a few rectangles in a single call.
GdiRegion RegionFromRects(const TRect* rects, size_t count) {
    std::vector<BYTE> buffer(sizeof(RGNDATAHEADER) + count * sizeof(RECT));
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = static_cast<DWORD>(count);
    data->rdh.nRgnSize = static_cast<DWORD>(count * sizeof(RECT));
    RECT bound = rects[0];
    for (size_t i = 0; i < count; ++i) {
        bound.left = std::min(bound.left, rects[i].left);
        bound.top = std::min(bound.top, rects[i].top);
        bound.right = std::max(bound.right, rects[i].right);
        bound.bottom = std::max(bound.bottom, rects[i].bottom);
    }
    data->rdh.rcBound = bound;
    std::memcpy(data->Buffer, rects, count * sizeof(RECT));
    return GdiRegion(::ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()), data));
}

}  // namespace

GdiRegion KvRegionFromRuns(const std::vector<TRect>& runs) {
    // Some systems build a region from a rectangle list one union at a time,
    // each copying everything built so far. Small batches keep those unions
    // short, and merging the batches like a binary counter (two regions of the
    // same rank become one of the next rank) makes every run take part in
    // about log2(batches) unions; at most one region per rank is alive.
    constexpr size_t kBatch = 16;
    struct Ranked {
        GdiRegion region;
        int rank;
    };
    std::vector<Ranked> pending;
    for (size_t i = 0; i < runs.size(); i += kBatch) {
        GdiRegion part = RegionFromRects(runs.data() + i, std::min(kBatch, runs.size() - i));
        if (!part) return GdiRegion();
        int rank = 0;
        while (!pending.empty() && pending.back().rank == rank) {
            if (::CombineRgn(pending.back().region, pending.back().region, part, RGN_OR) == ERROR)
                return GdiRegion();
            part = std::move(pending.back().region);
            pending.pop_back();
            ++rank;
        }
        pending.push_back({std::move(part), rank});
    }
    GdiRegion acc;
    while (!pending.empty()) {
        GdiRegion part = std::move(pending.back().region);
        pending.pop_back();
        if (!acc) {
            acc = std::move(part);
        } else if (::CombineRgn(acc, acc, part, RGN_OR) == ERROR) {
            return GdiRegion();
        }
    }
    return acc;
}

// ---- The control ------------------------------------------------------------

const TEnumInfo KvBackImageStyleInfo{{"kvbmsNormal", "kvbmsCenter", "kvbmsTiled", "kvbmsStretch"}};

TKvBackImage::TKvBackImage(TComponent* AOwner) : TGraphicControl(AOwner) {
    style_ = kvbmsTiled;
    transparent_ = false;
    SetBounds(Left(), Top(), 105, 105);
    picture_ = std::make_unique<TPicture>();
    picture_->OnChange = [this](TObject* sender) { fPictureChanged(sender); };
}

TKvBackImage::~TKvBackImage() { picture_.reset(); }

namespace {
// An event member of a base class, as a member of TKvBackImage.
template <class F, class B>
F TKvBackImage::*Own(F B::*member) {
    return static_cast<F TKvBackImage::*>(member);
}
}  // namespace

void TKvBackImage::DeclareProperties(TProps<TKvBackImage>& P) {
    P.Object("Picture", &TKvBackImage::Picture)
        .Boolean("Transparent", &TKvBackImage::Transparent, &TKvBackImage::fSetTransparent, false)
        .Enum("Style", &TKvBackImage::Style, &TKvBackImage::fSetStyle, KvBackImageStyleInfo, kvbmsTiled)
        .Boolean("AutoSize", &TKvBackImage::AutoSize, &TKvBackImage::SetAutoSize, false)
        .Boolean("Enabled", &TKvBackImage::Enabled, &TKvBackImage::SetEnabled, true)
        .Boolean("Visible", &TKvBackImage::Visible, &TKvBackImage::SetVisible, true)
        .Event("OnClick", Own(&TKvBackImage::OnClick))
        .Event("OnDblClick", Own(&TKvBackImage::OnDblClick))
        .Event("OnMouseDown", Own(&TKvBackImage::OnMouseDown))
        .Event("OnMouseMove", Own(&TKvBackImage::OnMouseMove))
        .Event("OnMouseUp", Own(&TKvBackImage::OnMouseUp));
}

namespace Kvbackimage {
void Register() { RegisterComponents("Corvel", {ClassOf<TKvBackImage>()}); }
}  // namespace Kvbackimage

void TKvBackImage::fSetPicture(TPicture* value) { picture_->Assign(value); }

void TKvBackImage::fSetTransparent(bool value) {
    transparent_ = value;
    Invalidate();
}

void TKvBackImage::fSetStyle(TKvBackImageStyle value) {
    style_ = value;
    Invalidate();
}

void TKvBackImage::SetAutoSize(bool value) {
    autoSize_ = value;
    fAdjustBounds();
}

void TKvBackImage::fPictureChanged(TObject*) { PictureChanged(); }

void TKvBackImage::PictureChanged() { fAdjustBounds(); }

void TKvBackImage::Resize() {
    TGraphicControl::Resize();
    fAdjustBounds();
}

void TKvBackImage::fAdjustBounds() {
    TGraphic* graphic = picture_ ? picture_->Graphic() : nullptr;
    if (autoSize_ && graphic && !graphic->Empty() && !adjusting_ &&
        (Width() != graphic->Width() || Height() != graphic->Height())) {
        adjusting_ = true;  // the resize below comes back here
        struct Reset {
            bool& flag;
            ~Reset() { flag = false; }
        } reset{adjusting_};
        SetBounds(Left(), Top(), graphic->Width(), graphic->Height());
    }
    Invalidate();
}

bool TKvBackImage::PaintPicture(TPicture* picture) {
    if (!picture) return false;
    return KvPaintGraphic(Canvas(), picture->Graphic(), style_, Width(), Height(), transparent_);
}

void TKvBackImage::Paint() {
    if (PaintPicture(picture_.get())) return;
    // An empty image shows an outline that inverts whatever lies beneath it.
    TCanvas* c = Canvas();
    c->Pen()->SetMode(pmXor);
    c->Pen()->SetColor(clWhite);
    c->Brush()->SetStyle(bsClear);
    c->Rectangle(0, 0, Width(), Height());
}

bool TKvBackImage::ApplyShapeTo(TWinControl* control, bool redraw) {
    return ApplyShapeTo(control, picture_->Graphic(), redraw);
}

bool TKvBackImage::ApplyShapeTo(TWinControl* control, TGraphic* graphic, bool redraw) {
    if (!graphic || !control || graphic->Empty()) return false;
    const int gw = graphic->Width(), gh = graphic->Height();
    if (gw < 1 || gh < 1) return false;

    std::vector<std::uint32_t> pixels(static_cast<size_t>(gw) * static_cast<size_t>(gh));
    {
        TBitmap bitmap;  // freed however this block is left
        bitmap.SetPixelFormat(pf32bit);
        bitmap.SetSize(gw, gh);
        bitmap.Canvas()->Draw(0, 0, graphic);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = gw;
        info.bmiHeader.biHeight = -gh;  // rows top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        HBITMAP handle = bitmap.Handle();
        ScreenDC screen;
        if (!handle || ::GetDIBits(screen, handle, 0, static_cast<UINT>(gh), pixels.data(), &info, DIB_RGB_COLORS) != gh)
            return false;
    }

    GdiRegion region = KvRegionFromRuns(KvMaskRuns(pixels.data(), gw, gh));
    if (!region) return false;
    if (!control->HandleAllocated() && !control->Parent()) return false;  // no window to shape
    if (!::SetWindowRgn(control->Handle(), region, redraw)) return false;
    region.Detach();  // the system owns it now
    return true;
}
