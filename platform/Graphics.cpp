#include "Graphics.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

std::vector<char> ReadWholeFile(const AnsiString& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) throw EInvalidGraphic(Format("Cannot open file \"%s\"", fileName));
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteWholeFile(const AnsiString& fileName, const std::vector<char>& bytes) {
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    if (!out) throw EInvalidGraphic(Format("Cannot create file \"%s\"", fileName));
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw EInvalidGraphic(Format("Cannot create file \"%s\"", fileName));
}

// Copies the top-left width x height pixels of one bitmap onto another
// through two memory contexts. A colour source turns into black and white on
// a monochrome target by the source context's background colour (white).
void CopyBits(HBITMAP target, HBITMAP source, int width, int height) {
    GdiMemoryDC targetDC(::CreateCompatibleDC(nullptr));
    GdiMemoryDC sourceDC(::CreateCompatibleDC(nullptr));
    SelectObjectGuard selectTarget(targetDC, target);
    SelectObjectGuard selectSource(sourceDC, source);
    ::BitBlt(targetDC, 0, 0, width, height, sourceDC, 0, 0, SRCCOPY);
}

// Fills a whole bitmap black (device bitmaps start with undefined content).
void ClearBits(HBITMAP bitmap, int width, int height) {
    GdiMemoryDC dc(::CreateCompatibleDC(nullptr));
    SelectObjectGuard select(dc, bitmap);
    ::PatBlt(dc, 0, 0, width, height, BLACKNESS);
}

}  // namespace

TColor ColorToRGB(TColor color) {
    if (color & clSystemColor) return ::GetSysColor(static_cast<int>(color & 0xFF));
    return color;
}

// ---------------------------------------------------------------- font, pen, brush

void TGraphicsObject::Changed() {
    if (OnChange) OnChange(this);
}

TFont::TFont() = default;

// Observers hear of the change before the old object is freed, so that a
// canvas can select it out of its context first.
void TFont::Modified() {
    GdiFont old = std::move(handle_);  // freed after the observers let go of it
    Changed();
}

void TFont::SetName(const AnsiString& value) {
    if (value == name_) return;
    name_ = value;
    Modified();
}

void TFont::SetHeight(int value) {
    if (value == height_) return;
    height_ = value;
    Modified();
}

static int ScreenPixelsPerInch() {
    ScreenDC dc;
    return ::GetDeviceCaps(dc, LOGPIXELSY);
}

int TFont::Size() const { return -::MulDiv(height_, 72, ScreenPixelsPerInch()); }

void TFont::SetSize(int points) { SetHeight(-::MulDiv(points, ScreenPixelsPerInch(), 72)); }

void TFont::SetColor(TColor value) {
    if (value == color_) return;
    color_ = value;
    Changed();  // the colour is the context's text colour, not part of the font object
}

void TFont::SetCharset(BYTE value) {
    if (value == charset_) return;
    charset_ = value;
    Modified();
}

void TFont::SetStyle(TFontStyles value) {
    if (value == style_) return;
    style_ = value;
    Modified();
}

HFONT TFont::Handle() {
    if (!handle_) {
        handle_.Reset(::CreateFontA(height_, 0, 0, 0, style_.Contains(fsBold) ? FW_BOLD : FW_NORMAL,
                                    style_.Contains(fsItalic), style_.Contains(fsUnderline),
                                    style_.Contains(fsStrikeOut), charset_, OUT_DEFAULT_PRECIS,
                                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                    name_.c_str()));
    }
    return handle_;
}

void TFont::Assign(TPersistent* Source) {
    if (auto* font = dynamic_cast<TFont*>(Source)) {
        if (font == this) return;
        bool objectChanges = font->name_ != name_ || font->height_ != height_ ||
                             font->charset_ != charset_ || font->style_ != style_;
        bool colorChanges = font->color_ != color_;
        name_ = font->name_;
        height_ = font->height_;
        charset_ = font->charset_;
        style_ = font->style_;
        color_ = font->color_;
        if (objectChanges)
            Modified();
        else if (colorChanges)
            Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TPen::Modified() {
    GdiPen old = std::move(handle_);  // freed after the observers let go of it
    Changed();
}

void TPen::SetColor(TColor value) {
    if (value == color_) return;
    color_ = value;
    Modified();
}

void TPen::SetWidth(int value) {
    if (value == width_) return;
    width_ = value;
    Modified();
}

void TPen::SetStyle(TPenStyle value) {
    if (value == style_) return;
    style_ = value;
    Modified();
}

void TPen::SetMode(TPenMode value) {
    if (value == mode_) return;
    mode_ = value;
    Changed();  // a context setting (SetROP2), the pen object stays
}

int TPen::Rop2() const {
    static const int codes[] = {
        R2_BLACK,       R2_WHITE,       R2_NOP,      R2_NOT,         R2_COPYPEN,  R2_NOTCOPYPEN,
        R2_MERGEPENNOT, R2_MASKPENNOT,  R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN, R2_NOTMERGEPEN,
        R2_MASKPEN,     R2_NOTMASKPEN,  R2_XORPEN,   R2_NOTXORPEN,
    };
    return codes[mode_];
}

HPEN TPen::Handle() {
    if (!handle_) {
        static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
        handle_.Reset(::CreatePen(styles[style_], width_, ColorToRGB(color_)));
    }
    return handle_;
}

void TPen::Assign(TPersistent* Source) {
    if (auto* pen = dynamic_cast<TPen*>(Source)) {
        if (pen == this) return;
        color_ = pen->color_;
        width_ = pen->width_;
        style_ = pen->style_;
        mode_ = pen->mode_;
        Modified();
        return;
    }
    TPersistent::Assign(Source);
}

void TBrush::Modified() {
    GdiBrush old = std::move(handle_);  // freed after the observers let go of it
    Changed();
}

void TBrush::SetColor(TColor value) {
    if (value == color_) return;
    color_ = value;
    Modified();
}

void TBrush::SetStyle(TBrushStyle value) {
    if (value == style_) return;
    style_ = value;
    Modified();
}

HBRUSH TBrush::Handle() {
    if (!handle_) {
        LOGBRUSH lb{};
        lb.lbStyle = style_ == bsClear ? BS_NULL : BS_SOLID;
        lb.lbColor = ColorToRGB(color_);
        handle_.Reset(::CreateBrushIndirect(&lb));
    }
    return handle_;
}

void TBrush::Assign(TPersistent* Source) {
    if (auto* brush = dynamic_cast<TBrush*>(Source)) {
        if (brush == this) return;
        color_ = brush->color_;
        style_ = brush->style_;
        Modified();
        return;
    }
    TPersistent::Assign(Source);
}

// ---------------------------------------------------------------- canvas

TCanvas::TCanvas() {
    // A changed font, pen or brush is selected out of the context before
    // its old object is freed; the new one is selected on the next use.
    font_.OnChange = [this](TObject*) {
        if (dc_ && selFont_) {
            ::SelectObject(dc_, oldFont_);
            selFont_ = nullptr;
        }
    };
    pen_.OnChange = [this](TObject*) {
        if (dc_ && selPen_) {
            ::SelectObject(dc_, oldPen_);
            selPen_ = nullptr;
        }
    };
    brush_.OnChange = [this](TObject*) {
        if (dc_ && selBrush_) {
            ::SelectObject(dc_, oldBrush_);
            selBrush_ = nullptr;
        }
    };
}

TCanvas::~TCanvas() { ReleaseHandle(); }

HDC TCanvas::Handle() {
    RequireObjects();
    return dc_;
}

void TCanvas::SetHandle(HDC dc) {
    if (dc == dc_) return;
    ReleaseHandle();
    dc_ = dc;
    ownsDC_ = false;
}

void TCanvas::AdoptHandle(HDC dc) {
    ReleaseHandle();
    dc_ = dc;
    ownsDC_ = true;
}

void TCanvas::ReleaseHandle() {
    if (!dc_) return;
    DeselectObjects();
    HDC dc = dc_;
    bool owned = ownsDC_;
    dc_ = nullptr;
    ownsDC_ = false;
    if (owned) FreeHandle(dc);
}

void TCanvas::RequireObjects() {
    if (!dc_) CreateHandle();
    if (!dc_) return;
    HFONT font = font_.Handle();
    if (font != selFont_) {
        HGDIOBJ old = ::SelectObject(dc_, font);
        if (!oldFont_) oldFont_ = old;
        selFont_ = font;
    }
    HPEN pen = pen_.Handle();
    if (pen != selPen_) {
        HGDIOBJ old = ::SelectObject(dc_, pen);
        if (!oldPen_) oldPen_ = old;
        selPen_ = pen;
    }
    HBRUSH brush = brush_.Handle();
    if (brush != selBrush_) {
        HGDIOBJ old = ::SelectObject(dc_, brush);
        if (!oldBrush_) oldBrush_ = old;
        selBrush_ = brush;
    }
    ::SetTextColor(dc_, ColorToRGB(font_.Color()));
    ::SetBkColor(dc_, ColorToRGB(brush_.Color()));
    ::SetBkMode(dc_, brush_.Style() == bsClear ? TRANSPARENT : OPAQUE);
    ::SetROP2(dc_, pen_.Rop2());
}

void TCanvas::DeselectObjects() {
    if (oldFont_) ::SelectObject(dc_, oldFont_);
    if (oldPen_) ::SelectObject(dc_, oldPen_);
    if (oldBrush_) ::SelectObject(dc_, oldBrush_);
    oldFont_ = oldPen_ = oldBrush_ = nullptr;
    selFont_ = nullptr;
    selPen_ = nullptr;
    selBrush_ = nullptr;
}

TPoint TCanvas::PenPos() {
    TPoint p;
    if (HDC dc = Handle()) ::GetCurrentPositionEx(dc, &p);
    return p;
}

void TCanvas::MoveTo(int x, int y) {
    if (HDC dc = Handle()) ::MoveToEx(dc, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
    if (HDC dc = Handle()) ::LineTo(dc, x, y);
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    if (HDC dc = Handle()) ::Rectangle(dc, x1, y1, x2, y2);
}

void TCanvas::FillRect(const TRect& r) {
    if (HDC dc = Handle()) ::FillRect(dc, &r, brush_.Handle());
}

void TCanvas::FrameRect(const TRect& r) {
    if (HDC dc = Handle()) ::FrameRect(dc, &r, brush_.Handle());
}

void TCanvas::DrawFocusRect(const TRect& r) {
    if (HDC dc = Handle()) ::DrawFocusRect(dc, &r);
}

TColor TCanvas::Pixels(int x, int y) {
    HDC dc = Handle();
    return dc ? ::GetPixel(dc, x, y) : CLR_INVALID;
}

void TCanvas::SetPixels(int x, int y, TColor color) {
    if (HDC dc = Handle()) ::SetPixel(dc, x, y, ColorToRGB(color));
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
    if (!graphic || graphic->Empty()) return;
    graphic->Draw(this, Bounds(x, y, graphic->Width(), graphic->Height()));
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic* graphic) {
    if (!graphic || graphic->Empty()) return;
    graphic->Draw(this, rect);
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* canvas, const TRect& src) {
    if (!canvas) return;
    HDC source = canvas->Handle();
    HDC dc = Handle();
    if (!dc || !source) return;
    int oldMode = ::SetStretchBltMode(dc, COLORONCOLOR);
    ::StretchBlt(dc, dest.left, dest.top, dest.Width(), dest.Height(), source, src.left, src.top, src.Width(),
                 src.Height(), copyMode_);
    ::SetStretchBltMode(dc, oldMode);
}

void TCanvas::TextOut(int x, int y, const AnsiString& text) {
    HDC dc = Handle();
    if (!dc) return;
    ::TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
    ::MoveToEx(dc, x + TextWidth(text), y, nullptr);
}

void TCanvas::TextOutW(int x, int y, const WideString& text) {
    HDC dc = Handle();
    if (!dc) return;
    ::TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
    ::MoveToEx(dc, x + TextWidthW(text), y, nullptr);
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const AnsiString& text) {
    HDC dc = Handle();
    if (!dc) return;
    UINT options = ETO_CLIPPED | (brush_.Style() == bsClear ? 0 : ETO_OPAQUE);
    ::ExtTextOutA(dc, x, y, options, &rect, text.c_str(), static_cast<UINT>(text.size()), nullptr);
}

TSize TCanvas::TextExtent(const AnsiString& text) {
    TSize size;
    if (HDC dc = Handle()) ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

TSize TCanvas::TextExtentW(const WideString& text) {
    TSize size;
    if (HDC dc = Handle()) ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

// ---------------------------------------------------------------- graphics

void TGraphic::SetTransparent(bool value) {
    if (value == transparent_) return;
    transparent_ = value;
    Changed();
}

void TGraphic::Changed() {
    if (OnChange) OnChange(this);
}

TBitmapCanvas::~TBitmapCanvas() { ReleaseHandle(); }

void TBitmapCanvas::CreateHandle() {
    HDC dc = ::CreateCompatibleDC(nullptr);
    if (!dc) return;
    oldBitmap_ = bitmap_->handle_ ? ::SelectObject(dc, bitmap_->handle_) : nullptr;
    AdoptHandle(dc);
}

void TBitmapCanvas::FreeHandle(HDC dc) {
    if (oldBitmap_) ::SelectObject(dc, oldBitmap_);
    oldBitmap_ = nullptr;
    ::DeleteDC(dc);
}

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
    canvas_.reset();  // the context lets go of the bitmap before it is freed
}

HBITMAP TBitmap::NewBitmap(TPixelFormat format, int width, int height) const {
    if (width <= 0 || height <= 0) return nullptr;
    HBITMAP bitmap = nullptr;
    switch (format) {
    case pf1bit:
        // A device monochrome bitmap: drawn onto colour, its black pixels
        // take the target's text colour and its white ones the background.
        bitmap = ::CreateBitmap(width, height, 1, 1, nullptr);
        if (bitmap) ClearBits(bitmap, width, height);
        break;
    case pfDevice: {
        ScreenDC screen;
        bitmap = ::CreateCompatibleBitmap(screen, width, height);
        if (bitmap) ClearBits(bitmap, width, height);
        break;
    }
    case pf24bit:
    case pf32bit: {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = format == pf24bit ? 24 : 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);  // zero-filled
        break;
    }
    }
    if (!bitmap) throw EInvalidGraphicOperation("Out of system resources");
    return bitmap;
}

void TBitmap::Replace(HBITMAP bitmap, TPixelFormat format, int width, int height) {
    if (canvas_) canvas_->ReleaseHandle();
    handle_.Reset(bitmap);
    pixelFormat_ = format;
    width_ = width;
    height_ = height;
    Changed();
}

void TBitmap::SetSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_) return;
    HBITMAP bitmap = NewBitmap(pixelFormat_, width, height);
    if (bitmap && handle_) {
        if (canvas_) canvas_->ReleaseHandle();
        CopyBits(bitmap, handle_, std::min(width, width_), std::min(height, height_));
    }
    Replace(bitmap, pixelFormat_, width, height);
}

TCanvas* TBitmap::Canvas() {
    if (!canvas_) canvas_ = std::make_unique<TBitmapCanvas>(this);
    return canvas_.get();
}

HBITMAP TBitmap::Handle() {
    if (canvas_) canvas_->ReleaseHandle();
    return handle_;
}

void TBitmap::SetHandle(HBITMAP bitmap) {
    if (bitmap && bitmap == handle_.Get()) return;
    if (!bitmap) {
        Replace(nullptr, pixelFormat_, 0, 0);
        return;
    }
    if (::GetObjectType(bitmap) != OBJ_BITMAP) throw EInvalidGraphic("Bitmap image is not valid");
    DIBSECTION ds{};
    int got = ::GetObjectA(bitmap, sizeof(ds), &ds);
    GdiBitmap owner(bitmap);
    int width = ds.dsBm.bmWidth, height = std::abs(ds.dsBm.bmHeight), bits = ds.dsBm.bmBitsPixel;
    TPixelFormat format = bits == 1 ? pf1bit : pfDevice;
    if (got == sizeof(DIBSECTION)) {
        format = bits == 1 ? pf1bit : bits == 32 ? pf32bit : pf24bit;
        if (bits == 1 || bits != (format == pf32bit ? 32 : 24)) {
            // One-bit images become device monochrome bitmaps (drawn in the
            // canvas colours); palette and 16-bit images become 24-bit.
            HBITMAP converted = NewBitmap(format, width, height);
            CopyBits(converted, bitmap, width, height);
            owner.Reset(converted);
        }
    }
    Replace(owner.Detach(), format, width, height);
}

HBITMAP TBitmap::ReleaseHandle() {
    if (canvas_) canvas_->ReleaseHandle();
    HBITMAP bitmap = handle_.Detach();
    Replace(nullptr, pixelFormat_, 0, 0);
    return bitmap;
}

void TBitmap::SetPixelFormat(TPixelFormat value) {
    if (value == pixelFormat_) return;
    HBITMAP bitmap = NewBitmap(value, width_, height_);
    if (bitmap) {
        if (canvas_) canvas_->ReleaseHandle();
        CopyBits(bitmap, handle_, width_, height_);
    }
    Replace(bitmap, value, width_, height_);
}

void TBitmap::SetTransparentMode(TTransparentMode value) {
    if (value == transparentMode_) return;
    transparentMode_ = value;
    Changed();
}

TColor TBitmap::TransparentColor() {
    if (transparentMode_ == tmFixed) return transparentColor_;
    if (Empty()) return clDefault;
    return Canvas()->Pixels(0, height_ - 1);
}

void TBitmap::SetTransparentColor(TColor value) {
    transparentColor_ = value;
    transparentMode_ = tmFixed;
    Changed();
}

void TBitmap::Draw(TCanvas* canvas, const TRect& rect) {
    if (Empty()) return;
    TColor key = Transparent() ? ColorToRGB(TransparentColor()) : 0;
    HDC source = Canvas()->Handle();
    HDC target = canvas->Handle();
    if (!source || !target) return;
    int oldMode = ::SetStretchBltMode(target, COLORONCOLOR);
    if (Transparent()) {
        ::TransparentBlt(target, rect.left, rect.top, rect.Width(), rect.Height(), source, 0, 0, width_, height_,
                         key);
    } else {
        // A monochrome bitmap takes the target's text colour (the canvas font
        // colour) for black and its background colour (the brush) for white.
        ::StretchBlt(target, rect.left, rect.top, rect.Width(), rect.Height(), source, 0, 0, width_, height_,
                     canvas->CopyMode());
    }
    ::SetStretchBltMode(target, oldMode);
}

void TBitmap::LoadFromFile(const AnsiString& fileName) {
    std::vector<char> bytes = ReadWholeFile(fileName);  // a missing file is reported as such
    if (bytes.size() < sizeof(BITMAPFILEHEADER) || bytes[0] != 'B' || bytes[1] != 'M')
        throw EInvalidGraphic("Bitmap image is not valid");
    HBITMAP loaded = static_cast<HBITMAP>(
        ::LoadImageA(nullptr, fileName.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!loaded) throw EInvalidGraphic("Bitmap image is not valid");
    SetHandle(loaded);
}

void TBitmap::SaveToFile(const AnsiString& fileName) {
    if (Empty()) throw EInvalidGraphicOperation("Cannot save an empty bitmap");
    WORD bits = pixelFormat_ == pf1bit ? 1 : pixelFormat_ == pf32bit ? 32 : 24;
    DWORD colors = bits == 1 ? 2 : 0;
    DWORD stride = ((static_cast<DWORD>(width_) * bits + 31) / 32) * 4;
    DWORD imageSize = stride * static_cast<DWORD>(height_);
    DWORD infoSize = sizeof(BITMAPINFOHEADER) + colors * sizeof(RGBQUAD);

    std::vector<char> info(sizeof(BITMAPINFOHEADER) + 2 * sizeof(RGBQUAD), 0);
    auto* bi = reinterpret_cast<BITMAPINFO*>(info.data());
    bi->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi->bmiHeader.biWidth = width_;
    bi->bmiHeader.biHeight = height_;
    bi->bmiHeader.biPlanes = 1;
    bi->bmiHeader.biBitCount = bits;
    bi->bmiHeader.biCompression = BI_RGB;
    bi->bmiHeader.biSizeImage = imageSize;
    std::vector<char> pixels(imageSize);
    HBITMAP bitmap = Handle();  // not selected into any context while read
    {
        ScreenDC screen;
        if (!::GetDIBits(screen, bitmap, 0, static_cast<UINT>(height_), pixels.data(), bi, DIB_RGB_COLORS))
            throw EInvalidGraphicOperation("Cannot read the bitmap");
    }
    if (bits == 1) {  // a device monochrome bitmap: black and white
        bi->bmiColors[0] = RGBQUAD{0, 0, 0, 0};
        bi->bmiColors[1] = RGBQUAD{255, 255, 255, 0};
    }

    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;  // "BM"
    fh.bfOffBits = sizeof(BITMAPFILEHEADER) + infoSize;
    fh.bfSize = fh.bfOffBits + imageSize;
    std::vector<char> file(fh.bfSize);
    std::memcpy(file.data(), &fh, sizeof(fh));
    std::memcpy(file.data() + sizeof(fh), info.data(), infoSize);
    std::memcpy(file.data() + fh.bfOffBits, pixels.data(), imageSize);
    WriteWholeFile(fileName, file);
}

void TBitmap::Assign(TPersistent* Source) {
    if (!Source) {
        Replace(nullptr, pfDevice, 0, 0);
        return;
    }
    if (auto* bitmap = dynamic_cast<TBitmap*>(Source)) {
        if (bitmap == this) return;
        HBITMAP copy = NewBitmap(bitmap->pixelFormat_, bitmap->width_, bitmap->height_);
        GdiBitmap owner(copy);
        if (copy && bitmap->Handle()) CopyBits(copy, bitmap->handle_, bitmap->width_, bitmap->height_);
        transparent_ = bitmap->transparent_;
        transparentMode_ = bitmap->transparentMode_;
        transparentColor_ = bitmap->transparentColor_;
        Replace(owner.Detach(), bitmap->pixelFormat_, bitmap->width_, bitmap->height_);
        return;
    }
    TPersistent::Assign(Source);
}

// ---------------------------------------------------------------- icon

TIcon::TIcon() { transparent_ = true; }

void TIcon::SetWidth(int value) {
    if (value != width_) throw EInvalidGraphicOperation("Cannot change the size of an icon");
}

void TIcon::SetHeight(int value) {
    if (value != height_) throw EInvalidGraphicOperation("Cannot change the size of an icon");
}

void TIcon::SetHandle(HICON icon) {
    int width = 0, height = 0;
    if (icon) {
        ICONINFO info{};
        if (!::GetIconInfo(icon, &info)) throw EInvalidGraphic("Icon image is not valid");
        GdiBitmap color(info.hbmColor), mask(info.hbmMask);
        BITMAP bm{};
        if (color) {
            ::GetObjectA(color, sizeof(bm), &bm);
            width = bm.bmWidth;
            height = bm.bmHeight;
        } else {
            ::GetObjectA(mask, sizeof(bm), &bm);  // AND and XOR masks one over the other
            width = bm.bmWidth;
            height = bm.bmHeight / 2;
        }
    }
    handle_.Reset(icon);
    width_ = width;
    height_ = height;
    file_.clear();
    Changed();
}

void TIcon::LoadFromFile(const AnsiString& fileName) {
    std::vector<char> bytes = ReadWholeFile(fileName);
    auto u16 = [&](size_t at) { return static_cast<unsigned>(static_cast<unsigned char>(bytes[at]) |
                                                             static_cast<unsigned char>(bytes[at + 1]) << 8); };
    auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
    // ICONDIR: reserved 0, type 1, count; then 16-byte entries.
    if (bytes.size() < 22 || u16(0) != 0 || u16(2) != 1 || u16(4) == 0)
        throw EInvalidGraphic("Icon image is not valid");
    unsigned char w = static_cast<unsigned char>(bytes[6]), h = static_cast<unsigned char>(bytes[7]);
    unsigned size = u32(6 + 8), offset = u32(6 + 12);
    if (offset > bytes.size() || size > bytes.size() - offset) throw EInvalidGraphic("Icon image is not valid");
    int width = w ? w : 256, height = h ? h : 256;
    HICON icon = ::CreateIconFromResourceEx(reinterpret_cast<PBYTE>(bytes.data() + offset), size, TRUE,
                                            0x00030000, width, height, LR_DEFAULTCOLOR);
    if (!icon) throw EInvalidGraphic("Icon image is not valid");
    SetHandle(icon);
    file_ = std::move(bytes);
}

void TIcon::SaveToFile(const AnsiString& fileName) {
    if (file_.empty()) throw EInvalidGraphicOperation("Cannot save an icon that was not loaded from a file");
    WriteWholeFile(fileName, file_);
}

void TIcon::Assign(TPersistent* Source) {
    if (!Source) {
        SetHandle(nullptr);
        return;
    }
    if (auto* icon = dynamic_cast<TIcon*>(Source)) {
        if (icon == this) return;
        std::vector<char> file = icon->file_;
        SetHandle(icon->handle_ ? ::CopyIcon(icon->handle_) : nullptr);
        file_ = std::move(file);
        return;
    }
    TPersistent::Assign(Source);
}

void TIcon::Draw(TCanvas* canvas, const TRect& rect) {
    if (!handle_) return;
    if (HDC dc = canvas->Handle())
        ::DrawIconEx(dc, rect.left, rect.top, handle_, rect.Width(), rect.Height(), 0, nullptr, DI_NORMAL);
}

// ---------------------------------------------------------------- picture

TPicture::TPicture() = default;

TPicture::~TPicture() = default;

void TPicture::Changed() {
    if (OnChange) OnChange(this);
}

void TPicture::Take(std::unique_ptr<TGraphic> graphic) {
    graphic_ = std::move(graphic);
    if (graphic_) graphic_->OnChange = [this](TObject*) { Changed(); };
    Changed();
}

void TPicture::SetGraphic(TGraphic* value) {
    if (!value) {
        Take(nullptr);
        return;
    }
    if (value == graphic_.get()) return;
    std::unique_ptr<TGraphic> copy = value->NewGraphic();
    copy->Assign(value);
    Take(std::move(copy));
}

TBitmap* TPicture::Bitmap() {
    if (!dynamic_cast<TBitmap*>(graphic_.get())) Take(std::make_unique<TBitmap>());
    return static_cast<TBitmap*>(graphic_.get());
}

TIcon* TPicture::Icon() {
    if (!dynamic_cast<TIcon*>(graphic_.get())) Take(std::make_unique<TIcon>());
    return static_cast<TIcon*>(graphic_.get());
}

void TPicture::LoadFromFile(const AnsiString& fileName) {
    AnsiString ext;
    size_t dot = fileName.find_last_of('.');
    size_t slash = fileName.find_last_of("\\/");
    if (dot != AnsiString::npos && (slash == AnsiString::npos || dot > slash)) ext = fileName.substr(dot + 1);
    AnsiString lower = ext;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::unique_ptr<TGraphic> graphic;
    if (lower == "bmp")
        graphic = std::make_unique<TBitmap>();
    else if (lower == "ico")
        graphic = std::make_unique<TIcon>();
    else
        throw EInvalidGraphic(Format("Unknown picture file extension (.%s)", ext));
    graphic->LoadFromFile(fileName);  // the picture stays as it was when this fails
    Take(std::move(graphic));
}

void TPicture::SaveToFile(const AnsiString& fileName) {
    if (graphic_) graphic_->SaveToFile(fileName);
}

void TPicture::Assign(TPersistent* Source) {
    if (!Source) {
        SetGraphic(nullptr);
    } else if (auto* picture = dynamic_cast<TPicture*>(Source)) {
        if (picture != this) SetGraphic(picture->Graphic());
    } else if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
        SetGraphic(graphic);
    } else {
        TPersistent::Assign(Source);
    }
}
