#include "Webtexts.h"

#include "Text1252.h"

namespace {
std::string Upper(std::string Text) {
    for (char& C : Text)
        if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
    return Text;
}

bool StartsWith(const std::string& Text, const char* Prefix) {
    return Text.compare(0, std::string(Prefix).size(), Prefix) == 0;
}
}  // namespace

bool IsSafeCacheFileName(const std::string& Name) {
    bool OnlyDotsAndBlanks = true;
    for (char C : Name) {
        const unsigned char U = static_cast<unsigned char>(C);
        if (C == '\\' || C == '/' || C == ':' || U < 32) return false;
        if (C != '.' && C != ' ') OnlyDotsAndBlanks = false;
    }
    if (OnlyDotsAndBlanks) return false;
    return !IsDeviceName(Name);
}

bool IsShellAddress(const std::string& Address) {
    const std::string Head = Upper(Address.substr(0, 8));
    return StartsWith(Head, "HTTP://") || StartsWith(Head, "HTTPS://") || StartsWith(Head, "MAILTO:");
}

bool ParseFtpPort(const std::string& Text, int& Port) {
    if (Text.empty() || Text.size() > 5) return false;
    long Value = 0;
    for (char C : Text) {
        if (C < '0' || C > '9') return false;
        Value = Value * 10 + (C - '0');
    }
    if (Value < 1 || Value > 65535) return false;
    Port = static_cast<int>(Value);
    return true;
}

std::string StatusLineOf(const std::string& Head) { return Head.substr(0, Head.find_first_of("\r\n")); }
