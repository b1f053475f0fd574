// Times a 100 MiB download from the sample site with TNMHTTP in file mode against a minimal blocking
// Winsock receive loop, in the same Wine. Not a test: it prints both rates and their ratio.
// Run it: cmake --build BUILD --target bench-http
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "Forms.h"
#include "NMHTTP.h"

namespace {
constexpr int kMegabytes = 100;
constexpr int kRuns = 7;

double Seconds(LARGE_INTEGER From, LARGE_INTEGER To) {
    LARGE_INTEGER Frequency;
    QueryPerformanceFrequency(&Frequency);
    return double(To.QuadPart - From.QuadPart) / double(Frequency.QuadPart);
}

// The plain way: blocking socket, 64 KiB recv, each piece written to the file. Returns bytes.
long long PlainDownload(int Port, const std::string& Path, const std::string& File) {
    const SOCKET S = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in Address{};
    Address.sin_family = AF_INET;
    Address.sin_port = htons(static_cast<u_short>(Port));
    Address.sin_addr.s_addr = inet_addr("127.0.0.1");
    if (connect(S, reinterpret_cast<sockaddr*>(&Address), sizeof Address) != 0) return -1;
    const std::string Request = "GET " + Path + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
    send(S, Request.data(), static_cast<int>(Request.size()), 0);
    HANDLE Out = CreateFileA(File.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    static char Buffer[65536];
    long long Total = 0;
    int Count;
    while ((Count = recv(S, Buffer, sizeof Buffer, 0)) > 0) {
        DWORD Written;
        WriteFile(Out, Buffer, Count, &Written, nullptr);
        Total += Count;
    }
    CloseHandle(Out);
    closesocket(S);
    return Total;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: http_bench HTTP_PORT\n");
        return 2;
    }
    const int Port = std::atoi(argv[1]);
    WSADATA Data;
    WSAStartup(MAKEWORD(2, 2), &Data);
    const std::string Path = "/_test/big/" + std::to_string(kMegabytes);
    char Temp[MAX_PATH];
    GetTempPathA(MAX_PATH, Temp);
    const std::string File = std::string(Temp) + "http_bench.bin";
    const double Bytes = double(kMegabytes) * 1024 * 1024;

    // A timer keeps messages coming, as a window would: the client's loop has to turn.
    const UINT_PTR Timer = SetTimer(nullptr, 0, 10, nullptr);
    std::vector<double> Plains, Clients;  // seconds, the two alternating run by run
    for (int Run = 0; Run < kRuns; ++Run) {
        LARGE_INTEGER A, B, C, D;
        QueryPerformanceCounter(&A);
        const long long Got = PlainDownload(Port, Path, File);
        QueryPerformanceCounter(&B);
        if (Got < Bytes) {
            std::fprintf(stderr, "plain download got %lld bytes\n", Got);
            return 1;
        }
        TNMHTTP Http(nullptr);
        Http.InputFileMode = true;
        Http.MaxBody = static_cast<long long>(Bytes);
        Http.Body = File;
        bool Done = false;
        Http.OnSuccess = [&](CmdType) { Done = true; };
        Http.OnPacketRecvd = [&](TObject*) {};
        MSG Msg;
        while (PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        QueryPerformanceCounter(&C);
        Http.Get("http://127.0.0.1:" + std::to_string(Port) + Path);
        QueryPerformanceCounter(&D);
        if (!Done || Http.BytesRecvd < Bytes) {
            std::fprintf(stderr, "TNMHTTP download failed (%lld bytes)\n", Http.BytesRecvd);
            return 1;
        }
        Plains.push_back(Seconds(A, B));
        Clients.push_back(Seconds(C, D));
    }
    KillTimer(nullptr, Timer);
    DeleteFileA(File.c_str());
    const double PlainRate = Bytes / MedianOf(Plains) / 1e6, ClientRate = Bytes / MedianOf(Clients) / 1e6;
    PrintHowCodeRuns();
    std::printf("median of %d alternating downloads each\n", kRuns);
    std::printf("plain blocking loop: %.1f MB/s\nTNMHTTP (file mode): %.1f MB/s\nratio: %.2f (goal >= 0.9)\n",
                PlainRate, ClientRate, ClientRate / PlainRate);
    return 0;
}
