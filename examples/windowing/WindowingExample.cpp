// A small dialog built from its description: two labels (one with wide,
// non-ASCII text), a push button that counts its clicks and a wide button
// that closes the program.
#include <windows.h>

#include "FormDescription.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "TntStdCtrls.h"

namespace {

const char* const kExampleLayout = R"(object ExampleForm: TExampleForm
  Left = 200
  Top = 160
  BorderStyle = bsDialog
  Caption = 'Windowing example'
  ClientHeight = 180
  ClientWidth = 341
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -16
  Font.Name = 'Arial'
  Font.Style = []
  object Title: TLabel
    Left = 20
    Top = 24
    Caption = 'Upgrade the installed program?'
    Font.Charset = DEFAULT_CHARSET
    Font.Color = clNavy
    Font.Height = -16
    Font.Name = 'Arial'
    Font.Style = [fsBold]
    ParentFont = False
    Transparent = True
  end
  object Status: TTntLabel
    Left = 20
    Top = 60
    Caption = 'Wide text: '#26085#26412#35486' '#937' caf'#233
    Transparent = True
  end
  object OK: TButton
    Left = 30
    Top = 116
    Width = 115
    Height = 35
    Caption = 'OK'
    Cursor = crHandPoint
    Default = True
    TabOrder = 0
    OnClick = OKClick
  end
  object Cancel: TTntButton
    Left = 191
    Top = 116
    Width = 115
    Height = 35
    Caption = 'Cancel'
    TabOrder = 1
    OnClick = CancelClick
  end
end
)";

class TExampleForm : public TForm {
    CLASS_NAME(TExampleForm)
public:
    explicit TExampleForm(TComponent* owner) : TForm(owner) {
        PublishField("Title", Title);
        PublishField("Status", Status);
        PublishField("OK", OK);
        PublishField("Cancel", Cancel);
        PublishMethod("OKClick", &TExampleForm::OKClick);
        PublishMethod("CancelClick", &TExampleForm::CancelClick);
        LoadLayout(kExampleLayout);
    }

    TLabel* Title = nullptr;
    TTntLabel* Status = nullptr;
    TButton* OK = nullptr;
    TTntButton* Cancel = nullptr;

    void OKClick(TObject*) {
        ++clicks_;
        Status->SetCaption(L"OK pressed " + std::to_wstring(clicks_) + L" \u00d7");
    }
    void CancelClick(TObject*) { Close(); }

private:
    int clicks_ = 0;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        Application->Initialize();
        Application->SetTitle("Windowing example");
        TExampleForm* form = nullptr;
        Application->CreateForm(form);
        Application->Run();
    } catch (const Exception& e) {
        Application->ShowException(e);
    }
    return 0;
}
