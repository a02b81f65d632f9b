#include "IniFiles.h"

#include <cstdint>
#include <vector>

namespace {

// The system's reader returns at most this many characters, the last being
// the terminating zero: values are cut at 2047 characters.
constexpr DWORD ValueBufferSize = 2048;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool TryStrToInt(const AnsiString& Text, int& Value) {
    size_t i = 0;
    bool negative = false;
    if (i < Text.size() && (Text[i] == '+' || Text[i] == '-')) {
        negative = Text[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < Text.size() && (Text[i] == '$' || Text[i] == 'x' || Text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < Text.size() && Text[i] == '0' && (Text[i + 1] == 'x' || Text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= Text.size()) return false;  // no digits at all

    std::uint64_t magnitude = 0;
    const unsigned base = hex ? 16 : 10;
    for (; i < Text.size(); ++i) {
        const int digit = HexDigit(Text[i]);
        if (digit < 0 || static_cast<unsigned>(digit) >= base) return false;
        magnitude = magnitude * base + static_cast<unsigned>(digit);
        if (magnitude > 0xFFFFFFFFull) return false;
    }
    std::int64_t result;
    if (hex) {
        // Hexadecimal covers the whole 32 bits: $FFFFFFFF is -1.
        result = static_cast<std::int32_t>(static_cast<std::uint32_t>(magnitude));
        if (negative) result = -result;
        if (result > INT32_MAX) return false;  // only -$80000000
    } else {
        result = negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
        if (result > INT32_MAX || result < INT32_MIN) return false;
    }
    Value = static_cast<int>(result);
    return true;
}

AnsiString TIniFile::ReadString(const AnsiString& Section, const AnsiString& Ident,
                                const AnsiString& Default) const {
    char buffer[ValueBufferSize];
    const DWORD length = GetPrivateProfileStringA(Section.c_str(), Ident.c_str(), Default.c_str(),
                                                  buffer, ValueBufferSize, fileName_.c_str());
    return AnsiString(buffer, length);
}

int TIniFile::ReadInteger(const AnsiString& Section, const AnsiString& Ident, int Default) const {
    int value = Default;
    return TryStrToInt(ReadString(Section, Ident, AnsiString()), value) ? value : Default;
}

bool TIniFile::ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default) const {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TIniFile::WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) {
    // A read-only file is refused whatever rights the account has on the
    // underlying storage (an administrator's, or Wine's for root).
    const DWORD attributes = GetFileAttributesA(fileName_.c_str());
    const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES &&
                          (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0;
    if (readOnly || !WritePrivateProfileStringA(Section.c_str(), Ident.c_str(), Value.c_str(), fileName_.c_str()))
        throw EIniFileException(Format("Unable to write to %s", fileName_));
}

void TIniFile::WriteInteger(const AnsiString& Section, const AnsiString& Ident, int Value) {
    WriteString(Section, Ident, std::to_string(Value));
}

void TIniFile::WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value) {
    WriteString(Section, Ident, Value ? "1" : "0");
}

void TIniFile::ReadSections(TStringList* Strings) const {
    Strings->Clear();
    // The reader reports a cut-off list by returning the buffer size less two:
    // grow until the whole list fits.
    std::vector<char> buffer(16 * 1024);
    DWORD length;
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        length = GetPrivateProfileSectionNamesA(buffer.data(), size, fileName_.c_str());
        if (length + 2 < size) break;
        buffer.assign(buffer.size() * 2, '\0');
    }
    // Names one after another, each ending with a zero, the list with two.
    const char* p = buffer.data();
    const char* end = p + length;
    while (p < end && *p) {
        AnsiString name(p);
        p += name.size() + 1;
        Strings->Add(name);
    }
}
