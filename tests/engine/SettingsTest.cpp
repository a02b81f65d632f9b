// Version record, APN switch and passwords, and the CM update switch.
#include "EngineFixture.h"

#include "Registry.h"

TEST(IsNewerVersion, ComparesPartByPart) {
    const struct {
        const char* package;
        const char* installed;
        bool newer;
    } cases[] = {
        {"1.10", "1.9", true},  {"2.0", "1.9", true},    {"1.9", "1.9", false},  {"1.9.1", "1.9", true},
        {"1.9", "1.9.1", false}, {"", "1.9", false},     {"", "", false},        {"10.0", "9.9", true},
        {"9.9", "10.0", false}, {"1.09", "1.9", false},  {"1.9", "1.09", false}, {"1.0", "", true},
        {"1.9b", "1.9a", true}, {"1.9a", "1.9", true},   {"1.a", "1.9", true},   {"1.10", "1.9a", false},
        {"2", "1.99", true},    {"1.0.0", "1.0", true},  {"00010", "9", true},
        {"123456789012345678901", "123456789012345678900", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.newer, IsNewerVersion(c.package, c.installed)) << c.package << " over " << c.installed;
}

TEST_F(EngineTest, NewerPackageVersionIsRecorded) {
    const struct {
        const char* installed;  // nullptr: no AppVersion value
        const char* package;    // nullptr: no APP_IN_VERSION in Tool.ini
        bool recorded;
    } cases[] = {
        {"1.9", "2.0", true},  {"1.9", "1.10", true}, {"1.9", "1.9", false}, {"2.0", "1.9", false},
        {nullptr, "1.0", true}, {"1.9", nullptr, false}, {nullptr, nullptr, false},
    };
    for (const auto& c : cases) {
        ts::TempDir folder;
        const std::string name = c.installed ? c.installed : "-";
        SetProgramFolderOverride(folder.Path());
        ts::WriteFile(folder / "Tool.ini", "[APP_CONFIG]\r\nAPP_UI_INSTALL_LOCATION=" + ProductKeySetting() + "\r\n" +
                                               (c.package ? std::string("APP_IN_VERSION=") + c.package + "\r\n" : ""));
        {
            TRegistry reg;
            reg.SetRootKey(HKEY_LOCAL_MACHINE);
            ASSERT_TRUE(reg.OpenKey(ProductKeySetting(), true));
            reg.DeleteValue("AppVersion");
            if (c.installed) reg.WriteString("AppVersion", c.installed);
        }
        AnsiString previous = "?";
        bool hadValue = !c.installed;
        EXPECT_EQ(c.recorded, UpdateAppVersion(&previous, &hadValue)) << name;
        EXPECT_EQ(c.installed ? c.installed : "", previous) << name;
        EXPECT_EQ(c.installed != nullptr, hadValue) << name;
        const std::string expected = c.recorded ? c.package : (c.installed ? c.installed : "<absent>");
        EXPECT_EQ(expected, RegistryText("AppVersion")) << name;

        // Put back as it was.
        EXPECT_TRUE(RestoreAppVersion(previous, hadValue));
        EXPECT_EQ(c.installed ? c.installed : "<absent>", RegistryText("AppVersion")) << name;
    }
}

TEST_F(EngineTest, VersionIsWrittenIntoAProductKeyItCreated) {
    UseToolIni("APP_IN_VERSION=3.1\r\n");
    ASSERT_FALSE(ProductKeyExists());
    EXPECT_TRUE(UpdateAppVersion());
    EXPECT_EQ("3.1", RegistryText("AppVersion"));
}

TEST_F(EngineTest, NonTextAppVersionRaises) {
    UseToolIni("APP_IN_VERSION=3.1\r\n");
    SetRegistryDword("AppVersion", 2);
    try {
        UpdateAppVersion();
        FAIL() << "no error raised";
    } catch (const ERegistryException& e) {
        EXPECT_EQ("Invalid data type for 'AppVersion'", e.Message);
    }
}

// ---- APN encryption switch ---------------------------------------------------

TEST_F(EngineTest, ApnSwitchOfTheInstalledConfiguration) {
    UseToolIni();
    EXPECT_EQ(-1, CheckApnEncryption()) << "no installation";
    Install();
    EXPECT_EQ(1, CheckApnEncryption()) << "no Oskel.INI";
    const struct {
        const char* line;  // nullptr: no key at all
        int result;
    } cases[] = {
        {"APP_ENCRYPTION_FOR_APN=1", 0},    {"APP_ENCRYPTION_FOR_APN=0x10", 0}, {"APP_ENCRYPTION_FOR_APN=$A", 0},
        {"app_encryption_for_apn = -1 ", 0}, {"APP_ENCRYPTION_FOR_APN=0", 1},    {"APP_ENCRYPTION_FOR_APN=abc", 1},
        {"APP_ENCRYPTION_FOR_APN=", 1},      {"APP_ENCRYPTION_FOR_APN=1x", 1},   {nullptr, 1},
    };
    for (const auto& c : cases) {
        ts::TempDir folder;  // an installation of its own for each case
        Install(folder.Path());
        ts::WriteFile(folder / "Oskel.INI",
                      std::string("[APP_CONFIG]\r\nOTHER=1\r\n") + (c.line ? c.line : "") + "\r\n");
        EXPECT_EQ(c.result, CheckApnEncryption()) << (c.line ? c.line : "absent");
    }
    ts::TempDir folder;
    Install(folder.Path());
    CreateDirectoryA((folder / "Oskel.INI").c_str(), nullptr);
    EXPECT_EQ(1, CheckApnEncryption()) << "a folder named Oskel.INI is no file";
}

// ---- APN passwords ------------------------------------------------------------

TEST(EncodeUserPass, ComplementsEveryByte) {
    EXPECT_EQ("\x9E\x9D\x9C", EncodeUserPass("abc"));
    EXPECT_EQ("", EncodeUserPass(""));
    EXPECT_EQ("\xCF\xCF", EncodeUserPass("00"));
    EXPECT_EQ("\x9E", EncodeUserPass("a\xFF" "bc")) << "cut before a plain 0xFF";
    EXPECT_EQ("", EncodeUserPass("\xFF" "abc"));
    EXPECT_EQ("\xFF\x7F", EncodeUserPass(std::string("\x00\x80", 2)));
    // Longer than any fixed work area: encoded whole; twice gives the plain text.
    std::string plain;
    for (int i = 0; i < 2047; ++i) plain += static_cast<char>(1 + i % 250);
    const std::string encoded = EncodeUserPass(plain);
    ASSERT_EQ(plain.size(), encoded.size());
    for (size_t i = 0; i < plain.size(); ++i)
        ASSERT_EQ(static_cast<unsigned char>(plain[i]) ^ 0xFF, static_cast<unsigned char>(encoded[i])) << i;
    EXPECT_EQ(plain, EncodeUserPass(encoded));
}

TEST_F(EngineTest, PasswordsOfEveryProfileAreEncoded) {
    UseToolIni();
    Install();
    const std::string darrow = install / "Darrow.ini";
    ts::WriteFile(darrow,
                  "[Zeta]\r\nName=first\r\nUserPass=abc\r\n"
                  "[Alpha]\r\nUserPass = 0 \r\nUser=x\r\n"
                  "[Mid]\r\nUserPass=00\r\n"
                  "[NoPass]\r\nUser=y\r\n"
                  "[Cut]\r\nUserPass=a\xFF" "b\r\n");
    EXPECT_EQ(TApnConversion::Done, ConvertApnPasswords());
    const TIniFile ini(darrow);
    EXPECT_EQ("\x9E\x9D\x9C", ini.ReadString("Zeta", "UserPass", "?"));
    EXPECT_EQ("0", ini.ReadString("Alpha", "UserPass", "?"));
    EXPECT_EQ("\xCF\xCF", ini.ReadString("Mid", "UserPass", "?"));
    EXPECT_EQ("", ini.ReadString("NoPass", "UserPass", "?")) << "an empty entry is written";
    EXPECT_EQ("\x9E", ini.ReadString("Cut", "UserPass", "?"));
    EXPECT_EQ("first", ini.ReadString("Zeta", "Name", "?"));
    EXPECT_EQ("y", ini.ReadString("NoPass", "User", "?"));

    const std::string text = ts::ReadFile(darrow);
    // Sections keep their order.
    EXPECT_LT(text.find("[Zeta]"), text.find("[Alpha]"));
    EXPECT_LT(text.find("[Mid]"), text.find("[NoPass]"));

    // Again: the encoding is undone, except where 0xFF cut the text.
    EXPECT_EQ(TApnConversion::Done, ConvertApnPasswords());
    EXPECT_EQ("abc", TIniFile(darrow).ReadString("Zeta", "UserPass", "?"));
}

TEST_F(EngineTest, ProfilesWithPasswordZeroAreNotWritten) {
    UseToolIni();
    Install();
    const std::string original = "; profiles\r\n[One]\r\n  UserPass =  0 \r\n[Two]\r\nUserPass=0\r\nUser = a \r\n";
    ts::WriteFile(install / "Darrow.ini", original);
    EXPECT_EQ(TApnConversion::Done, ConvertApnPasswords());
    EXPECT_EQ(original, ts::ReadFile(install / "Darrow.ini"));
}

TEST_F(EngineTest, PasswordConversionOutcomes) {
    UseToolIni();
    EXPECT_EQ(TApnConversion::InstallationNotFound, ConvertApnPasswords());
    Install();
    EXPECT_EQ(TApnConversion::ProfileFileMissing, ConvertApnPasswords());
    EXPECT_FALSE(ts::FileExists(install / "Darrow.ini"));
    CreateDirectoryA((install / "Darrow.ini").c_str(), nullptr);
    EXPECT_EQ(TApnConversion::ProfileFileMissing, ConvertApnPasswords());
}

TEST_F(EngineTest, ReadOnlyProfileFileRaisesUnableToWrite) {
    UseToolIni();
    Install();
    const std::string darrow = install / "Darrow.ini";
    const std::string original = "[P1]\r\nUserPass=abc\r\n";
    ts::WriteFile(darrow, original);
    ts::SetReadOnly(darrow, true);
    try {
        ConvertApnPasswords();
        FAIL() << "no error raised";
    } catch (const EIniFileException& e) {
        EXPECT_EQ("Unable to write to " + darrow, e.Message);
    }
    ts::SetReadOnly(darrow, false);
    EXPECT_EQ(original, ts::ReadFile(darrow));
}

// ---- CM update switch ------------------------------------------------------------

TEST_F(EngineTest, CmUpdateSwitchIsTurnedOff) {
    UseToolIni();
    Install();
    const std::string festor = install / "Festor.ini";
    DisableCmUpdate();
    EXPECT_FALSE(ts::FileExists(festor)) << "an absent Festor.ini is not created";

    ts::WriteFile(festor, "[APP_CONFIG]\r\nAPP_CONFIG_CMUPDATE_ON=1\r\nOTHER=keep\r\n");
    DisableCmUpdate();
    const TIniFile ini(festor);
    EXPECT_EQ("0", ini.ReadString("APP_CONFIG", "APP_CONFIG_CMUPDATE_ON", "?"));
    EXPECT_EQ("keep", ini.ReadString("APP_CONFIG", "OTHER", "?"));

    ts::SetReadOnly(festor, true);
    EXPECT_THROW(DisableCmUpdate(), EIniFileException);
    ts::SetReadOnly(festor, false);

    // Without an installation nothing is written anywhere.
    ts::WriteFile(festor, "[APP_CONFIG]\r\nAPP_CONFIG_CMUPDATE_ON=1\r\n");
    Install("");
    DisableCmUpdate();
    EXPECT_EQ("[APP_CONFIG]\r\nAPP_CONFIG_CMUPDATE_ON=1\r\n", ts::ReadFile(festor));
}
