#include "SysUtils.h"

#include <vector>

AnsiString Format(const AnsiString& pattern, const AnsiString& argument) {
    AnsiString result;
    result.reserve(pattern.size() + argument.size());
    for (std::string::size_type i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's') {
            result += argument;
            ++i;
        } else {
            result += pattern[i];
        }
    }
    return result;
}

WideString AnsiToWide(const AnsiString& text) {
    if (text.empty()) return WideString();
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    if (needed <= 0) return WideString();
    WideString wide(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), length, &wide[0], needed);
    return wide;
}

bool FileExists(const AnsiString& Path) {
    const DWORD attributes = GetFileAttributesA(Path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool RenameFile(const AnsiString& OldName, const AnsiString& NewName) {
    // MoveFileA refuses when NewName exists.
    return MoveFileA(OldName.c_str(), NewName.c_str()) != FALSE;
}

bool DeleteFile(const AnsiString& Path) {
    return ::DeleteFileA(Path.c_str()) != FALSE;
}

bool CopyFileOverwrite(const AnsiString& Source, const AnsiString& Target) {
    return ::CopyFileA(Source.c_str(), Target.c_str(), FALSE) != FALSE;
}

AnsiString ExtractFileDir(const AnsiString& Path) {
    const auto separator = Path.find_last_of("\\/");
    if (separator == AnsiString::npos) return AnsiString();
    // "C:\" keeps its separator; a bare "\x" gives "\".
    if (separator == 0 || (separator == 2 && Path[1] == ':'))
        return Path.substr(0, separator + 1);
    return Path.substr(0, separator);
}

AnsiString ProgramFileName() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), size);
        if (length == 0) return AnsiString();
        if (length < size) return AnsiString(buffer.data(), length);
        buffer.resize(buffer.size() * 2);  // cut off: try a bigger buffer
    }
}

AnsiString ProgramFolder() {
    return ExtractFileDir(ProgramFileName());
}
