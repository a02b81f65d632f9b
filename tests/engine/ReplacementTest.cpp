// Replacing installed files with backups, alone and within a journal.
#include "EngineFixture.h"

namespace {

using ReplaceFn = int (*)(const AnsiString&, TReplacementJournal*);

// The three operations and the folder each one writes to.
const struct Operation {
    const char* name;
    ReplaceFn replace;
    const char* folder;  // "" for the installation folder itself
    const char* file;
} Operations[] = {
    {"root", ReplaceRootFile, "", "Korvane.exe"},
    {"help", ReplaceHelpFile, "help", "Quenly.pdf"},
    {"language", ReplaceLanguageFile, "language", "Mirva.INI"},
};

class ReplacementTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        UseToolIni();
        Install();
        CreateDirectoryA((install / "help").c_str(), nullptr);
        CreateDirectoryA((install / "language").c_str(), nullptr);
    }
    std::string Target(const Operation& op) const {
        return *op.folder ? install / (std::string(op.folder) + "\\" + op.file) : install / op.file;
    }
};

}  // namespace

TEST_F(ReplacementTest, InstalledFileIsReplacedAndBackupRemoved) {
    for (const Operation& op : Operations) {
        const std::string target = Target(op);
        ts::WriteFile(target, std::string("old ") + op.file);
        ts::WriteFile(package / op.file, std::string("new ") + op.file);
        EXPECT_EQ(1, op.replace(op.file, nullptr)) << op.name;
        EXPECT_EQ(std::string("new ") + op.file, ts::ReadFile(target)) << op.name;
        EXPECT_FALSE(ts::FileExists(target + ".BAK")) << op.name;
    }
}

TEST_F(ReplacementTest, MissingInstalledFileIsCopiedWithoutBackup) {
    for (const Operation& op : Operations) {
        ts::WriteFile(package / op.file, "fresh");
        EXPECT_EQ(1, op.replace(op.file, nullptr)) << op.name;
        EXPECT_EQ("fresh", ts::ReadFile(Target(op))) << op.name;
        EXPECT_FALSE(ts::FileExists(Target(op) + ".BAK")) << op.name;
    }
}

TEST_F(ReplacementTest, StaleBackupFailsAndTouchesNothing) {
    for (const Operation& op : Operations) {
        ts::WriteFile(Target(op), "installed");
        ts::WriteFile(Target(op) + ".BAK", "stale");
        ts::WriteFile(package / op.file, "new");
        TReplacementJournal journal;
        EXPECT_EQ(0, op.replace(op.file, nullptr)) << op.name;
        EXPECT_EQ(0, op.replace(op.file, &journal)) << op.name;
        EXPECT_EQ(0, journal.Count());
        EXPECT_EQ("installed", ts::ReadFile(Target(op))) << op.name;
        EXPECT_EQ("stale", ts::ReadFile(Target(op) + ".BAK")) << op.name;
    }
}

TEST_F(ReplacementTest, MissingSourcePutsTheInstalledFileBack) {
    for (const Operation& op : Operations) {
        ts::WriteFile(Target(op), "installed");
        // The package file lies next to the tool, not in the working folder.
        ts::WriteFile(program / op.file, "new");
        TReplacementJournal journal;
        EXPECT_EQ(0, op.replace(op.file, nullptr)) << op.name;
        EXPECT_EQ(0, op.replace(op.file, &journal)) << op.name;
        EXPECT_EQ(0, journal.Count()) << "a restored file is not recorded";
        EXPECT_EQ("installed", ts::ReadFile(Target(op))) << op.name;
        EXPECT_FALSE(ts::FileExists(Target(op) + ".BAK")) << op.name;
    }
}

TEST_F(ReplacementTest, MissingSubfolderFailsWithoutCreatingIt) {
    ts::TempDir bare;  // an installation with neither help nor language folder
    Install(bare.Path());
    ts::WriteFile(package / "Quenly.pdf", "pdf");
    ts::WriteFile(package / "Mirva.INI", "ini");
    EXPECT_EQ(0, ReplaceHelpFile("Quenly.pdf"));
    EXPECT_EQ(0, ReplaceLanguageFile("Mirva.INI"));
    EXPECT_FALSE(ts::FolderExists(bare / "help"));
    EXPECT_FALSE(ts::FolderExists(bare / "language"));
}

TEST_F(ReplacementTest, TrailingBackslashInLocationStillWorks) {
    Install(install.Path() + "\\");
    ts::WriteFile(install / "Oskel.INI", "old");
    ts::WriteFile(package / "Oskel.INI", "new");
    ts::WriteFile(package / "Quenly.pdf", "pdf");
    EXPECT_EQ(1, ReplaceRootFile("Oskel.INI"));
    EXPECT_EQ(1, ReplaceHelpFile("Quenly.pdf"));
    EXPECT_EQ("new", ts::ReadFile(install / "Oskel.INI"));
    EXPECT_EQ("pdf", ts::ReadFile(install / "help\\Quenly.pdf"));
    EXPECT_FALSE(ts::FileExists(install / "Oskel.INI.BAK"));
}

TEST_F(ReplacementTest, NoInstallationTriesNothing) {
    Install("");
    ts::WriteFile(package / "Korvane.exe", "new");
    for (const Operation& op : Operations) EXPECT_EQ(-1, op.replace(op.file, nullptr)) << op.name;
    EXPECT_EQ((std::vector<std::string>{"Korvane.exe"}), ts::ListFiles(package.Path()));
}

TEST_F(ReplacementTest, FileHeldOpenWithoutSharingFails) {
    ts::WriteFile(install / "Brimlet.dll", "in use");
    ts::WriteFile(package / "Brimlet.dll", "new");
    HANDLE held = CreateFileA((install / "Brimlet.dll").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(0, ReplaceRootFile("Brimlet.dll"));
    CloseHandle(held);
    EXPECT_EQ("in use", ts::ReadFile(install / "Brimlet.dll"));
    EXPECT_FALSE(ts::FileExists(install / "Brimlet.dll.BAK"));
}

// ---- The journal of one update ----------------------------------------------

namespace {

// Replaces Oskel.INI (installed), Korvane.exe (not installed before) and
// Quenly.pdf (installed, in help) through the journal.
void ReplaceThree(const ts::TempDir& install, const ts::TempDir& package,
                  TReplacementJournal& journal) {
    ts::WriteFile(install / "Oskel.INI", "old ini");
    ts::WriteFile(install / "help\\Quenly.pdf", "old pdf");
    for (const char* name : {"Oskel.INI", "Korvane.exe", "Quenly.pdf"})
        ts::WriteFile(package / name, std::string("new ") + name);
    ASSERT_EQ(1, ReplaceRootFile("Oskel.INI", &journal));
    ASSERT_EQ(1, ReplaceRootFile("Korvane.exe", &journal));
    ASSERT_EQ(1, ReplaceHelpFile("Quenly.pdf", &journal));
    ASSERT_EQ(3, journal.Count());
    // The backups are kept until the update is over.
    EXPECT_EQ("old ini", ts::ReadFile(install / "Oskel.INI.BAK"));
    EXPECT_EQ("old pdf", ts::ReadFile(install / "help\\Quenly.pdf.BAK"));
    EXPECT_FALSE(ts::FileExists(install / "Korvane.exe.BAK"));
}

}  // namespace

TEST_F(ReplacementTest, JournalCommitDeletesTheKeptBackups) {
    TReplacementJournal journal;
    ReplaceThree(install, package, journal);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_TRUE(journal.Commit());
    EXPECT_EQ(0, journal.Count());
    EXPECT_EQ((std::vector<std::string>{"Korvane.exe", "Oskel.INI"}), ts::ListFiles(install.Path()));
    EXPECT_EQ((std::vector<std::string>{"Quenly.pdf"}), ts::ListFiles(install / "help"));
    EXPECT_EQ("new Oskel.INI", ts::ReadFile(install / "Oskel.INI"));
    EXPECT_EQ("new Quenly.pdf", ts::ReadFile(install / "help\\Quenly.pdf"));
    EXPECT_TRUE(journal.Rollback()) << "nothing left to roll back";
    EXPECT_EQ("new Oskel.INI", ts::ReadFile(install / "Oskel.INI"));
}

TEST_F(ReplacementTest, JournalRollbackPutsEveryFileBack) {
    TReplacementJournal journal;
    ReplaceThree(install, package, journal);
    ASSERT_FALSE(HasFatalFailure());
    // A later file fails on its own: it is restored at once and not recorded.
    ts::WriteFile(install / "Brimlet.dll", "old dll");
    EXPECT_EQ(0, ReplaceRootFile("Brimlet.dll", &journal));
    EXPECT_EQ(3, journal.Count());

    EXPECT_TRUE(journal.Rollback());
    EXPECT_EQ(0, journal.Count());
    EXPECT_EQ((std::vector<std::string>{"Brimlet.dll", "Oskel.INI"}), ts::ListFiles(install.Path()));
    EXPECT_EQ((std::vector<std::string>{"Quenly.pdf"}), ts::ListFiles(install / "help"));
    EXPECT_EQ("old ini", ts::ReadFile(install / "Oskel.INI"));
    EXPECT_EQ("old pdf", ts::ReadFile(install / "help\\Quenly.pdf"));
    EXPECT_EQ("old dll", ts::ReadFile(install / "Brimlet.dll"));
}

TEST_F(ReplacementTest, JournalLeftOpenRollsBackWhenDestroyed) {
    {
        TReplacementJournal journal;
        ReplaceThree(install, package, journal);
    ASSERT_FALSE(HasFatalFailure());
    }
    EXPECT_EQ((std::vector<std::string>{"Oskel.INI"}), ts::ListFiles(install.Path()));
    EXPECT_EQ("old ini", ts::ReadFile(install / "Oskel.INI"));
    EXPECT_EQ("old pdf", ts::ReadFile(install / "help\\Quenly.pdf"));
}

TEST_F(ReplacementTest, JournalRollbackReportsAFileItCannotPutBack) {
    TReplacementJournal journal;
    ReplaceThree(install, package, journal);
    ASSERT_FALSE(HasFatalFailure());
    // Someone removed the kept backup: that file cannot be put back, the others are.
    ts::SetReadOnly(install / "help\\Quenly.pdf.BAK", false);
    ASSERT_TRUE(DeleteFileA((install / "help\\Quenly.pdf.BAK").c_str()));
    EXPECT_FALSE(journal.Rollback());
    EXPECT_EQ("new Quenly.pdf", ts::ReadFile(install / "help\\Quenly.pdf"));
    EXPECT_EQ("old ini", ts::ReadFile(install / "Oskel.INI"));
    EXPECT_FALSE(ts::FileExists(install / "Korvane.exe"));
}
