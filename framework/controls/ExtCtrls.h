// Panels and images.
//
// TPanel is a window control that frames its area with up to two 3D bevels and a border, fills
// the rest with its colour and shows its caption; aligned children share what is inside the
// frame. TImage is a windowless control that paints a picture at natural size, centred or
// stretched.
#pragma once

#include "framework/controls/Controls.h"
#include "framework/controls/StdCtrls.h"
#include "framework/graphics/Picture.h"

#include <memory>
#include <vector>

PUBLISHED_ENUM(TPanelBevel, bvNone, bvLowered, bvRaised, bvSpace)

// Draws Width rings of a 3D edge just inside Rect: TopLeft on the top and left sides, BottomRight
// on the bottom and right ones (the top-right and bottom-left corner pixels go to BottomRight).
// Rect comes back shrunk by Width on every side.
void Frame3D(TCanvas& Canvas, RECT& Rect, TColor TopLeft, TColor BottomRight, int Width);

class TCustomPanel : public TCustomControl {
    DECLARE_CLASS(TCustomPanel, TCustomControl)
public:
    explicit TCustomPanel(TComponent* AOwner);
    ~TCustomPanel() override;

    // The bevel inside the border and the one outside it; a change repaints and re-aligns.
    TPanelBevel BevelInner() const { return FBevelInner; }
    void SetBevelInner(TPanelBevel Value);
    TPanelBevel BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TPanelBevel Value);
    // The width of each bevel in pixels (at least 1).
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    // The band of Color between the two bevels (0 or more).
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    // Where the caption goes across; it is always centred vertically.
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

protected:
    void WndProc(TMessage& Message) override;
    // Bevels, border, face, caption.
    void Paint() override;
    // Less the border and every bevel shown.
    void AdjustClientRect(RECT& Rect) override;

private:
    // The frame changed size: repaint, and the aligned children move.
    void FrameChanged();

    TPanelBevel FBevelInner = bvNone;
    TPanelBevel FBevelOuter = bvRaised;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    TAlignment FAlignment = taCenter;
};

class TPanel : public TCustomPanel {
    DECLARE_CLASS(TPanel, TCustomPanel)
public:
    explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

// A group box of radio buttons, one per line of Items, laid out in Columns columns (filled
// column by column) inside the frame. The buttons are its child controls (Controls(i)); they
// follow a change of Items. ItemIndex is the checked one (-1: none) and follows clicks.
class TCustomRadioGroup : public TCustomGroupBox {
    DECLARE_CLASS(TCustomRadioGroup, TCustomGroupBox)
public:
    explicit TCustomRadioGroup(TComponent* AOwner);
    ~TCustomRadioGroup() override;

    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    // 1 to 16.
    int Columns() const { return FColumns; }
    void SetColumns(int Value);
    // The radio button of item Index.
    TRadioButton* Buttons(int Index) const { return FButtons.at(static_cast<size_t>(Index)); }
    int ButtonCount() const { return static_cast<int>(FButtons.size()); }

protected:
    void AlignControls(TControl* AControl, RECT& Rect) override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void ItemsChanged(TObject* Sender);
    void ButtonClick(TObject* Sender);
    // As many buttons as items, with their captions and the checked one.
    void UpdateButtons();
    void ArrangeButtons();

    std::unique_ptr<TStringList> FItems;
    std::vector<TRadioButton*> FButtons;
    int FItemIndex = -1;
    int FColumns = 1;
    bool FUpdating = false;
};

class TRadioGroup : public TCustomRadioGroup {
    DECLARE_CLASS(TRadioGroup, TCustomRadioGroup)
public:
    explicit TRadioGroup(TComponent* AOwner) : TCustomRadioGroup(AOwner) {}
};

class TImage : public TGraphicControl {
    DECLARE_CLASS(TImage, TGraphicControl)
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;

    // The picture shown; setting it copies Value. A change of the picture repaints.
    TPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TPicture* Value) { FPicture->Assign(Value); }

    // Stretch: the graphic fills the control. Center: at natural size in the middle (without
    // either: at the top-left corner).
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value);
    bool Center() const { return FCenter; }
    void SetCenter(bool Value);
    // A bitmap is drawn with its transparent colour left out.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);

    // Where the graphic goes, in the control's coordinates (empty without a graphic).
    RECT DestRect();

protected:
    void Paint() override;

private:
    void PictureChanged(TObject* Sender);

    std::unique_ptr<TPicture> FPicture;
    bool FStretch = false;
    bool FCenter = false;
    bool FTransparent = false;
};

// Registers the panels, images, buttons, speed buttons, check boxes, radio buttons and groups,
// edits, memos, combo and list boxes, scroll bars and scroll boxes for form descriptions.
void RegisterStandardControls();
