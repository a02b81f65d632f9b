#include "Registry.h"

#include <vector>

namespace {

// The view of a 32-bit program: keys under HKLM\SOFTWARE as a 32-bit
// installer wrote them.
constexpr REGSAM View = KEY_WOW64_32KEY;

AnsiString TrimSeparators(const AnsiString& path) {
    size_t first = 0;
    size_t last = path.size();
    while (first < last && path[first] == '\\') ++first;
    while (last > first && path[last - 1] == '\\') --last;
    return path.substr(first, last - first);
}

}  // namespace

TRegistry::TRegistry() = default;

TRegistry::TRegistry(REGSAM Access) : access_(Access) {}

TRegistry::~TRegistry() {
    CloseKey();
}

void TRegistry::SetRootKey(HKEY Root) {
    CloseKey();
    rootKey_ = Root;
}

AnsiString TRegistry::FullPath(const AnsiString& Key) const {
    const AnsiString relative = TrimSeparators(Key);
    const bool absolute = !Key.empty() && Key[0] == '\\';
    if (absolute || !currentKey_ || currentPath_.empty()) return relative;
    if (relative.empty()) return currentPath_;
    return currentPath_ + "\\" + relative;
}

bool TRegistry::OpenKey(const AnsiString& Key, bool CanCreate) {
    const AnsiString path = FullPath(Key);
    CloseKey();
    HKEY key = nullptr;
    LONG status;
    if (CanCreate) {
        status = RegCreateKeyExA(rootKey_, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 access_ | View, nullptr, &key, nullptr);
    } else {
        status = RegOpenKeyExA(rootKey_, path.c_str(), 0, access_ | View, &key);
    }
    if (status != ERROR_SUCCESS) return false;
    currentKey_ = key;
    currentPath_ = path;
    return true;
}

void TRegistry::CloseKey() {
    if (currentKey_) {
        RegCloseKey(currentKey_);
        currentKey_ = nullptr;
    }
    currentPath_.clear();
}

bool TRegistry::ValueExists(const AnsiString& Name) const {
    if (!currentKey_) return false;
    return RegQueryValueExA(currentKey_, Name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

AnsiString TRegistry::ReadString(const AnsiString& Name) const {
    if (!currentKey_) return AnsiString();
    DWORD type = REG_NONE;
    DWORD size = 0;
    LONG status = RegQueryValueExA(currentKey_, Name.c_str(), nullptr, &type, nullptr, &size);
    if (status != ERROR_SUCCESS || size == 0) return AnsiString();
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw ERegistryException(Format("Invalid data type for '%s'", Name));
    // The value may have changed between the two queries: ask again until it fits.
    std::vector<char> data;
    do {
        data.assign(size + 1, '\0');
        status = RegQueryValueExA(currentKey_, Name.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(data.data()), &size);
    } while (status == ERROR_MORE_DATA);
    if (status != ERROR_SUCCESS) return AnsiString();
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw ERegistryException(Format("Invalid data type for '%s'", Name));
    // Stored with or without its terminating zero: the text ends at the first zero.
    size_t length = 0;
    while (length < size && data[length] != '\0') ++length;
    return AnsiString(data.data(), length);
}

void TRegistry::WriteString(const AnsiString& Name, const AnsiString& Value) {
    const LONG status =
        currentKey_ ? RegSetValueExA(currentKey_, Name.c_str(), 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(Value.c_str()),
                                     static_cast<DWORD>(Value.size() + 1))
                    : ERROR_INVALID_HANDLE;
    if (status != ERROR_SUCCESS)
        throw ERegistryException(Format("Failed to set data for '%s'", Name));
}

bool TRegistry::DeleteValue(const AnsiString& Name) {
    return currentKey_ && RegDeleteValueA(currentKey_, Name.c_str()) == ERROR_SUCCESS;
}

bool TRegistry::DeleteKey(const AnsiString& Key) {
    const AnsiString path = FullPath(Key);
    if (path.empty()) return false;  // never the root itself
    // Open the parent in our view and remove the key's whole tree below it.
    const auto separator = path.find_last_of('\\');
    const AnsiString parentPath = separator == AnsiString::npos ? AnsiString() : path.substr(0, separator);
    const AnsiString name = separator == AnsiString::npos ? path : path.substr(separator + 1);
    HKEY parent = nullptr;
    if (RegOpenKeyExA(rootKey_, parentPath.c_str(), 0, KEY_ALL_ACCESS | View, &parent) != ERROR_SUCCESS)
        return false;
    const bool deleted = RegDeleteTreeA(parent, name.c_str()) == ERROR_SUCCESS;
    RegCloseKey(parent);
    return deleted;
}

bool TRegistry::KeyExists(const AnsiString& Key) const {
    HKEY key = nullptr;
    if (RegOpenKeyExA(rootKey_, FullPath(Key).c_str(), 0, KEY_READ | View, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}
