// Tool.exe: the Vornix Connection update tool.
#include <windows.h>

#include <cstdlib>

#include "Forms.h"
#include "MessageBox.h"
#include "UpdateTool.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The marker that tells a second copy that this one runs. It is held for
    // the whole life of the process and goes with it; nothing ever waits on it.
    CreateMutexA(nullptr, FALSE, "This is a Update Tool");
    if (GetLastError() == ERROR_ALREADY_EXISTS) std::exit(0);

    try {
        Application->Initialize();
        Application->CreateForm(ToolForm);
        Application->CreateForm(MessageBoxForm);
        Application->Run();
    } catch (const Exception& E) {
        Application->ShowException(E);
    } catch (...) {
        Application->ShowException(Exception(AnsiString()));
    }
    return 0;
}
