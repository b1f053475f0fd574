// Stands in for an outside program that Velmora starts: writes its command line to the file
// named by its first argument, then ends.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) return 1;
    FILE* Out = std::fopen(argv[1], "wb");
    if (!Out) return 2;
    std::fputs(GetCommandLineA(), Out);
    std::fclose(Out);
    return 0;
}
