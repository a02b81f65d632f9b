// Runs the real Tidex.exe as a Windows process in temporary folders.
#include <gtest/gtest.h>

#include "TestSupport.h"

using namespace testsupport;

namespace {

const char* const kPackage[] = {"Korvane.exe", "Brimlet.dll", "Oskel.INI", "Tool.ini",
                                "Mirva.INI",   "Pellow.txt",  "Quenly.pdf"};

// A package folder with every package file and a copy of Tidex.exe.
std::string StagePackage(const TempDir& dir) {
    for (const char* name : kPackage) WriteFile(dir / name, std::string("package copy of ") + name);
    // Tool.exe of the package: any bytes do, the cleanup only deletes it.
    WriteFile(dir / "Tool.exe", "MZ");
    return CopyBuiltProgram("Tidex.exe", dir.Path());
}

using Names = std::vector<std::string>;

}  // namespace

TEST(Tidex, PackageFolderKeepsOnlyHelpDocumentAndItself) {
    TempDir dir;
    std::string tidex = StagePackage(dir);
    EXPECT_EQ(0u, RunProgram(tidex, dir.Path()));
    EXPECT_EQ((Names{"Quenly.pdf", "Tidex.exe"}), ListFiles(dir.Path()));
}

TEST(Tidex, EmptyFolderExitsWithZero) {
    TempDir dir;
    std::string tidex = CopyBuiltProgram("Tidex.exe", dir.Path());
    EXPECT_EQ(0u, RunProgram(tidex, dir.Path()));
    EXPECT_EQ((Names{"Tidex.exe"}), ListFiles(dir.Path()));
}

TEST(Tidex, ReadOnlyFileStaysWhileTheOthersGo) {
    TempDir dir;
    std::string tidex = StagePackage(dir);
    SetReadOnly(dir / "Tool.ini", true);
    EXPECT_EQ(0u, RunProgram(tidex, dir.Path()));
    EXPECT_EQ((Names{"Quenly.pdf", "Tidex.exe", "Tool.ini"}), ListFiles(dir.Path()));
    EXPECT_EQ("package copy of Tool.ini", ReadFile(dir / "Tool.ini"));
}

TEST(Tidex, FileInUseStaysAndTheNextOneStillGoes) {
    TempDir dir;
    std::string tidex = StagePackage(dir);
    // Tool.exe held open without delete sharing, as a still running update tool would be.
    HANDLE held = CreateFileA((dir / "Tool.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(0u, RunProgram(tidex, dir.Path()));
    CloseHandle(held);
    EXPECT_EQ((Names{"Quenly.pdf", "Tidex.exe", "Tool.exe"}), ListFiles(dir.Path()));
}

TEST(Tidex, StartedFromAnotherFolderDeletesNothingThere) {
    TempDir package;
    std::string tidex = StagePackage(package);
    TempDir elsewhere;
    WriteFile(elsewhere / "Tool.ini", "unrelated settings");
    WriteFile(elsewhere / "Korvane.exe", "unrelated program");
    EXPECT_EQ(0u, RunProgram(tidex, elsewhere.Path()));
    EXPECT_EQ((Names{"Korvane.exe", "Tool.ini"}), ListFiles(elsewhere.Path()));
    // Its own folder is not its working folder either, so the package stays whole.
    EXPECT_EQ(9u, ListFiles(package.Path()).size());
}

TEST(Tidex, WorkingFolderNamedInOtherCaseAndWithTrailingSeparatorCounts) {
    TempDir dir;
    std::string tidex = StagePackage(dir);
    std::string differentCase = dir.Path();
    CharUpperBuffA(&differentCase[0], static_cast<DWORD>(differentCase.size()));
    EXPECT_EQ(0u, RunProgram(tidex, differentCase + "\\"));
    EXPECT_EQ((Names{"Quenly.pdf", "Tidex.exe"}), ListFiles(dir.Path()));
}
