// What a form object asks of whoever made it and keeps it (the skin manager): the state its
// windows share (whether the MDI children are shown maximised, the MDI client window, the icon a
// main form's skin captured), skinning the MDI children it sees created, and being forgotten when
// it goes.
#pragma once

#include <windows.h>

class TBitmap;
class TWinSkinForm;

class TFormSite {
public:
    // A form object freed by someone else leaves the site's list.
    virtual void ForgetForm(TWinSkinForm* Form) noexcept = 0;
    // Whether the skinned MDI children are shown maximised.
    virtual bool MdiMaximized() const = 0;
    virtual void SetMdiMax(bool Max) = 0;
    virtual HWND MdiClientWindow() const = 0;
    virtual void SetMdiClientWindow(HWND Window) = 0;
    // The icon a main form's skin captured, for windows without one; nullptr when none has.
    virtual TBitmap* SharedMainIcon() const = 0;
    // A window (an MDI child just made, or one going) gets or loses its form object.
    virtual bool SkinWindow(HWND Window) = 0;
    virtual bool ReleaseWindow(HWND Window) = 0;
    // The program changed the window's frame styles: the window is given back and taken over
    // anew, with the frame that goes with its new styles.
    virtual void RetakeWindow(TWinSkinForm* Form) = 0;
    // The form object of a skinned window of the thread, or nullptr.
    virtual TWinSkinForm* FormOf(HWND Window) const = 0;
    // The window's skin failed to paint it: it gets its own look back and is not taken over again.
    virtual void GiveWindowBack(TWinSkinForm* Form) = 0;

protected:
    ~TFormSite() = default;
};
