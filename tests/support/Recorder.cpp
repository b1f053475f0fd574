// Stands in for an outside program that Velmora starts (an uninstaller, a browser), then ends.
// When the environment names a log in VELMORA_RECORDER_LOG, writes there, one item a line: its own
// path, the show command it was started with (-1 for none), then each of its arguments.
// Otherwise writes its command line to the file named by its first argument.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {
int WriteLog(const std::string& Log, int argc, char** argv) {
    char Path[MAX_PATH * 2] = "";
    GetModuleFileNameA(nullptr, Path, sizeof Path);
    STARTUPINFOA Startup{};
    Startup.cb = sizeof Startup;
    GetStartupInfoA(&Startup);
    std::string Text = std::string(Path) + "\n" +
                       std::to_string((Startup.dwFlags & STARTF_USESHOWWINDOW) ? Startup.wShowWindow : -1) + "\n";
    for (int I = 1; I < argc; ++I) Text += std::string(argv[I]) + "\n";
    // Written whole under another name first: whoever waits for the log never reads half of it.
    const std::string Unfinished = Log + ".part";
    FILE* Out = std::fopen(Unfinished.c_str(), "wb");
    if (!Out) return 2;
    const bool Written = std::fwrite(Text.data(), 1, Text.size(), Out) == Text.size();
    if (std::fclose(Out) != 0 || !Written) return 2;
    return MoveFileExA(Unfinished.c_str(), Log.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 2;
}
}  // namespace

int main(int argc, char** argv) {
    char Log[MAX_PATH * 2];
    const DWORD Length = GetEnvironmentVariableA("VELMORA_RECORDER_LOG", Log, sizeof Log);
    if (Length > 0 && Length < sizeof Log) return WriteLog(Log, argc, argv);
    if (argc < 2) return 1;
    FILE* Out = std::fopen(argv[1], "wb");
    if (!Out) return 2;
    std::fputs(GetCommandLineA(), Out);
    std::fclose(Out);
    return 0;
}
