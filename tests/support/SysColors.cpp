// Writes the colours of button text, button face, menu text and menu, as a new process sees them,
// to the file its argument names: another process's own view of them may be older (Wine keeps
// each process's copy until it asks again).
#include <windows.h>

#include <cstdio>
#include <initializer_list>

int main(int argc, char** argv) {
    if (argc < 2) return 1;
    FILE* Out = std::fopen(argv[1], "w");
    if (!Out) return 2;
    for (int Element : {COLOR_BTNTEXT, COLOR_BTNFACE, COLOR_MENUTEXT, COLOR_MENU})
        std::fprintf(Out, "%06lx\n", static_cast<unsigned long>(GetSysColor(Element)));
    return std::fclose(Out) == 0 ? 0 : 2;
}
