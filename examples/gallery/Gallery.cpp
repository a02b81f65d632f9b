// A gallery of the image controls: one row per look of the image button in
// its main states (normal, hot, pushed, disabled; the first button has the
// focus), buttons with picture strips, and the background image control in
// its four placements. Every picture is drawn here, none is loaded.
#include <windows.h>

#include <string>

#include "Forms.h"
#include "ImButton.h"
#include "KvBackImage.h"
#include "StdCtrls.h"

namespace {

constexpr TColor Rgb(int r, int g, int b) {
    return static_cast<TColor>(r) | (static_cast<TColor>(g) << 8) | (static_cast<TColor>(b) << 16);
}

void Fill(TCanvas* c, const TRect& r, TColor color) {
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(color);
    c->FillRect(r);
}

// A strip of `frames` square 16-pixel frames on a magenta ground (the
// transparent colour): a disc in one colour per frame.
void DrawStrip(TBitmap* bmp, int frames, const TColor* colours) {
    bmp->SetSize(frames * 16, 16);
    TCanvas* c = bmp->Canvas();
    Fill(c, TRect(0, 0, frames * 16, 16), clFuchsia);
    for (int i = 0; i < frames; ++i) {
        c->Pen()->SetColor(clBlack);
        c->Brush()->SetColor(colours[i]);
        c->Brush()->SetStyle(bsSolid);
        ::Ellipse(c->Handle(), i * 16 + 2, 2, i * 16 + 14, 14);
    }
}

// A full-picture strip: four frames of w x h, one per state, one below the other.
void DrawFullStrip(TBitmap* bmp, int w, int h) {
    bmp->SetSize(w, 4 * h);
    TCanvas* c = bmp->Canvas();
    const TColor tops[] = {Rgb(90, 140, 210), Rgb(150, 150, 150), Rgb(40, 80, 150), Rgb(120, 180, 250)};
    for (int f = 0; f < 4; ++f)
        for (int y = 0; y < h; ++y) {
            const int k = 255 * y / h;
            const TColor t = tops[f];
            Fill(c, TRect(0, f * h + y, w, f * h + y + 1),
                 Rgb((t & 0xFF) * (255 - k) / 255, ((t >> 8) & 0xFF) * (255 - k) / 255 + k / 4,
                     ((t >> 16) & 0xFF)));
        }
}

// A small tile for the background images: a framed square with a diagonal.
void DrawTile(TBitmap* bmp) {
    bmp->SetSize(40, 30);
    TCanvas* c = bmp->Canvas();
    Fill(c, TRect(0, 0, 40, 30), Rgb(250, 230, 160));
    Fill(c, TRect(4, 4, 36, 26), Rgb(70, 130, 180));
    c->Pen()->SetColor(clWhite);
    c->MoveTo(4, 4);
    c->LineTo(36, 26);
    Fill(c, TRect(0, 0, 3, 3), clRed);
}

class TGalleryForm : public TForm {
    CLASS_NAME(TGalleryForm)
public:
    explicit TGalleryForm(TComponent* owner) : TForm(owner) {
        SetBorderStyle(bsDialog);
        SetCaption("Image controls gallery");
        SetBounds(20, 20, 880, 620);
        SetColor(clBtnFace);
        HandleNeeded();

        const char* looks[] = {"ibkNormal", "ibkFlat", "ibkBevelFlat", "ibkUltraFlat", "ibkFullPicture", "ibkWindowsXP"};
        const char* states[] = {"normal / focused", "hot", "pushed", "disabled"};
        for (int s = 0; s < 4; ++s) AddLabel(150 + s * 135, 12, states[s]);
        TPicture full;
        DrawFullStrip(full.Bitmap(), 115, 35);
        for (int k = 0; k < 6; ++k) {
            const int y = 36 + k * 46;
            AddLabel(12, y + 9, looks[k]);
            for (int s = 0; s < 4; ++s) {
                TImButton* b = AddButton(150 + s * 135, y, "OK");
                b->fSetLooks(static_cast<TImBtnKind>(k));
                if (k == ibkFullPicture) {
                    b->fSetNomPicture(&full);
                    b->fSetShowFullPicCaption(true);
                    b->Font()->SetColor(clWhite);
                    b->SetHotTextColor(clYellow);
                }
                if (s == 1) {
                    b->fSetAniSpd(0);  // no hover polling: stays hot for the picture
                    b->Perform(CM_MOUSEENTER);
                }
                if (s == 2) pushed_.push_back(b);
                if (s == 3) b->SetEnabled(false);
                if (k == 0 && s == 0) first_ = b;
            }
        }

        // Picture strips: state frames, the hover animation, the embossed picture.
        const TColor stateColours[] = {Rgb(0, 160, 0), Rgb(128, 128, 128), Rgb(200, 0, 0), Rgb(255, 160, 0)};
        const TColor animColours[] = {Rgb(255, 0, 0), Rgb(255, 128, 0), Rgb(220, 220, 0), Rgb(0, 180, 0), Rgb(0, 0, 255)};
        TPicture strip, anim, single;
        DrawStrip(strip.Bitmap(), 4, stateColours);
        DrawStrip(anim.Bitmap(), 5, animColours);
        DrawStrip(single.Bitmap(), 1, stateColours);
        const int py = 36 + 6 * 46 + 8;
        AddLabel(12, py + 9, "pictures");
        TImButton* p1 = AddButton(150, py, "Strip");
        p1->fSetNomPicture(&strip);
        TImButton* p2 = AddButton(285, py, "Hot");
        p2->fSetNomPicture(&strip);
        p2->fSetAniSpd(0);
        p2->Perform(CM_MOUSEENTER);
        TImButton* p3 = AddButton(420, py, "Animated");
        p3->fSetNomPicture(&strip);
        p3->fSetHotPicutre(&anim);
        p3->fSetAnimate(true);
        p3->fSetLooks(ibkWindowsXP);
        TImButton* p4 = AddButton(555, py, "Embossed");
        p4->fSetNomPicture(&single);
        p4->SetEnabled(false);
        TImButton* p5 = AddButton(690, py, "Flat");
        p5->fSetNomPicture(&strip);
        p5->fSetLooks(ibkFlat);
        p5->fSetSpacing(8);

        // The background image in its four placements.
        TPicture tile;
        DrawTile(tile.Bitmap());
        const char* styles[] = {"kvbmsNormal", "kvbmsCenter", "kvbmsTiled", "kvbmsStretch"};
        const int iy = py + 62;
        for (int i = 0; i < 4; ++i) {
            AddLabel(150 + i * 170, iy, styles[i]);
            auto* image = new TKvBackImage(this);
            static_cast<TControl*>(image)->SetParent(this);
            image->SetBounds(150 + i * 170, iy + 22, 150, 105);
            image->fSetPicture(&tile);
            image->fSetStyle(static_cast<TKvBackImageStyle>(i));
        }
        AddLabel(12, iy, "background");
        auto* empty = new TKvBackImage(this);
        static_cast<TControl*>(empty)->SetParent(this);
        empty->SetBounds(12, iy + 22, 105, 105);  // no picture: the inverting outline
    }

    void DoShow() {
        Show();
        if (first_) first_->SetFocus();
        for (TImButton* b : pushed_) ::SendMessageA(b->Handle(), BM_SETSTATE, TRUE, 0);
    }

private:
    TImButton* AddButton(int x, int y, const char* caption) {
        auto* b = new TImButton(this);
        static_cast<TControl*>(b)->SetParent(this);
        b->SetBounds(x, y, 115, 35);
        b->SetCaption(caption);
        b->Font()->SetName("MS Gothic");
        b->Font()->SetHeight(-16);
        b->SetHotTextColor(clWindowText);
        return b;
    }
    void AddLabel(int x, int y, const char* text) {
        auto* l = new TLabel(this);
        static_cast<TControl*>(l)->SetParent(this);
        l->SetBounds(x, y, 130, 17);
        l->SetCaption(text);
    }

    TImButton* first_ = nullptr;
    std::vector<TImButton*> pushed_;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        Application->Initialize();
        Application->SetTitle("Image controls gallery");
        Imbutton::Register();
        Kvbackimage::Register();
        TGalleryForm* form = nullptr;
        Application->CreateForm(form);
        form->DoShow();
        Application->Run();
    } catch (const Exception& e) {
        Application->ShowException(e);
    }
    return 0;
}
