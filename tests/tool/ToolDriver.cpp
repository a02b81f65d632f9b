#include "ToolDriver.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <stdexcept>

using namespace testsupport;

namespace tooldriver {

namespace {

struct WindowQuery {
    DWORD ProcessId;
    std::string ClassName;
    std::vector<HWND> Found;
};

BOOL CALLBACK CollectTopWindow(HWND hwnd, LPARAM param) {
    auto* q = reinterpret_cast<WindowQuery*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == q->ProcessId && IsWindowVisible(hwnd) && ClassNameOf(hwnd) == q->ClassName) q->Found.push_back(hwnd);
    return TRUE;
}

// Waits for a condition, giving the process a short slice each round; ends
// early when the process ends. The condition is checked once more at the end.
template <class Condition>
bool WaitFor(Process& process, DWORD timeoutMs, Condition condition) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return condition();
        if (process.Wait(20)) return condition();
    }
}

const REGSAM kView = KEY_WOW64_32KEY;

HKEY OpenKey(const std::string& keyPath, REGSAM access, bool create) {
    HKEY key = nullptr;
    LONG rc = create ? RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, access | kView, nullptr,
                                       &key, nullptr)
                     : RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, access | kView, &key);
    if (rc != ERROR_SUCCESS) {
        if (create) throw std::runtime_error("cannot create HKLM\\" + keyPath + ", error " + std::to_string(rc));
        return nullptr;
    }
    return key;
}

}  // namespace

std::vector<HWND> VisibleWindowsOf(DWORD processId, const std::string& className) {
    WindowQuery q{processId, className, {}};
    EnumWindows(CollectTopWindow, reinterpret_cast<LPARAM>(&q));
    return q.Found;
}

HWND WaitForWindow(Process& process, const std::string& className, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitFor(process, timeoutMs, [&] {
        auto windows = VisibleWindowsOf(process.Id(), className);
        found = windows.empty() ? nullptr : windows.front();
        return found != nullptr;
    });
    return found;
}

bool WaitUntilGone(Process& process, HWND window, DWORD timeoutMs) {
    return WaitFor(process, timeoutMs, [&] { return !IsWindow(window) || !IsWindowVisible(window); });
}

std::vector<HWND> ChildrenOf(HWND parent, const std::string& className) {
    std::vector<HWND> found;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (ClassNameOf(child) == className) found.push_back(child);
    return found;
}

std::wstring WindowText(HWND window) {
    // WM_GETTEXT crosses process boundaries; GetWindowText would not ask
    // another process's window for the text of a control.
    wchar_t buffer[1024] = {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, sizeof buffer / sizeof buffer[0],
                             reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 10000, &length))
        return L"<no answer>";
    return std::wstring(buffer, length);
}

std::string ClassNameOf(HWND window) {
    char name[256] = {};
    int n = GetClassNameA(window, name, sizeof name);
    return std::string(name, n > 0 ? n : 0);
}

RECT WindowRectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void PressCloseBox(HWND window) { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

std::vector<DWORD> ProcessesNamed(const std::string& exeName) {
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return ids;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (lstrcmpiA(entry.szExeFile, exeName.c_str()) == 0) ids.push_back(entry.th32ProcessID);
    CloseHandle(snapshot);
    return ids;
}

int WaitForProcessesNamed(const std::string& exeName, DWORD timeoutMs) {
    int count = 0;
    for (DWORD id : ProcessesNamed(exeName)) {
        HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, id);
        if (!h) continue;  // ended between the snapshot and now
        ++count;
        if (WaitForSingleObject(h, timeoutMs) != WAIT_OBJECT_0)
            ADD_FAILURE() << exeName << " (process " << id << ") did not end within " << timeoutMs << " ms";
        CloseHandle(h);
    }
    return count;
}

void WriteRegString(const std::string& keyPath, const std::string& name, const std::string& value) {
    HKEY key = OpenKey(keyPath, KEY_SET_VALUE, true);
    RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

void WriteRegDword(const std::string& keyPath, const std::string& name, DWORD value) {
    HKEY key = OpenKey(keyPath, KEY_SET_VALUE, true);
    RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

std::optional<std::string> ReadRegString(const std::string& keyPath, const std::string& name) {
    HKEY key = OpenKey(keyPath, KEY_QUERY_VALUE, false);
    if (!key) return std::nullopt;
    char buffer[2048] = {};
    DWORD size = sizeof buffer - 1, type = 0;
    LONG rc = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return std::nullopt;
    return std::string(buffer);
}

bool RegKeyExists(const std::string& keyPath) {
    HKEY key = OpenKey(keyPath, KEY_QUERY_VALUE, false);
    if (key) RegCloseKey(key);
    return key != nullptr;
}

void DeleteRegValue(const std::string& keyPath, const std::string& name) {
    HKEY key = OpenKey(keyPath, KEY_SET_VALUE, false);
    if (!key) return;
    RegDeleteValueA(key, name.c_str());
    RegCloseKey(key);
}

void DeleteRegTree(const std::string& keyPath) {
    std::string::size_type slash = keyPath.find_last_of('\\');
    std::string parent = slash == std::string::npos ? std::string() : keyPath.substr(0, slash);
    std::string leaf = slash == std::string::npos ? keyPath : keyPath.substr(slash + 1);
    HKEY key = parent.empty() ? nullptr : OpenKey(parent, KEY_ALL_ACCESS, false);
    if (!key) return;
    RegDeleteTreeA(key, leaf.c_str());
    RegCloseKey(key);
}

std::string ReadIni(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& fallback) {
    char buffer[2048] = {};
    DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), buffer, sizeof buffer,
                                       file.c_str());
    return std::string(buffer, n);
}

const ProductFile kProductFiles[5] = {
    {"Oskel.INI", ""}, {"Korvane.exe", ""}, {"Brimlet.dll", ""}, {"Mirva.INI", "language"}, {"Quenly.pdf", "help"},
};

// "pw1" -> 0x8F 0x88 0xCE, "abc" -> 0x9E 0x9D 0x9C; "0" is left alone.
const ApnProfile kApnProfiles[3] = {
    {"Vornix Internet", "pw1", "\x8F\x88\xCE"},
    {"Company VPN", "abc", "\x9E\x9D\x9C"},
    {"Prepaid", "0", "0"},
};

StagedUpdate::StagedUpdate() {
    static int counter = 0;
    productKey_ = "SOFTWARE\\VornixToolTests\\Product-" + std::to_string(GetCurrentProcessId()) + "-" +
                  std::to_string(++counter);

    CreateDirectoryA((Install() + "\\help").c_str(), nullptr);
    CreateDirectoryA((Install() + "\\language").c_str(), nullptr);
    for (const ProductFile& f : kProductFiles) {
        if (std::string(f.Name) == "Oskel.INI") continue;
        WriteFile(Installed(f), OldContent(f));
    }
    WriteFile(InstalledFile("Oskel.INI"), "[APP_CONFIG]\r\nAPP_ENCRYPTION_FOR_APN=0\r\nAPP_EDITION=old\r\n");
    std::string darrow;
    for (const ApnProfile& p : kApnProfiles)
        darrow += std::string("[") + p.Section + "]\r\nAPN=internet.vornix\r\nUserName=user\r\nUserPass=" + p.Plain +
                  "\r\n\r\n";
    WriteFile(InstalledFile("Darrow.ini"), darrow);
    WriteFile(InstalledFile("Festor.ini"), "[APP_CONFIG]\r\nAPP_CONFIG_CMUPDATE_ON=1\r\nAPP_CONFIG_OTHER=7\r\n");

    WriteRegString(productKey_, "InstallLocation", Install());
    WriteRegString(productKey_, "AppVersion", "1.9");

    CopyBuiltProgram("Tool.exe", Package());
    CopyBuiltProgram("Tidex.exe", Package());
    for (const ProductFile& f : kProductFiles) {
        if (std::string(f.Name) == "Oskel.INI") continue;
        WriteFile(Package() + "\\" + f.Name, NewContent(f));
    }
    WriteFile(Package() + "\\Oskel.INI", "[APP_CONFIG]\r\nAPP_ENCRYPTION_FOR_APN=1\r\nAPP_EDITION=new\r\n");
    WriteFile(Package() + "\\Pellow.txt", "Read me first.\r\n");
    WriteToolIni("2.0");
}

StagedUpdate::~StagedUpdate() { DeleteRegTree(productKey_); }

std::string StagedUpdate::Installed(const ProductFile& file) const {
    std::string folder = file.Folder;
    return Install() + "\\" + (folder.empty() ? "" : folder + "\\") + file.Name;
}

void StagedUpdate::WriteToolIni(const std::string& packageVersion, const std::string& extraLines) {
    WriteFile(Package() + "\\Tool.ini", "[APP_CONFIG]\r\nAPP_UI_INSTALL_LOCATION=\\" + productKey_ +
                                            "\\\r\nAPP_IN_VERSION=" + packageVersion + "\r\n" + extraLines);
}

std::string StagedUpdate::OldContent(const ProductFile& file) {
    if (std::string(file.Name) == "Oskel.INI") return "[APP_CONFIG]\r\nAPP_ENCRYPTION_FOR_APN=0\r\nAPP_EDITION=old\r\n";
    return std::string("old ") + file.Name;
}

std::string StagedUpdate::NewContent(const ProductFile& file) {
    if (std::string(file.Name) == "Oskel.INI") return "[APP_CONFIG]\r\nAPP_ENCRYPTION_FOR_APN=1\r\nAPP_EDITION=new\r\n";
    return std::string("new ") + file.Name;
}

ToolRun RunToolAndConfirm(const std::string& toolExe, const std::string& workingFolder) {
    ToolRun run;
    Process tool(toolExe, workingFolder);
    HWND form = WaitForWindow(tool, "TToolForm", kWindowTimeoutMs);
    if (!form) {
        ADD_FAILURE() << "no TToolForm window appeared";
        return run;
    }
    run.FormTitle = WindowText(form);
    auto okButtons = ChildrenOf(form, "TImButton");
    auto cancelButtons = ChildrenOf(form, "TTntButton");
    if (okButtons.size() != 1 || cancelButtons.size() != 1) {
        ADD_FAILURE() << "TToolForm has " << okButtons.size() << " TImButton and " << cancelButtons.size()
                      << " TTntButton children";
        return run;
    }
    run.OkCaption = WindowText(okButtons[0]);
    run.CancelCaption = WindowText(cancelButtons[0]);
    Click(okButtons[0]);

    HWND message = WaitForWindow(tool, "TMessageBoxForm", kWindowTimeoutMs);
    if (!message) {
        ADD_FAILURE() << "no TMessageBoxForm window appeared";
        return run;
    }
    run.MessageTitle = WindowText(message);
    auto messageButtons = ChildrenOf(message, "TImButton");
    if (messageButtons.size() != 1) {
        ADD_FAILURE() << "TMessageBoxForm has " << messageButtons.size() << " TImButton children";
        return run;
    }
    run.MessageButton = WindowText(messageButtons[0]);
    Click(messageButtons[0]);

    if (!tool.Wait(kWindowTimeoutMs)) {
        ADD_FAILURE() << "Tool.exe did not end after its message was closed";
        return run;
    }
    run.ExitCode = tool.ExitCode();
    // The cleanup program was started before the tool ended: it is either
    // still running now or done already.
    run.CleanupProcesses = WaitForProcessesNamed("Tidex.exe", kWindowTimeoutMs);
    run.Finished = true;
    return run;
}

}  // namespace tooldriver
