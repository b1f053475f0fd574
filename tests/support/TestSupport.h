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

// Answers every message box of the program through the class library's responder and keeps a
// record of what was asked. Answers are taken in order; when they run out, Default is given.
class TBoxAnswerer {
public:
    explicit TBoxAnswerer(std::vector<int> Answers = {}, int Default = IDOK);
    ~TBoxAnswerer();
    std::vector<TMessageBoxRequest> Asked;
    std::function<void(const TMessageBoxRequest&)> OnAsk;  // runs before the box is answered

private:
    std::vector<int> FAnswers;
    int FDefault;
};

// A folder of its own under the temporary folder, removed with its files afterwards.
class TScratchFolder {
public:
    TScratchFolder();
    ~TScratchFolder();
    const std::string& Path() const { return FPath; }  // ends with a backslash

private:
    std::string FPath;
};

// The Windows path of a file that the build names by its Unix path (Wine's drive Z: is the root).
std::string WindowsPath(const std::string& Path);
bool FileExists(const std::string& Path);
