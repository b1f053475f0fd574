#include "Keyvaluetext.h"

#include "Text1252.h"

namespace {
// Lower case of every character, made once: the scan below folds a character with one look-up.
struct TFolding {
    unsigned char Lower[256];
    TFolding() {
        for (int C = 0; C < 256; ++C) Lower[C] = static_cast<unsigned char>(LowerCase1252(static_cast<char>(C)));
    }
};

bool EndsLine(unsigned char C) { return C == '\r' || C == '\n'; }

// Calls Visit(After, End) for each occurrence of Key, in text order, until it returns false: After
// is the character right after the key. The text is read in place, neither copied nor folded; each
// character is looked at once to find the line ends, and at most once more where a line starts.
template <class TVisit>
void VisitOccurrences(const std::string& Text, const std::string& Key, TVisit Visit) {
    static const TFolding Folding;
    const unsigned char* const Lower = Folding.Lower;
    const std::string LowerKey = LowerCase1252(Key);
    const auto* const KeyBytes = reinterpret_cast<const unsigned char*>(LowerKey.data());
    const size_t KeySize = LowerKey.size();
    const auto* P = reinterpret_cast<const unsigned char*>(Text.data());
    const unsigned char* const End = P + Text.size();
    // P starts a line: the text's beginning, or the character after a CR or an LF (so the LF of a
    // CR LF starts an empty line). The key and one character after it must fit.
    while (static_cast<size_t>(End - P) > KeySize) {
        size_t Matched = 0;
        while (Matched < KeySize && Lower[P[Matched]] == KeyBytes[Matched]) ++Matched;
        const unsigned char After = P[KeySize];
        if (Matched == KeySize && (After == ' ' || After == '=') &&
            !Visit(reinterpret_cast<const char*>(P + KeySize), reinterpret_cast<const char*>(End)))
            return;
        while (P < End && !EndsLine(*P)) ++P;
        if (P == End) return;
        ++P;
    }
}

// The value of an occurrence: after the '=' that comes before any CR, LF or ';' of its line, up to
// the next of those, trimmed; empty without such a '='.
std::string ValueAfter(const char* After, const char* End) {
    for (const char* P = After; P < End; ++P) {
        const unsigned char C = static_cast<unsigned char>(*P);
        if (EndsLine(C) || C == ';') break;
        if (C != '=') continue;
        const char* ValueEnd = P + 1;
        while (ValueEnd < End && !EndsLine(static_cast<unsigned char>(*ValueEnd)) && *ValueEnd != ';') ++ValueEnd;
        return Trim(std::string(P + 1, ValueEnd));
    }
    return std::string();
}
}  // namespace

std::string GetKeyValue(const std::string& Text, const std::string& Key, int Index) {
    std::string Value;
    int Occurrence = -1;
    VisitOccurrences(Text, Key, [&](const char* After, const char* End) {
        if (++Occurrence != Index) return true;
        Value = ValueAfter(After, End);
        return false;
    });
    return Value;
}

std::vector<std::string> GetKeyValues(const std::string& Text, const std::string& Key, int Count) {
    std::vector<std::string> Values;
    if (Count <= 0) return Values;
    Values.reserve(static_cast<size_t>(Count));
    VisitOccurrences(Text, Key, [&](const char* After, const char* End) {
        Values.push_back(ValueAfter(After, End));
        return Values.size() < static_cast<size_t>(Count);
    });
    Values.resize(static_cast<size_t>(Count));
    return Values;
}
