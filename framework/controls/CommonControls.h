// Shared by the controls over the system's common controls.
#pragma once

#include <windows.h>
#include <commctrl.h>

// The common-control classes must be registered with the system before their class information
// can be copied; each family once.
inline void NeedCommonControls(DWORD Classes)
{
    static DWORD done = 0;
    if ((done & Classes) == Classes)
        return;
    INITCOMMONCONTROLSEX init{sizeof init, Classes};
    InitCommonControlsEx(&init);
    done |= Classes;
}

