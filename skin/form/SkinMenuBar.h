// The skinned menu bar of a window: the skin's bar drawn in the frame below the title, one
// clickable non-client object (TMenuBtn) per top-level item of the window's menu. The buttons are
// built from the native menu (and, where it has no text, from the framework's main menu), the
// bar is painted from the skin's menu-bar element, and the buttons find themselves by point or by
// access key.
#pragma once

#include "framework/core/Component.h"
#include "skin/form/CaptionButtons.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class TBitmap;
class TMainMenu;
class TSkinData;
class TWinSkinForm;

class TMenuBtn : public TNCObject {
public:
    TMenuBtn(TWinSkinForm* AForm, TSkinData* Data) : TNCObject(AForm), SkinData(Data) {}
    // Redraws the button in its state straight onto the window.
    void Paint() override;

    TSkinData* SkinData;
    int Index = 0;
    std::string Caption;
    bool Enabled = true;
    HMENU SubMenu = nullptr;
    UINT CommandId = 0;
};

class TWinSkinMenu : public TComponent {
public:
    // Form is the form object the bar belongs to (it is the owner too, when given as one).
    TWinSkinMenu(TComponent* AOwner, TWinSkinForm* Form, TSkinData* Data);
    ~TWinSkinMenu() override;

    void SetMainMenu(TMainMenu* Value) { FMainMenu = Value; }
    TMainMenu* MainMenu() const { return FMainMenu; }

    // The buttons from the window's menu, which the window then loses.
    void BuildButtons();
    // The buttons from Menu (an MDI frame's new menu); with Menu nullptr, as BuildButtons.
    void RebuildButtons(HMENU Menu);
    // Paints the bar on DC into R (window coordinates), and places the buttons there.
    void PaintBar(HDC DC, const RECT& R);

    const std::vector<std::unique_ptr<TMenuBtn>>& Buttons() const { return FButtons; }
    HMENU MenuHandle() const { return FMenuHandle; }
    const RECT& BarRect() const { return FBarRect; }
    // The bar's background as painted, before the captions.
    TBitmap* BarBitmap() const { return FBarBitmap.get(); }

    // The first button with a caption whose rectangle holds Point (window coordinates).
    TMenuBtn* ButtonAtPoint(POINT Point) const;
    // The first enabled button whose caption has Key as its access key ("&F" for 'f').
    TMenuBtn* FindAccelButton(char Key) const;

private:
    void Build(HMENU Menu, bool ByCommand);

    TWinSkinForm* FForm;
    TSkinData* FSkinData;
    TMainMenu* FMainMenu = nullptr;
    HMENU FMenuHandle = nullptr;
    RECT FBarRect{0, 0, 0, 0};
    std::unique_ptr<TBitmap> FBarBitmap;
    std::vector<std::unique_ptr<TMenuBtn>> FButtons;
};
