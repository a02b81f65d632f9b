// Runs the real Tool.exe and Tidex.exe under Wine against staged
// installations, update packages and product keys, clicking the dialogs by
// window class the way a user would.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "TestSupport.h"
#include "ToolDriver.h"

using namespace testsupport;
using namespace tooldriver;

namespace {

using Names = std::vector<std::string>;

const Names kCleanedPackage = {"Quenly.pdf", "Tidex.exe"};

// The package folder after the cleanup. The cleanup program is started while
// the tool is still ending, so Tool.exe may still be in use when its turn
// comes and then stays; every other package file is gone.
Names CleanedPackage(const std::string& folder) {
    Names left = ListFiles(folder);
    left.erase(std::remove(left.begin(), left.end(), "Tool.exe"), left.end());
    return left;
}
const Names kWholePackage = {"Brimlet.dll", "Korvane.exe", "Mirva.INI", "Oskel.INI", "Pellow.txt",
                             "Quenly.pdf",  "Tidex.exe",   "Tool.exe",  "Tool.ini"};

enum class Files { New, Old };
enum class Passwords { Encoded, Plain, Absent };

// What one run of the tool is expected to leave behind.
struct UpdateCase {
    const char* Name;
    std::function<void(StagedUpdate&)> Prepare;
    Files Installed;
    std::optional<std::string> Version;  // AppVersion afterwards; nullopt: no value
    Passwords Apn;
    const char* CmUpdate;                // APP_CONFIG_CMUPDATE_ON afterwards
    std::function<void(StagedUpdate&)> AlsoCheck;
};

std::ostream& operator<<(std::ostream& os, const UpdateCase& c) { return os << c.Name; }

// The product's own window, shown by another process.
struct RunningProduct {
    RunningProduct() : process(BuiltProgram("ProductWindow.exe"), ThisFolder()) {
        EXPECT_NE(nullptr, WaitForWindow(process, "TMainform", kWindowTimeoutMs));
    }
    static std::string ThisFolder() {
        std::string self = ThisProgram();
        return self.substr(0, self.find_last_of('\\'));
    }
    Process process;
};

std::unique_ptr<RunningProduct> g_product;

void NoBackupsLeft(StagedUpdate& s) {
    for (const ProductFile& f : kProductFiles)
        EXPECT_FALSE(FileExists(s.Installed(f) + ".BAK")) << f.Name << ".BAK left behind";
}

const UpdateCase kUpdateCases[] = {
    {"Success", nullptr, Files::New, "2.0", Passwords::Encoded, "0", NoBackupsLeft},
    {"PackageNotNewer", [](StagedUpdate& s) { s.WriteToolIni("1.9"); }, Files::Old, "1.9", Passwords::Plain, "0",
     nullptr},
    {"PackageOlder", [](StagedUpdate& s) { s.WriteToolIni("1.8.9"); }, Files::Old, "1.9", Passwords::Plain, "0",
     nullptr},
    {"ApnSwitchOnLeavesPasswords",
     [](StagedUpdate& s) {
         WriteFile(s.InstalledFile("Oskel.INI"), "[APP_CONFIG]\r\nAPP_ENCRYPTION_FOR_APN=1\r\nAPP_EDITION=old\r\n");
     },
     Files::New, "2.0", Passwords::Plain, "0", nullptr},
    {"NoOldConfigurationStillEncodes", [](StagedUpdate& s) { DeleteFileA(s.InstalledFile("Oskel.INI").c_str()); },
     Files::New, "2.0", Passwords::Encoded, "0", nullptr},
    {"DarrowMissing", [](StagedUpdate& s) { DeleteFileA(s.InstalledFile("Darrow.ini").c_str()); }, Files::New, "2.0",
     Passwords::Absent, "1", NoBackupsLeft},
    {"StaleKorvaneBackupRollsBack",
     [](StagedUpdate& s) { WriteFile(s.InstalledFile("Korvane.exe.BAK"), "stale backup"); }, Files::Old, "1.9",
     Passwords::Plain, "1",
     [](StagedUpdate& s) {
         EXPECT_EQ("stale backup", ReadFile(s.InstalledFile("Korvane.exe.BAK")));
         EXPECT_FALSE(FileExists(s.InstalledFile("Oskel.INI.BAK")));
     }},
    {"StaleConfigurationBackupRollsBack",
     [](StagedUpdate& s) { WriteFile(s.InstalledFile("Oskel.INI.BAK"), "stale backup"); }, Files::Old, "1.9",
     Passwords::Plain, "1", [](StagedUpdate& s) {
         EXPECT_EQ("stale backup", ReadFile(s.InstalledFile("Oskel.INI.BAK")));
     }},
    // The last file fails (no help folder): the four replaced before it go
    // back, a file that was not installed before is removed again, and the
    // version value that did not exist is deleted again.
    {"LastFileFailsRollsBackEverything",
     [](StagedUpdate& s) {
         RemoveTree(s.InstalledFile("help"));
         DeleteFileA(s.InstalledFile("Brimlet.dll").c_str());
         DeleteRegValue(s.ProductKey(), "AppVersion");
     },
     Files::Old, std::nullopt, Passwords::Plain, "1",
     [](StagedUpdate& s) {
         EXPECT_FALSE(FileExists(s.InstalledFile("Brimlet.dll")));
         EXPECT_FALSE(FolderExists(s.InstalledFile("help")));
         NoBackupsLeft(s);
     }},
    {"InstallationNotFound", [](StagedUpdate& s) { DeleteRegValue(s.ProductKey(), "InstallLocation"); }, Files::Old,
     "1.9", Passwords::Plain, "1", nullptr},
    {"ProductRunning", [](StagedUpdate&) { g_product = std::make_unique<RunningProduct>(); }, Files::Old, "1.9",
     Passwords::Plain, "1",
     [](StagedUpdate&) {
         // Another process's window cannot be destroyed: the product stays open.
         ASSERT_TRUE(g_product);
         EXPECT_EQ(1u, VisibleWindowsOf(g_product->process.Id(), "TMainform").size());
         g_product.reset();
     }},
};

class ToolUpdate : public ::testing::TestWithParam<UpdateCase> {};

TEST_P(ToolUpdate, LeavesInstallationRegistryAndPackageAsExpected) {
    const UpdateCase& c = GetParam();
    StagedUpdate s;
    if (c.Prepare) c.Prepare(s);
    // Files that the preparation removed stay absent; the others are checked.
    std::vector<bool> present;
    for (const ProductFile& f : kProductFiles) present.push_back(FileExists(s.Installed(f)));

    ToolRun run = RunToolAndConfirm(s.ToolExe(), s.Package());
    ASSERT_TRUE(run.Finished);
    EXPECT_EQ(0u, run.ExitCode);
    EXPECT_EQ(kCleanedPackage, CleanedPackage(s.Package())) << "the cleanup program runs after every outcome of OK";

    for (size_t i = 0; i < 5; ++i) {
        const ProductFile& f = kProductFiles[i];
        if (c.Installed == Files::New) {
            EXPECT_EQ(StagedUpdate::NewContent(f), ReadFile(s.Installed(f))) << f.Name;
        } else if (present[i]) {
            EXPECT_EQ(StagedUpdate::OldContent(f), ReadFile(s.Installed(f))) << f.Name;
        }
    }
    EXPECT_EQ(c.Version, ReadRegString(s.ProductKey(), "AppVersion"));
    EXPECT_EQ(s.Install(), ReadRegString(s.ProductKey(), "InstallLocation").value_or(s.Install()));

    for (const ApnProfile& p : kApnProfiles) {
        std::string pass = ReadIni(s.InstalledFile("Darrow.ini"), p.Section, "UserPass");
        switch (c.Apn) {
            case Passwords::Encoded: EXPECT_EQ(p.Encoded, pass) << p.Section; break;
            case Passwords::Plain: EXPECT_EQ(p.Plain, pass) << p.Section; break;
            case Passwords::Absent: EXPECT_FALSE(FileExists(s.InstalledFile("Darrow.ini"))); break;
        }
        if (c.Apn != Passwords::Absent) {
            EXPECT_EQ("internet.vornix", ReadIni(s.InstalledFile("Darrow.ini"), p.Section, "APN"));
        }
    }
    EXPECT_EQ(c.CmUpdate, ReadIni(s.InstalledFile("Festor.ini"), "APP_CONFIG", "APP_CONFIG_CMUPDATE_ON"));
    EXPECT_EQ("7", ReadIni(s.InstalledFile("Festor.ini"), "APP_CONFIG", "APP_CONFIG_OTHER"));
    if (c.AlsoCheck) c.AlsoCheck(s);
}

INSTANTIATE_TEST_SUITE_P(Outcomes, ToolUpdate, ::testing::ValuesIn(kUpdateCases),
                         [](const ::testing::TestParamInfo<UpdateCase>& info) { return info.param.Name; });

TEST(ToolUpdate, FailedUpdateRunAgainCopiesForReal) {
    StagedUpdate s;
    WriteFile(s.InstalledFile("Brimlet.dll.BAK"), "stale backup");
    ASSERT_TRUE(RunToolAndConfirm(s.ToolExe(), s.Package()).Finished);
    EXPECT_EQ("1.9", ReadRegString(s.ProductKey(), "AppVersion"));

    // The user removes the stale backup and runs a fresh copy of the package.
    DeleteFileA(s.InstalledFile("Brimlet.dll.BAK").c_str());
    StagedUpdate again;
    again.WriteToolIni("2.0");
    WriteRegString(again.ProductKey(), "InstallLocation", s.Install());
    ASSERT_TRUE(RunToolAndConfirm(again.ToolExe(), again.Package()).Finished);
    for (const ProductFile& f : kProductFiles)
        EXPECT_EQ(StagedUpdate::NewContent(f), ReadFile(s.Installed(f))) << f.Name;
    EXPECT_EQ("2.0", ReadRegString(again.ProductKey(), "AppVersion"));
    EXPECT_EQ(kApnProfiles[0].Encoded, ReadIni(s.InstalledFile("Darrow.ini"), kApnProfiles[0].Section, "UserPass"));
}

TEST(ToolDialogs, EnglishTextsFromToolIniDefaults) {
    StagedUpdate s;
    ToolRun run = RunToolAndConfirm(s.ToolExe(), s.Package());
    ASSERT_TRUE(run.Finished);
    EXPECT_EQ(L"Vornix Connection Update Tool", run.FormTitle);
    EXPECT_EQ(L"OK", run.OkCaption);
    EXPECT_EQ(L"Cancel", run.CancelCaption);
    EXPECT_EQ(L"Vornix Connection Update Tool", run.MessageTitle);
    EXPECT_EQ(L"OK", run.MessageButton);
}

// Texts of [LANGUAGE] in the ANSI code page reach the controls as the same
// characters; keys are found whatever their case and blanks; an empty value
// is an empty text, not the default.
TEST(ToolDialogs, TranslatedTextsFromToolIni) {
    StagedUpdate s;
    s.WriteToolIni("2.0",
                   "[language]\r\n"
                   "str_update_tool_string_name_update_tool=Mise \xE0 jour Vornix\r\n"
                   "STR_UPDATE_TOOL_STRING_NAME_CANCEL=Annuler \xE9t\xE9\r\n"
                   "  STR_UPDATE_TOOL_STRING_NAME_OK  =\r\n");
    ToolRun run = RunToolAndConfirm(s.ToolExe(), s.Package());
    ASSERT_TRUE(run.Finished);
    EXPECT_EQ(L"Mise \u00E0 jour Vornix", run.FormTitle);
    EXPECT_EQ(L"", run.OkCaption);
    EXPECT_EQ(L"Annuler \u00E9t\u00E9", run.CancelCaption);
    EXPECT_EQ(L"Mise \u00E0 jour Vornix", run.MessageTitle);
    EXPECT_EQ(L"OK", run.MessageButton) << "the message button's caption is not localised";
}

// Without Tool.ini the tool looks in the product's default uninstall key.
TEST(ToolDialogs, WithoutToolIniEnglishDefaultsAndNoInstallation) {
    const std::string defaultKey =
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{5B1C7A20-3E4D-4F61-9A7C-2D8E0F13B6A4}";
    ASSERT_FALSE(RegKeyExists(defaultKey)) << "this Wine prefix has the product installed";
    StagedUpdate s;
    DeleteFileA((s.Package() + "\\Tool.ini").c_str());
    ToolRun run = RunToolAndConfirm(s.ToolExe(), s.Package());
    bool created = RegKeyExists(defaultKey);
    std::optional<std::string> location = ReadRegString(defaultKey, "InstallLocation");
    DeleteRegTree(defaultKey);
    ASSERT_TRUE(run.Finished);
    EXPECT_EQ(L"Vornix Connection Update Tool", run.FormTitle);
    EXPECT_EQ(L"OK", run.OkCaption);
    EXPECT_EQ(L"Cancel", run.CancelCaption);
    EXPECT_TRUE(created) << "the product key is opened with creation allowed";
    EXPECT_EQ(std::nullopt, location);
    for (const ProductFile& f : kProductFiles) EXPECT_EQ(StagedUpdate::OldContent(f), ReadFile(s.Installed(f)));
    EXPECT_EQ("1.9", ReadRegString(s.ProductKey(), "AppVersion"));
    EXPECT_EQ(kCleanedPackage, CleanedPackage(s.Package()));
}

// Tool.ini is read next to the program, the product files from the working
// folder: started elsewhere, the first copy fails and everything goes back.
TEST(ToolUpdate, StartedFromAnotherWorkingFolder) {
    StagedUpdate s;
    TempDir elsewhere;
    WriteFile(elsewhere / "Tool.ini", "[APP_CONFIG]\r\nAPP_IN_VERSION=9.9\r\n");
    WriteFile(elsewhere / "Korvane.exe", "unrelated program");
    ToolRun run = RunToolAndConfirm(s.ToolExe(), elsewhere.Path());
    ASSERT_TRUE(run.Finished);
    EXPECT_EQ(0u, run.ExitCode);
    for (const ProductFile& f : kProductFiles) EXPECT_EQ(StagedUpdate::OldContent(f), ReadFile(s.Installed(f)));
    EXPECT_EQ("1.9", ReadRegString(s.ProductKey(), "AppVersion")) << "the recorded version is put back";
    EXPECT_EQ((Names{"Korvane.exe", "Tool.ini"}), ListFiles(elsewhere.Path()));
    EXPECT_EQ(kWholePackage, ListFiles(s.Package()));
}

// The settings come from the Tool.ini next to Tool.exe, the product files
// from the working folder: a working folder holding other product files
// (and a Tool.ini of its own) updates the installation with those files.
TEST(ToolUpdate, ProductFilesComeFromTheWorkingFolderSettingsFromTheProgramFolder) {
    StagedUpdate s;
    TempDir elsewhere;
    WriteFile(elsewhere / "Tool.ini", "[APP_CONFIG]\r\nAPP_IN_VERSION=9.9\r\n");
    for (const ProductFile& f : kProductFiles)
        WriteFile(elsewhere / f.Name, std::string(f.Name) == "Oskel.INI" ? StagedUpdate::NewContent(f)
                                                                         : std::string("elsewhere ") + f.Name);
    ToolRun run = RunToolAndConfirm(s.ToolExe(), elsewhere.Path());
    ASSERT_TRUE(run.Finished);
    for (const ProductFile& f : kProductFiles) {
        if (std::string(f.Name) == "Oskel.INI") continue;
        EXPECT_EQ(std::string("elsewhere ") + f.Name, ReadFile(s.Installed(f))) << f.Name;
    }
    EXPECT_EQ("2.0", ReadRegString(s.ProductKey(), "AppVersion")) << "APP_IN_VERSION of the package's Tool.ini";
    EXPECT_EQ(kApnProfiles[0].Encoded, ReadIni(s.InstalledFile("Darrow.ini"), kApnProfiles[0].Section, "UserPass"));
    EXPECT_EQ(kWholePackage, ListFiles(s.Package()));
}

// Cancel and the close box end the tool with nothing changed and no cleanup.
class ToolLeftWithout : public ::testing::TestWithParam<const char*> {};

TEST_P(ToolLeftWithout, AnyChange) {
    StagedUpdate s;
    Process tool(s.ToolExe(), s.Package());
    HWND form = WaitForWindow(tool, "TToolForm", kWindowTimeoutMs);
    ASSERT_NE(nullptr, form);
    if (std::string(GetParam()) == "Cancel") {
        auto cancel = ChildrenOf(form, "TTntButton");
        ASSERT_EQ(1u, cancel.size());
        Click(cancel[0]);
    } else {
        PressCloseBox(form);
    }
    ASSERT_TRUE(tool.Wait(kWindowTimeoutMs));
    EXPECT_EQ(0u, tool.ExitCode());
    EXPECT_TRUE(ProcessesNamed("Tidex.exe").empty()) << "the cleanup program was started";
    EXPECT_EQ(kWholePackage, ListFiles(s.Package()));
    for (const ProductFile& f : kProductFiles) EXPECT_EQ(StagedUpdate::OldContent(f), ReadFile(s.Installed(f)));
    EXPECT_EQ("1.9", ReadRegString(s.ProductKey(), "AppVersion"));
    EXPECT_EQ("1", ReadIni(s.InstalledFile("Festor.ini"), "APP_CONFIG", "APP_CONFIG_CMUPDATE_ON"));
    EXPECT_EQ(kApnProfiles[0].Plain, ReadIni(s.InstalledFile("Darrow.ini"), kApnProfiles[0].Section, "UserPass"));
}

INSTANTIATE_TEST_SUITE_P(CancelOrCloseBox, ToolLeftWithout, ::testing::Values("Cancel", "CloseBox"));

TEST(ToolStart, SecondCopyExitsAtOnceWhileTheFirstRuns) {
    StagedUpdate s;
    Process first(s.ToolExe(), s.Package());
    HWND form = WaitForWindow(first, "TToolForm", kWindowTimeoutMs);
    ASSERT_NE(nullptr, form);

    Process second(s.ToolExe(), s.Package());
    ASSERT_TRUE(second.Wait(kWindowTimeoutMs));
    EXPECT_EQ(0u, second.ExitCode());
    EXPECT_TRUE(IsWindowVisible(form)) << "the first copy is not disturbed";
    EXPECT_EQ(1u, VisibleWindowsOf(first.Id(), "TToolForm").size());

    Click(ChildrenOf(form, "TTntButton").at(0));
    ASSERT_TRUE(first.Wait(kWindowTimeoutMs));

    // The marker went with the first process: a new copy starts normally.
    Process third(s.ToolExe(), s.Package());
    HWND again = WaitForWindow(third, "TToolForm", kWindowTimeoutMs);
    ASSERT_NE(nullptr, again);
    PressCloseBox(again);
    ASSERT_TRUE(third.Wait(kWindowTimeoutMs));
    EXPECT_EQ(0u, third.ExitCode());
}

// A refused INI write during the update reaches the standard error display;
// what the update had replaced so far goes back, the dialog stays open and
// nothing is cleaned up.
TEST(ToolUpdate, PlatformErrorRollsBackAndKeepsTheDialogOpen) {
    StagedUpdate s;
    SetReadOnly(s.InstalledFile("Darrow.ini"), true);
    Process tool(s.ToolExe(), s.Package());
    HWND form = WaitForWindow(tool, "TToolForm", kWindowTimeoutMs);
    ASSERT_NE(nullptr, form);
    Click(ChildrenOf(form, "TImButton").at(0));

    HWND error = WaitForWindow(tool, "#32770", kWindowTimeoutMs);
    ASSERT_NE(nullptr, error) << "no error message box";
    std::wstring text;
    for (HWND child : ChildrenOf(error, "Static")) text += WindowText(child);
    std::string darrow = s.InstalledFile("Darrow.ini");
    EXPECT_NE(std::wstring::npos, text.find(L"Unable to write to " + std::wstring(darrow.begin(), darrow.end())))
        << std::string(text.begin(), text.end());
    EXPECT_TRUE(VisibleWindowsOf(tool.Id(), "TMessageBoxForm").empty());

    // While the error is shown the installation is already back as it was.
    for (const ProductFile& f : kProductFiles) EXPECT_EQ(StagedUpdate::OldContent(f), ReadFile(s.Installed(f)));
    EXPECT_EQ("1.9", ReadRegString(s.ProductKey(), "AppVersion"));
    NoBackupsLeft(s);

    PostMessageW(error, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntilGone(tool, error, kWindowTimeoutMs));
    EXPECT_TRUE(IsWindowVisible(form)) << "the confirmation dialog stays open";

    Click(ChildrenOf(form, "TTntButton").at(0));
    ASSERT_TRUE(tool.Wait(kWindowTimeoutMs));
    EXPECT_EQ(0u, tool.ExitCode());
    EXPECT_TRUE(ProcessesNamed("Tidex.exe").empty());
    EXPECT_EQ(kWholePackage, ListFiles(s.Package()));
    SetReadOnly(s.InstalledFile("Darrow.ini"), false);
    EXPECT_EQ(kApnProfiles[0].Plain, ReadIni(s.InstalledFile("Darrow.ini"), kApnProfiles[0].Section, "UserPass"));
}

}  // namespace
