// The exception of the HTTP and FTP clients, and what a blocked transfer shares with its component.
#pragma once

#include "Sysutils.h"

// A failed or cancelled transfer; Message is the text that the calling dialogs show.
class ESockError : public Exception {
public:
    using Exception::Exception;
};

// What a blocked call shares with the component that runs it. A handler run from the message loop
// may abort the call or even free the component; the call holds this state, not the component, so it
// finds out without touching a freed object.
struct TTransferState {
    bool Busy = false;
    bool Aborted = false;  // set by Abort or by the component's destructor
    bool Freed = false;    // the component is gone
};

// The server refused a command; its reply text is the message. The connection stays usable.
class EFtpReplyError : public ESockError {
public:
    using ESockError::ESockError;
};

// The local file of an upload cannot be read as it was given (missing, or shorter than the size
// to send): a problem of this computer, not of the connection.
class EFtpFileError : public ESockError {
public:
    using ESockError::ESockError;
};
