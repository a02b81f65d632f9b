// Stands in for the running product: shows one window of class "TMainform"
// and runs until it is closed or ended.
#include <windows.h>

namespace {

LRESULT CALLBACK MainformProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = MainformProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "TMainform";
    if (!RegisterClassA(&wc)) return 1;
    HWND hwnd = CreateWindowA("TMainform", "Vornix Connection", WS_OVERLAPPEDWINDOW, 100, 100, 320, 200, nullptr,
                              nullptr, instance, nullptr);
    if (!hwnd) return 2;
    ShowWindow(hwnd, SW_SHOWNORMAL);
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return 0;
}
