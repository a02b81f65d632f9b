// TRegistry on the real (Wine) registry, under a key of the test's own.
#include <gtest/gtest.h>

#include "Registry.h"
#include "TestSupport.h"

namespace {

// SOFTWARE\VornixTest\<unique> in the 32-bit view of HKLM, removed afterwards.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        key_ = "SOFTWARE\\VornixTest\\reg-" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(GetTickCount()) + "-" + std::to_string(++counter);
    }
    void TearDown() override {
        TRegistry cleanup;
        cleanup.SetRootKey(HKEY_LOCAL_MACHINE);
        cleanup.DeleteKey("\\" + key_);
        EXPECT_FALSE(cleanup.KeyExists("\\" + key_));
    // The common parent goes with the last test key (it is refused while others remain).
    HKEY software = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &software) ==
        ERROR_SUCCESS) {
        RegDeleteKeyExA(software, "VornixTest", KEY_WOW64_32KEY, 0);
        RegCloseKey(software);
    }
    }

    // Opens the key directly in one view; null when it is not there.
    static HKEY OpenRaw(const std::string& path, REGSAM view) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS)
            return nullptr;
        return key;
    }
    static std::string RawText(HKEY key, const char* name) {
        char data[256] = {};
        DWORD size = sizeof data - 1, type = 0;
        if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS)
            return "<absent>";
        return data;
    }

    std::string key_;
};

}  // namespace

TEST_F(RegistryTest, WritesLandInThe32BitView) {
    {
        TRegistry reg;
        reg.SetRootKey(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(reg.OpenKey("\\" + key_ + "\\", true));
        reg.WriteString("AppVersion", "1.9");
        EXPECT_EQ("1.9", reg.ReadString("AppVersion"));
    }
    // What a 32-bit program reads...
    HKEY view32 = OpenRaw(key_, KEY_WOW64_32KEY);
    ASSERT_NE(nullptr, view32);
    EXPECT_EQ("1.9", RawText(view32, "AppVersion"));
    RegCloseKey(view32);
    // ...which the 64-bit view keeps under Wow6432Node, not under SOFTWARE itself.
    HKEY view64 = OpenRaw(key_, KEY_WOW64_64KEY);
    EXPECT_EQ(nullptr, view64);
    if (view64) RegCloseKey(view64);
    const std::string node = "SOFTWARE\\Wow6432Node" + key_.substr(8);
    HKEY redirected = OpenRaw(node, KEY_WOW64_64KEY);
    ASSERT_NE(nullptr, redirected);
    EXPECT_EQ("1.9", RawText(redirected, "AppVersion"));
    RegCloseKey(redirected);
}

TEST_F(RegistryTest, OpenKeyPathsAndCreation) {
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(reg.OpenKey("\\" + key_, false)) << "missing key without creation";
    EXPECT_FALSE(reg.KeyExists("\\" + key_));
    ASSERT_TRUE(reg.OpenKey("\\" + key_ + "\\", true)) << "created with trailing backslash";
    EXPECT_EQ(key_, reg.CurrentPath());
    EXPECT_TRUE(reg.KeyExists("\\" + key_));
    // Relative to the open key, and absolute again.
    ASSERT_TRUE(reg.OpenKey("Child\\", true));
    EXPECT_EQ(key_ + "\\Child", reg.CurrentPath());
    reg.WriteString("Where", "child");
    ASSERT_TRUE(reg.OpenKey("\\" + key_ + "\\Child", false));
    EXPECT_EQ("child", reg.ReadString("Where"));
    reg.CloseKey();
    EXPECT_EQ(nullptr, reg.CurrentKey());
    EXPECT_EQ("", reg.ReadString("Where")) << "no key open";
}

TEST_F(RegistryTest, ReadWriteAndDeleteValues) {
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey("\\" + key_, true));
    EXPECT_FALSE(reg.ValueExists("Text"));
    EXPECT_EQ("", reg.ReadString("Text")) << "absent value reads as empty";
    reg.WriteString("Text", "C:\\Program Files\\Vornix\\");
    EXPECT_TRUE(reg.ValueExists("Text"));
    EXPECT_EQ("C:\\Program Files\\Vornix\\", reg.ReadString("Text"));
    reg.WriteString("Empty", "");
    EXPECT_TRUE(reg.ValueExists("Empty"));
    EXPECT_EQ("", reg.ReadString("Empty"));

    // A text stored without its terminating zero, and an unexpanded one.
    RegSetValueExA(reg.CurrentKey(), "NoZero", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3);
    EXPECT_EQ("abc", reg.ReadString("NoZero"));
    RegSetValueExA(reg.CurrentKey(), "Expand", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>("%TEMP%\\x"), 9);
    EXPECT_EQ("%TEMP%\\x", reg.ReadString("Expand"));

    EXPECT_TRUE(reg.DeleteValue("Text"));
    EXPECT_FALSE(reg.ValueExists("Text"));
    EXPECT_FALSE(reg.DeleteValue("Text"));
}

TEST_F(RegistryTest, NonTextValuesRaise) {
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey("\\" + key_, true));
    const DWORD number = 7;
    RegSetValueExA(reg.CurrentKey(), "Dword", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
    RegSetValueExA(reg.CurrentKey(), "Binary", 0, REG_BINARY, reinterpret_cast<const BYTE*>("ab"), 2);
    RegSetValueExA(reg.CurrentKey(), "Multi", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>("a\0b\0"), 5);
    for (const char* name : {"Dword", "Binary", "Multi"}) {
        try {
            reg.ReadString(name);
            ADD_FAILURE() << name << ": no error raised";
        } catch (const ERegistryException& e) {
            EXPECT_EQ(std::string("Invalid data type for '") + name + "'", e.Message);
        }
    }
}

TEST_F(RegistryTest, RefusedWriteRaises) {
    {
        TRegistry create;
        create.SetRootKey(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(create.OpenKey("\\" + key_, true));
    }
    TRegistry reader(KEY_READ);
    reader.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reader.OpenKey("\\" + key_, false));
    try {
        reader.WriteString("AppVersion", "2.0");
        FAIL() << "no error raised";
    } catch (const ERegistryException& e) {
        EXPECT_EQ("Failed to set data for 'AppVersion'", e.Message);
    }
    EXPECT_FALSE(reader.ValueExists("AppVersion"));
}
