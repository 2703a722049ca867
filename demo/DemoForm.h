// The demo's main form: a sizeable, screen-centred window with a caption, borders, a system menu
// and minimise and maximise boxes, holding a few framework controls and the skin data component
// that skins it. It builds itself in code; its description is empty.
#pragma once

#include "framework/controls/Forms.h"

#include <string>

class TBitBtn;
class TImageList;
class TMainMenu;
class TPopupMenu;
class TMenuItem;
class TButton;
class TPanel;
class TProgressBar;
class TStatusBar;
class TTimer;
class TTrackBar;
class TSkinData;
class TWinControl;

class TDemoForm : public TForm {
    DECLARE_CLASS(TDemoForm, TForm)
public:
    explicit TDemoForm(TComponent* AOwner);

    TPanel* Header = nullptr;
    TPanel* Body = nullptr;
    TStatusBar* Status = nullptr;
    TProgressBar* Progress1 = nullptr;
    TProgressBar* Progress2 = nullptr;
    TTrackBar* TrackBar1 = nullptr;
    TTimer* Timer1 = nullptr;
    TButton* ButtonOK = nullptr;
    TBitBtn* ButtonClose = nullptr;
    TSkinData* SkinData1 = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    TPopupMenu* PopupMenu1 = nullptr;
    TPopupMenu* PopupMenuRTL = nullptr;
    TImageList* MenuImages = nullptr;

    // The skin: "default.skn" in the working folder when there is one, else the built-in skin
    // from the program's resources. Then skinning goes on. Call before the form is first shown.
    void LoadSkin();

    void ButtonOKClick(TObject* Sender);
    void ButtonMessageClick(TObject* Sender);
    void ButtonCloseClick(TObject* Sender);
    // Every menu item without a handler of its own: the status bar names the item.
    void MenuItemClick(TObject* Sender);
    void OpenSkinClick(TObject* Sender);
    void ExitClick(TObject* Sender);
    void AboutClick(TObject* Sender);
    // A check item: its check mark turns over.
    void ToggleClick(TObject* Sender);
    // Shows the right-to-left popup menu at the cursor.
    void RightToLeftClick(TObject* Sender);
    // The first progress bar steps on, and starts again when full.
    void TimerTick(TObject* Sender);
    // The second progress bar follows the track bar.
    void TrackBarChange(TObject* Sender);
    // The text of the status bar's first panel.
    void ShowStatus(const std::string& Text);

private:
    // File, Edit, View (a sub-menu two levels deep) and Help.
    void MakeMenu();
    // The form's context menu (images, check marks, a default and a disabled item, short-cuts)
    // and a right-to-left popup menu.
    void MakePopupMenus();
    // Check boxes, a radio group, radio buttons, speed buttons, a button that opens a message
    // box, two progress bars and a track bar, on Content.
    void MakeGallery(TWinControl* Content);
    // A memo with both bars, a list box, a list view with a header, a tree view, a grid and two
    // stand-alone scroll bars, on Content.
    void MakeScrollingControls(TWinControl* Content);
    // Edits (one disabled, one without a border), a spin edit, up-downs, the three kinds of combo
    // box and a date picker, in a group box on Content.
    void MakeTextControls(TWinControl* Content);
    // Tab controls with their tabs at the bottom, left and right, one with more tabs than fit, and
    // a tab set, on Content.
    void MakeTabControls(TWinControl* Content);
};

// The RCDATA resource that holds the built-in skin package.
inline constexpr const char* DemoSkinResource = "DEMOSKIN";

// Registers the form's (empty) description, so that Application()->CreateForm<TDemoForm>() makes
// it the main form.
void RegisterDemoForm();
