#include "FtpReply.h"

namespace {
bool HasCode(const std::string& Line) {
    return Line.size() >= 3 && Line[0] >= '0' && Line[0] <= '9' && Line[1] >= '0' && Line[1] <= '9' &&
           Line[2] >= '0' && Line[2] <= '9';
}

// A line that ends a reply with this code: the code followed by a blank or by nothing.
bool EndsReply(const std::string& Line, const std::string& Code) {
    return Line.compare(0, 3, Code) == 0 && (Line.size() == 3 || Line[3] == ' ');
}
}  // namespace

void TFtpReplyReader::Feed(const char* Data, size_t Size) { FPending.append(Data, Size); }

bool TFtpReplyReader::Next(TFtpReply& Reply) {
    while (true) {
        const size_t End = FPending.find('\n', FSearched);
        FVisited += (End == std::string::npos ? FPending.size() : End + 1) - FSearched;
        if (End == std::string::npos) {  // the reply goes on in bytes not yet received
            FSearched = FPending.size();
            return false;
        }
        std::string Line = FPending.substr(FLine, End - FLine);
        if (!Line.empty() && Line.back() == '\r') Line.pop_back();
        FLine = FSearched = End + 1;
        if (FCode.empty()) {
            if (!HasCode(Line)) {  // noise before a reply
                FStart = FLine;
                Compact();
                continue;
            }
            FCode = Line.substr(0, 3);
            FText = Line;
            if (Line.size() > 3 && Line[3] == '-') continue;
        } else {
            FText += "\r\n";
            FText += Line;
            if (!EndsReply(Line, FCode)) continue;
        }
        Reply.Code = std::stoi(FCode);
        Reply.Text = std::move(FText);
        FCode.clear();
        FText.clear();
        FStart = FLine;
        Compact();
        return true;
    }
}

// Bytes already read go once they are half of what is held: each byte is moved a bounded number
// of times.
void TFtpReplyReader::Compact() {
    if (FStart == 0 || FStart < FPending.size() / 2) return;
    FPending.erase(0, FStart);
    FLine -= FStart;
    FSearched -= FStart;
    FStart = 0;
}

std::string FormatPortArgument(unsigned long Address, unsigned short Port) {
    std::string Result;
    for (int Shift = 24; Shift >= 0; Shift -= 8) Result += std::to_string((Address >> Shift) & 0xFF) + ",";
    return Result + std::to_string(Port >> 8) + "," + std::to_string(Port & 0xFF);
}
