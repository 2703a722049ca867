// The bars of the common controls: column headers ("Headerbar"), status bars, panel by panel
// ("StatusBarEdges", with the size grip from "ExtraImages"), progress bars ("Progress", stretched
// or in chunks) and the thumb of track bars ("Buttons"), which take part in the track bar's own
// custom drawing and leave its channel and ticks native.
//
// A skin without the element leaves the control its own look: the header and the progress bar
// let the control paint, the status bar draws plain bevels and the track bar a plain thumb.
#pragma once

#include "skin/controls/WinSubClass.h"

#include <string>
#include <vector>

class TDataSkinBorder;
class TDataSkinObject;

class TSkinHeader : public TSkinControl {
    DECLARE_CLASS(TSkinHeader, TSkinControl)
public:
    explicit TSkinHeader(TComponent* AOwner) : TSkinControl(AOwner) {}
    // Attaches to the window and enters the adaptor in its set's list.
    void AttachWindow(HWND Window, TSkinData* Data, TCanvas* ACanvas) override;
    bool BeforeMessage(TMessage& Message) override;
    void PaintTo(HDC DC, const RECT& R) override;

private:
    const TDataSkinObject* Face() const;
    void PaintItem(TCanvas& Canvas, int Index, const RECT& T, HIMAGELIST Images);
};

// One panel of a status bar as the painters take it.
struct TStatusPanelLook {
    RECT Rect{0, 0, 0, 0};
    std::string Text;
    UINT Alignment = DT_LEFT;
    int Frame = 1; // 1 lowered, 2 raised, 3 no bevel
};

class TSkinStatusBar : public TSkinControl {
    DECLARE_CLASS(TSkinStatusBar, TSkinControl)
public:
    explicit TSkinStatusBar(TComponent* AOwner) : TSkinControl(AOwner) {}
    bool BeforeMessage(TMessage& Message) override;
    void PaintTo(HDC DC, const RECT& R) override;
    // The panels to draw in R: one simple panel, or each part with the last one reaching R's
    // right edge. From the framework status bar when the adaptor has one, else from the window.
    std::vector<TStatusPanelLook> Panels(const RECT& R) const;

private:
    void PaintPanel(TCanvas& Canvas, const TStatusPanelLook& Panel);
};

class TSkinProgress : public TSkinControl {
    DECLARE_CLASS(TSkinProgress, TSkinControl)
public:
    explicit TSkinProgress(TComponent* AOwner) : TSkinControl(AOwner) {}
    bool BeforeMessage(TMessage& Message) override;
    void PaintTo(HDC DC, const RECT& R) override;
    // The filled width of a bar Width wide at Position in Min..Max; 0 for an empty range.
    static int FilledWidth(int Width, int Position, int Min, int Max);

private:
    // The skin paints the bar: the element has a bitmap and the bar is a horizontal one that
    // shows a position (vertical and marquee bars keep their own look).
    bool Paints() const;
};

class TSkinTrackBar : public TSkinControl {
    DECLARE_CLASS(TSkinTrackBar, TSkinControl)
public:
    explicit TSkinTrackBar(TComponent* AOwner) : TSkinControl(AOwner) {}
    bool BeforeMessage(TMessage& Message) override;

private:
    void PaintThumb(HDC DC);
};
