// A folder list and a drive list, as a folder picker uses them: LISTBOX and COMBOBOX windows.
#pragma once

#include <string>
#include <vector>

#include "Controls.h"
#include "StdCtrls.h"

// The current folder of one drive: its path from the root down (one row a level, opened), then its
// sub-folders. A double click on a row goes there.
class TDirectoryListBox : public TWinControl {
public:
    explicit TDirectoryListBox(TComponent* AOwner);
    ~TDirectoryListBox() override;
    // The current folder: "C:\" for a root, else without a trailing backslash.
    std::string Directory() const { return FDirectory; }
    void SetDirectory(const std::string& Value);  // fires OnChange when it changes
    // The rows as shown, their indentation left out.
    std::vector<std::string> Rows() const { return FRows; }
    TNotifyEvent OnChange;
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandle() override;
    void CommandNotify(WORD Code) override;
    HBRUSH ControlColor(HDC DC) override;

private:
    void Fill();
    // Opens the selected row: a double click, or Enter.
    void OpenSelectedRow();
    // The folder that row Index stands for.
    std::string FolderOfRow(int Index) const;
    std::string FDirectory;
    std::vector<std::string> FRows;
    int FOpened = 0;  // rows of the path itself; the sub-folders follow
    TControlBrush FBrush;
};

// The drives of the machine as "C:" (upper case), in order; choosing one moves DirList to it.
class TDriveComboBox : public TWinControl {
public:
    explicit TDriveComboBox(TComponent* AOwner);
    ~TDriveComboBox() override;
    int Count() const { return static_cast<int>(FItems.size()); }
    const std::string& Item(int Index) const { return FItems.at(Index); }
    void DeleteItem(int Index);
    char Drive() const { return FDrive; }
    void SetDrive(char Value);  // selects the drive's row, when it has one
    TDirectoryListBox* DirList = nullptr;
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandle() override;
    void CommandNotify(WORD Code) override;

private:
    void ShowSelection();
    std::vector<std::string> FItems;
    char FDrive = 'C';
};
