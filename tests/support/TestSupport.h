// Helpers for tests that run under Wine: temporary folders, small files,
// and starting the built programs as real Windows processes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testsupport {

// A fresh, empty folder under the system's temporary folder, removed with
// everything in it when the object goes. Path() has no trailing backslash.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    // Path() + "\" + name
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// Removes a folder and everything in it (read-only files too).
void RemoveTree(const std::string& path);

void WriteFile(const std::string& path, const std::string& bytes);
// Contents of a file; "" when it cannot be read (check FileExists first where it matters).
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// Names of the files (not folders) in a folder, sorted case-insensitively.
std::vector<std::string> ListFiles(const std::string& folder);
void SetReadOnly(const std::string& path, bool readOnly);

// Full Windows path of a program built by this build, e.g. BuiltProgram("Tidex.exe").
std::string BuiltProgram(const std::string& exeName);

// Full path of the running test executable and its folder.
std::string ThisProgram();

// Copies a built program into a folder and returns the copy's path.
std::string CopyBuiltProgram(const std::string& exeName, const std::string& folder);

// A started process; the destructor kills it if it still runs.
class Process {
public:
    Process(const std::string& program, const std::string& workingFolder,
            const std::string& arguments = std::string());
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Waits at most timeoutMs; true when the process ended.
    bool Wait(DWORD timeoutMs);
    DWORD ExitCode() const;
    DWORD Id() const { return pi_.dwProcessId; }
    HANDLE Handle() const { return pi_.hProcess; }

private:
    PROCESS_INFORMATION pi_{};
};

// Runs a program in a folder and waits for its end; returns its exit code.
// Fails the current test (and returns 0xFFFFFFFF) when it does not end in time.
DWORD RunProgram(const std::string& program, const std::string& workingFolder,
                 DWORD timeoutMs = 60000);

}  // namespace testsupport
