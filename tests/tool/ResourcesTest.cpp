// The application manifest and the version information built into Tool.exe
// and Tidex.exe.
#include <gtest/gtest.h>

#include <windows.h>

#include "TestSupport.h"

using namespace testsupport;

namespace {

std::string ManifestOf(const std::string& exe) {
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) return "<cannot load>";
    std::string text;
    if (HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)))
        if (HGLOBAL data = LoadResource(module, res))
            text.assign(static_cast<const char*>(LockResource(data)), SizeofResource(module, res));
    FreeLibrary(module);
    return text;
}

std::string VersionString(const std::string& exe, const std::string& name) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
    if (size == 0) return "<no version resource>";
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(exe.c_str(), 0, size, block.data())) return "<unreadable>";
    char* value = nullptr;
    UINT length = 0;
    std::string path = "\\StringFileInfo\\040904B0\\" + name;
    if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
        return "<no " + name + ">";
    return std::string(value);
}

struct ProgramCase {
    const char* Exe;
    const char* ExecutionLevel;
    const char* Description;
};

class BuiltProgramResources : public ::testing::TestWithParam<ProgramCase> {};

TEST_P(BuiltProgramResources, ManifestAndVersion) {
    const ProgramCase& c = GetParam();
    std::string exe = BuiltProgram(c.Exe);
    std::string manifest = ManifestOf(exe);
    EXPECT_NE(std::string::npos,
              manifest.find(std::string("requestedExecutionLevel level=\"") + c.ExecutionLevel + "\""))
        << manifest;
    EXPECT_EQ(c.Description, VersionString(exe, "FileDescription"));
    EXPECT_EQ(c.Exe, VersionString(exe, "OriginalFilename"));
    EXPECT_EQ("2.0.0.0", VersionString(exe, "FileVersion"));
}

INSTANTIATE_TEST_SUITE_P(
    Programs, BuiltProgramResources,
    ::testing::Values(ProgramCase{"Tool.exe", "requireAdministrator", "Vornix Connection Update Tool"},
                      ProgramCase{"Tidex.exe", "asInvoker", "Vornix Connection update package cleanup"}),
    [](const ::testing::TestParamInfo<ProgramCase>& info) {
        std::string name = info.param.Exe;
        return name.substr(0, name.find('.'));
    });

}  // namespace
