// Standard controls. TLabel is windowless: its parent paints it; the others wrap the standard Win32
// BUTTON and EDIT windows. Their properties live in the object too, so they can be set before the
// window exists; it gets them when it is made.
#pragma once

#include <string>
#include <vector>

#include "Controls.h"
#include "Forms.h"

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };

class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* AOwner);
    std::string Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    TFont Font;
    bool ParentFont = false;  // paints with the parent's Font instead of its own
    TColor Color = clBtnFace;
    bool ParentColor = true;  // the background is the parent's colour
    bool Transparent = false;
    TAlignment Alignment = taLeftJustify;
    TTextLayout Layout = tlTop;
    bool WordWrap = false;
    bool ShowAccelChar = true;
    // With AutoSize the label takes the size of its text (keeping its width when it wraps).
    bool AutoSize = true;
    void AdjustBounds();
    void Paint(TCanvas& Canvas) override;

private:
    unsigned TextFlags() const;
    TFont& PaintFont();
    std::string FCaption;
};

// A container of our own window class: an etched frame with the caption in Font over Color.
class TGroupBox : public TWinControl {
public:
    explicit TGroupBox(TComponent* AOwner);
    std::string Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);

protected:
    void PaintBackground(TCanvas& Canvas) override;

private:
    std::string FCaption;
};

// The brush a control answers WM_CTLCOLOR... with: made anew only when the colour changes.
class TControlBrush {
public:
    TControlBrush() = default;
    TControlBrush(const TControlBrush&) = delete;
    TControlBrush& operator=(const TControlBrush&) = delete;
    ~TControlBrush();
    // Sets up DC for Text on Back and returns the brush of Back.
    HBRUSH Paint(HDC DC, COLORREF Text, COLORREF Back);

private:
    HBRUSH FBrush = nullptr;
    COLORREF FColor = 0;
};

// What push buttons, check boxes and radio buttons share: a BUTTON window with a caption.
class TButtonControl : public TWinControl {
public:
    std::string Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    bool ParentColor = true;  // the background is the parent's colour, not Color

protected:
    explicit TButtonControl(TComponent* AOwner);
    ~TButtonControl() override;
    void CreateParams(TCreateParams& Params) override;
    // Text in Font.Color on the background colour.
    HBRUSH ControlColor(HDC DC) override;
    // Check boxes and radio buttons: shows the check state in the window, once there is one.
    void ShowCheck(bool Checked);

private:
    std::string FCaption;
    TControlBrush FBrush;
};

class TButton : public TButtonControl {
public:
    explicit TButton(TComponent* AOwner);
    TModalResult ModalResult = mrNone;  // given to the parent form on a click
    // Enter presses it when no other button has the focus, while it is visible and enabled.
    bool Default = false;  // set before the window exists
    void Click() override;
    bool DialogKey(WORD Key, bool Focused) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CommandNotify(WORD Code) override;
    HBRUSH ControlColor(HDC) override { return nullptr; }  // the system's look
};

class TCheckBox : public TButtonControl {
public:
    explicit TCheckBox(TComponent* AOwner);
    bool Checked() const;
    void SetChecked(bool Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandle() override;
    void CommandNotify(WORD Code) override;

private:
    bool FChecked = false;
};

// Checking one radio button unchecks the others of the same parent. As in a dialog box, only the
// checked one of a group is a tab stop; the arrow keys move between them.
class TRadioButton : public TButtonControl {
public:
    explicit TRadioButton(TComponent* AOwner);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandle() override;
    void CommandNotify(WORD Code) override;

private:
    bool FChecked = false;
};

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

// What edit boxes and memos share: a Win32 EDIT window with its text, limit, selection and key
// filter. Color is the background; a read-only box keeps it too.
class TCustomEdit : public TWinControl {
public:
    std::string Text() const;
    void SetText(const std::string& Value);
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);  // 0: no limit
    // The selection: where it starts and how many characters it covers.
    int SelStart() const;
    void SetSelStart(int Value);
    int SelLength() const;
    void SetSelLength(int Value);
    void SelectAll();
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    TEditCharCase CharCase = ecNormal;  // typed letters become this case; set before the window exists
    bool TabStop = true;                // set before the window exists
    // Sees every character typed first, Enter too (the dialog manager leaves it to the edit then);
    // setting Key to 0 drops it.
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnChange;
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

protected:
    explicit TCustomEdit(TComponent* AOwner);
    ~TCustomEdit() override;
    void CreateParams(TCreateParams& Params) override;
    void CreateHandle() override;
    void CommandNotify(WORD Code) override;
    HBRUSH ControlColor(HDC DC) override;

private:
    std::string FText;  // the text while there is no window
    int FMaxLength = 0;
    int FSelStart = 0, FSelLength = 0;  // the selection while there is no window
    bool FReadOnly = false;
    TControlBrush FBrush;
};

// A single-line edit box.
class TEdit : public TCustomEdit {
public:
    explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

protected:
    void CreateParams(TCreateParams& Params) override;
};

enum TScrollStyle { ssNone, ssVertical };

// A multi-line edit box that wraps its text at its width; Enter starts a new line.
class TMemo : public TCustomEdit {
public:
    explicit TMemo(TComponent* AOwner) : TCustomEdit(AOwner) {}
    TScrollStyle ScrollBars = ssNone;  // set before the window exists
    // The lines as they are displayed: a wrapped paragraph gives one line a row.
    std::vector<std::string> Lines() const;
    void Clear() { SetText(""); }

protected:
    void CreateParams(TCreateParams& Params) override;
};

// The system's progress bar, over a 32-bit range.
class TProgressBar : public TWinControl {
public:
    explicit TProgressBar(TComponent* AOwner);
    int Min() const { return FMin; }
    int Max() const { return FMax; }
    int Position() const { return FPosition; }
    void SetMin(int Value);
    void SetMax(int Value);
    void SetPosition(int Value);  // kept within Min and Max

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandle() override;

private:
    void Update();
    int FMin = 0, FMax = 100, FPosition = 0;
};
