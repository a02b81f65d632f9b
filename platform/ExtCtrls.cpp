#include "ExtCtrls.h"

#include "Forms.h"

void TTimer::DeclareProperties(TProps<TTimer>& P) {
    P.Boolean("Enabled", &TTimer::Enabled, &TTimer::SetEnabled, true)
        .Integer("Interval", &TTimer::Interval, &TTimer::SetInterval, 1000)
        .Event("OnTimer", &TTimer::OnTimer);
}

namespace {
const char* const kTimerClass = "TTimerWindow";
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof(existing);
    if (!GetClassInfoExA(instance, kTimerClass, &existing)) {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = TimerWndProc;
        wc.hInstance = instance;
        wc.lpszClassName = kTimerClass;
        RegisterClassExA(&wc);
    }
    window_ = CreateWindowExA(0, kTimerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    if (!window_) throw Exception("Error creating window");
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    UpdateTimer();
}

TTimer::~TTimer() {
    if (running_) KillTimer(window_, 1);
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
}

void TTimer::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned value) {
    if (value == interval_) return;
    interval_ = value;
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    if (running_) KillTimer(window_, 1);
    running_ = false;
    if (enabled_ && interval_ > 0) {
        if (!SetTimer(window_, 1, interval_, nullptr)) throw Exception("Not enough timers available");
        running_ = true;
    }
}

void TTimer::Timer() {
    if (OnTimer) OnTimer(this);
}

LRESULT CALLBACK TTimer::TimerWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER) {
        auto* timer = reinterpret_cast<TTimer*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (timer) {
            try {
                timer->Timer();
            } catch (const Exception& e) {
                Application->HandleException(timer, e);
            } catch (const std::exception& e) {
                Application->HandleException(timer, Exception(e.what()));
            }
        }
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
