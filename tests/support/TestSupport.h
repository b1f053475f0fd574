// Helpers for tests that run real windows under Wine.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "Forms.h"

// Turns the message loop until Condition holds or Milliseconds have passed; returns Condition().
bool PumpUntil(const std::function<bool()>& Condition, int Milliseconds = 5000);
// Turns the message loop for a while.
void PumpFor(int Milliseconds);

// Runs Action once from the message loop (whichever loop turns) after Milliseconds.
void RunLater(int Milliseconds, std::function<void()> Action);

// Runs Action once from the message loop (whichever loop turns) as soon as Condition holds, which is
// checked from that loop every 100 ms; after Milliseconds without it, Action never runs. A step that
// needs a dialog's own loop (Enter, for instance, goes to a dialog's default button only there)
// returns to it this way instead of turning PumpUntil.
void RunWhen(std::function<bool()> Condition, std::function<void()> Action, int Milliseconds = 30000);
// Runs Steps from the message loop once Form is active (a test failure, and Steps all the same, if it
// is not within 10 s): for a dialog that a button of the form under test opens.
void WhenActive(TForm* Form, std::function<void()> Steps);

// Shows Form modally and runs Steps from its message loop once it is active. A form that Steps
// left open (a failure) is closed with mrAbort after Milliseconds, so that it cannot hang the run.
TModalResult RunModal(TForm* Form, const std::function<void()>& Steps, int Milliseconds = 5000);

// Answers every message box of the program through the class library's responder and keeps a
// record of what was asked. Answers are taken in order; when they run out, Default is given.
class TBoxAnswerer {
public:
    explicit TBoxAnswerer(std::vector<int> Answers = {}, int Default = IDOK);
    ~TBoxAnswerer();  // the responder before it answers again
    std::vector<TMessageBoxRequest> Asked;
    std::function<void(const TMessageBoxRequest&)> OnAsk;  // runs before the box is answered

private:
    std::vector<int> FAnswers;
    int FDefault;
    std::function<int(const TMessageBoxRequest&)> FPrevious;
};

// The responder for a box that no TBoxAnswerer expects: it fails the running test with the box's
// text and closes the box at once, as Escape would (Cancel, else No, else OK), so that the test goes
// on instead of waiting for a person.
int FailOnUnexpectedBox(const TMessageBoxRequest& Request);

// A folder of its own under the temporary folder, removed with its files afterwards.
class TScratchFolder {
public:
    TScratchFolder();
    ~TScratchFolder();
    const std::string& Path() const { return FPath; }  // ends with a backslash

private:
    std::string FPath;
};

// Memory running out, for real: while it lives, every free stretch of the process's address space of
// MinBytes or more is reserved, so that a larger allocation fails (operator new throws std::bad_alloc,
// CreateDIBSection returns null) while smaller ones still succeed.
class TAddressSpaceFilled {
public:
    explicit TAddressSpaceFilled(size_t MinBytes);
    ~TAddressSpaceFilled();
    TAddressSpaceFilled(const TAddressSpaceFilled&) = delete;
    TAddressSpaceFilled& operator=(const TAddressSpaceFilled&) = delete;

private:
    std::vector<void*> FReserved;
};

// A file of the sample site that CTest runs for the tests ("http-port", "ftp-port"), read from the
// folder that VELMORA_SITE_INFO names; empty without it.
std::string SiteFile(const std::string& Name);
// Every request the sample site has logged so far, a "--- request n" record each.
std::string SiteLog();

// The Windows path of a file that the build names by its Unix path (Wine's drive Z: is the root).
std::string WindowsPath(const std::string& Path);
bool FileExists(const std::string& Path);
// The names of the files (not folders) in Folder, a path ending with a backslash, that match Pattern.
std::vector<std::string> FilesIn(const std::string& Folder, const char* Pattern = "*");
// Deletes every file in Folder.
void EmptyFolder(const std::string& Folder);
// The whole content of a file, byte for byte (empty when it cannot be read).
std::string WholeFile(const std::string& Path);
// The lines of a text file (none when it cannot be opened, for instance while another process is
// still renaming it into place).
std::vector<std::string> ReadLines(const std::string& Path);

// The recording stand-in (support/Recorder.cpp) registered as Internet Explorer's App Paths entry,
// writing its record to Log whenever the program starts it; the entry and the environment are put
// back afterwards.
class TStandInBrowser {
public:
    TStandInBrowser(const std::string& Recorder, const std::string& Log);
    ~TStandInBrowser();
    // The record's lines (the stand-in's path, its show command, then each argument) once it holds
    // at least Count of them, or what it holds after Milliseconds.
    std::vector<std::string> Record(size_t Count = 3, int Milliseconds = 15000) const;

private:
    std::string FLog;
};

// Real input, as a person gives it (SendInput): the keys reach the window with the focus, the click
// the window under the pointer. Call PumpFor or PumpUntil afterwards to let it arrive. A move first
// waits until Window is the one at the point (a test failure if it never is); from the first move on, no
// input but the test's own moves the pointer.
void TypeKeys(const std::string& Text);
void PressKey(WORD VirtualKey, bool Shift = false, bool Control = false, bool Alt = false);
void MoveMouseTo(HWND Window, int X, int Y);  // client coordinates of Window
void ClickAt(HWND Window, int X, int Y);
void ClickCenter(HWND Window);
void TurnWheel(int Notches);  // positive away from the user
// Whether a key or a mouse button (not a mere move) waits in this thread's queue, to be delivered
// when the loop turns.
bool InputPending();
// A top-level window of class ClassName, made by the test, that runs Action whenever it is sent Message:
// the test's way into a step that sends it (a broadcast, a close request) and then goes on blocking.
HWND MakeStepWindow(const char* ClassName, UINT Message, std::function<void()> Action);

// Runs Action with the next open-file dialog titled Title once it shows (from the dialog's message loop).
void WhenOpenDialogShows(const std::string& Title, std::function<void(HWND Dialog)> Action);
// A dialog box of this thread that Owner owns (a message box about it), or null.
HWND BoxOwnedBy(HWND Owner);
// Answers the next open-file dialog titled Title once it shows: types Path into its file name box
// and presses Open. If the dialog is still open a few seconds later (a wrong path), it is cancelled,
// so that the test fails instead of hanging.
void AnswerOpenDialog(const std::string& Title, const std::string& Path);
// Presses Cancel in the next open-file dialog titled Title.
void CancelOpenDialog(const std::string& Title);
// Answers the next colour dialog: notes the colour it opened on ("r g b") in Shown, when given, then
// types Color into it and presses OK, or Cancel.
constexpr const char* kColorDialogTitle = "Color";
void AnswerColorDialog(COLORREF Color, std::string* Shown = nullptr, bool Cancel = false);
