// The skin's drawing on the framework popup-menu components of one form: switched on, each
// component (but one whose Tag says to leave it) draws its items itself, and each item without a
// handler of its own is measured and drawn from the skin; an item with Tag 999 keeps the
// framework's drawing. Switched off, every component and item gets back exactly the drawing it
// had: its OwnerDraw and its own handlers.
#pragma once

#include "framework/core/Component.h"
#include "framework/menus/Menus.h"

#include <vector>

class TCanvas;
class TSkinData;

// An item with this Tag keeps the framework's drawing while its menu is skinned.
constexpr int32_t tgPlainMenuItem = 999;

class TPopupMenuSkin : public TComponent {
public:
    TPopupMenuSkin() : TComponent(nullptr) {}
    ~TPopupMenuSkin() override;

    // The components of Form, with Data's kinds and disable tag; again after a skin change (the
    // components and items made since join).
    void Apply(TComponent& Form, TSkinData& Data);
    // Everything back as it was.
    void GiveBack() noexcept;
    bool Applied() const { return !FMenus.empty(); }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    struct TSavedMenu {
        TPopupMenu* Menu;
        bool OwnerDraw;
    };
    struct TSavedItem {
        TMenuItem* Item;
        TMenuDrawItemEvent Draw;
        TMenuMeasureItemEvent Measure;
    };
    void ApplyItem(TMenuItem& Item);
    void DrawItem(TObject* Sender, TCanvas* Canvas, const RECT& Rect, bool Selected);
    void MeasureItem(TObject* Sender, TCanvas* Canvas, int& Width, int& Height);

    TSkinData* FData = nullptr;
    std::vector<TSavedMenu> FMenus;
    std::vector<TSavedItem> FItems;
};

// On: Skin applies the skin's drawing to Form's popup-menu components (at attach and after a skin
// change); off: gives them back (at detach).
void SetPopupMenusOwnerDraw(TPopupMenuSkin& Skin, TComponent& Form, TSkinData& Data, bool On);
