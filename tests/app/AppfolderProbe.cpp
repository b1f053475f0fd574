// Run by tests/app/cdrom_appfolder.sh from the drive under test: writes to the file named by its
// argument the type of the drive it was started from, GetAppFolder(), and whether that folder exists.
#include <windows.h>

#include <fstream>

#include "Forms.h"
#include "Globalfunctions.h"

int main(int argc, char** argv) {
    if (argc < 2) return 1;
    const std::string Drive = Application->ExeName().substr(0, 3);
    const std::string Folder = GetAppFolder();
    const DWORD Attributes = GetFileAttributesA(Folder.c_str());
    const bool Exists = Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & FILE_ATTRIBUTE_DIRECTORY);
    std::ofstream Out(argv[1], std::ios::binary);
    Out << "drive type " << GetDriveTypeA(Drive.c_str()) << "\n"
        << Folder << "\n"
        << (Exists ? "exists" : "missing") << "\n";
    return Out.good() ? 0 : 2;
}
