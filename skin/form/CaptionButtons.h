// The clickable objects of a skinned frame: caption buttons here, the menu-bar items elsewhere.
// Each has a rectangle in window coordinates and a state (1 normal, 2 pressed, 3 hot); its form
// object keeps the one that shows the hot or pressed look (HotObject).
#pragma once

#include "framework/core/Object.h"

#include <windows.h>

class TWinSkinForm;
class TDataSkinSysButton;

class TNCObject : public TObject {
public:
    explicit TNCObject(TWinSkinForm* AForm) : Form(AForm) {}

    // The mouse state machine.
    virtual void MouseDown();
    virtual void MouseUp();
    virtual void MouseMove();
    virtual void MouseLeave();
    virtual void Paint() {}

    TWinSkinForm* Form;
    RECT BoundsRect{0, 0, 0, 0};
    bool Visible = false;
    int State = 0; // 0 never drawn by state; 1 normal, 2 pressed, 3 hot
};

class TWinSysButton : public TNCObject {
public:
    TWinSysButton(TWinSkinForm* AForm, TDataSkinSysButton* AElement) : TNCObject(AForm), Element(AElement) {}
    void Paint() override;

    TDataSkinSysButton* Element; // the skin's, not owned
};
