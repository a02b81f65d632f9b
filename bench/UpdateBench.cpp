// How long Tool.exe takes to update an installation of large product files,
// against plain file copies of the same files, and how much memory it needs.
//
//   update_bench.exe [megabytes]     (default 200; run it through tools/wine-run)
//
// Each round stages a fresh installation, runs the real Tool.exe on it (the
// time from pressing OK until the outcome message appears) and copies the
// same package files over another fresh installation with CopyFileA. The
// rounds alternate so both see the same state of the file cache; the medians
// are printed together with their ratio and the peak working set of Tool.exe.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const char* const kBinDir = VORNIX_BIN_DIR;
const char* const kProductKey = "SOFTWARE\\VornixToolBench\\Product";

struct BenchFile {
    const char* Name;
    const char* Folder;  // below the installation folder
    double Share;        // part of the total size
};
// Big binaries; the two INI files stay small because the tool reads Oskel.INI.
const BenchFile kFiles[] = {
    {"Korvane.exe", "", 0.40}, {"Brimlet.dll", "", 0.30}, {"Quenly.pdf", "help", 0.29},
    {"Mirva.INI", "language", 0.01}, {"Oskel.INI", "", 0.0},
};

[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error(what + " (error " + std::to_string(GetLastError()) + ")");
}

std::string WindowsPath(const std::string& unixPath) {
    std::string p = "Z:" + unixPath;
    std::replace(p.begin(), p.end(), '/', '\\');
    return p;
}

std::string TempRoot() {
    char base[MAX_PATH];
    DWORD n = GetTempPathA(sizeof base, base);
    std::string root(base, n);
    if (!root.empty() && root.back() == '\\') root.pop_back();
    return root + "\\vornix-bench-" + std::to_string(GetCurrentProcessId());
}

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            std::string full = path + "\\" + name;
            SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                DeleteFileA(full.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(path.c_str());
}

void MakeFolder(const std::string& path) {
    if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) Fail("mkdir " + path);
}

// A file of the given size with a pattern that differs per seed.
void WriteFileOfSize(const std::string& path, unsigned long long size, unsigned seed) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) Fail("create " + path);
    std::vector<unsigned> block(1 << 18);
    unsigned x = seed * 2654435761u + 1;
    for (unsigned& v : block) v = (x = x * 1664525u + 1013904223u);
    const unsigned long long blockBytes = block.size() * sizeof(unsigned);
    for (unsigned long long done = 0; done < size;) {
        DWORD chunk = static_cast<DWORD>(std::min(blockBytes, size - done)), written = 0;
        if (!::WriteFile(h, block.data(), chunk, &written, nullptr) || written != chunk) Fail("write " + path);
        done += chunk;
    }
    // On disk, as an installed product's files and a downloaded package are,
    // not still waiting in the cache to be written.
    FlushFileBuffers(h);
    CloseHandle(h);
}

void WriteText(const std::string& path, const std::string& text) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) Fail("create " + path);
    DWORD written = 0;
    ::WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(h);
}

std::string Target(const std::string& install, const BenchFile& f) {
    return install + "\\" + (f.Folder[0] ? std::string(f.Folder) + "\\" : std::string()) + f.Name;
}

// An installed product of old files.
void StageInstallation(const std::string& install, unsigned long long total) {
    MakeFolder(install);
    MakeFolder(install + "\\help");
    MakeFolder(install + "\\language");
    unsigned seed = 1;
    for (const BenchFile& f : kFiles) {
        if (f.Share == 0)
            WriteText(Target(install, f), "[APP_CONFIG]\r\nAPP_ENCRYPTION_FOR_APN=0\r\n");
        else
            WriteFileOfSize(Target(install, f), static_cast<unsigned long long>(total * f.Share), seed);
        ++seed;
    }
    WriteText(install + "\\Darrow.ini", "[Internet]\r\nUserPass=secret\r\n[Office]\r\nUserPass=abc\r\n");
    WriteText(install + "\\Festor.ini", "[APP_CONFIG]\r\nAPP_CONFIG_CMUPDATE_ON=1\r\n");
}

void SetRegString(const std::string& name, const std::string& value) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kProductKey, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        Fail("registry key");
    RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

void DeleteProductKey() { RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kProductKey, KEY_WOW64_32KEY, 0); }

// The update package: the new product files, the tool and its settings.
void StagePackage(const std::string& package, unsigned long long total) {
    MakeFolder(package);
    unsigned seed = 100;
    for (const BenchFile& f : kFiles) {
        std::string path = package + "\\" + f.Name;
        if (f.Share == 0)
            WriteText(path, "[APP_CONFIG]\r\nAPP_ENCRYPTION_FOR_APN=1\r\n");
        else
            WriteFileOfSize(path, static_cast<unsigned long long>(total * f.Share), seed);
        ++seed;
    }
    for (const char* exe : {"Tool.exe", "Tidex.exe"})
        if (!CopyFileA(WindowsPath(std::string(kBinDir) + "/" + exe).c_str(), (package + "\\" + exe).c_str(), FALSE))
            Fail(std::string("copy ") + exe);
    WriteText(package + "\\Tool.ini", std::string("[APP_CONFIG]\r\nAPP_UI_INSTALL_LOCATION=\\") + kProductKey +
                                          "\\\r\nAPP_IN_VERSION=2.0\r\n");
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return double(to.QuadPart - from.QuadPart) / double(f.QuadPart);
}

struct Found {
    DWORD Pid;
    const char* Class;
    HWND Window;
};

BOOL CALLBACK FindTop(HWND hwnd, LPARAM param) {
    auto* f = reinterpret_cast<Found*>(param);
    DWORD pid = 0;
    char name[64] = {};
    GetWindowThreadProcessId(hwnd, &pid);
    GetClassNameA(hwnd, name, sizeof name);
    if (pid == f->Pid && IsWindowVisible(hwnd) && lstrcmpA(name, f->Class) == 0) {
        f->Window = hwnd;
        return FALSE;
    }
    return TRUE;
}

// Polls for the visible window of a class every 5 ms (at most that much is
// added to a time); polling much faster keeps the Wine server busy with window
// lists and slows down the very tool being measured.
HWND WaitForWindow(HANDLE process, DWORD pid, const char* cls) {
    DWORD start = GetTickCount();
    for (;;) {
        Found f{pid, cls, nullptr};
        EnumWindows(FindTop, reinterpret_cast<LPARAM>(&f));
        if (f.Window) return f.Window;
        if (GetTickCount() - start > 600000) Fail(std::string("no window ") + cls);
        if (WaitForSingleObject(process, 5) == WAIT_OBJECT_0) Fail(std::string("Tool.exe ended before ") + cls);
    }
}

HWND ChildButton(HWND form) {
    HWND b = FindWindowExA(form, nullptr, "TImButton", nullptr);
    if (!b) Fail("no TImButton");
    return b;
}

struct UpdateRun {
    double Seconds;
    SIZE_T PeakWorkingSet;
};

UpdateRun RunTool(const std::string& package) {
    std::string exe = package + "\\Tool.exe";
    std::string cmd = "\"" + exe + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, package.c_str(), &si, &pi))
        Fail("start Tool.exe");
    HWND form = WaitForWindow(pi.hProcess, pi.dwProcessId, "TToolForm");
    HWND ok = ChildButton(form);
    LARGE_INTEGER t0, t1;
    QueryPerformanceCounter(&t0);
    PostMessageA(ok, BM_CLICK, 0, 0);
    HWND message = WaitForWindow(pi.hProcess, pi.dwProcessId, "TMessageBoxForm");
    QueryPerformanceCounter(&t1);
    // The update is over; the peak so far is the update's.
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(pi.hProcess, &pmc, sizeof pmc);
    PostMessageA(ChildButton(message), BM_CLICK, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 120000) != WAIT_OBJECT_0) Fail("Tool.exe did not end");
    PROCESS_MEMORY_COUNTERS after{};
    after.cb = sizeof after;
    if (GetProcessMemoryInfo(pi.hProcess, &after, sizeof after) && after.PeakWorkingSetSize > pmc.PeakWorkingSetSize)
        pmc.PeakWorkingSetSize = after.PeakWorkingSetSize;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return UpdateRun{Seconds(t0, t1), pmc.PeakWorkingSetSize};
}

double PlainCopy(const std::string& package, const std::string& install) {
    LARGE_INTEGER t0, t1;
    QueryPerformanceCounter(&t0);
    for (const BenchFile& f : kFiles)
        if (!CopyFileA((package + "\\" + f.Name).c_str(), Target(install, f).c_str(), FALSE)) Fail("plain copy");
    QueryPerformanceCounter(&t1);
    return Seconds(t0, t1);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const unsigned long long megabytes = argc > 1 ? std::stoull(argv[1]) : 200;
    const unsigned long long total = megabytes * 1024 * 1024;
    const int rounds = 5;
    const std::string root = TempRoot();
    try {
        MakeFolder(root);
        std::printf("staging a package of %llu MB in %s\n", megabytes, root.c_str());
        std::fflush(stdout);
        std::vector<double> updates, copies;
        SIZE_T peak = 0;
        for (int round = 0; round < rounds; ++round) {
            // Folders of their own each round: the cleanup program of the
            // round before may still be deleting in its package folder.
            const std::string n = std::to_string(round + 1);
            const std::string package = root + "\\package" + n, updated = root + "\\updated" + n,
                              copied = root + "\\copied" + n;
            StagePackage(package, total);
            StageInstallation(updated, total);
            StageInstallation(copied, total);
            DeleteProductKey();
            SetRegString("InstallLocation", updated);
            SetRegString("AppVersion", "1.9");

            double copy = PlainCopy(package, copied);
            UpdateRun run = RunTool(package);
            copies.push_back(copy);
            updates.push_back(run.Seconds);
            peak = std::max(peak, run.PeakWorkingSet);
            std::printf("round %d: update %.3f s, plain copy %.3f s\n", round + 1, run.Seconds, copy);
            std::fflush(stdout);
            RemoveTree(updated);
            RemoveTree(copied);
        }
        const double update = Median(updates), copy = Median(copies);
        std::printf("update (median of %d):     %.3f s\n", rounds, update);
        std::printf("plain copy (median of %d): %.3f s\n", rounds, copy);
        std::printf("ratio update/copy:         %.2f (target <= 1.30)\n", update / copy);
        std::printf("peak working set Tool.exe: %.1f MB\n", peak / (1024.0 * 1024.0));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "update_bench: %s\n", e.what());
        DeleteProductKey();
        RemoveTree(root);
        return 1;
    }
    DeleteProductKey();
    RemoveTree(root);
    return 0;
}
