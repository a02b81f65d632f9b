// Drives the real Tool.exe from outside, as a user would: finds its windows
// by class, clicks its buttons, reads window texts, and stages installations,
// update packages and the product's registry key in temporary places.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace tooldriver {

// ---- Windows of another process -------------------------------------------

// Visible top-level windows of a process with the given class name.
std::vector<HWND> VisibleWindowsOf(DWORD processId, const std::string& className);

// Waits until the process shows a visible top-level window of the class.
// Returns nullptr when the process ends first or the deadline passes.
HWND WaitForWindow(testsupport::Process& process, const std::string& className, DWORD timeoutMs);

// Waits until the window is gone or hidden; false on timeout.
bool WaitUntilGone(testsupport::Process& process, HWND window, DWORD timeoutMs);

// Direct children of a window with the given class, in Z order.
std::vector<HWND> ChildrenOf(HWND parent, const std::string& className);

std::wstring WindowText(HWND window);
std::string ClassNameOf(HWND window);
RECT WindowRectOf(HWND window);

// Clicks a push button of another process without waiting for the click
// handler (which may run a modal loop): BM_CLICK is posted.
void Click(HWND button);
// The title bar's close box.
void PressCloseBox(HWND window);

// ---- Processes ------------------------------------------------------------

// Ids of running processes whose program file has this name (no folder).
std::vector<DWORD> ProcessesNamed(const std::string& exeName);
// Waits for every running process of that name to end; returns how many
// there were. Fails the current test when one outlives the deadline.
int WaitForProcessesNamed(const std::string& exeName, DWORD timeoutMs);

// ---- Registry (HKEY_LOCAL_MACHINE, 32-bit view, as the tool uses it) ------

void WriteRegString(const std::string& keyPath, const std::string& name, const std::string& value);
void WriteRegDword(const std::string& keyPath, const std::string& name, DWORD value);
// nullopt when the key or the value is absent.
std::optional<std::string> ReadRegString(const std::string& keyPath, const std::string& name);
bool RegKeyExists(const std::string& keyPath);
void DeleteRegValue(const std::string& keyPath, const std::string& name);
void DeleteRegTree(const std::string& keyPath);

// ---- INI files ------------------------------------------------------------

std::string ReadIni(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& fallback = "<absent>");

// ---- A staged installation and update package -----------------------------

// The five product files: name, folder part below the installation folder.
struct ProductFile {
    const char* Name;
    const char* Folder;  // "" root, "help", "language"
};
extern const ProductFile kProductFiles[5];

// Plain APN passwords of the staged Darrow.ini and what the update turns them into.
struct ApnProfile {
    const char* Section;
    const char* Plain;
    const char* Encoded;
};
extern const ApnProfile kApnProfiles[3];

// An installed product (old files, Oskel.INI with the APN switch off, three
// APN profiles, Festor.ini with APP_CONFIG_CMUPDATE_ON=1, uninstall key of
// its own with InstallLocation and AppVersion 1.9) and an update package
// (Tool.exe, Tool.ini with APP_IN_VERSION 2.0, Tidex.exe, the five new files,
// Pellow.txt). The key is removed again when the object goes.
class StagedUpdate {
public:
    StagedUpdate();
    ~StagedUpdate();
    StagedUpdate(const StagedUpdate&) = delete;
    StagedUpdate& operator=(const StagedUpdate&) = delete;

    const std::string& Install() const { return install_.Path(); }
    const std::string& Package() const { return package_.Path(); }
    // Key path below HKEY_LOCAL_MACHINE, without leading or trailing "\".
    const std::string& ProductKey() const { return productKey_; }
    std::string ToolExe() const { return Package() + "\\Tool.exe"; }

    // Installed path of a product file (with its folder part).
    std::string Installed(const ProductFile& file) const;
    std::string InstalledFile(const std::string& relative) const { return Install() + "\\" + relative; }

    // Tool.ini of the package: [APP_CONFIG] pointing at this key with the
    // given package version, followed by extra lines (e.g. a [LANGUAGE] section).
    void WriteToolIni(const std::string& packageVersion, const std::string& extraLines = std::string());

    static std::string OldContent(const ProductFile& file);
    static std::string NewContent(const ProductFile& file);

private:
    testsupport::TempDir install_;
    testsupport::TempDir package_;
    std::string productKey_;
};

// ---- One run of the tool ---------------------------------------------------

struct ToolRun {
    bool Finished = false;        // every step was reached and the process ended
    DWORD ExitCode = 0xFFFFFFFF;
    std::wstring FormTitle;       // TToolForm
    std::wstring OkCaption;       // its TImButton
    std::wstring CancelCaption;   // its TTntButton
    std::wstring MessageTitle;    // TMessageBoxForm
    std::wstring MessageButton;   // its TImButton
    int CleanupProcesses = 0;     // Tidex.exe processes still running when the tool ended
};

// Starts Tool.exe (in workingFolder), presses OK, closes the message with its
// OK button and waits for the tool and for the cleanup program it started.
ToolRun RunToolAndConfirm(const std::string& toolExe, const std::string& workingFolder);

constexpr DWORD kWindowTimeoutMs = 60000;

}  // namespace tooldriver
