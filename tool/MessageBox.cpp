#include "MessageBox.h"

#include "UpdateEngine.h"

TMessageBoxForm* MessageBoxForm = nullptr;

const char* const MessageBoxFormLayout = R"(object MessageBoxForm: TMessageBoxForm
  Left = 452
  Top = 340
  BorderStyle = bsDialog
  Caption = 'Message'
  ClientHeight = 112
  ClientWidth = 340
  Color = clBtnFace
  Font.Charset = ANSI_CHARSET
  Font.Color = clWindowText
  Font.Height = -19
  Font.Name = 'Arial'
  Font.Style = []
  object strLab: TTntLabel
    Left = 40
    Top = 15
    Width = 8
    Height = 16
    Alignment = taCenter
    Font.Charset = DEFAULT_CHARSET
    Font.Color = clWindowText
    Font.Height = -16
    Font.Name = 'MS Gothic'
    Font.Style = []
    ParentFont = False
    Transparent = True
  end
  object ImButton1: TImButton
    Left = 104
    Top = 69
    Width = 115
    Height = 35
    Cursor = crHandPoint
    Caption = 'OK'
    Font.Charset = DEFAULT_CHARSET
    Font.Color = clWindowText
    Font.Height = -16
    Font.Name = 'MS Gothic'
    Font.Style = []
    ParentFont = False
    TabOrder = 0
    OnClick = ImButton1Click
    AnimateSpeed = 200
    Spacing = 2
    Color = clBtnFace
    ParentColor = False
    HotTextColor = clWindowText
  end
  object strLab1: TTntLabel
    Left = 40
    Top = 35
    Width = 8
    Height = 16
    Font.Charset = DEFAULT_CHARSET
    Font.Color = clWindowText
    Font.Height = -16
    Font.Name = 'MS Gothic'
    Font.Style = []
    ParentFont = False
    Transparent = True
  end
end
)";

TMessageBoxForm::TMessageBoxForm(TComponent* AOwner) : TForm(AOwner) {
    // The form's class is known by name, with its published properties,
    // before its own description names it.
    RegisterClass(ClassOf<TMessageBoxForm>());
    PublishField("strLab", strLab);
    PublishField("ImButton1", ImButton1);
    PublishField("strLab1", strLab1);
    PublishMethod("ImButton1Click", &TMessageBoxForm::ImButton1Click);
    LoadLayout(MessageBoxFormLayout);

    TIniFile Ini(ToolIniPath());
    SetCaption(ReadToolText(Ini, TToolText::UpdateTool));
}

void TMessageBoxForm::ImButton1Click(TObject* /*Sender*/) { Close(); }

void TMessageBoxForm::SetMessageText(const AnsiString& First, const AnsiString& Second) {
    strLab->SetCaption(AnsiToWide(First));
    strLab1->SetCaption(AnsiToWide(Second));
}
