// INI (private profile) files through the system's own reader and writer.
#pragma once

#include "Classes.h"
#include "SysUtils.h"

// A write the system refused: "Unable to write to <path>".
class EIniFileException : public Exception {
public:
    using Exception::Exception;
};

// One INI file, opened afresh by every call: nothing is cached here, so a
// value is always read as the file stands. Give a full path; a bare name
// would be looked for in the Windows folder by the system.
//
// Reading follows the system's rules: section and key names match without
// regard to case or surrounding blanks, values come back trimmed and
// without a surrounding pair of quotes, at most 2047 characters of a value.
class TIniFile : public TObject {
    CLASS_NAME(TIniFile)
public:
    explicit TIniFile(const AnsiString& FileName) : fileName_(FileName) {}

    const AnsiString& FileName() const { return fileName_; }

    // The value, or Default (trimmed the same way) when the file, the
    // section or the key is absent. A key with nothing after "=" is "".
    AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident,
                          const AnsiString& Default) const;

    // The value read as an integer: optional sign, then decimal digits, or
    // hexadecimal digits after "$", "x", "X", "0x" or "0X". Anything that is
    // not wholly such a number (or is out of range) gives Default.
    int ReadInteger(const AnsiString& Section, const AnsiString& Ident, int Default) const;

    // A switch: ReadInteger(..., Default ? 1 : 0) != 0.
    bool ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default) const;

    // Writes the value; raises EIniFileException "Unable to write to <path>"
    // when the system refuses (read-only file, no rights, no folder).
    void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value);
    void WriteInteger(const AnsiString& Section, const AnsiString& Ident, int Value);
    // Writes "1" or "0".
    void WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value);

    // Replaces the contents of Strings with the names of all sections, in the
    // order in which they stand in the file; nothing is cut off, however many.
    void ReadSections(TStringList* Strings) const;

private:
    AnsiString fileName_;
};

// The integer rule of ReadInteger on a text of its own; false when Text is
// not wholly a number (Value is then left alone).
bool TryStrToInt(const AnsiString& Text, int& Value);
