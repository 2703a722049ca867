// The gallery: PembroxDemo's main form. A skinned main menu, a status bar and a page control with
// one page per family of windows the engine skins (buttons, text, lists, bars, tabs, and windows of
// their own: message boxes, a dialog of every standard class, the common dialogs, a context menu
// and an MDI window). The Skins menu switches between the built-in skins, a skin file, and no skin.
// The form builds itself in code; its description is empty.
#pragma once

#include "framework/controls/Forms.h"

#include <exception>
#include <memory>
#include <string>
#include <vector>

class TBitBtn;
class TButton;
class TImageList;
class TMainMenu;
class TMenuItem;
class TPageControl;
class TPanel;
class TPopupMenu;
class TProgressBar;
class TSkinData;
class TStatusBar;
class TTimer;
class TTrackBar;
class TWinControl;

// What the command line asks for: /page=N (1 to 6), /skin=FILE, /noskin.
struct TGalleryOptions {
    int Page = 1;
    std::string SkinFile;
    bool NoSkin = false;
};

// Reads the options from the arguments (the program name not included). Unknown arguments and a
// page out of range are ignored.
TGalleryOptions ParseGalleryOptions(const std::vector<std::string>& Args);
// The arguments of a command line, split as the C runtime splits them (quotes group, \" is a quote).
std::vector<std::string> SplitCommandLine(const std::string& Line);

// A skin the program carries: its RCDATA resource and its name.
struct TBuiltinSkin {
    const char* Resource;
    const char* Name;
};
const std::vector<TBuiltinSkin>& BuiltinSkins();

class TDemoForm : public TForm {
    DECLARE_CLASS(TDemoForm, TForm)
public:
    explicit TDemoForm(TComponent* AOwner);

    static constexpr int PageCount = 6;

    TStatusBar* Status = nullptr;
    TPageControl* Pages = nullptr;
    // The Bars page's, made with it (nullptr until that page is first shown).
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

    // The start: the page asked for, then the skin: /noskin none; /skin=FILE that file; else
    // "default.skn" in the working folder when there is one; else the first built-in skin. Call
    // before the form is first shown, so that it appears skinned.
    void Start(const TGalleryOptions& Options);

    // Skin switching. Each returns whether the skin is on afterwards with the new skin. A skin that
    // does not load shows why (through the framework's message box) and leaves the current skin, or
    // no skin, as it was.
    bool UseBuiltinSkin(int Index);
    // A skin package, or a skin's folder (as skinpack new writes one): a folder's skin is loaded
    // again within a second of any of its files changing, the page and the window staying where
    // they are; a change that breaks it keeps the last good skin and puts the reason in the status
    // bar until the next change that loads.
    bool UseSkinFile(const std::string& FileName);
    // Every window and menu back to its own look.
    void SkinOff();
    // "" while unskinned; else the skin's name.
    std::string CurrentSkin() const;

    // 1 to PageCount.
    void ShowPage(int Page);
    int Page() const;

    void ButtonOKClick(TObject* Sender);
    void ButtonCloseClick(TObject* Sender);
    // Every menu item without a handler of its own: the status bar names the item.
    void MenuItemClick(TObject* Sender);
    void OpenSkinClick(TObject* Sender);
    void BuiltinSkinClick(TObject* Sender);
    void SkinOffClick(TObject* Sender);
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
    // The Windows page's buttons.
    void MessageBoxClick(TObject* Sender);
    void StandardDialogClick(TObject* Sender);
    void CommonDialogClick(TObject* Sender);
    void ContextMenuClick(TObject* Sender);
    void MdiWindowClick(TObject* Sender);
    // Gives the header strip of the Bars page an adaptor of the skin (the engine does not know
    // the class).
    void SkinControl(TComponent* Sender, TSkinData* Data, TControl* Form, TControl* Control,
                     const std::string& ControlClass, TComponent*& SkinnedControl);
    // What goes wrong in a handler is shown, and the gallery carries on.
    void ApplicationException(TObject* Sender, const std::exception& E);
    // The text of the status bar's first panel; Wide: the whole bar, one simple panel (a reason
    // that the first panel would cut short), until the next text.
    void ShowStatus(const std::string& Text, bool Wide = false);
    // What the status bar says: the simple panel's text or the first panel's.
    std::string StatusText() const;

private:
    // File, Skins, View and Help.
    void MakeMenu();
    // The form's context menu (images, check marks, a default and a disabled item, short-cuts)
    // and a right-to-left popup menu.
    void MakePopupMenus();
    // A page's controls, made the first time it is shown (the sheet's OnShow), or for Index now.
    void PageShow(TObject* Sender);
    void BuildPage(int Index);
    bool FPageBuilt[PageCount] = {};
    // The pages, each on its sheet.
    void MakeButtonsPage(TWinControl* Page);
    void MakeTextPage(TWinControl* Page);
    void MakeListsPage(TWinControl* Page);
    void MakeBarsPage(TWinControl* Page);
    void MakeTabsPage(TWinControl* Page);
    void MakeWindowsPage(TWinControl* Page);
    // Loads Bytes as the skin and switches skinning on; Source names it in messages.
    bool UseSkinBytes(class TMemoryStream& Bytes, const std::string& Source);
    // The skin of a folder; watched for changes from now on, also when it does not load.
    bool UseSkinFolder(const std::string& Folder);
    // The watched folder: FFolderChange signals a change, FFolderTimer looks, and once the folder
    // has been quiet for a moment (an editor writes a file in several steps) the skin is loaded
    // again. Watch("") stops watching.
    void WatchSkinFolder(const std::string& Folder);
    void SkinFolderTick(TObject* Sender);
    std::string FSkinFolder;
    std::shared_ptr<void> FFolderChange;
    TTimer* FFolderTimer = nullptr;
    DWORD FChangedAt = 0;
    bool FChangePending = false;
    // The system's Open dialog; "" when cancelled.
    std::string AskForFile(const char* Filter, bool MustExist);
    // Says why the skin from Source did not load, and what stays.
    void SkinNotLoaded(const std::string& Source, const std::string& Why);
    // The Skins menu's radio mark on the current choice.
    void MarkSkinMenu();

    TMenuItem* FSkinsMenu = nullptr;
    TComponent* FHeaderAdaptor = nullptr;
};

// Registers the form's (empty) description, so that Application()->CreateForm<TDemoForm>() makes
// it the main form.
void RegisterDemoForm();

// A function of the common dialogs' library, which is loaded at the first call; throws when it is
// not there.
void* CommonDialogFunction(const char* Name);
template <class TFunction>
TFunction* CommonDialog(const char* Name)
{
    return reinterpret_cast<TFunction*>(CommonDialogFunction(Name));
}
