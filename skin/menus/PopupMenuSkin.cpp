#include "skin/menus/PopupMenuSkin.h"

#include "framework/graphics/Canvas.h"
#include "skin/data/WinSkinData.h"
#include "skin/menus/MenuItemPainter.h"

#include <algorithm>

TPopupMenuSkin::~TPopupMenuSkin()
{
    GiveBack();
}

void TPopupMenuSkin::Apply(TComponent& Form, TSkinData& Data)
{
    FData = &Data;
    if (!Data.SkinControls().Contains(xcPopupMenu))
        return;
    for (int i = 0; i < Form.ComponentCount(); ++i) {
        auto* menu = dynamic_cast<TPopupMenu*>(Form.Components(i));
        if (menu == nullptr || menu->Tag() % 100 == Data.DisableTag())
            continue;
        const bool known = std::any_of(FMenus.begin(), FMenus.end(), [menu](const TSavedMenu& m) { return m.Menu == menu; });
        if (!known) {
            FMenus.push_back(TSavedMenu{menu, menu->OwnerDraw()});
            menu->FreeNotification(this);
        }
        menu->SetOwnerDraw(true);
        // Depth first, each parent before its children.
        std::vector<TMenuItem*> pending{menu->Items()};
        while (!pending.empty()) {
            TMenuItem* item = pending.back();
            pending.pop_back();
            if (item != menu->Items())
                ApplyItem(*item);
            for (int k = item->Count() - 1; k >= 0; --k)
                pending.push_back(item->Items(k));
        }
    }
}

void TPopupMenuSkin::ApplyItem(TMenuItem& Item)
{
    if (std::any_of(FItems.begin(), FItems.end(), [&](const TSavedItem& s) { return s.Item == &Item; }))
        return;
    const bool plain = Item.Tag() == tgPlainMenuItem;
    // An item with a handler of its own keeps it (and so its drawing), unless it is to be plain.
    if (!plain && Item.OnDrawItem())
        return;
    FItems.push_back(TSavedItem{&Item, Item.OnDrawItem(), Item.OnMeasureItem()});
    Item.FreeNotification(this);
    if (plain) {
        Item.SetOnDrawItem(nullptr);
        return;
    }
    Item.SetOnDrawItem(BindMethod<&TPopupMenuSkin::DrawItem>(this));
    Item.SetOnMeasureItem(BindMethod<&TPopupMenuSkin::MeasureItem>(this));
}

void TPopupMenuSkin::GiveBack() noexcept
{
    for (const TSavedItem& saved : FItems) {
        saved.Item->SetOnDrawItem(saved.Draw);
        saved.Item->SetOnMeasureItem(saved.Measure);
        saved.Item->RemoveFreeNotification(this);
    }
    FItems.clear();
    for (const TSavedMenu& saved : FMenus) {
        saved.Menu->SetOwnerDraw(saved.OwnerDraw);
        saved.Menu->RemoveFreeNotification(this);
    }
    FMenus.clear();
}

void TPopupMenuSkin::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    FItems.erase(std::remove_if(FItems.begin(), FItems.end(), [&](const TSavedItem& s) { return s.Item == AComponent; }),
                 FItems.end());
    FMenus.erase(std::remove_if(FMenus.begin(), FMenus.end(), [&](const TSavedMenu& m) { return m.Menu == AComponent; }),
                 FMenus.end());
}

void TPopupMenuSkin::DrawItem(TObject* Sender, TCanvas* Canvas, const RECT& Rect, bool Selected)
{
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (item == nullptr || Canvas == nullptr || FData == nullptr)
        return;
    HMENU menu = item->Parent() != nullptr ? item->Parent()->Handle() : nullptr;
    DrawSkinnedMenuItem(*FData, *item, menu, *Canvas, Rect, Selected);
}

void TPopupMenuSkin::MeasureItem(TObject*, TCanvas*, int& Width, int& Height)
{
    MeasurePopupItem(Width, Height);
}

void SetPopupMenusOwnerDraw(TPopupMenuSkin& Skin, TComponent& Form, TSkinData& Data, bool On)
{
    if (On)
        Skin.Apply(Form, Data);
    else
        Skin.GiveBack();
}
