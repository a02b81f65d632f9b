#include "UpdateTool.h"

#include <shellapi.h>

#include <optional>

#include "MessageBox.h"
#include "UpdateEngine.h"

TToolForm* ToolForm = nullptr;

const char* const ToolFormLayout = R"(object ToolForm: TToolForm
  Left = 452
  Top = 299
  BorderStyle = bsDialog
  Caption = 'UpdateTool'
  ClientHeight = 180
  ClientWidth = 341
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -19
  Font.Name = 'Arial'
  Font.Style = []
  object OK: TImButton
    Left = 30
    Top = 116
    Width = 115
    Height = 35
    Cursor = crHandPoint
    Font.Charset = DEFAULT_CHARSET
    Font.Color = clWindowText
    Font.Height = -16
    Font.Name = 'MS Gothic'
    Font.Style = []
    ParentFont = False
    TabOrder = 0
    OnClick = OKClick
    AnimateSpeed = 200
    Spacing = 2
    Color = clBtnFace
    ParentColor = False
    HotTextColor = clWindowText
  end
  object Label1: TTntLabel
    Left = 8
    Top = 40
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
  object Cancel: TTntButton
    Left = 191
    Top = 116
    Width = 115
    Height = 35
    BiDiMode = bdLeftToRight
    Font.Charset = DEFAULT_CHARSET
    Font.Color = clWindowText
    Font.Height = -16
    Font.Name = 'MS Gothic'
    Font.Style = []
    ParentBiDiMode = False
    ParentFont = False
    TabOrder = 1
    OnClick = CancelClick
  end
  object Label2: TTntLabel
    Left = 8
    Top = 60
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

namespace {

// Where the question lines stand, and where they move while and after updating.
const int QuestionLeft = 50;
const int UpdatingLeft = 20;

// What one update changed before it knew whether it would succeed: the
// product files it replaced (their backups are kept in the journal) and the
// version it recorded. Undo puts both back; Commit keeps them.
class TUpdateChanges {
public:
    TReplacementJournal Journal;

    void VersionRecorded(const AnsiString& Previous, bool HadValue) {
        versionRecorded_ = true;
        previousVersion_ = Previous;
        hadVersion_ = HadValue;
    }

    void Commit() {
        Journal.Commit();
        versionRecorded_ = false;
    }

    // Every file back as it was (files that did not exist removed), then the
    // recorded version. Never raises: it also runs while an error of the
    // platform is on its way out, and that error is the one to show.
    void Undo() noexcept {
        Journal.Rollback();
        if (!versionRecorded_) return;
        versionRecorded_ = false;
        try {
            RestoreAppVersion(previousVersion_, hadVersion_);
        } catch (const Exception&) {
            // The registry refused to put the old version back; the files are
            // back all the same, and the error already under way is shown.
        }
    }

private:
    bool versionRecorded_ = false;
    AnsiString previousVersion_;
    bool hadVersion_ = false;
};

// The update's steps in their fixed order; Changes collects what they did.
int RunUpdateSteps(const TIniFile& Ini, TUpdateChanges& Changes) {
    // Gives the failure's two lines to the message dialog.
    auto Fail = [&Ini](TToolText First, std::optional<TToolText> Second = std::nullopt) {
        MessageBoxForm->SetMessageText(ReadToolText(Ini, First), Second ? ReadToolText(Ini, *Second) : AnsiString());
        return -1;
    };

    // The product must not be running. Another process's window cannot be
    // destroyed, so the product stays open and the message asks to close it.
    if (HWND Product = FindWindowA("TMainform", nullptr)) {
        Fail(TToolText::UiOpen1, TToolText::UiOpen2);
        DestroyWindow(Product);
        return -1;
    }

    bool PasswordsEncoded = false;
    switch (CheckApnEncryption()) {
        case 0: PasswordsEncoded = true; break;
        case 1: break;
        default: return Fail(TToolText::NoVersion);
    }

    AnsiString PreviousVersion;
    bool HadVersion = false;
    if (!UpdateAppVersion(&PreviousVersion, &HadVersion)) return 1;  // package not newer: nothing to copy
    Changes.VersionRecorded(PreviousVersion, HadVersion);

    // A file that cannot be replaced stops the update and takes every
    // replacement before it and the recorded version back with it.
    auto FileStep = [&](int Result, bool ConfigurationFile) {
        if (Result == 1) return 1;
        Changes.Undo();
        if (Result == 0)
            return ConfigurationFile ? Fail(TToolText::ConfigFileFail) : Fail(TToolText::FileFail1, TToolText::FileFail2);
        return Fail(TToolText::NoVersion);
    };
    if (FileStep(ReplaceRootFile("Oskel.INI", &Changes.Journal), true) != 1) return -1;
    if (FileStep(ReplaceRootFile("Korvane.exe", &Changes.Journal), false) != 1) return -1;
    if (FileStep(ReplaceRootFile("Brimlet.dll", &Changes.Journal), false) != 1) return -1;
    if (FileStep(ReplaceLanguageFile("Mirva.INI", &Changes.Journal), false) != 1) return -1;
    if (FileStep(ReplaceHelpFile("Quenly.pdf", &Changes.Journal), false) != 1) return -1;

    if (PasswordsEncoded) {
        Changes.Commit();
        return 1;
    }
    // The product files stay new whatever becomes of the passwords.
    const TApnConversion Conversion = ConvertApnPasswords();
    Changes.Commit();
    switch (Conversion) {
        case TApnConversion::Done: return 1;
        case TApnConversion::InstallationNotFound: return Fail(TToolText::NoVersion);
        case TApnConversion::ProfileFileMissing: return Fail(TToolText::ApnOpenFail);
        case TApnConversion::NameListUnavailable: return Fail(TToolText::ApnFail);
    }
    return 1;
}

}  // namespace

int DoUpdate() {
    TIniFile Ini(ToolIniPath());
    TUpdateChanges Changes;
    try {
        return RunUpdateSteps(Ini, Changes);
    } catch (...) {
        // A refused INI or registry write: nothing of this run stays, and the
        // error goes on to the application's standard error display.
        Changes.Undo();
        throw;
    }
}

TToolForm::TToolForm(TComponent* AOwner) : TForm(AOwner) {
    // The form's class is known by name, with its published properties,
    // before its own description names it.
    RegisterClass(ClassOf<TToolForm>());
    PublishField("OK", OK);
    PublishField("Label1", Label1);
    PublishField("Cancel", Cancel);
    PublishField("Label2", Label2);
    PublishMethod("OKClick", &TToolForm::OKClick);
    PublishMethod("CancelClick", &TToolForm::CancelClick);
    LoadLayout(ToolFormLayout);

    Label1->SetLeft(QuestionLeft);
    Label2->SetLeft(QuestionLeft);

    TIniFile Ini(ToolIniPath());
    SetCaption(ReadToolText(Ini, TToolText::UpdateTool));
    Label1->SetCaption(AnsiToWide(ReadToolText(Ini, TToolText::UpdateOrNot1)));
    Label2->SetCaption(AnsiToWide(ReadToolText(Ini, TToolText::UpdateOrNot2)));
    OK->SetCaption(ReadToolText(Ini, TToolText::Ok));
    Cancel->SetCaption(AnsiToWide(ReadToolText(Ini, TToolText::Cancel)));
}

void TToolForm::OKClick(TObject* /*Sender*/) {
    Label1->SetLeft(UpdatingLeft);
    Label2->SetLeft(UpdatingLeft);
    TIniFile Ini(ToolIniPath());
    Label1->SetCaption(AnsiToWide(ReadToolText(Ini, TToolText::Updating)));
    Label2->SetCaption(WideString());

    if (DoUpdate() == 1) {
        DisableCmUpdate();
        const AnsiString First = ReadToolText(Ini, TToolText::UpdateSuccess1);
        const AnsiString Second = ReadToolText(Ini, TToolText::UpdateSuccess2);
        MessageBoxForm->SetMessageText(First, Second);
        MessageBoxForm->ShowModal();
        Label1->SetLeft(UpdatingLeft);
        Label2->SetLeft(UpdatingLeft);
        Label1->SetCaption(AnsiToWide(First));
        Label2->SetCaption(AnsiToWide(Second));
    } else {
        const AnsiString First = ReadToolText(Ini, TToolText::UpdateOrNot1);
        const AnsiString Second = ReadToolText(Ini, TToolText::UpdateOrNot2);
        MessageBoxForm->ShowModal();  // with the lines DoUpdate gave it
        Label1->SetLeft(QuestionLeft);
        Label2->SetLeft(QuestionLeft);
        Label1->SetCaption(AnsiToWide(First));
        Label2->SetCaption(AnsiToWide(Second));
    }

    Close();
    // Relative name, no directory: the cleanup runs in the working folder.
    ShellExecuteA(nullptr, "open", "Tidex.exe", nullptr, nullptr, SW_SHOWNORMAL);
}

void TToolForm::CancelClick(TObject* /*Sender*/) { Close(); }
