// The object the skin manager keeps for each popup-menu window ("#32768") of a program it skins.
// For now it records the window and its skin data; painting the popup from the skin grows on it.
#pragma once

#include "framework/core/Object.h"

#include <windows.h>

class TBitmap;
class TSkinData;

class TWinSkinPopMenu : public TObject {
public:
    void Attach(HWND Window, TSkinData* Data)
    {
        FHandle = Window;
        FSkinData = Data;
    }
    // Gives the window back its own look.
    void Restore() { FSkinData = nullptr; }

    HWND Handle() const { return FHandle; }
    TSkinData* SkinData() const { return FSkinData; }
    // The menu shown in the window, once known; the background composed for it.
    HMENU MenuHandle() const { return FMenu; }
    TBitmap* Background() const { return nullptr; }

private:
    HWND FHandle = nullptr;
    TSkinData* FSkinData = nullptr;
    HMENU FMenu = nullptr;
};
