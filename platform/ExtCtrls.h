// The timer.
#pragma once

#include "Classes.h"

#include <windows.h>

// Runs every Interval milliseconds on the GUI thread (through a hidden
// window of its own) while Enabled and Interval > 0, calling OnTimer when
// set. Changing Interval of a running timer restarts it.
// An error raised by OnTimer goes to the application's error display.
class TTimer : public TComponent {
    CLASS_NAME(TTimer)
    PUBLISHED(TTimer, TComponent)
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned value);
    // Whether the system timer runs now.
    bool Running() const { return running_; }

    TNotifyEvent OnTimer;

protected:
    virtual void Timer();

private:
    void UpdateTimer();
    static LRESULT CALLBACK TimerWndProc(HWND, UINT, WPARAM, LPARAM);

    bool enabled_ = true;
    unsigned interval_ = 1000;
    HWND window_ = nullptr;
    bool running_ = false;
};
