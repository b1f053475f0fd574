#include "Sysutils.h"

#include <windows.h>

#include <climits>
#include <cstdlib>

std::string AnsiUpperCase(const std::string& S) {
    std::string Result = S;
    if (!Result.empty()) CharUpperBuffA(&Result[0], static_cast<DWORD>(Result.size()));
    return Result;
}

std::string AnsiLowerCase(const std::string& S) {
    std::string Result = S;
    if (!Result.empty()) CharLowerBuffA(&Result[0], static_cast<DWORD>(Result.size()));
    return Result;
}

bool SameText(const std::string& A, const std::string& B) { return AnsiUpperCase(A) == AnsiUpperCase(B); }

std::string IntToStr(long long Value) { return std::to_string(Value); }

int StrToInt(const std::string& S) {
    const std::string T = Trim(S);
    auto Fail = [&S]() { return EConvertError("'" + S + "' is not a valid integer value"); };
    size_t I = 0;
    bool Negative = false;
    if (I < T.size() && (T[I] == '+' || T[I] == '-')) Negative = T[I++] == '-';
    int Base = 10;
    if (I < T.size() && T[I] == '$') {
        Base = 16;
        ++I;
    }
    if (I >= T.size()) throw Fail();
    long long Value = 0;
    for (; I < T.size(); ++I) {
        const char C = T[I];
        int Digit;
        if (C >= '0' && C <= '9') Digit = C - '0';
        else if (Base == 16 && C >= 'a' && C <= 'f') Digit = C - 'a' + 10;
        else if (Base == 16 && C >= 'A' && C <= 'F') Digit = C - 'A' + 10;
        else throw Fail();
        Value = Value * Base + Digit;
        if (Value > static_cast<long long>(INT_MAX) + 1) throw Fail();
    }
    if (Negative) Value = -Value;
    if (Value > INT_MAX || Value < INT_MIN) throw Fail();
    return static_cast<int>(Value);
}

std::string ExtractFilePath(const std::string& FileName) {
    const size_t Pos = FileName.find_last_of("\\:/");
    return Pos == std::string::npos ? std::string() : FileName.substr(0, Pos + 1);
}

std::string ExtractFileName(const std::string& FileName) {
    const size_t Pos = FileName.find_last_of("\\:/");
    return Pos == std::string::npos ? FileName : FileName.substr(Pos + 1);
}

int ParamCount() { return __argc - 1; }

std::string ParamStr(int Index) {
    if (Index == 0) {
        // The program's full path, however it was started.
        std::string Path(MAX_PATH, '\0');
        Path.resize(GetModuleFileNameA(nullptr, &Path[0], MAX_PATH));
        return Path;
    }
    return Index > 0 && Index < __argc ? __argv[Index] : "";
}

std::string IncludeTrailingPathDelimiter(const std::string& Path) {
    return !Path.empty() && Path.back() == '\\' ? Path : Path + '\\';
}

std::string ExtractFileExt(const std::string& FileName) {
    const size_t Pos = FileName.find_last_of(".\\:/");
    if (Pos == std::string::npos || FileName[Pos] != '.') return std::string();
    return FileName.substr(Pos);
}
