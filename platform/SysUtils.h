// Texts, errors and the run-time's basic services.
#pragma once

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
AnsiString FormatMessage(const AnsiString& pattern, const AnsiString& argument);
