// Helpers for tests with real windows: bounded message pumps and a form
// that cleans up after itself.
#pragma once

#include <windows.h>

#include <functional>

#include "Forms.h"

namespace wtest {

// Handles messages until pred() holds or timeoutMs passed; true when it holds.
// Waits only for new input between checks, never sleeps blindly.
inline bool PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs = 5000) {
    DWORD start = GetTickCount();
    while (!pred()) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) return false;
        Application->ProcessMessages();
        if (pred()) return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(20, timeoutMs - elapsed), QS_ALLINPUT);
    }
    return true;
}

// Handles messages for a while (for checks that something does NOT happen).
inline void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

// Moves the real cursor and lets the windows see the move.
inline void MoveCursorTo(int x, int y) {
    SetCursorPos(x, y);
    Application->ProcessMessages();
}

// Routes the standard error display into a counter for the test's duration.
class CaptureErrors {
public:
    CaptureErrors() {
        Application->OnException = [this](TObject*, const Exception& e) {
            ++count;
            last = e.Message;
        };
    }
    ~CaptureErrors() { Application->OnException = nullptr; }
    int count = 0;
    AnsiString last;
};

}  // namespace wtest
