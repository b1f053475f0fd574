// A name server that does not answer, for as long as the test needs: every host name lookup waits
// until the helper goes away, and gives up after TimeoutMs.
#pragma once

#include "NetSocket.h"

class THeldHostLookup {
public:
    explicit THeldHostLookup(DWORD TimeoutMs) : FSaved(HostLookup()) {
        const HANDLE Answer = FAnswer;
        HostLookup().Resolve = [Answer](const std::string&, in_addr&) {
            WaitForSingleObject(Answer, INFINITE);
            return false;
        };
        HostLookup().TimeoutMs = TimeoutMs;
    }
    ~THeldHostLookup() {
        SetEvent(FAnswer);  // the lookup threads left behind end now
        HostLookup() = FSaved;
    }
    THeldHostLookup(const THeldHostLookup&) = delete;
    THeldHostLookup& operator=(const THeldHostLookup&) = delete;

private:
    const HANDLE FAnswer = CreateEventA(nullptr, TRUE, FALSE, nullptr);  // never closed: threads may still wait on it
    const THostLookup FSaved;
};
