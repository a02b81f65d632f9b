// The two dialogs and the update inside one test process: layouts, label
// states, the message lines of every outcome, and the rollback.
#include <gtest/gtest.h>

#include "MessageBox.h"
#include "TestSupport.h"
#include "ToolDriver.h"
#include "UpdateEngine.h"
#include "UpdateTool.h"

using namespace testsupport;
using namespace tooldriver;

namespace {

// Tool.exe, Tool.ini, Tidex.exe, the five product files and Pellow.txt.
const size_t kWholePackageCount = 9;

// Both dialogs made as the program makes them, reading Tool.ini of the
// staged package, with the package folder as the working folder.
class Dialogs {
public:
    explicit Dialogs(const std::string& package) {
        char cwd[MAX_PATH];
        GetCurrentDirectoryA(sizeof cwd, cwd);
        oldFolder_ = cwd;
        SetCurrentDirectoryA(package.c_str());
        SetProgramFolderOverride(package);
        ToolForm = new TToolForm(Application);
        MessageBoxForm = new TMessageBoxForm(Application);
    }
    ~Dialogs() {
        delete MessageBoxForm;
        delete ToolForm;
        MessageBoxForm = nullptr;
        ToolForm = nullptr;
        SetProgramFolderOverride(AnsiString());
        SetCurrentDirectoryA(oldFolder_.c_str());
        // OKClick started the cleanup program; it must be done before the folders go.
        WaitForProcessesNamed("Tidex.exe", kWindowTimeoutMs);
    }

private:
    std::string oldFolder_;
};

std::wstring Line1() { return MessageBoxForm->strLab->Caption(); }
std::wstring Line2() { return MessageBoxForm->strLab1->Caption(); }

struct Placement {
    const char* Name;
    TControl* (*Get)();
    int Left, Top, Width, Height;
};

TEST(ToolDialogs, LayoutsAsDesigned) {
    StagedUpdate s;
    Dialogs d(s.Package());
    const Placement controls[] = {
        {"OK", [] { return static_cast<TControl*>(ToolForm->OK); }, 30, 116, 115, 35},
        {"Cancel", [] { return static_cast<TControl*>(ToolForm->Cancel); }, 191, 116, 115, 35},
        {"ImButton1", [] { return static_cast<TControl*>(MessageBoxForm->ImButton1); }, 104, 69, 115, 35},
        {"Label1", [] { return static_cast<TControl*>(ToolForm->Label1); }, 50, 40, -1, -1},
        {"Label2", [] { return static_cast<TControl*>(ToolForm->Label2); }, 50, 60, -1, -1},
        {"strLab", [] { return static_cast<TControl*>(MessageBoxForm->strLab); }, 40, 15, -1, -1},
        {"strLab1", [] { return static_cast<TControl*>(MessageBoxForm->strLab1); }, 40, 35, -1, -1},
    };
    for (const Placement& p : controls) {
        TControl* c = p.Get();
        ASSERT_NE(nullptr, c) << p.Name;
        EXPECT_EQ(p.Left, c->Left()) << p.Name;
        EXPECT_EQ(p.Top, c->Top()) << p.Name;
        if (p.Width >= 0) {
            EXPECT_EQ(p.Width, c->Width()) << p.Name;
            EXPECT_EQ(p.Height, c->Height()) << p.Name;
        }
        EXPECT_EQ("MS Gothic", c->Font()->Name()) << p.Name;
        EXPECT_EQ(-16, c->Font()->Height()) << p.Name;
        EXPECT_FALSE(c->ParentFont()) << p.Name;
    }

    struct FormCase {
        TForm* Form;
        int Left, Top, ClientWidth, ClientHeight;
        BYTE Charset;
    };
    for (const FormCase& f : {FormCase{ToolForm, 452, 299, 341, 180, DEFAULT_CHARSET},
                              FormCase{MessageBoxForm, 452, 340, 340, 112, ANSI_CHARSET}}) {
        EXPECT_EQ(f.Left, f.Form->Left()) << f.Form->ClassName();
        EXPECT_EQ(f.Top, f.Form->Top()) << f.Form->ClassName();
        RECT client{};
        GetClientRect(f.Form->Handle(), &client);
        EXPECT_EQ(f.ClientWidth, client.right) << f.Form->ClassName();
        EXPECT_EQ(f.ClientHeight, client.bottom) << f.Form->ClassName();
        RECT window{};
        GetWindowRect(f.Form->Handle(), &window);
        EXPECT_EQ(f.Left, window.left) << f.Form->ClassName();
        EXPECT_EQ(f.Top, window.top) << f.Form->ClassName();
        LONG style = GetWindowLongW(f.Form->Handle(), GWL_STYLE);
        EXPECT_TRUE(style & WS_SYSMENU) << "close box";
        EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)) << f.Form->ClassName();
        EXPECT_EQ(bsDialog, f.Form->BorderStyle()) << f.Form->ClassName();
        EXPECT_EQ(clBtnFace, f.Form->Color()) << f.Form->ClassName();
        EXPECT_EQ("Arial", f.Form->Font()->Name()) << f.Form->ClassName();
        EXPECT_EQ(-19, f.Form->Font()->Height()) << f.Form->ClassName();
        EXPECT_EQ(f.Charset, f.Form->Font()->Charset()) << f.Form->ClassName();
    }

    for (TImButton* b : {ToolForm->OK, MessageBoxForm->ImButton1}) {
        EXPECT_EQ(200, b->fGetAniSpd());
        EXPECT_EQ(2, b->Spacing());
        EXPECT_EQ(clBtnFace, b->Color());
        EXPECT_FALSE(b->ParentColor());
        EXPECT_EQ(clWindowText, b->HotTextColor());
        EXPECT_EQ(crHandPoint, b->Cursor());
        EXPECT_EQ(0, b->TabOrder());
    }
    EXPECT_EQ(1, ToolForm->Cancel->TabOrder());
    EXPECT_EQ(bdLeftToRight, ToolForm->Cancel->BiDiMode());
    EXPECT_FALSE(ToolForm->Cancel->ParentBiDiMode());
    EXPECT_EQ(taCenter, ToolForm->Label1->Alignment());
    EXPECT_EQ(taLeftJustify, ToolForm->Label2->Alignment());
    EXPECT_EQ(taCenter, MessageBoxForm->strLab->Alignment());
    EXPECT_EQ(taLeftJustify, MessageBoxForm->strLab1->Alignment());
    for (TTntLabel* l : {ToolForm->Label1, ToolForm->Label2, MessageBoxForm->strLab, MessageBoxForm->strLab1})
        EXPECT_TRUE(l->Transparent());
    EXPECT_FALSE(ToolForm->OK->Default());
    EXPECT_FALSE(ToolForm->Cancel->Cancel());
}

TEST(ToolDialogs, TextsAfterCreation) {
    StagedUpdate s;
    Dialogs d(s.Package());
    EXPECT_EQ("Vornix Connection Update Tool", ToolForm->Caption());
    EXPECT_EQ("Vornix Connection Update Tool", MessageBoxForm->Caption());
    EXPECT_EQ(L"Could you want to upgrade Vornix", ToolForm->Label1->Caption());
    EXPECT_EQ(L"Connection installed on PC?", ToolForm->Label2->Caption());
    EXPECT_EQ("OK", ToolForm->OK->Caption());
    EXPECT_EQ(L"Cancel", ToolForm->Cancel->Caption());
    EXPECT_EQ("OK", MessageBoxForm->ImButton1->Caption());
    EXPECT_EQ(L"", Line1());
    EXPECT_EQ(L"", Line2());
}

TEST(ToolDialogs, SetMessageTextMakesBothLinesWideAndKeepsPlaces) {
    StagedUpdate s;
    Dialogs d(s.Package());
    MessageBoxForm->SetMessageText("Mise \xE0 jour termin\xE9" "e", "");
    EXPECT_EQ(L"Mise \u00E0 jour termin\u00E9" L"e", Line1());
    EXPECT_EQ(L"", Line2());
    EXPECT_EQ(40, MessageBoxForm->strLab->Left());
    EXPECT_EQ(40, MessageBoxForm->strLab1->Left());
    EXPECT_FALSE(MessageBoxForm->Visible());
}

// A window of class "TMainform" of this very process: here DestroyWindow may
// remove it, which shows that the update tried.
HWND ShowMainformWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TMainform";
    RegisterClassA(&wc);
    return CreateWindowA("TMainform", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
}

struct MessageCase {
    const char* Name;
    std::function<void(StagedUpdate&)> Prepare;
    int Result;
    const wchar_t* First;
    const wchar_t* Second;
};

std::ostream& operator<<(std::ostream& os, const MessageCase& c) { return os << c.Name; }

const MessageCase kMessageCases[] = {
    {"Success", nullptr, 1, L"", L""},
    {"NotNewer", [](StagedUpdate& s) { WriteRegString(s.ProductKey(), "AppVersion", "2.0"); }, 1, L"", L""},
    {"ProductRunning", [](StagedUpdate&) { ShowMainformWindow(); }, -1, L"Vornix Connection is",
     L"already open,Please close it!"},
    {"NoInstallation", [](StagedUpdate& s) { WriteRegString(s.ProductKey(), "InstallLocation", ""); }, -1,
     L"Can not find the old version installed on pc!", L""},
    {"ConfigurationFile", [](StagedUpdate& s) { WriteFile(s.InstalledFile("Oskel.INI.BAK"), "x"); }, -1,
     L"Update the configuration file failed!", L""},
    {"ProductFile", [](StagedUpdate& s) { DeleteFileA((s.Package() + "\\Mirva.INI").c_str()); }, -1,
     L"Update the Vornix Connection", L"file failed!"},
    {"ApnProfileFile", [](StagedUpdate& s) { DeleteFileA(s.InstalledFile("Darrow.ini").c_str()); }, -1,
     L"APN file can not be found!", L""},
};

class DoUpdateOutcome : public ::testing::TestWithParam<MessageCase> {};

TEST_P(DoUpdateOutcome, ResultAndMessageLines) {
    const MessageCase& c = GetParam();
    StagedUpdate s;
    if (c.Prepare) c.Prepare(s);
    Dialogs d(s.Package());
    EXPECT_EQ(c.Result, DoUpdate());
    EXPECT_EQ(c.First, Line1());
    EXPECT_EQ(c.Second, Line2());
    EXPECT_EQ(nullptr, FindWindowA("TMainform", nullptr)) << "the product's window was not asked to close";
    EXPECT_FALSE(MessageBoxForm->Visible()) << "DoUpdate only fills in the message";
}

INSTANTIATE_TEST_SUITE_P(Kinds, DoUpdateOutcome, ::testing::ValuesIn(kMessageCases),
                         [](const ::testing::TestParamInfo<MessageCase>& info) { return info.param.Name; });

// OK pressed: the labels' states, the message shown, the form closed.
struct LabelStateCase {
    const char* Name;
    bool Fails;
    int Left;
    const wchar_t* Label1;
    const wchar_t* Label2;
    const wchar_t* Message1;
};

class OkPressed : public ::testing::TestWithParam<LabelStateCase> {};

TEST_P(OkPressed, LabelsEndInTheirFinalState) {
    const LabelStateCase& c = GetParam();
    StagedUpdate s;
    s.WriteToolIni("2.0", "[LANGUAGE]\r\nSTR_UPDATE_TOOL_STRING_NAME_UPDATE_SUCCESS2=Please restart.\r\n");
    if (c.Fails) WriteFile(s.InstalledFile("Korvane.exe.BAK"), "stale");
    Dialogs d(s.Package());
    ToolForm->Show();
    // The message's OK, waiting in the queue for the modal loop.
    PostMessageW(MessageBoxForm->ImButton1->Handle(), BM_CLICK, 0, 0);
    ToolForm->OKClick(ToolForm->OK);
    EXPECT_EQ(c.Message1, Line1());
    EXPECT_EQ(c.Left, ToolForm->Label1->Left());
    EXPECT_EQ(c.Left, ToolForm->Label2->Left());
    EXPECT_EQ(c.Label1, ToolForm->Label1->Caption());
    EXPECT_EQ(c.Label2, ToolForm->Label2->Caption());
    EXPECT_FALSE(MessageBoxForm->Visible());
    EXPECT_FALSE(ToolForm->Visible()) << "the confirmation dialog closes";
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, OkPressed,
    ::testing::Values(LabelStateCase{"Success", false, 20, L"Upgrade successful!", L"Please restart.",
                                     L"Upgrade successful!"},
                      LabelStateCase{"Failure", true, 50, L"Could you want to upgrade Vornix",
                                     L"Connection installed on PC?", L"Update the Vornix Connection"}),
    [](const ::testing::TestParamInfo<LabelStateCase>& info) { return info.param.Name; });

// While the update runs the first line says so, at Left 20, and the second
// is empty: an error of the platform leaves the dialog in that state.
TEST(ToolDialogs, PlatformErrorLeavesUpdatingTextsAndRollsBack) {
    StagedUpdate s;
    SetReadOnly(s.InstalledFile("Darrow.ini"), true);
    Dialogs d(s.Package());
    bool raised = false;
    try {
        ToolForm->OKClick(ToolForm->OK);
    } catch (const Exception& e) {
        raised = true;
        EXPECT_EQ("Unable to write to " + s.InstalledFile("Darrow.ini"), e.Message);
    }
    EXPECT_TRUE(raised);
    EXPECT_EQ(20, ToolForm->Label1->Left());
    EXPECT_EQ(20, ToolForm->Label2->Left());
    EXPECT_EQ(L"Being upgraded, please wait ...", ToolForm->Label1->Caption());
    EXPECT_EQ(L"", ToolForm->Label2->Caption());
    for (const ProductFile& f : kProductFiles) EXPECT_EQ(StagedUpdate::OldContent(f), ReadFile(s.Installed(f)));
    EXPECT_EQ("1.9", ReadRegString(s.ProductKey(), "AppVersion"));
    EXPECT_EQ(kWholePackageCount, ListFiles(s.Package()).size()) << "no cleanup";
    SetReadOnly(s.InstalledFile("Darrow.ini"), false);
}

}  // namespace

namespace {

// Switching APP_CONFIG_CMUPDATE_ON off comes after the update succeeded: a
// refused write there is shown as an error, and the update stays done.
TEST(ToolDialogs, RefusedSettingAfterSuccessKeepsTheUpdate) {
    StagedUpdate s;
    SetReadOnly(s.InstalledFile("Festor.ini"), true);
    Dialogs d(s.Package());
    bool raised = false;
    try {
        ToolForm->OKClick(ToolForm->OK);
    } catch (const Exception& e) {
        raised = true;
        EXPECT_EQ("Unable to write to " + s.InstalledFile("Festor.ini"), e.Message);
    }
    EXPECT_TRUE(raised);
    for (const ProductFile& f : kProductFiles) EXPECT_EQ(StagedUpdate::NewContent(f), ReadFile(s.Installed(f)));
    EXPECT_EQ("2.0", ReadRegString(s.ProductKey(), "AppVersion"));
    EXPECT_EQ(kApnProfiles[1].Encoded, ReadIni(s.InstalledFile("Darrow.ini"), kApnProfiles[1].Section, "UserPass"));
    for (const ProductFile& f : kProductFiles) EXPECT_FALSE(testsupport::FileExists(s.Installed(f) + ".BAK")) << f.Name;
    EXPECT_EQ(L"Being upgraded, please wait ...", ToolForm->Label1->Caption());
    SetReadOnly(s.InstalledFile("Festor.ini"), false);
}

}  // namespace

namespace {

// Long texts grow to the right from their Left; nothing recentres them and
// the dialogs keep their size.
TEST(ToolDialogs, LongTextsStayAnchoredAtTheirLeft) {
    StagedUpdate s;
    const std::string longLine(70, 'W');
    s.WriteToolIni("2.0", "[LANGUAGE]\r\nSTR_UPDATE_TOOL_STRING_NAME_UPDATEORNOT1=" + longLine + "\r\n");
    Dialogs d(s.Package());
    EXPECT_EQ(50, ToolForm->Label1->Left());
    EXPECT_GT(ToolForm->Label1->Width(), 341 - 50) << "the label sizes itself to its text";
    EXPECT_LT(ToolForm->Label2->Width(), ToolForm->Label1->Width());

    MessageBoxForm->SetMessageText(longLine, "");
    EXPECT_EQ(40, MessageBoxForm->strLab->Left());
    EXPECT_GT(MessageBoxForm->strLab->Width(), 340 - 40);
    RECT client{};
    GetClientRect(MessageBoxForm->Handle(), &client);
    EXPECT_EQ(340, client.right);
    EXPECT_EQ(112, client.bottom);
}

}  // namespace

namespace {

TEST(ToolDialogs, OkHasTheFocusWhenTheDialogOpensAndTabMovesToCancel) {
    StagedUpdate s;
    Dialogs d(s.Package());
    ToolForm->Show();
    EXPECT_EQ(ToolForm->OK->Handle(), GetFocus());
    ToolForm->DialogKey(VK_TAB, TShiftState());
    EXPECT_EQ(ToolForm->Cancel->Handle(), GetFocus());
    ToolForm->Hide();
}

}  // namespace
