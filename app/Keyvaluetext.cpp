#include "Keyvaluetext.h"

#include "Text1252.h"

std::string GetKeyValue(const std::string& Text, const std::string& Key, int Index) {
    // Matching runs on lower-case copies; the value is cut from the text in its own letter case.
    const std::string Lower = LowerCase1252(Text), LowerKey = LowerCase1252(Key);
    int Occurrence = -1;
    for (size_t P = Lower.find(LowerKey); P != std::string::npos; P = Lower.find(LowerKey, P + 1)) {
        if (P > 0 && Lower[P - 1] != '\n' && Lower[P - 1] != '\r') continue;
        const size_t After = P + LowerKey.size();
        if (After >= Lower.size() || (Lower[After] != ' ' && Lower[After] != '=')) continue;
        if (++Occurrence != Index) continue;
        for (size_t Q = After; Q < Text.size(); ++Q) {
            const char C = Text[Q];
            if (C == '=') {
                const size_t End = Text.find_first_of(";\r\n", Q + 1);
                return Trim(Text.substr(Q + 1, End == std::string::npos ? std::string::npos : End - Q - 1));
            }
            if (C == '\r' || C == '\n' || C == ';') break;
        }
        break;
    }
    return std::string();
}
