// The per-window skinning object: one for each window the skin manager skins. It knows its window,
// the framework form behind it (when there is one) and the skin data component that skins it.
//
// This is the part the manager relies on. Taking over the window procedure, the frame, the title
// bar and the caption buttons, and attaching adaptors to the controls, grow on it.
#pragma once

#include "framework/core/Component.h"

#include <windows.h>

class TCustomForm;
class TSkinData;

// SkinState: what the object is doing with its window.
enum TSkinFormState { ssNone = 0, ssSkinned = 1, ssDetaching = 2 };

class TWinSkinForm : public TComponent {
    DECLARE_CLASS(TWinSkinForm, TComponent)
public:
    explicit TWinSkinForm(TComponent* AOwner = nullptr);
    ~TWinSkinForm() override;

    HWND Handle() const { return FHandle; }
    void SetHandle(HWND Value) { FHandle = Value; }
    TCustomForm* Form() const { return FForm; }
    TSkinData* SkinData() const { return FSkinData; }
    int SkinState() const { return FSkinState; }
    void SetSkinState(int Value) { FSkinState = Value; }

    // Attaches to a framework form / a bare window with a skin data component.
    void AttachForm(TCustomForm* AForm, TSkinData* Data);
    void AttachWindow(HWND Window, TSkinData* Data);
    // Gives the window back everything it had.
    void Detach();
    // Attaches adaptors to the controls owned by Owner.
    void AttachControls(TComponent* Owner);
    // Drops the caption buttons (the next re-apply makes them again).
    void ResetCaptionButtons() {}

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    HWND FHandle = nullptr;
    TCustomForm* FForm = nullptr;
    TSkinData* FSkinData = nullptr;
    int FSkinState = ssNone;
};
