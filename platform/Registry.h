// The Windows registry: one key of one root at a time.
#pragma once

#include "Classes.h"
#include "SysUtils.h"

// "Failed to set data for '<name>'", "Invalid data type for '<name>'".
class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

// Keys are always opened in the 32-bit view of the registry, the one a
// 32-bit installer writes to (HKLM\SOFTWARE of a 32-bit program; on 64-bit
// Windows stored under SOFTWARE\Wow6432Node), whatever this build's word size.
class TRegistry : public TObject {
    CLASS_NAME(TRegistry)
public:
    // Root HKEY_CURRENT_USER, full access (KEY_ALL_ACCESS).
    TRegistry();
    explicit TRegistry(REGSAM Access);
    ~TRegistry() override;  // closes the open key
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey() const { return rootKey_; }
    // Closes the open key and changes the root.
    void SetRootKey(HKEY Root);
    REGSAM Access() const { return access_; }

    // Opens a key; with CanCreate a missing key (and its missing parents) is
    // created. A leading "\" makes the path absolute from the root, otherwise
    // it is relative to the open key (or the root when none is open); a
    // trailing "\" is accepted. False when the key cannot be opened or made;
    // the previously open key is closed either way.
    bool OpenKey(const AnsiString& Key, bool CanCreate);
    void CloseKey();
    HKEY CurrentKey() const { return currentKey_; }
    // Path of the open key from the root, without leading or trailing "\".
    const AnsiString& CurrentPath() const { return currentPath_; }

    bool ValueExists(const AnsiString& Name) const;
    // Text of a string value (REG_SZ or REG_EXPAND_SZ, not expanded), "" when
    // the value is absent or empty; any other type raises ERegistryException
    // "Invalid data type for '<name>'".
    AnsiString ReadString(const AnsiString& Name) const;
    // Writes a REG_SZ value; raises ERegistryException
    // "Failed to set data for '<name>'" when the system refuses.
    void WriteString(const AnsiString& Name, const AnsiString& Value);
    // False when the value is absent or cannot be deleted.
    bool DeleteValue(const AnsiString& Name);

    // Deletes a key with all its subkeys and values (path as for OpenKey).
    bool DeleteKey(const AnsiString& Key);
    // True when the key exists (path as for OpenKey); opens nothing.
    bool KeyExists(const AnsiString& Key) const;

private:
    // Root-relative path of Key (see OpenKey), without leading/trailing "\".
    AnsiString FullPath(const AnsiString& Key) const;

    HKEY rootKey_ = HKEY_CURRENT_USER;
    REGSAM access_ = KEY_ALL_ACCESS;
    HKEY currentKey_ = nullptr;
    AnsiString currentPath_;
};
