// INI files through the system's profile functions, which keep a written file in a cache until it
// is flushed (UpdateFile) or another file is used.
#pragma once

#include <string>

#include "Classes.h"
#include "Sysutils.h"

class EIniFileException : public Exception {
public:
    using Exception::Exception;
};

class TIniFile : public TObject {
public:
    explicit TIniFile(const std::string& FileName) : FFileName(FileName) {}
    const std::string& FileName() const { return FFileName; }
    // True when the section holds at least one key.
    bool SectionExists(const std::string& Section) const;
    // The key's value, or Default when the key is missing.
    std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) const;
    // Raises EIniFileException when the file cannot be written.
    void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value);
    // Writes what is cached for the file to the disk.
    void UpdateFile();

private:
    std::string FFileName;
};
