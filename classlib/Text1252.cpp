#include "Text1252.h"

namespace {
bool IsBlank(char C) { return static_cast<unsigned char>(C) <= 32; }

bool StartsWith(const std::string& Text, const char* Prefix) {
    return Text.compare(0, std::string(Prefix).size(), Prefix) == 0;
}
}  // namespace

std::string TrimLeft(const std::string& S) {
    size_t First = 0;
    while (First < S.size() && IsBlank(S[First])) ++First;
    return S.substr(First);
}

std::string TrimRight(const std::string& S) {
    size_t Last = S.size();
    while (Last > 0 && IsBlank(S[Last - 1])) --Last;
    return S.substr(0, Last);
}

std::string Trim(const std::string& S) { return TrimLeft(TrimRight(S)); }

char LowerCase1252(char C) {
    const unsigned char U = static_cast<unsigned char>(C);
    if ((U >= 'A' && U <= 'Z') || (U >= 0xC0 && U <= 0xDE && U != 0xD7)) return static_cast<char>(U + 32);
    if (U == 0x8A || U == 0x8C || U == 0x8E) return static_cast<char>(U + 16);  // S, OE, Z with their marks
    if (U == 0x9F) return static_cast<char>(0xFF);                               // Y with diaeresis
    return C;
}

std::string LowerCase1252(const std::string& S) {
    std::string Result = S;
    for (char& C : Result) C = LowerCase1252(C);
    return Result;
}

bool IsDeviceName(const std::string& Name) {
    // Windows ignores an extension and trailing blanks after a device name: "con .txt" is CON.
    std::string Base = LowerCase1252(Name.substr(0, Name.find('.')));
    Base.erase(Base.find_last_not_of(' ') + 1);
    for (const char* Device : {"con", "prn", "aux", "nul", "conin$", "conout$"})
        if (Base == Device) return true;
    // Windows also counts the superscript digits of code page 1252 (\xb9, \xb2, \xb3) as port numbers.
    const char Port = Base.size() == 4 ? Base[3] : '\0';
    const bool PortNumber = (Port >= '1' && Port <= '9') || Port == '\xb9' || Port == '\xb2' || Port == '\xb3';
    return PortNumber && (StartsWith(Base, "com") || StartsWith(Base, "lpt"));
}
