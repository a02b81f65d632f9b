// The texts of Tool.ini and the lookup of the installation folder.
#include "EngineFixture.h"

#include "Registry.h"

namespace {

const struct {
    TToolText id;
    const char* key;
    const char* shown;  // what the reader returns without Tool.ini
} EnglishTexts[] = {
    {TToolText::UpdateTool, "STR_UPDATE_TOOL_STRING_NAME_UPDATE_TOOL", "Vornix Connection Update Tool"},
    {TToolText::UpdateOrNot1, "STR_UPDATE_TOOL_STRING_NAME_UPDATEORNOT1", "Could you want to upgrade Vornix"},
    {TToolText::UpdateOrNot2, "STR_UPDATE_TOOL_STRING_NAME_UPDATEORNOT2", "Connection installed on PC?"},
    {TToolText::Ok, "STR_UPDATE_TOOL_STRING_NAME_OK", "OK"},
    {TToolText::Cancel, "STR_UPDATE_TOOL_STRING_NAME_CANCEL ", "Cancel"},
    {TToolText::Updating, "STR_UPDATE_TOOL_STRING_NAME_UPDATING", "Being upgraded, please wait ..."},
    {TToolText::UpdateSuccess1, "STR_UPDATE_TOOL_STRING_NAME_UPDATE_SUCCESS1", "Upgrade successful!"},
    {TToolText::UpdateSuccess2, "STR_UPDATE_TOOL_STRING_NAME_UPDATE_SUCCESS2", ""},
    {TToolText::UiOpen1, "STR_UPDATE_TOOL_STRING_NAME_UIOPEN1", "Vornix Connection is"},
    {TToolText::UiOpen2, "STR_UPDATE_TOOL_STRING_NAME_UIOPEN2", "already open,Please close it!"},
    {TToolText::NoVersion, "STR_UPDATE_TOOL_STRING_NAME_NO_VERSION", "Can not find the old version installed on pc!"},
    {TToolText::ConfigFileFail, "STR_UPDATE_TOOL_STRING_NAME_CONFIGFILE_FAIL", "Update the configuration file failed!"},
    {TToolText::FileFail1, "STR_UPDATE_TOOL_STRING_NAME_FILE_FAIL1", "Update the Vornix Connection"},
    {TToolText::FileFail2, "STR_UPDATE_TOOL_STRING_NAME_FILE_FAIL2", "file failed!"},
    {TToolText::ApnFail, "STR_UPDATE_TOOL_STRING_NAME_APN_FAIL", "APN value failed to obtain!"},
    {TToolText::ApnOpenFail, "STR_UPDATE_TOOL_STRING_NAME_APNOPEN_FAIL", "APN file can not be found!"},
};

}  // namespace

TEST_F(EngineTest, WithoutToolIniEveryTextIsItsEnglishDefault) {
    static_assert(sizeof EnglishTexts / sizeof EnglishTexts[0] == ToolTextCount, "all texts");
    for (const auto& t : EnglishTexts) {
        EXPECT_STREQ(t.key, ToolTextEntry(t.id).Key);
        EXPECT_EQ(t.id, ToolTextEntry(t.id).Id);
        EXPECT_EQ(t.shown, ReadToolText(t.id)) << t.key;
    }
    EXPECT_EQ(35u, std::string(ToolTextEntry(TToolText::Cancel).Key).size());
    EXPECT_STREQ("Vornix Connection is ", ToolTextEntry(TToolText::UiOpen1).Default);
}

TEST_F(EngineTest, TextsFollowTheReadersMatchingRules) {
    std::string longText;
    for (int i = 0; i < 2100; ++i) longText += static_cast<char>('A' + i % 26);
    const struct {
        const char* what;
        std::string ini;
        TToolText id;
        std::string expected;
    } cases[] = {
        {"Cancel key without blank", "[LANGUAGE]\r\nSTR_UPDATE_TOOL_STRING_NAME_CANCEL=Abbrechen\r\n",
         TToolText::Cancel, "Abbrechen"},
        {"Cancel key with blanks around", "[LANGUAGE]\r\n   STR_UPDATE_TOOL_STRING_NAME_CANCEL   =  Annuler  \r\n",
         TToolText::Cancel, "Annuler"},
        {"key and section in lower case", "[language]\r\nstr_update_tool_string_name_ok=Ja\r\n", TToolText::Ok, "Ja"},
        {"key partly lower case", "[LANGUAGE]\r\nSTR_update_TOOL_string_NAME_UIOPEN2=busy\r\n", TToolText::UiOpen2,
         "busy"},
        {"empty value is not the default", "[LANGUAGE]\r\nSTR_UPDATE_TOOL_STRING_NAME_OK=\r\n", TToolText::Ok, ""},
        {"quotes removed", "[LANGUAGE]\r\nSTR_UPDATE_TOOL_STRING_NAME_UPDATING=\" wait \"\r\n",
         TToolText::Updating, " wait "},
        {"second success line given", "[LANGUAGE]\r\nSTR_UPDATE_TOOL_STRING_NAME_UPDATE_SUCCESS2=Restart\r\n",
         TToolText::UpdateSuccess2, "Restart"},
        {"other section does not count", "[APP_CONFIG]\r\nSTR_UPDATE_TOOL_STRING_NAME_OK=No\r\n", TToolText::Ok,
         "OK"},
        {"long value cut", "[LANGUAGE]\r\nSTR_UPDATE_TOOL_STRING_NAME_FILE_FAIL1=" + longText + "\r\n",
         TToolText::FileFail1, longText.substr(0, 2047)},
    };
    for (const auto& c : cases) {
        ts::TempDir folder;  // a file of its own for each case
        ts::WriteFile(folder / "Tool.ini", c.ini);
        SetProgramFolderOverride(folder.Path());
        EXPECT_EQ(c.expected, ReadToolText(c.id)) << c.what;
        const TIniFile ini(folder / "Tool.ini");
        EXPECT_EQ(c.expected, ReadToolText(ini, c.id)) << c.what;
    }
}

TEST_F(EngineTest, ToolIniLiesNextToTheProgramNotInTheWorkingFolder) {
    ts::WriteFile(package / "Tool.ini", "[LANGUAGE]\r\nSTR_UPDATE_TOOL_STRING_NAME_OK=Working folder\r\n");
    ts::WriteFile(program / "Tool.ini", "[LANGUAGE]\r\nSTR_UPDATE_TOOL_STRING_NAME_OK=Program folder\r\n");
    EXPECT_EQ("Program folder", ReadToolText(TToolText::Ok));
    EXPECT_EQ(program / "Tool.ini", ToolIniPath());

    SetProgramFolderOverride("");
    EXPECT_EQ(ExtractFileDir(ts::ThisProgram()) + "\\Tool.ini", ToolIniPath());
    EXPECT_NE(package / "Tool.ini", ToolIniPath());
}

TEST_F(EngineTest, ProductKeyPathDefaultsToTheUninstallKey) {
    EXPECT_EQ("\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
              "{5B1C7A20-3E4D-4F61-9A7C-2D8E0F13B6A4}\\",
              ReadProductKeyPath());
    UseToolIni();
    EXPECT_EQ(ProductKeySetting(), ReadProductKeyPath());
}

TEST_F(EngineTest, MissingProductKeyIsCreatedEmpty) {
    UseToolIni();
    ASSERT_FALSE(ProductKeyExists());
    EXPECT_EQ("", GetInstallLocation());
    EXPECT_TRUE(ProductKeyExists()) << "the empty key stays";
    EXPECT_EQ("<absent>", RegistryText("InstallLocation"));
    EXPECT_EQ("", GetInstallLocation());
}

TEST_F(EngineTest, InstallLocationIsUsedExactlyAsStored) {
    UseToolIni();
    for (const std::string& stored : {std::string("C:\\Program Files\\Vornix"),
                                      std::string("C:\\Program Files\\Vornix\\"), std::string("")}) {
        Install(stored);
        EXPECT_EQ(stored, GetInstallLocation());
    }
}

TEST_F(EngineTest, NonTextInstallLocationRaises) {
    UseToolIni();
    SetRegistryDword("InstallLocation", 5);
    try {
        GetInstallLocation();
        FAIL() << "no error raised";
    } catch (const ERegistryException& e) {
        EXPECT_EQ("Invalid data type for 'InstallLocation'", e.Message);
    }
}

TEST_F(EngineTest, UnopenableProductKeyGivesEmptyAndWritesNothing) {
    // A key name longer than the registry allows can be neither opened nor made.
    UseToolIni("APP_IN_VERSION=2.0\r\n");
    const std::string tooLong = "\\SOFTWARE\\VornixTest\\" + std::string(300, 'k');
    ts::TempDir other;
    ts::WriteFile(other / "Tool.ini", "[APP_CONFIG]\r\nAPP_UI_INSTALL_LOCATION=" + tooLong +
                                          "\r\nAPP_IN_VERSION=2.0\r\n");
    SetProgramFolderOverride(other.Path());
    EXPECT_EQ("", GetInstallLocation());
    AnsiString previous = "untouched";
    EXPECT_FALSE(UpdateAppVersion(&previous));
    EXPECT_EQ("untouched", previous);
    EXPECT_EQ(-1, ReplaceRootFile("Oskel.INI"));
    TRegistry probe;
    probe.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(probe.KeyExists(tooLong));
}
