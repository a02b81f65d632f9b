// Colours, fonts, pens, brushes, the canvas and the graphics (bitmaps, icons,
// pictures), a thin layer over GDI. Every GDI object here has exactly one
// owner; a canvas puts back the objects of a device context it was given.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "Classes.h"
#include "GdiHandle.h"
#include "SysUtils.h"
#include "Types.h"

// ---------------------------------------------------------------- colours

// 0x00BBGGRR for an RGB value, 0x80000000 + index for a system colour
// (GetSysColor index), or one of the markers clNone and clDefault.
using TColor = std::uint32_t;

constexpr TColor clSystemColor = 0x80000000u;

constexpr TColor clScrollBar = clSystemColor | COLOR_SCROLLBAR;
constexpr TColor clBackground = clSystemColor | COLOR_BACKGROUND;
constexpr TColor clActiveCaption = clSystemColor | COLOR_ACTIVECAPTION;
constexpr TColor clInactiveCaption = clSystemColor | COLOR_INACTIVECAPTION;
constexpr TColor clMenu = clSystemColor | COLOR_MENU;
constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
constexpr TColor clWindowFrame = clSystemColor | COLOR_WINDOWFRAME;
constexpr TColor clMenuText = clSystemColor | COLOR_MENUTEXT;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clCaptionText = clSystemColor | COLOR_CAPTIONTEXT;
constexpr TColor clActiveBorder = clSystemColor | COLOR_ACTIVEBORDER;
constexpr TColor clInactiveBorder = clSystemColor | COLOR_INACTIVEBORDER;
constexpr TColor clAppWorkSpace = clSystemColor | COLOR_APPWORKSPACE;
constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clBtnShadow = clSystemColor | COLOR_BTNSHADOW;
constexpr TColor clGrayText = clSystemColor | COLOR_GRAYTEXT;
constexpr TColor clBtnText = clSystemColor | COLOR_BTNTEXT;
constexpr TColor clInactiveCaptionText = clSystemColor | COLOR_INACTIVECAPTIONTEXT;
constexpr TColor clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT;
constexpr TColor cl3DDkShadow = clSystemColor | COLOR_3DDKSHADOW;
constexpr TColor cl3DLight = clSystemColor | COLOR_3DLIGHT;
constexpr TColor clInfoText = clSystemColor | COLOR_INFOTEXT;
constexpr TColor clInfoBk = clSystemColor | COLOR_INFOBK;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// The plain RGB value of a colour: system colours are looked up with
// GetSysColor (their current value), every other value is returned as is.
TColor ColorToRGB(TColor color);

// ---------------------------------------------------------------- errors

class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

class EInvalidGraphicOperation : public Exception {
public:
    using Exception::Exception;
};

// ---------------------------------------------------------------- font, pen, brush

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };

// A set of font styles: TFontStyles() << fsBold << fsItalic.
class TFontStyles {
public:
    TFontStyles() = default;
    bool Contains(TFontStyle s) const { return (bits_ & Bit(s)) != 0; }
    TFontStyles& operator<<(TFontStyle s) { bits_ |= Bit(s); return *this; }
    TFontStyles& operator>>(TFontStyle s) { bits_ &= ~Bit(s); return *this; }
    bool Empty() const { return bits_ == 0; }
    bool operator==(const TFontStyles& o) const { return bits_ == o.bits_; }
    bool operator!=(const TFontStyles& o) const { return bits_ != o.bits_; }

private:
    static unsigned Bit(TFontStyle s) { return 1u << static_cast<unsigned>(s); }
    unsigned bits_ = 0;
};

// Common base of font, pen and brush: a change notification.
class TGraphicsObject : public TPersistent {
    CLASS_NAME(TGraphicsObject)
public:
    TNotifyEvent OnChange;

protected:
    void Changed();
};

class TFont : public TGraphicsObject {
    CLASS_NAME(TFont)
public:
    TFont();

    const AnsiString& Name() const { return name_; }
    void SetName(const AnsiString& value);
    // Character height in pixels; negative: without internal leading (the
    // usual form, -16 for a 12-point font at 96 dpi).
    int Height() const { return height_; }
    void SetHeight(int value);
    // Points, converted at the screen's pixels per inch.
    int Size() const;
    void SetSize(int points);
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    BYTE Charset() const { return charset_; }
    void SetCharset(BYTE value);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles value);

    // The font object, created when first asked for after a change.
    HFONT Handle();
    void Assign(TPersistent* Source) override;

private:
    void Modified();

    AnsiString name_ = "MS Sans Serif";
    int height_ = -11;
    TColor color_ = clWindowText;
    BYTE charset_ = DEFAULT_CHARSET;
    TFontStyles style_;
    GdiFont handle_;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

// Raster operations of the pen (SetROP2).
enum TPenMode {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
    pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};

class TPen : public TGraphicsObject {
    CLASS_NAME(TPen)
public:
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    int Width() const { return width_; }
    void SetWidth(int value);
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle value);
    TPenMode Mode() const { return mode_; }
    void SetMode(TPenMode value);
    // The R2_ code of Mode.
    int Rop2() const;

    HPEN Handle();
    void Assign(TPersistent* Source) override;

private:
    void Modified();

    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = psSolid;
    TPenMode mode_ = pmCopy;
    GdiPen handle_;
};

enum TBrushStyle { bsSolid, bsClear };

class TBrush : public TGraphicsObject {
    CLASS_NAME(TBrush)
public:
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle value);

    HBRUSH Handle();
    void Assign(TPersistent* Source) override;

private:
    void Modified();

    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
    GdiBrush handle_;
};

// ---------------------------------------------------------------- canvas

class TGraphic;

// Drawing on a device context. A canvas either makes a context of its own
// (a derived class overrides CreateHandle, as the bitmap's canvas does) or is
// attached to a foreign one with SetHandle (a paint's or a draw record's).
// Whenever the context is used the canvas's font, pen and brush are selected
// into it, the text colour is the font colour and the background colour the
// brush colour (background mode transparent for a clear brush); the
// context's own objects are selected back before the canvas lets go of it.
class TCanvas : public TPersistent {
    CLASS_NAME(TCanvas)
public:
    TCanvas();
    ~TCanvas() override;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // The device context with the canvas's objects selected; 0 when none.
    HDC Handle();
    // Attaches to a foreign context (0 detaches). The canvas never frees it.
    void SetHandle(HDC dc);
    bool HandleAllocated() const { return dc_ != nullptr; }

    TFont* Font() { return &font_; }
    TPen* Pen() { return &pen_; }
    TBrush* Brush() { return &brush_; }
    void SetFont(TFont* value) { font_.Assign(value); }
    void SetPen(TPen* value) { pen_.Assign(value); }
    void SetBrush(TBrush* value) { brush_.Assign(value); }

    // Raster operation for Draw, StretchDraw and CopyRect (SRCCOPY by default).
    DWORD CopyMode() const { return copyMode_; }
    void SetCopyMode(DWORD value) { copyMode_ = value; }

    TPoint PenPos();
    void SetPenPos(const TPoint& p) { MoveTo(p.x, p.y); }

    void MoveTo(int x, int y);
    // A line from the pen position to (x, y), without the pixel at (x, y).
    void LineTo(int x, int y);
    // Outline with the pen, inside with the brush unless it is clear; right
    // and bottom are outside.
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.left, r.top, r.right, r.bottom); }
    // Fills with the brush (nothing for a clear brush); right and bottom outside.
    void FillRect(const TRect& r);
    // A one-pixel frame in the brush colour.
    void FrameRect(const TRect& r);
    // The system's dotted focus rectangle (an XOR: drawing it twice removes it).
    void DrawFocusRect(const TRect& r);

    TColor Pixels(int x, int y);
    void SetPixels(int x, int y, TColor color);

    // A graphic at its natural size, its transparent colour left out when
    // it is transparent.
    void Draw(int x, int y, TGraphic* graphic);
    // A graphic stretched over rect.
    void StretchDraw(const TRect& rect, TGraphic* graphic);
    // Copies src of another canvas onto dest of this one with CopyMode.
    void CopyRect(const TRect& dest, TCanvas* canvas, const TRect& src);

    void TextOut(int x, int y, const AnsiString& text);
    void TextOutW(int x, int y, const WideString& text);
    // Text clipped to rect, drawn at (x, y).
    void TextRect(const TRect& rect, int x, int y, const AnsiString& text);
    TSize TextExtent(const AnsiString& text);
    TSize TextExtentW(const WideString& text);
    int TextWidth(const AnsiString& text) { return TextExtent(text).cx; }
    int TextHeight(const AnsiString& text) { return TextExtent(text).cy; }
    int TextWidthW(const WideString& text) { return TextExtentW(text).cx; }
    int TextHeightW(const WideString& text) { return TextExtentW(text).cy; }

    // Selects the context's own objects back and forgets the context (a
    // canvas that made its own context frees it through FreeHandle).
    void ReleaseHandle();

protected:
    // Makes a context of the canvas's own when one is needed; the base has none.
    virtual void CreateHandle() {}
    // Called after ReleaseHandle has put the context's objects back.
    virtual void FreeHandle(HDC) {}
    // For a derived canvas: adopt a context it created.
    void AdoptHandle(HDC dc);

private:
    void RequireObjects();
    void DeselectObjects();

    HDC dc_ = nullptr;
    TFont font_;
    TPen pen_;
    TBrush brush_;
    DWORD copyMode_ = SRCCOPY;
    bool ownsDC_ = false;
    // What is selected now, and the context's own objects to put back.
    HFONT selFont_ = nullptr;
    HPEN selPen_ = nullptr;
    HBRUSH selBrush_ = nullptr;
    HGDIOBJ oldFont_ = nullptr, oldPen_ = nullptr, oldBrush_ = nullptr;
};

// ---------------------------------------------------------------- graphics

class TGraphic : public TPersistent {
    CLASS_NAME(TGraphic)
public:
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int value) = 0;
    virtual void SetHeight(int value) = 0;
    virtual bool Empty() const { return Width() <= 0 || Height() <= 0; }
    virtual bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool value);

    virtual void LoadFromFile(const AnsiString& fileName) = 0;
    virtual void SaveToFile(const AnsiString& fileName) = 0;

    // A new, empty graphic of the same class; a derived graphic class
    // overrides it so that a picture copies it as itself.
    virtual std::unique_ptr<TGraphic> NewGraphic() const = 0;

    TNotifyEvent OnChange;

protected:
    friend class TCanvas;
    // Natural-size drawing is rect with the graphic's own size.
    virtual void Draw(TCanvas* canvas, const TRect& rect) = 0;
    void Changed();

    bool transparent_ = false;
};

enum TPixelFormat { pfDevice, pf1bit, pf24bit, pf32bit };
enum TTransparentMode { tmAuto, tmFixed };

class TBitmap;

// The canvas of a bitmap: a memory context with the bitmap selected.
class TBitmapCanvas : public TCanvas {
    CLASS_NAME(TBitmapCanvas)
public:
    explicit TBitmapCanvas(TBitmap* bitmap) : bitmap_(bitmap) {}
    ~TBitmapCanvas() override;

protected:
    void CreateHandle() override;
    void FreeHandle(HDC dc) override;

private:
    TBitmap* bitmap_;
    HGDIOBJ oldBitmap_ = nullptr;
};

class TBitmap : public TGraphic {
    CLASS_NAME(TBitmap)
public:
    TBitmap();
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void SetWidth(int value) override { SetSize(value, height_); }
    void SetHeight(int value) override { SetSize(width_, value); }
    // Keeps the overlapping part of the picture; new pixels are black.
    void SetSize(int width, int height);

    TCanvas* Canvas();
    // The bitmap; the canvas lets go of it first, so it can be selected
    // elsewhere or read with GetDIBits. 0 while the bitmap is empty.
    HBITMAP Handle();
    // Takes ownership of a bitmap (0 empties this one).
    void SetHandle(HBITMAP bitmap);
    // Gives up ownership of the bitmap; this one becomes empty.
    HBITMAP ReleaseHandle();

    TPixelFormat PixelFormat() const { return pixelFormat_; }
    // Converts the picture to the new format (colours to black and white
    // for pf1bit: white stays white, the rest turns black).
    void SetPixelFormat(TPixelFormat value);
    bool Monochrome() const { return pixelFormat_ == pf1bit; }
    void SetMonochrome(bool value) { SetPixelFormat(value ? pf1bit : pfDevice); }

    TTransparentMode TransparentMode() const { return transparentMode_; }
    void SetTransparentMode(TTransparentMode value);
    // tmAuto: the bottom-left pixel; tmFixed: the colour set.
    TColor TransparentColor();
    // Also switches to tmFixed.
    void SetTransparentColor(TColor value);

    void LoadFromFile(const AnsiString& fileName) override;
    void SaveToFile(const AnsiString& fileName) override;
    std::unique_ptr<TGraphic> NewGraphic() const override { return std::make_unique<TBitmap>(); }
    // Deep copy of another bitmap; nullptr empties this one.
    void Assign(TPersistent* Source) override;

protected:
    void Draw(TCanvas* canvas, const TRect& rect) override;

private:
    friend class TBitmapCanvas;
    HBITMAP NewBitmap(TPixelFormat format, int width, int height) const;
    void Replace(HBITMAP bitmap, TPixelFormat format, int width, int height);

    GdiBitmap handle_;
    int width_ = 0, height_ = 0;
    TPixelFormat pixelFormat_ = pfDevice;
    TTransparentMode transparentMode_ = tmAuto;
    TColor transparentColor_ = clDefault;
    std::unique_ptr<TBitmapCanvas> canvas_;
};

class TIcon : public TGraphic {
    CLASS_NAME(TIcon)
public:
    TIcon();

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // An icon's size is that of its image; setting it is refused.
    void SetWidth(int value) override;
    void SetHeight(int value) override;
    // Icons always draw with their mask.
    bool Transparent() const override { return true; }

    HICON Handle() const { return handle_; }
    // Takes ownership of an icon (0 empties this one).
    void SetHandle(HICON icon);

    // Loads the first image of an .ico file at its own size.
    void LoadFromFile(const AnsiString& fileName) override;
    // Writes the .ico file the icon was loaded from.
    void SaveToFile(const AnsiString& fileName) override;
    std::unique_ptr<TGraphic> NewGraphic() const override { return std::make_unique<TIcon>(); }
    void Assign(TPersistent* Source) override;

protected:
    void Draw(TCanvas* canvas, const TRect& rect) override;

private:
    GdiIcon handle_;
    int width_ = 0, height_ = 0;
    std::vector<char> file_;  // the .ico file's bytes, kept for SaveToFile
};

// Holds one graphic or none. Assigning copies the graphic, never shares it.
// OnChange fires whenever the content changes: a new graphic, or a change
// of the graphic held (loaded, resized, ...).
class TPicture : public TPersistent {
    CLASS_NAME(TPicture)
public:
    TPicture();
    ~TPicture() override;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    TGraphic* Graphic() const { return graphic_.get(); }
    // Holds a copy of value (nullptr: none).
    void SetGraphic(TGraphic* value);
    // The graphic as a bitmap: when it holds anything else or nothing, it
    // is replaced by a new empty bitmap first. Likewise Icon.
    TBitmap* Bitmap();
    TIcon* Icon();

    int Width() const { return graphic_ ? graphic_->Width() : 0; }
    int Height() const { return graphic_ ? graphic_->Height() : 0; }

    // By extension: .bmp as TBitmap, .ico as TIcon.
    void LoadFromFile(const AnsiString& fileName);
    void SaveToFile(const AnsiString& fileName);

    // From a TPicture or a TGraphic (copied), or nullptr (emptied).
    void Assign(TPersistent* Source) override;

    TNotifyEvent OnChange;

private:
    void Take(std::unique_ptr<TGraphic> graphic);
    void Changed();

    std::unique_ptr<TGraphic> graphic_;
};
