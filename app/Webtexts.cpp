#include "Webtexts.h"

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
    // Windows ignores an extension and trailing blanks after a device name: "con .txt" is CON.
    std::string Base = Upper(Name.substr(0, Name.find('.')));
    Base.erase(Base.find_last_not_of(' ') + 1);
    for (const char* Device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (Base == Device) return false;
    // Windows also counts the superscript digits of code page 1252 (\xb9, \xb2, \xb3) as port numbers.
    const char Port = Base.size() == 4 ? Base[3] : '\0';
    const bool PortNumber = (Port >= '1' && Port <= '9') || Port == '\xb9' || Port == '\xb2' || Port == '\xb3';
    return !(PortNumber && (StartsWith(Base, "COM") || StartsWith(Base, "LPT")));
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
