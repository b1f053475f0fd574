#include "TestSupport.h"

#include <shellapi.h>

#include <map>

bool PumpUntil(const std::function<bool()>& Condition, int Milliseconds) {
    const DWORD Start = GetTickCount();
    while (!Condition()) {
        if (GetTickCount() - Start > static_cast<DWORD>(Milliseconds)) return Condition();
        Application->ProcessMessages();
        Sleep(5);
    }
    return true;
}

void PumpFor(int Milliseconds) {
    PumpUntil([] { return false; }, Milliseconds);
}

namespace {
std::map<UINT_PTR, std::function<void()>>& LaterActions() {
    static std::map<UINT_PTR, std::function<void()>> Actions;
    return Actions;
}

void CALLBACK RunLaterTick(HWND, UINT, UINT_PTR Timer, DWORD) {
    KillTimer(nullptr, Timer);
    auto Found = LaterActions().find(Timer);
    if (Found == LaterActions().end()) return;
    auto Action = std::move(Found->second);
    LaterActions().erase(Found);
    Action();
}
}  // namespace

void RunLater(int Milliseconds, std::function<void()> Action) {
    const UINT_PTR Timer = SetTimer(nullptr, 0, static_cast<UINT>(Milliseconds), RunLaterTick);
    LaterActions()[Timer] = std::move(Action);
}

TBoxAnswerer::TBoxAnswerer(std::vector<int> Answers, int Default) : FAnswers(std::move(Answers)), FDefault(Default) {
    Application->MessageBoxResponder = [this](const TMessageBoxRequest& Request) {
        Asked.push_back(Request);
        if (OnAsk) OnAsk(Request);
        const size_t Index = Asked.size() - 1;
        return Index < FAnswers.size() ? FAnswers[Index] : FDefault;
    };
}

TBoxAnswerer::~TBoxAnswerer() { Application->MessageBoxResponder = nullptr; }

TScratchFolder::TScratchFolder() {
    char Temp[MAX_PATH];
    GetTempPathA(MAX_PATH, Temp);
    static int Counter = 0;
    FPath = std::string(Temp) + "velmora-test-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++Counter) + "\\";
    CreateDirectoryA(FPath.c_str(), nullptr);
}

TScratchFolder::~TScratchFolder() {
    std::string From = FPath.substr(0, FPath.size() - 1);
    From.push_back('\0');  // a double-zero-terminated list
    SHFILEOPSTRUCTA Operation{};
    Operation.wFunc = FO_DELETE;
    Operation.pFrom = From.c_str();
    Operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&Operation);
}

std::string WindowsPath(const std::string& Path) {
    if (Path.empty() || Path[0] != '/') return Path;
    std::string Result = "Z:" + Path;
    for (char& C : Result)
        if (C == '/') C = '\\';
    return Result;
}

bool FileExists(const std::string& Path) {
    const DWORD Attributes = GetFileAttributesA(Path.c_str());
    return Attributes != INVALID_FILE_ATTRIBUTES && !(Attributes & FILE_ATTRIBUTE_DIRECTORY);
}
