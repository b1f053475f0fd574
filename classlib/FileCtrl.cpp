#include "FileCtrl.h"

#include <algorithm>
#include <cctype>

#include "Handles.h"
#include "Sysutils.h"

namespace {
// The sub-folders of Folder, sorted without regard to letter case.
std::vector<std::string> SubFolders(const std::string& Folder) {
    std::vector<std::string> Names;
    WIN32_FIND_DATAA Found;
    {
        THeldSearch Search(FindFirstFileA((IncludeTrailingPathDelimiter(Folder) + "*").c_str(), &Found));
        if (!Search) return Names;
        do {
            const std::string Name = Found.cFileName;
            if ((Found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && Name != "." && Name != "..") Names.push_back(Name);
        } while (FindNextFileA(Search.Get(), &Found));
    }
    std::sort(Names.begin(), Names.end(),
              [](const std::string& A, const std::string& B) { return AnsiUpperCase(A) < AnsiUpperCase(B); });
    return Names;
}
}  // namespace

// ---- TDirectoryListBox ----

TDirectoryListBox::TDirectoryListBox(TComponent* AOwner) : TWinControl(AOwner) {
    Color = clWindow;
    char Current[MAX_PATH] = "C:\\";
    const DWORD Length = GetCurrentDirectoryA(MAX_PATH, Current);
    SetDirectory(Length > 0 && Length < MAX_PATH ? Current : "C:\\");
}

TDirectoryListBox::~TDirectoryListBox() { DestroyHandle(); }

void TDirectoryListBox::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.ClassName = "LISTBOX";
    Params.Style = (Params.Style & ~WS_CLIPCHILDREN) | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    Params.ExStyle = WS_EX_CLIENTEDGE;
}

void TDirectoryListBox::CreateHandle() {
    TWinControl::CreateHandle();
    Fill();
}

void TDirectoryListBox::SetDirectory(const std::string& Value) {
    std::string Folder = Value;
    if (Folder.size() > 3 && Folder.back() == '\\') Folder.pop_back();
    if (Folder.size() == 2 && Folder[1] == ':') Folder += '\\';
    if (!Folder.empty()) Folder[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(Folder[0])));
    const bool Changed = Folder != FDirectory;
    FDirectory = Folder;
    // The path from the root down, then what lies below it.
    FRows.clear();
    FRows.push_back(FDirectory.substr(0, 3));
    for (size_t Start = 3; Start < FDirectory.size();) {
        const size_t End = std::min(FDirectory.find('\\', Start), FDirectory.size());
        FRows.push_back(FDirectory.substr(Start, End - Start));
        Start = End + 1;
    }
    FOpened = static_cast<int>(FRows.size());
    for (const std::string& Name : SubFolders(FDirectory)) FRows.push_back(Name);
    Fill();
    if (Changed && OnChange) OnChange(this);
}

std::string TDirectoryListBox::FolderOfRow(int Index) const {
    if (Index >= FOpened) return IncludeTrailingPathDelimiter(FDirectory) + FRows[Index];
    std::string Folder = FRows[0];
    for (int Row = 1; Row <= Index; ++Row) Folder = IncludeTrailingPathDelimiter(Folder) + FRows[Row];
    return Folder;
}

void TDirectoryListBox::Fill() {
    if (!FHandle) return;
    SendMessageA(FHandle, LB_RESETCONTENT, 0, 0);
    for (int Row = 0; Row < static_cast<int>(FRows.size()); ++Row) {
        // Opened folders step in a level each; the sub-folders stand one level below the last.
        const std::string Shown = std::string(2 * static_cast<size_t>(std::min(Row, FOpened)), ' ') + FRows[Row];
        SendMessageA(FHandle, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Shown.c_str()));
    }
    SendMessageA(FHandle, LB_SETCURSEL, FOpened - 1, 0);
}

void TDirectoryListBox::CommandNotify(WORD Code) {
    if (Code == LBN_DBLCLK) OpenSelectedRow();
}

void TDirectoryListBox::OpenSelectedRow() {
    const int Row = static_cast<int>(SendMessageA(FHandle, LB_GETCURSEL, 0, 0));
    if (Row >= 0 && Row < static_cast<int>(FRows.size())) SetDirectory(FolderOfRow(Row));
}

// Enter opens the selected row, as a double click does, instead of pressing a button of the form.
LRESULT TDirectoryListBox::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_GETDLGCODE && AsksAboutEnter(LParam))
        return TWinControl::WndProc(Msg, WParam, LParam) | DLGC_WANTMESSAGE;
    if (Msg == WM_KEYDOWN && WParam == VK_RETURN) {
        OpenSelectedRow();
        return 0;
    }
    return TWinControl::WndProc(Msg, WParam, LParam);
}

HBRUSH TDirectoryListBox::ControlColor(HDC DC) { return FBrush.Paint(DC, ColorToRGB(Font.Color), ColorToRGB(Color)); }

// ---- TDriveComboBox ----

TDriveComboBox::TDriveComboBox(TComponent* AOwner) : TWinControl(AOwner) {
    const DWORD Drives = GetLogicalDrives();
    for (int Letter = 0; Letter < 26; ++Letter)
        if (Drives & (1u << Letter)) FItems.push_back(std::string(1, static_cast<char>('A' + Letter)) + ":");
}

TDriveComboBox::~TDriveComboBox() { DestroyHandle(); }

void TDriveComboBox::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.ClassName = "COMBOBOX";
    Params.Style = (Params.Style & ~WS_CLIPCHILDREN) | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
    Params.Height = 200;  // with the list dropped down
}

void TDriveComboBox::CreateHandle() {
    TWinControl::CreateHandle();
    for (const std::string& Item : FItems) SendMessageA(FHandle, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Item.c_str()));
    ShowSelection();
}

void TDriveComboBox::DeleteItem(int Index) {
    FItems.erase(FItems.begin() + Index);
    if (FHandle) SendMessageA(FHandle, CB_DELETESTRING, Index, 0);
    ShowSelection();
}

void TDriveComboBox::SetDrive(char Value) {
    FDrive = static_cast<char>(std::toupper(static_cast<unsigned char>(Value)));
    ShowSelection();
}

void TDriveComboBox::ShowSelection() {
    if (!FHandle) return;
    int Row = -1;
    for (int I = 0; I < Count(); ++I)
        if (FItems[I][0] == FDrive) Row = I;
    SendMessageA(FHandle, CB_SETCURSEL, Row, 0);
}

void TDriveComboBox::CommandNotify(WORD Code) {
    if (Code != CBN_SELCHANGE) return;
    const int Row = static_cast<int>(SendMessageA(FHandle, CB_GETCURSEL, 0, 0));
    if (Row < 0 || Row >= Count()) return;
    FDrive = FItems[Row][0];
    if (DirList) DirList->SetDirectory(std::string(1, FDrive) + ":\\");
    if (OnChange) OnChange(this);
}
