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
    std::string Text, Code;
    size_t Start = 0;
    while (true) {
        const size_t End = FPending.find('\n', Start);
        if (End == std::string::npos) return false;  // the reply goes on in bytes not yet received
        std::string Line = FPending.substr(Start, End - Start);
        if (!Line.empty() && Line.back() == '\r') Line.pop_back();
        Start = End + 1;
        if (Code.empty()) {
            if (!HasCode(Line)) {  // noise before a reply
                FPending.erase(0, Start);
                Start = 0;
                continue;
            }
            Code = Line.substr(0, 3);
            Text = Line;
            if (Line.size() > 3 && Line[3] == '-') continue;
        } else {
            Text += "\r\n" + Line;
            if (!EndsReply(Line, Code)) continue;
        }
        FPending.erase(0, Start);
        Reply.Code = std::stoi(Code);
        Reply.Text = Text;
        return true;
    }
}

std::string FormatPortArgument(unsigned long Address, unsigned short Port) {
    std::string Result;
    for (int Shift = 24; Shift >= 0; Shift -= 8) Result += std::to_string((Address >> Shift) & 0xFF) + ",";
    return Result + std::to_string(Port >> 8) + "," + std::to_string(Port & 0xFF);
}
