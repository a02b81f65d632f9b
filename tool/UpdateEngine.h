// The update engine: localised texts, installation lookup, file replacement
// with backup and the carry-over of the product's settings. Every operation
// opens its own INI and registry objects and frees them before returning;
// nothing is cached between calls.
#pragma once

#include <vector>

#include "Classes.h"
#include "IniFiles.h"
#include "SysUtils.h"

// ---- Tool.ini -------------------------------------------------------------

// Folder of the running program file (no trailing separator unless a drive
// root). Tests point the engine at a folder of their own with
// SetProgramFolderOverride; an empty text goes back to the real folder.
AnsiString ToolProgramFolder();
void SetProgramFolderOverride(const AnsiString& Folder);

// ToolProgramFolder() + "\Tool.ini": next to the program, never the working folder.
AnsiString ToolIniPath();

extern const char* const LanguageSection;         // "LANGUAGE"
extern const char* const AppConfigSection;        // "APP_CONFIG"
extern const char* const InstallLocationSetting;  // "APP_UI_INSTALL_LOCATION"
extern const char* const PackageVersionSetting;   // "APP_IN_VERSION"
extern const char* const DefaultProductKeyPath;   // the product's uninstall key

// The texts the tool shows, each with its key in [LANGUAGE] and English default.
enum class TToolText {
    UpdateTool,      // window titles
    UpdateOrNot1,    // question, first line
    UpdateOrNot2,    // question, second line
    Ok,              // OK button
    Cancel,          // Cancel button (its key is asked for with a trailing blank)
    Updating,        // first line while the update runs
    UpdateSuccess1,  // success, first line
    UpdateSuccess2,  // success, second line (empty by default)
    UiOpen1,         // product running, first line
    UiOpen2,         // product running, second line
    NoVersion,       // installation not found
    ConfigFileFail,  // Oskel.INI not replaced
    FileFail1,       // another product file not replaced, first line
    FileFail2,       // ... second line
    ApnFail,         // APN name list not available
    ApnOpenFail,     // Darrow.ini missing
};
constexpr int ToolTextCount = 16;

struct TToolTextEntry {
    TToolText Id;
    const char* Key;
    const char* Default;
};

// The table of all texts, in the order of TToolText.
const TToolTextEntry& ToolTextEntry(TToolText Id);

// The text as [LANGUAGE] of the given INI file has it, or its English default.
AnsiString ReadToolText(const TIniFile& Ini, TToolText Id);
// Same, opening Tool.ini afresh.
AnsiString ReadToolText(TToolText Id);

// ---- Installation lookup --------------------------------------------------

// The product key path: [APP_CONFIG] APP_UI_INSTALL_LOCATION of Tool.ini,
// default DefaultProductKeyPath.
AnsiString ReadProductKeyPath();

// InstallLocation of the product key under HKEY_LOCAL_MACHINE, exactly as
// stored; "" when the key cannot be opened or the value is absent or empty.
// A missing key is created empty (when the rights allow it). A value of a
// non-text type raises ERegistryException.
AnsiString GetInstallLocation();

// ---- File replacement with backup -----------------------------------------

// Replacements of one update whose backups are kept until the update is over.
// Commit deletes the kept backups; Rollback puts back every replaced file,
// newest first (the backup renamed back over the new file; a file that did
// not exist before is deleted). A journal that is destroyed while still
// holding replacements rolls them back: an update that did not say it
// succeeded must not leave a half-new installation behind.
class TReplacementJournal : public TObject {
    CLASS_NAME(TReplacementJournal)
public:
    TReplacementJournal() = default;
    ~TReplacementJournal() override;
    TReplacementJournal(const TReplacementJournal&) = delete;
    TReplacementJournal& operator=(const TReplacementJournal&) = delete;

    // Target now holds the new file; the old one is kept at Backup.
    void RecordReplaced(const AnsiString& Target, const AnsiString& Backup);
    // Target did not exist before and now holds the new file.
    void RecordCreated(const AnsiString& Target);

    int Count() const { return static_cast<int>(entries_.size()); }

    // Deletes every kept backup and forgets all entries. True when every
    // backup could be deleted.
    bool Commit();
    // Restores every recorded file, newest first, and forgets all entries.
    // True when every file could be put back.
    bool Rollback();

private:
    struct Entry {
        AnsiString Target;
        AnsiString Backup;  // empty: the file did not exist before
    };
    std::vector<Entry> entries_;
};

// Copy the file FileName of the working folder over the installed file:
// installation folder + "\" (root), "\help\" or "\language\" + FileName,
// with a backup FileName + ".BAK" kept while copying.
// Returns 1 done, 0 failed (installed file as before), -1 installation not found.
// Without a journal the backup is deleted as soon as the copy succeeded; with
// one it is kept and recorded there until Commit or Rollback.
int ReplaceRootFile(const AnsiString& FileName, TReplacementJournal* Journal = nullptr);
int ReplaceHelpFile(const AnsiString& FileName, TReplacementJournal* Journal = nullptr);
int ReplaceLanguageFile(const AnsiString& FileName, TReplacementJournal* Journal = nullptr);

// ---- Settings carry-over --------------------------------------------------

// -1 installation not found; 0 APP_ENCRYPTION_FOR_APN of the installed
// Oskel.INI is on (passwords already encoded); 1 off, or no Oskel.INI.
int CheckApnEncryption();

// Compares versions part by part (parts separated by "."): two all-digit
// parts compare as numbers (leading zeros ignored), others byte by byte; a
// missing part is smaller. An empty package version is never newer.
bool IsNewerVersion(const AnsiString& Package, const AnsiString& Installed);

// Records APP_IN_VERSION of Tool.ini as AppVersion of the product key when it
// is newer than the AppVersion there. True when it was recorded. When the
// key could be opened, *Previous receives the AppVersion found (empty when
// absent) and *HadValue whether the value existed at all.
bool UpdateAppVersion(AnsiString* Previous = nullptr, bool* HadValue = nullptr);

// Puts AppVersion back as UpdateAppVersion found it: writes Previous, or
// deletes the value when there was none. False when the key cannot be opened.
bool RestoreAppVersion(const AnsiString& Previous, bool HadValue);

enum class TApnConversion {
    Done,
    InstallationNotFound,
    ProfileFileMissing,   // no Darrow.ini in the installation
    NameListUnavailable,  // the list for the section names could not be made
};

// Encodes UserPass of every section of the installed Darrow.ini (all but "0").
TApnConversion ConvertApnPasswords();

// Complement of every byte; the result ends before the first byte that
// becomes zero (a plain 0xFF). Texts of any length are encoded whole.
AnsiString EncodeUserPass(const AnsiString& Plain);

// Writes APP_CONFIG_CMUPDATE_ON=0 into the installed Festor.ini when it exists.
void DisableCmUpdate();
