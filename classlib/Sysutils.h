// Exceptions and text helpers of our class library. Text is 8-bit, in the active ANSI code page.
#pragma once

#include <stdexcept>
#include <string>

#include "Text1252.h"

class Exception : public std::exception {
public:
    explicit Exception(std::string AMessage) : Message(std::move(AMessage)) {}
    const char* what() const noexcept override { return Message.c_str(); }
    std::string Message;
};

// A text that could not be converted to a number (or a number to a text).
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A picture that could not be read or written.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

// An operation that is not valid in the object's state (showing a visible form modally, ...).
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

// Trim, TrimLeft and TrimRight: leading and trailing characters of code 32 or less removed.

// Upper and lower case with the user's locale rules for the ANSI code page.
std::string AnsiUpperCase(const std::string& S);
std::string AnsiLowerCase(const std::string& S);
bool SameText(const std::string& A, const std::string& B);

std::string IntToStr(long long Value);
// Raises EConvertError "'S' is not a valid integer value" for anything but an optionally signed
// decimal (or $-prefixed hexadecimal) number in the range of int, blanks around it allowed.
int StrToInt(const std::string& S);

// Path pieces: the folder with its trailing backslash, the last component, the extension with its dot.
std::string ExtractFilePath(const std::string& FileName);
std::string ExtractFileName(const std::string& FileName);
std::string ExtractFileExt(const std::string& FileName);
// The program's command line: ParamStr(0) is the program itself, 1 to ParamCount() its arguments,
// with their quotes taken off; an index beyond them gives the empty text.
int ParamCount();
std::string ParamStr(int Index);
// Path with a backslash at its end (added when missing).
std::string IncludeTrailingPathDelimiter(const std::string& Path);
