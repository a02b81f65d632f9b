// Window messages as the controls see them: the record passed through
// WndProc and Dispatch, and the platform's own notification numbers.
#pragma once

#include <windows.h>

// One message on its way through a control: WndProc, then Dispatch by number,
// then DefaultHandler. Result is what the window procedure returns.
struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;

    WORD WParamLo() const { return LOWORD(WParam); }
    WORD WParamHi() const { return HIWORD(WParam); }
    WORD LParamLo() const { return LOWORD(LParam); }
    WORD LParamHi() const { return HIWORD(LParam); }
    // Mouse messages: the signed client coordinates of the position word.
    int XPos() const { return static_cast<short>(LOWORD(LParam)); }
    int YPos() const { return static_cast<short>(HIWORD(LParam)); }
};

// Notifications between controls (never sent by the system).
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_DIALOGKEY = CM_BASE + 5;           // WParam: virtual key; Result 1 when used
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;        // LParam: the newly focused TWinControl*
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_HITTEST = CM_BASE + 10;            // LParam: point; Result 0 = not on the control
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr UINT CM_ENTER = CM_BASE + 26;
constexpr UINT CM_EXIT = CM_BASE + 27;
constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 40;
constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 60;
constexpr UINT CM_PARENTBIDIMODECHANGED = CM_BASE + 61;

// Notifications a parent window receives about a child (WM_COMMAND,
// WM_DRAWITEM, ...) are passed back to the child's object as CN_BASE + the
// message number, before the parent does anything else with them.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;        // 0xBD11
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;      // 0xBC2B
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;  // 0xBC2C
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;

static_assert(CN_DRAWITEM == 0xBC2B && CN_MEASUREITEM == 0xBC2C && CN_COMMAND == 0xBD11, "reflected numbers");
static_assert(CM_ENABLEDCHANGED == 0xB00C && CM_FONTCHANGED == 0xB00E, "notification numbers");
static_assert(CM_MOUSEENTER == 0xB013 && CM_MOUSELEAVE == 0xB014, "notification numbers");
