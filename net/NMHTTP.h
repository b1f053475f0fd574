// The HTTP client component placed on forms.
#pragma once

#include <string>

#include "Classes.h"

class TNMHTTP : public TComponent {
public:
    using TComponent::TComponent;
    bool InputFileMode = false;   // request body read from the named file
    bool OutputFileMode = false;  // reply body written to a file instead of kept in memory
    TNotifyEvent OnSuccess;
    // Ends a transfer in progress; a call with none in progress does nothing.
    void Abort() { FAborted = true; }

private:
    bool FAborted = false;
};
