// The framework's own control messages (CM_*) and the reflected notifications (CN_*).
//
// CM_ messages tell a control about a change (its Enabled, its parent's colour, the mouse coming
// in or going out); they reach the control's WindowProc like window messages. CN_ messages are
// child notifications sent back to the child they come from: a parent that gets WM_COMMAND,
// WM_NOTIFY, WM_HSCROLL/WM_VSCROLL, WM_CTLCOLOR*, WM_DRAWITEM or WM_MEASUREITEM from a child
// control's window hands it to that control as CN_BASE + the message number, with the same
// WParam and LParam, and answers the platform with the child's Result.
//
// 0x3401 to 0x3504 are left free for messages of code built on the framework.
#pragma once

#include <windows.h>

// The platform's message for a window whose DPI changed (Windows 8.1 on; the headers give it only
// for newer targets than ours). WParam: the new DPI in both words; LParam: the suggested RECT.
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;        // WParam the character, LParam the key data; Result != 0 consumes it
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
constexpr UINT CM_MENUCHANGED = CM_BASE + 21;      // a real window message to the form's window
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 28;
constexpr UINT CM_RELEASE = CM_BASE + 64;         // posted by TCustomForm::Release: the form frees itself

constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;    // 0xBC4E
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;  // 0xBD11
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;  // 0xBD14
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;  // 0xBD15
constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
