// Tidex.exe: removes the update package's files from the folder it runs in.
//
// No window, no arguments, no settings. Each package file is deleted with one
// call, whatever became of the one before; the exit code is always 0.
// It only deletes when its own program file lies in the working folder, so a
// copy started from anywhere else cannot remove unrelated files that merely
// share a package file's name.

#include <windows.h>

#include <string>

namespace {

// The package files, in the order they are deleted. Quenly.pdf and Tidex.exe
// itself stay in the folder.
const char* const kPackageFiles[] = {
    "Korvane.exe", "Tool.exe", "Brimlet.dll", "Oskel.INI", "Tool.ini", "Mirva.INI", "Pellow.txt",
};

// Full, long form of a folder without trailing separators, or "" when the
// system cannot resolve it.
std::string CanonicalFolder(const std::string& folder) {
    char full[MAX_PATH * 4];
    DWORD n = GetFullPathNameA(folder.c_str(), sizeof full, full, nullptr);
    if (n == 0 || n >= sizeof full) return std::string();
    char longName[MAX_PATH * 4];
    DWORD m = GetLongPathNameA(full, longName, sizeof longName);
    std::string result = (m != 0 && m < sizeof longName) ? std::string(longName, m) : std::string(full, n);
    while (result.size() > 1 && (result.back() == '\\' || result.back() == '/')) result.pop_back();
    return result;
}

bool RunsInItsOwnFolder() {
    char self[MAX_PATH * 4];
    DWORD n = GetModuleFileNameA(nullptr, self, sizeof self);
    if (n == 0 || n >= sizeof self) return false;
    std::string path(self, n);
    std::string::size_type slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return false;
    std::string ownFolder = CanonicalFolder(path.substr(0, slash + 1));

    char cwd[MAX_PATH * 4];
    DWORD c = GetCurrentDirectoryA(sizeof cwd, cwd);
    if (c == 0 || c >= sizeof cwd) return false;
    std::string workFolder = CanonicalFolder(std::string(cwd, c));

    return !ownFolder.empty() && lstrcmpiA(ownFolder.c_str(), workFolder.c_str()) == 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (RunsInItsOwnFolder()) {
        for (const char* name : kPackageFiles) DeleteFileA(name);
    }
    return 0;
}
