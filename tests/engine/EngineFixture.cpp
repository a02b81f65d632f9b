#include "EngineFixture.h"

#include "Registry.h"

void EngineTest::SetUp() {
    static int counter = 0;
    key_ = "SOFTWARE\\VornixTest\\engine-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(GetTickCount()) + "-" + std::to_string(++counter);
    SetProgramFolderOverride(program.Path());
    char folder[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, folder);
    savedFolder_ = folder;
    ASSERT_TRUE(SetCurrentDirectoryA(package.Path().c_str()));
}

void EngineTest::TearDown() {
    SetCurrentDirectoryA(savedFolder_.c_str());
    SetProgramFolderOverride("");
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    reg.DeleteKey("\\" + key_);
    EXPECT_FALSE(reg.KeyExists("\\" + key_)) << "test key left behind";
    // The common parent goes with the last test key (it is refused while others remain).
    HKEY software = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &software) ==
        ERROR_SUCCESS) {
        RegDeleteKeyExA(software, "VornixTest", KEY_WOW64_32KEY, 0);
        RegCloseKey(software);
    }
}

void EngineTest::UseToolIni(const std::string& Extra) {
    ts::WriteFile(program / "Tool.ini",
                  "[APP_CONFIG]\r\nAPP_UI_INSTALL_LOCATION=" + ProductKeySetting() + "\r\n" + Extra);
}

void EngineTest::Install(const std::string& Location) {
    SetRegistryText("InstallLocation", Location);
}

void EngineTest::SetRegistryText(const char* Name, const std::string& Value) {
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey("\\" + key_, true));
    reg.WriteString(Name, Value);
}

void EngineTest::SetRegistryDword(const char* Name, DWORD Value) {
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey("\\" + key_, true));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(reg.CurrentKey(), Name, 0, REG_DWORD,
                                            reinterpret_cast<const BYTE*>(&Value), sizeof Value));
}

std::string EngineTest::RegistryText(const char* Name) const {
    TRegistry reg(KEY_READ);
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!reg.OpenKey("\\" + key_, false)) return "<no key>";
    if (!reg.ValueExists(Name)) return "<absent>";
    return reg.ReadString(Name);
}

bool EngineTest::ProductKeyExists() const {
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    return reg.KeyExists("\\" + key_);
}
