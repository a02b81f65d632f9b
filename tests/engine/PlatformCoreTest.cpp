// Texts, file functions and INI files on real files in temporary folders.
#include <gtest/gtest.h>

#include "Classes.h"
#include "IniFiles.h"
#include "SysUtils.h"
#include "TestSupport.h"

namespace ts = testsupport;

namespace {

struct IntCase {
    const char* text;
    bool ok;
    int value;
};

const IntCase IntCases[] = {
    {"0", true, 0},          {"1", true, 1},          {"-12", true, -12},
    {"+7", true, 7},         {"007", true, 7},        {"$A", true, 10},
    {"$ff", true, 255},      {"x1F", true, 31},       {"X10", true, 16},
    {"0x10", true, 16},      {"0X7fffffff", true, 2147483647},
    {"-0x10", true, -16},    {"$FFFFFFFF", true, -1}, {"2147483647", true, 2147483647},
    {"-2147483648", true, -2147483647 - 1},
    {"2147483648", false, 0}, {"$100000000", false, 0}, {"", false, 0},
    {"-", false, 0},          {"$", false, 0},          {"0x", false, 0},
    {"abc", false, 0},        {"12abc", false, 0},      {"1 2", false, 0},
    {"0x1G", false, 0},       {"$-1", false, 0},        {"1.0", false, 0},
    {"--1", false, 0},
};

}  // namespace

TEST(TryStrToInt, AcceptsOnlyWholeNumbers) {
    for (const IntCase& c : IntCases) {
        int value = 12345;
        EXPECT_EQ(c.ok, TryStrToInt(c.text, value)) << c.text;
        EXPECT_EQ(c.ok ? c.value : 12345, value) << c.text;
    }
}

TEST(AnsiToWide, ConvertsWithTheAnsiCodePage) {
    EXPECT_EQ(L"", AnsiToWide(""));
    EXPECT_EQ(L"Cancel", AnsiToWide("Cancel"));
    EXPECT_EQ(std::wstring(L"a\0b", 3), AnsiToWide(std::string("a\0b", 3)));
    // Every byte of the code page, one at a time, as the system converts it.
    for (int byte = 1; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        wchar_t expected = 0;
        if (MultiByteToWideChar(CP_ACP, 0, &c, 1, &expected, 1) != 1) continue;  // lead bytes
        EXPECT_EQ(std::wstring(1, expected), AnsiToWide(std::string(1, c))) << byte;
    }
    if (GetACP() == 1252) {
        EXPECT_EQ(L"\u20ac\u00e9", AnsiToWide("\x80\xe9"));
    }
}

TEST(ExtractFileDir, KeepsOnlyADriveRootSeparator) {
    const struct {
        const char* path;
        const char* dir;
    } cases[] = {
        {"C:\\Tools\\Tool.exe", "C:\\Tools"},
        {"C:\\Tool.exe", "C:\\"},
        {"Z:\\a\\b\\c.exe", "Z:\\a\\b"},
        {"\\\\server\\share\\Tool.exe", "\\\\server\\share"},
        {"Tool.exe", ""},
        {"C:/x/Tool.exe", "C:/x"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.dir, ExtractFileDir(c.path)) << c.path;
}

TEST(ProgramFileName, IsTheRunningExecutable) {
    EXPECT_EQ(0, lstrcmpiA(ts::ThisProgram().c_str(), ProgramFileName().c_str()));
    EXPECT_EQ(ExtractFileDir(ProgramFileName()), ProgramFolder());
    EXPECT_NE('\\', ProgramFolder().back());
}

TEST(FileFunctions, ExistRenameCopyDelete) {
    ts::TempDir dir;
    const std::string a = dir / "a.txt", b = dir / "b.txt", sub = dir / "sub";
    ts::WriteFile(a, "old");
    ts::WriteFile(b, "other");
    CreateDirectoryA(sub.c_str(), nullptr);

    EXPECT_TRUE(FileExists(a));
    EXPECT_FALSE(FileExists(sub)) << "a folder is not a file";
    EXPECT_FALSE(FileExists(dir / "none.txt"));

    EXPECT_FALSE(RenameFile(a, b)) << "rename must never overwrite";
    EXPECT_EQ("old", ts::ReadFile(a));
    EXPECT_EQ("other", ts::ReadFile(b));
    EXPECT_TRUE(RenameFile(a, dir / "c.txt"));
    EXPECT_FALSE(FileExists(a));
    EXPECT_EQ("old", ts::ReadFile(dir / "c.txt"));

    EXPECT_TRUE(CopyFileOverwrite(dir / "c.txt", b)) << "copy replaces the target";
    EXPECT_EQ("old", ts::ReadFile(b));
    EXPECT_FALSE(CopyFileOverwrite(dir / "none.txt", b));
    EXPECT_FALSE(CopyFileOverwrite(b, dir / "nofolder\\b.txt")) << "no folder is created";

    EXPECT_TRUE(DeleteFile(b));
    EXPECT_FALSE(FileExists(b));
    EXPECT_FALSE(DeleteFile(b));
}

// ---- INI files -------------------------------------------------------------

TEST(IniFile, ReadingRules) {
    ts::TempDir dir;
    const std::string path = dir / "rules.ini";
    ts::WriteFile(path,
                  "[Main]\r\n"
                  "Plain=value\r\n"
                  "  Padded   =   inner  blanks   \r\n"
                  "MixedCase=yes\r\n"
                  "Empty=\r\n"
                  "Double=\"  quoted  \"\r\n"
                  "Single='single'\r\n"
                  "Number = 42 \r\n"
                  "Hex=0x1f\r\n"
                  "Word=abc\r\n"
                  "[  spaced section  ]\r\n"
                  "Key=in spaced\r\n");
    const TIniFile ini(path);
    const struct {
        const char* section;
        const char* key;
        const char* def;
        const char* expected;
    } cases[] = {
        {"Main", "Plain", "d", "value"},
        {"main", "PLAIN", "d", "value"},
        {"Main", "Padded", "d", "inner  blanks"},
        {"Main", "mixedcase", "d", "yes"},
        {"Main", "  Plain  ", "d", "value"},
        {"Main", "Empty", "d", ""},
        {"Main", "Double", "d", "  quoted  "},
        {"Main", "Single", "d", "single"},
        {"Main", "Absent", "default", "default"},
        {"Main", "Absent", "trailing blank ", "trailing blank"},
        {"Other", "Plain", "d", "d"},
        {"spaced section", "Key", "d", "in spaced"},
        {"SPACED SECTION", "key", "d", "in spaced"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, ini.ReadString(c.section, c.key, c.def)) << c.section << "/" << c.key;

    EXPECT_EQ(42, ini.ReadInteger("Main", "Number", -1));
    EXPECT_EQ(31, ini.ReadInteger("Main", "Hex", -1));
    EXPECT_EQ(-1, ini.ReadInteger("Main", "Word", -1));
    EXPECT_EQ(-1, ini.ReadInteger("Main", "Empty", -1));
    EXPECT_EQ(-1, ini.ReadInteger("Main", "Absent", -1));
    EXPECT_TRUE(ini.ReadBool("Main", "Number", false));
    EXPECT_FALSE(ini.ReadBool("Main", "Word", false));
    EXPECT_TRUE(ini.ReadBool("Main", "Absent", true));
}

TEST(IniFile, MissingFileGivesDefaults) {
    ts::TempDir dir;
    const TIniFile ini(dir / "absent.ini");
    EXPECT_EQ("fallback", ini.ReadString("S", "K", "fallback"));
    EXPECT_EQ(9, ini.ReadInteger("S", "K", 9));
    TStringList sections;
    sections.Add("stale");
    ini.ReadSections(&sections);
    EXPECT_EQ(0, sections.Count());
    EXPECT_FALSE(ts::FileExists(dir / "absent.ini"));
}

TEST(IniFile, ValuesAreCutAt2047Characters) {
    ts::TempDir dir;
    const std::string path = dir / "long.ini";
    std::string value;
    for (int i = 0; i < 3000; ++i) value += static_cast<char>('a' + i % 26);
    ts::WriteFile(path, "[S]\r\nLong=" + value + "\r\nExact=" + value.substr(0, 2047) + "\r\n");
    const TIniFile ini(path);
    EXPECT_EQ(value.substr(0, 2047), ini.ReadString("S", "Long", ""));
    EXPECT_EQ(value.substr(0, 2047), ini.ReadString("S", "Exact", ""));
}

TEST(IniFile, WriteKeepsOtherLinesAndReadsBack) {
    ts::TempDir dir;
    const std::string path = dir / "w.ini";
    ts::WriteFile(path, "[A]\r\nkeep=1\r\nKey=old\r\n[B]\r\nother=2\r\n");
    TIniFile ini(path);
    ini.WriteString("a", "key", "new");
    ini.WriteInteger("B", "n", -5);
    ini.WriteBool("C", "flag", false);
    EXPECT_EQ("new", ini.ReadString("A", "Key", ""));
    EXPECT_EQ("1", ini.ReadString("A", "keep", ""));
    EXPECT_EQ(-5, ini.ReadInteger("B", "n", 0));
    EXPECT_EQ("0", ini.ReadString("C", "flag", ""));
    EXPECT_EQ("2", ini.ReadString("B", "other", ""));
}

TEST(IniFile, RefusedWriteRaisesWithThePath) {
    ts::TempDir dir;
    const std::string path = dir / "ro.ini";
    ts::WriteFile(path, "[S]\r\nK=v\r\n");
    ts::SetReadOnly(path, true);
    TIniFile ini(path);
    try {
        ini.WriteString("S", "K", "changed");
        FAIL() << "no error raised";
    } catch (const EIniFileException& e) {
        EXPECT_EQ("Unable to write to " + path, e.Message);
    }
    ts::SetReadOnly(path, false);
    EXPECT_EQ("[S]\r\nK=v\r\n", ts::ReadFile(path));

    // Held open by another program without sharing.
    const std::string held = dir / "held.ini";
    ts::WriteFile(held, "[S]\r\nK=v\r\n");
    HANDLE handle = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, handle);
    TIniFile heldIni(held);
    EXPECT_THROW(heldIni.WriteString("S", "K", "changed"), EIniFileException);
    CloseHandle(handle);
    EXPECT_EQ("[S]\r\nK=v\r\n", ts::ReadFile(held));

    TIniFile nowhere(dir / "nofolder\\x.ini");
    EXPECT_THROW(nowhere.WriteString("S", "K", "v"), EIniFileException);
}

TEST(IniFile, SectionNamesInFileOrderBeyond64KB) {
    ts::TempDir dir;
    const std::string path = dir / "big.ini";
    // Names in an order that is neither sorted nor hash order, long enough
    // that the list of names alone is well over 64 KB.
    std::vector<std::string> names;
    std::string text;
    size_t total = 0;
    for (int i = 0; total < 100 * 1024; ++i) {
        std::string name = "Profile_" + std::to_string((i * 7919) % 10007) + "_padding_to_make_names_long";
        names.push_back(name);
        total += name.size() + 1;
        text += "[" + name + "]\r\nUserPass=x\r\n";
    }
    ts::WriteFile(path, text);
    TStringList sections;
    TIniFile(path).ReadSections(&sections);
    ASSERT_EQ(static_cast<int>(names.size()), sections.Count());
    for (int i = 0; i < sections.Count(); ++i) ASSERT_EQ(names[static_cast<size_t>(i)], sections[i]) << i;
}
