#include "SysUtils.h"

AnsiString FormatMessage(const AnsiString& pattern, const AnsiString& argument) {
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
