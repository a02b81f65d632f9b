#include "UpdateEngine.h"

#include <algorithm>
#include <memory>
#include <new>

#include "Registry.h"

const char* const LanguageSection = "LANGUAGE";
const char* const AppConfigSection = "APP_CONFIG";
const char* const InstallLocationSetting = "APP_UI_INSTALL_LOCATION";
const char* const PackageVersionSetting = "APP_IN_VERSION";
const char* const DefaultProductKeyPath =
    "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
    "{5B1C7A20-3E4D-4F61-9A7C-2D8E0F13B6A4}\\";

namespace {

const char* const InstallLocationValue = "InstallLocation";
const char* const AppVersionValue = "AppVersion";
const char* const BackupSuffix = ".BAK";

const TToolTextEntry ToolTexts[ToolTextCount] = {
    {TToolText::UpdateTool, "STR_UPDATE_TOOL_STRING_NAME_UPDATE_TOOL", "Vornix Connection Update Tool"},
    {TToolText::UpdateOrNot1, "STR_UPDATE_TOOL_STRING_NAME_UPDATEORNOT1", "Could you want to upgrade Vornix"},
    {TToolText::UpdateOrNot2, "STR_UPDATE_TOOL_STRING_NAME_UPDATEORNOT2", "Connection installed on PC?"},
    {TToolText::Ok, "STR_UPDATE_TOOL_STRING_NAME_OK", "OK"},
    // Asked for with a trailing blank; the reader ignores blanks around names.
    {TToolText::Cancel, "STR_UPDATE_TOOL_STRING_NAME_CANCEL ", "Cancel"},
    {TToolText::Updating, "STR_UPDATE_TOOL_STRING_NAME_UPDATING", "Being upgraded, please wait ..."},
    {TToolText::UpdateSuccess1, "STR_UPDATE_TOOL_STRING_NAME_UPDATE_SUCCESS1", "Upgrade successful!"},
    {TToolText::UpdateSuccess2, "STR_UPDATE_TOOL_STRING_NAME_UPDATE_SUCCESS2", ""},
    // The trailing blank of this default is stripped by the reader.
    {TToolText::UiOpen1, "STR_UPDATE_TOOL_STRING_NAME_UIOPEN1", "Vornix Connection is "},
    {TToolText::UiOpen2, "STR_UPDATE_TOOL_STRING_NAME_UIOPEN2", "already open,Please close it!"},
    {TToolText::NoVersion, "STR_UPDATE_TOOL_STRING_NAME_NO_VERSION", "Can not find the old version installed on pc!"},
    {TToolText::ConfigFileFail, "STR_UPDATE_TOOL_STRING_NAME_CONFIGFILE_FAIL", "Update the configuration file failed!"},
    {TToolText::FileFail1, "STR_UPDATE_TOOL_STRING_NAME_FILE_FAIL1", "Update the Vornix Connection"},
    {TToolText::FileFail2, "STR_UPDATE_TOOL_STRING_NAME_FILE_FAIL2", "file failed!"},
    {TToolText::ApnFail, "STR_UPDATE_TOOL_STRING_NAME_APN_FAIL", "APN value failed to obtain!"},
    {TToolText::ApnOpenFail, "STR_UPDATE_TOOL_STRING_NAME_APNOPEN_FAIL", "APN file can not be found!"},
};

// Set only by tests; empty means the folder of the running program.
AnsiString& ProgramFolderOverride() {
    static AnsiString folder;
    return folder;
}

// Opens the product key under HKEY_LOCAL_MACHINE, creating it when missing.
bool OpenProductKey(TRegistry& registry) {
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    return registry.OpenKey(ReadProductKeyPath(), true);
}

// Installation folder + Folder + FileName; Folder is "\", "\help\" or "\language\".
int ReplaceFile(const char* Folder, const AnsiString& FileName, TReplacementJournal* Journal) {
    const AnsiString location = GetInstallLocation();
    if (location.empty()) return -1;
    const AnsiString target = location + Folder + FileName;
    const AnsiString backup = target + BackupSuffix;

    if (FileExists(target)) {
        // A stale backup makes the rename fail: nothing is touched then.
        if (!RenameFile(target, backup)) return 0;
        if (!CopyFileOverwrite(FileName, target)) {
            RenameFile(backup, target);
            return 0;
        }
        if (Journal)
            Journal->RecordReplaced(target, backup);
        else
            DeleteFile(backup);
        return 1;
    }

    if (!CopyFileOverwrite(FileName, target)) return 0;
    if (Journal) Journal->RecordCreated(target);
    return 1;
}

// Splits a version text at its dots.
std::vector<AnsiString> VersionParts(const AnsiString& version) {
    std::vector<AnsiString> parts;
    size_t start = 0;
    for (;;) {
        const size_t dot = version.find('.', start);
        parts.push_back(version.substr(start, dot == AnsiString::npos ? AnsiString::npos : dot - start));
        if (dot == AnsiString::npos) return parts;
        start = dot + 1;
    }
}

bool AllDigits(const AnsiString& text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// Byte order of unsigned 8-bit values; a prefix is smaller.
int CompareBytes(const AnsiString& a, const AnsiString& b) {
    const size_t common = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < common; ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

// Numbers of any length: leading zeros dropped, then the longer is greater.
int CompareNumbers(const AnsiString& a, const AnsiString& b) {
    const AnsiString x = a.substr(std::min(a.find_first_not_of('0'), a.size()));
    const AnsiString y = b.substr(std::min(b.find_first_not_of('0'), b.size()));
    if (x.size() != y.size()) return x.size() < y.size() ? -1 : 1;
    return CompareBytes(x, y);
}

int CompareVersions(const AnsiString& a, const AnsiString& b) {
    const std::vector<AnsiString> x = VersionParts(a);
    const std::vector<AnsiString> y = VersionParts(b);
    for (size_t i = 0; i < x.size() || i < y.size(); ++i) {
        if (i >= x.size()) return -1;  // a missing part is smaller
        if (i >= y.size()) return 1;
        const int order = AllDigits(x[i]) && AllDigits(y[i]) ? CompareNumbers(x[i], y[i])
                                                             : CompareBytes(x[i], y[i]);
        if (order != 0) return order;
    }
    return 0;
}

}  // namespace

// ---- Tool.ini -------------------------------------------------------------

AnsiString ToolProgramFolder() {
    const AnsiString& folder = ProgramFolderOverride();
    return folder.empty() ? ProgramFolder() : folder;
}

void SetProgramFolderOverride(const AnsiString& Folder) {
    ProgramFolderOverride() = Folder;
}

AnsiString ToolIniPath() {
    return ToolProgramFolder() + "\\Tool.ini";
}

const TToolTextEntry& ToolTextEntry(TToolText Id) {
    return ToolTexts[static_cast<int>(Id)];
}

AnsiString ReadToolText(const TIniFile& Ini, TToolText Id) {
    const TToolTextEntry& entry = ToolTextEntry(Id);
    return Ini.ReadString(LanguageSection, entry.Key, entry.Default);
}

AnsiString ReadToolText(TToolText Id) {
    const TIniFile ini(ToolIniPath());
    return ReadToolText(ini, Id);
}

// ---- Installation lookup --------------------------------------------------

AnsiString ReadProductKeyPath() {
    const TIniFile ini(ToolIniPath());
    return ini.ReadString(AppConfigSection, InstallLocationSetting, DefaultProductKeyPath);
}

AnsiString GetInstallLocation() {
    TRegistry registry;
    if (!OpenProductKey(registry)) return AnsiString();
    return registry.ReadString(InstallLocationValue);
}

// ---- File replacement with backup -----------------------------------------

TReplacementJournal::~TReplacementJournal() {
    Rollback();
}

void TReplacementJournal::RecordReplaced(const AnsiString& Target, const AnsiString& Backup) {
    entries_.push_back(Entry{Target, Backup});
}

void TReplacementJournal::RecordCreated(const AnsiString& Target) {
    entries_.push_back(Entry{Target, AnsiString()});
}

bool TReplacementJournal::Commit() {
    bool all = true;
    for (const Entry& entry : entries_)
        if (!entry.Backup.empty() && !DeleteFile(entry.Backup)) all = false;
    entries_.clear();
    return all;
}

bool TReplacementJournal::Rollback() {
    bool all = true;
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        if (it->Backup.empty()) {
            if (!DeleteFile(it->Target)) all = false;
        } else if (!MoveFileExA(it->Backup.c_str(), it->Target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            all = false;
        }
    }
    entries_.clear();
    return all;
}

int ReplaceRootFile(const AnsiString& FileName, TReplacementJournal* Journal) {
    return ReplaceFile("\\", FileName, Journal);
}

int ReplaceHelpFile(const AnsiString& FileName, TReplacementJournal* Journal) {
    return ReplaceFile("\\help\\", FileName, Journal);
}

int ReplaceLanguageFile(const AnsiString& FileName, TReplacementJournal* Journal) {
    return ReplaceFile("\\language\\", FileName, Journal);
}

// ---- Settings carry-over --------------------------------------------------

int CheckApnEncryption() {
    const AnsiString location = GetInstallLocation();
    if (location.empty()) return -1;
    const AnsiString path = location + "\\Oskel.INI";
    if (!FileExists(path)) return 1;
    const TIniFile ini(path);
    return ini.ReadBool(AppConfigSection, "APP_ENCRYPTION_FOR_APN", false) ? 0 : 1;
}

bool IsNewerVersion(const AnsiString& Package, const AnsiString& Installed) {
    return !Package.empty() && CompareVersions(Package, Installed) > 0;
}

bool UpdateAppVersion(AnsiString* Previous, bool* HadValue) {
    TRegistry registry;
    if (!OpenProductKey(registry)) return false;
    const bool hadValue = registry.ValueExists(AppVersionValue);
    const AnsiString installed = registry.ReadString(AppVersionValue);
    if (Previous) *Previous = installed;
    if (HadValue) *HadValue = hadValue;

    AnsiString package;
    {
        const TIniFile ini(ToolIniPath());
        package = ini.ReadString(AppConfigSection, PackageVersionSetting, AnsiString());
    }
    if (!IsNewerVersion(package, installed)) return false;
    registry.WriteString(AppVersionValue, package);
    return true;
}

bool RestoreAppVersion(const AnsiString& Previous, bool HadValue) {
    TRegistry registry;
    if (!OpenProductKey(registry)) return false;
    if (HadValue) {
        registry.WriteString(AppVersionValue, Previous);
        return true;
    }
    return registry.DeleteValue(AppVersionValue) || !registry.ValueExists(AppVersionValue);
}

TApnConversion ConvertApnPasswords() {
    const AnsiString location = GetInstallLocation();
    if (location.empty()) return TApnConversion::InstallationNotFound;
    const AnsiString path = location + "\\Darrow.ini";
    if (!FileExists(path)) return TApnConversion::ProfileFileMissing;

    std::unique_ptr<TStringList> sections;
    try {
        sections = std::make_unique<TStringList>();
    } catch (const std::bad_alloc&) {
        return TApnConversion::NameListUnavailable;
    }
    {
        const TIniFile ini(path);
        ini.ReadSections(sections.get());
    }
    for (const AnsiString& section : *sections) {
        AnsiString password;
        {
            const TIniFile ini(path);
            password = ini.ReadString(section, "UserPass", AnsiString());
        }
        if (password == "0") continue;
        TIniFile ini(path);
        ini.WriteString(section, "UserPass", EncodeUserPass(password));
    }
    return TApnConversion::Done;
}

AnsiString EncodeUserPass(const AnsiString& Plain) {
    AnsiString encoded;
    encoded.reserve(Plain.size());
    for (char c : Plain) {
        const char complement = static_cast<char>(static_cast<unsigned char>(c) ^ 0xFF);
        if (complement == '\0') break;  // a plain 0xFF ends the encoded text
        encoded += complement;
    }
    return encoded;
}

void DisableCmUpdate() {
    const AnsiString location = GetInstallLocation();
    if (location.empty()) return;
    const AnsiString path = location + "\\Festor.ini";
    if (!FileExists(path)) return;
    TIniFile ini(path);
    ini.WriteBool(AppConfigSection, "APP_CONFIG_CMUPDATE_ON", false);
}
