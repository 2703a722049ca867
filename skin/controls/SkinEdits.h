// Edit boxes, combo boxes and up-down controls from the skin. An edit's sunken border becomes two
// thin lines (the skin's shadow colour outside, white inside) and the up-down embedded in it is
// skinned with it; a combo box gets the skin's border pieces and drop-down button over its own
// painting; an up-down paints its two halves from "UpDown.Vert"/"UpDown.Horz", or with lines in
// the skin's colours when the skin has no such element.
#pragma once

#include "skin/controls/WinSubClass.h"

class TSkinUpDown;

class TSkinEdit : public TSkinControl {
    DECLARE_CLASS(TSkinEdit, TSkinControl)
public:
    explicit TSkinEdit(TComponent* AOwner) : TSkinControl(AOwner) {}
    ~TSkinEdit() override;
    // Gives the control back with its own border drawn again.
    void Detach() override;
    // A disabled edit of a dialog or a bare window shows its text in a grey that reads on the
    // skin's face.
    bool BeforeMessage(TMessage& Message) override;
    void AfterMessage(TMessage& Message) override;
    void PaintTo(HDC DC, const RECT& R) override;
    // The up-down embedded in the edit, skinned by an adaptor of its own (not in the set's
    // list); searched for again at each paint until there is one.
    void FindUpDown();
    TSkinUpDown* UpDown() const { return FUpDown; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // WM_PRINT: the inner line in the DC's own brush, the outer one in the shadow colour.
    void PrintFrame(HDC DC);
    // The border's outer line: the skin's shadow, or on its content ground its content border.
    TColor OuterEdge(bool Content) const;
    TSkinUpDown* FUpDown = nullptr;
};

struct TSkinColours;

// Whether the adaptor's control shows the skin's content colours.
bool ShowsContentColours(const TSkinControl& Adaptor);
// The line around content on the skin's content ground: "WindowFrame", else the shadow colour.
TColor ContentBorderColour(const TSkinColours& Colours);

class TSkinComBox : public TSkinControl {
    DECLARE_CLASS(TSkinComBox, TSkinControl)
public:
    explicit TSkinComBox(TComponent* AOwner) : TSkinControl(AOwner) {}
    ~TSkinComBox() override;
    void Detach() override;
    bool BeforeMessage(TMessage& Message) override;
    void AfterMessage(TMessage& Message) override;
    void PaintTo(HDC DC, const RECT& R) override;
    // 1 normal, 2 pressed, 3 disabled, 4 hot or focused.
    int State();

private:
    void PaintFlat(HDC DC, const RECT& R, int State);
};

class TSkinUpDown : public TSkinControl {
    DECLARE_CLASS(TSkinUpDown, TSkinControl)
public:
    explicit TSkinUpDown(TComponent* AOwner) : TSkinControl(AOwner) {}
    bool BeforeMessage(TMessage& Message) override;
    void AfterMessage(TMessage& Message) override;
    void PaintTo(HDC DC, const RECT& R) override;

    // Inside an edit: the face is inset by one pixel.
    bool InEdit = false;
    // 1: horizontal whatever the style says (the scroll arrows of a tab set).
    int ForceHorizontal = 0;

private:
    void PaintHalf(TCanvas& Canvas, const RECT& Half, int Kind, int State);
};
