// Disabled text that stays readable on the skin's face. The platform draws the text of a disabled
// label or edit in its own grey, whatever colour its parent gave it, and on a skin's face that
// grey may all but vanish. While such a control of a dialog or a bare window is disabled, its
// adaptor paints it: the control prints itself off-screen on a ground its parent is told to give
// it (black or white, whichever sets the platform's grey apart most), and each pixel is laid onto
// the skin's face at the same place between ground and text, in the skin's grey for disabled text
// made to stand out from the face. The control's own layout, wrapping, prefixes and smoothing stay.
#pragma once

#include "skin/controls/WinSubClass.h"

#include <windows.h>

// Paints the client area of the disabled control Window on DC as above. False (and nothing
// painted) when the control's parent did not give it the print ground (a parent the skin does not
// answer for) or the print failed.
bool PaintReadableDisabled(HWND Window, HDC DC, const TSkinData& Data);

// The same way of printing for a date and time picker, whose text the platform draws in its own
// colours whatever its parent answers: it prints itself off-screen on the platform's content ground,
// and each pixel between that ground and the platform's text is laid between the skin's content
// ground and text. Coloured pixels (the selected field's mark) stay, and inside their box the
// platform's ground is the selected field's text: it takes the skin's text colour. False (and
// nothing painted) when the print failed.
bool PaintInContentColours(HWND Window, HDC DC, const TSkinData& Data);

// The ground to answer a colour message about Control with while it prints its disabled text for
// PaintReadableDisabled, or nullptr. Answering marks the print as grounded.
HBRUSH DisabledPrintGround(HWND Control);

// A label ("Static" with text) of a dialog or a bare window: its own while enabled; painted as
// above while disabled.
class TSkinLabel : public TSkinControl {
    DECLARE_CLASS(TSkinLabel, TSkinControl)
public:
    explicit TSkinLabel(TComponent* AOwner) : TSkinControl(AOwner) {}
    void AttachWindow(HWND Window, TSkinData* Data, TCanvas* ACanvas) override;
    void Detach() override;
    bool BeforeMessage(TMessage& Message) override;
    void AfterMessage(TMessage& Message) override;
    void PaintTo(HDC, const RECT&) override {}
    // The label styles that show text.
    static bool ShowsText(LONG Style);
};
