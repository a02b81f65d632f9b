// Texts, errors, file functions and the run-time's basic services.
#pragma once

// Every module sees the same Windows declarations: names that Windows turns
// into macros (DeleteFile) then mean the same everywhere.
#include <windows.h>

#include <exception>
#include <string>

// 8-bit texts in the system's ANSI code page, and wide (UTF-16) texts.
using AnsiString = std::string;
using WideString = std::wstring;

// The base of every error the platform raises. Its Message is what the
// application's standard error display shows.
class Exception : public std::exception {
public:
    explicit Exception(AnsiString message) : Message(std::move(message)) {}
    const char* what() const noexcept override { return Message.c_str(); }

    AnsiString Message;
};

// Message text with every "%s" replaced by the next argument, in order; a
// single "%s" is the common case ("Unable to write to %s").
AnsiString Format(const AnsiString& pattern, const AnsiString& argument);

// An 8-bit text made wide with the system's ANSI code page
// (MultiByteToWideChar, CP_ACP, no flags). Embedded zero bytes are kept.
WideString AnsiToWide(const AnsiString& text);

// ---- Files ---------------------------------------------------------------
// Paths are plain 8-bit texts; a doubled separator ("C:\a\\b") is accepted.

// True when a regular file exists at Path; a folder of that name does not count.
bool FileExists(const AnsiString& Path);

// Renames (moves) OldName to NewName. Never overwrites: false when a file of
// the new name exists or the system refuses the rename.
bool RenameFile(const AnsiString& OldName, const AnsiString& NewName);

// Deletes a file; false when it is absent or the system refuses.
bool DeleteFile(const AnsiString& Path);

// Copies Source to Target, replacing a file that is already there
// (CopyFileA with overwriting allowed). Never creates folders.
bool CopyFileOverwrite(const AnsiString& Source, const AnsiString& Target);

// The folder part of a path: everything before the last "\" (or "/"),
// without a trailing separator unless it is a drive root ("C:\").
// "" when the path has no folder part.
AnsiString ExtractFileDir(const AnsiString& Path);

// Full path of the running program file, as the system reports it.
AnsiString ProgramFileName();

// ExtractFileDir(ProgramFileName()).
AnsiString ProgramFolder();
