// A small helper for tools/demo.sh: finds top-level windows by their Win32
// class (X11 only knows the program name) and clicks their buttons.
//
//   DemoDriver.exe wait <Class> [seconds]      waits for a visible window;
//                                              prints "left top width height"
//   DemoDriver.exe click <Class> <ChildClass>  clicks the first such child
//   DemoDriver.exe gone <Class> [seconds]      waits until no such window is visible
//   DemoDriver.exe move <Class> <left> <top>   moves the window
//
// Exit code 0 on success, 1 when the window did not come (or go) in time.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Query {
    const char* Class;
    HWND Found;
};

BOOL CALLBACK FindVisible(HWND hwnd, LPARAM param) {
    auto* q = reinterpret_cast<Query*>(param);
    char name[256] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if (IsWindowVisible(hwnd) && lstrcmpA(name, q->Class) == 0) {
        q->Found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindTop(const char* cls) {
    Query q{cls, nullptr};
    EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&q));
    return q.Found;
}

// Polls the window list until the condition holds or the time is up; the
// driver has nothing else to wait on, the windows belong to other processes.
template <class Condition>
bool Poll(DWORD seconds, Condition condition) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > seconds * 1000) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return true;
}

int Usage() {
    std::fprintf(stderr, "usage: DemoDriver wait|gone <Class> [seconds] | click <Class> <ChildClass> | move <Class> <left> <top>\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    const char* command = argv[1];
    const char* cls = argv[2];
    if (std::strcmp(command, "wait") == 0) {
        DWORD seconds = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 60;
        HWND found = nullptr;
        if (!Poll(seconds, [&] { return (found = FindTop(cls)) != nullptr; })) return 1;
        RECT r;
        GetWindowRect(found, &r);
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        return 0;
    }
    if (std::strcmp(command, "gone") == 0) {
        DWORD seconds = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 60;
        return Poll(seconds, [&] { return FindTop(cls) == nullptr; }) ? 0 : 1;
    }
    if (std::strcmp(command, "click") == 0 && argc > 3) {
        HWND top = FindTop(cls);
        HWND button = top ? FindWindowExA(top, nullptr, argv[3], nullptr) : nullptr;
        if (!button) return 1;
        PostMessageA(button, BM_CLICK, 0, 0);
        return 0;
    }
    if (std::strcmp(command, "move") == 0 && argc > 4) {
        HWND top = FindTop(cls);
        if (!top) return 1;
        return SetWindowPos(top, nullptr, std::atoi(argv[3]), std::atoi(argv[4]), 0, 0,
                            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)
                   ? 0
                   : 1;
    }
    return Usage();
}
