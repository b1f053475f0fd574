#include "IniFiles.h"

#include <windows.h>

bool TIniFile::SectionExists(const std::string& Section) const {
    char Keys[4] = "";
    return GetPrivateProfileStringA(Section.c_str(), nullptr, "", Keys, sizeof Keys, FFileName.c_str()) > 0;
}

std::string TIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                 const std::string& Default) const {
    // The profile functions cut a value at the buffer's end without saying so: grow until it fits.
    std::string Value(256, '\0');
    for (;;) {
        const DWORD Length = GetPrivateProfileStringA(Section.c_str(), Ident.c_str(), Default.c_str(), &Value[0],
                                                      static_cast<DWORD>(Value.size()), FFileName.c_str());
        if (Length + 1 < Value.size()) return Value.substr(0, Length);
        Value.resize(Value.size() * 2);
    }
}

void TIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
    if (!WritePrivateProfileStringA(Section.c_str(), Ident.c_str(), Value.c_str(), FFileName.c_str()))
        throw EIniFileException("Unable to write to " + FFileName);
}

void TIniFile::UpdateFile() { WritePrivateProfileStringA(nullptr, nullptr, nullptr, FFileName.c_str()); }
