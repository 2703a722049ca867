// The skin data component: what a host form carries to be skinned. It owns the current skin (the
// package bytes and everything parsed from its description: colours, element records, bitmaps),
// the settings that decide what gets skinned, and the requests to the skin manager that switch
// skinning on and off or re-apply a changed skin.
#pragma once

#include "framework/core/Component.h"
#include "framework/core/Method.h"
#include "framework/core/Set.h"
#include "framework/core/Stream.h"
#include "framework/core/Strings.h"
#include "framework/core/TypeInfo.h"
#include "framework/graphics/Bitmap.h"
#include "framework/graphics/Colors.h"
#include "framework/win/Handles.h"
#include "skin/data/SkinDescription.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TControl;
class TCustomIniFile;
class TSkinReader;
class TSkinStore;
class TWinControl;
class TSkinData;

PUBLISHED_ENUM(TSkinControlType, xcMainMenu, xcPopupMenu, xcToolbar, xcControlbar, xcCombo, xcCheckBox,
               xcRadioButton, xcProgress, xcScrollbar, xcEdit, xcButton, xcBitBtn, xcSpeedButton, xcPanel,
               xcGroupBox, xcStatusBar, xcTab, xcFastReport)
using TSkinControlTypes = TSet<TSkinControlType>;
PUBLISHED_ENUM(TSkinFormType, sfMainform, sfOnlyThisForm, sfDialog)

// What a component's Tag (its last two digits) tells the engine.
enum TComponentTag : int32_t {
    tgScrollBars = 55, // a control with scroll bars of its own
    tgComboBox = 95,
    tgScrollBar = 96,  // a scroll bar, or a control whose scroll bars are skinned
    tgEdit = 97,
    tgDisable = 99,    // left alone (the default DisableTag; a form with this Tag is not skinned)
};

// Asked before a window is skinned; DoSkin = false leaves it alone.
using TOnFormSkin = TEvent<void(TObject* Sender, const std::string& aName, bool& DoSkin)>;
// Asked for each control while adaptors are attached; a handler may make its own adaptor and
// return it in SkinnedControl.
using TOnSkinControl = TEvent<void(TComponent* Sender, TSkinData* SkinData, TControl* Form, TControl* Control,
                                   const std::string& ControlClass, TComponent*& SkinnedControl)>;

// The class map the constructor puts into Skin3rd: "ClassName=kind" lines for controls of other
// component libraries, 81 of them.
const std::vector<std::string>& ClassMapDefaults();

class TSkinData : public TComponent {
    DECLARE_CLASS(TSkinData, TComponent)
public:
    explicit TSkinData(TComponent* AOwner);
    ~TSkinData() override;

    // ---- published, in this order
    bool Active() const { return FActive; }
    void SetActive(bool Value);
    int32_t DisableTag() const { return FDisableTag; }
    void SetDisableTag(int32_t Value) { FDisableTag = Value; }
    TSkinControlTypes SkinControls() const { return FSkinControls; }
    void SetSkinControls(TSkinControlTypes Value) { FSkinControls = Value; }
    TStringList* Skin3rd() const { return FSkin3rd.get(); }
    void SetSkin3rd(TStringList* Value) { FSkin3rd->Assign(Value); }
    const std::string& SkinFile() const { return FSkinFile; }
    void SetSkinFile(const std::string& Value);
    // "(none)", or "(Good)" at design time while package bytes are held; writing does nothing.
    std::string SkinStore() const;
    void SetSkinStore(const std::string&) {}
    TSkinFormType SkinFormtype() const { return FSkinFormtype; }
    void SetSkinFormtype(TSkinFormType Value) { FSkinFormtype = Value; }
    // The dots per inch the skin is drawn for: 0 (the default) for the screen's. A change redraws
    // the loaded skin for it, and the skinned windows take it as after a skin change; a value
    // outside 48 to 480 is refused.
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int Value);
    // The dots per inch the loaded skin's images and lengths are drawn for.
    int SkinDpi() const;
    // Length (a gap or inset of a painter, at 96) at the skin's DPI.
    int Px(int Length) const;
    // A skinned window moved to a screen of Dpi (or the setting changed): a skin that follows the
    // screen (PixelsPerInch 0) is redrawn for it.
    void ScreenDpiChanged(int Dpi);
    const TOnFormSkin& OnFormSkin() const { return FOnFormSkin; }
    void SetOnFormSkin(TOnFormSkin Value) { FOnFormSkin = Value; }
    const TNotifyEvent& OnSkinChanged() const { return FOnSkinChanged; }
    void SetOnSkinChanged(TNotifyEvent Value) { FOnSkinChanged = Value; }
    const TOnSkinControl& OnSkinControl() const { return FOnSkinControl; }
    void SetOnSkinControl(TOnSkinControl Value) { FOnSkinControl = Value; }

    // ---- operations
    // Item Index of Store becomes the current package (nothing happens when there is no such item).
    void SelectStoredSkin(TSkinStore* Store, int Index);
    // Parses the package bytes as they are; true when they were a valid package of the current
    // version. (The loads of a skin for use, SkinFile, SelectStoredSkin, LoadSkinBytes and the
    // streamed package, also refuse a skin that cannot be used: see LoadUsablePackage.) A
    // package without a description entry raises EFCreateError, a bitmap that does not load its
    // loading error; either way the current skin stays.
    bool LoadPackage();
    // Loads Bytes (a whole package) as the current skin and hands it to the manager. Never raises:
    // false when the bytes are not a package of this version or fail half-way, with the reason in
    // LoadError(); the current skin and every skinned window then stay as they were.
    bool LoadSkinBytes(TMemoryStream& Bytes);
    // Why the last LoadSkinBytes, SetSkinFile or SelectStoredSkin did not load ("" when it did).
    const std::string& LoadError() const { return FLoadError; }
    // Hands the new skin to the manager (re-apply).
    void SkinChanged();
    // Attaches adaptors to the controls owned by Component (Form when nullptr) of Form's skinned
    // window, when the manager skins that window.
    void ApplyToForm(TWinControl* Form, TComponent* Component);
    // Whether a window of class aName is to be skinned; DoSkin comes in with the caller's answer.
    void DoFormSkin(const std::string& aName, bool& DoSkin);
    void FireSkinChanged();

    // True from construction and from the start of every load until a description is parsed.
    bool SkinLoading() const { return FSkinLoading; }
    TMemoryStream& PackageBytes() { return *FPackageBytes; }

    // ---- the parsed skin (painters read these and never change them)
    const std::string& SkinName() const { return FSkin->SkinName; }
    const TSkinColours& Colours() const { return FSkin->Colours; }
    const std::vector<TColor>& CustomColours() const { return FSkin->CustomColours; }
    TDataSkinBorder* SkinBorderLeft() const { return FSkin->BorderLeft.get(); }
    TDataSkinBorder* SkinBorderRight() const { return FSkin->BorderRight.get(); }
    TDataSkinBorder* SkinBorderTop() const { return FSkin->BorderTop.get(); }
    TDataSkinBorder* SkinBorderBottom() const { return FSkin->BorderBottom.get(); }
    TDataSkinButton* SkinButtons() const { return FSkin->Buttons.get(); }
    TDataSkinTitle* SkinTitle() const { return FSkin->Title.get(); }
    TDataSkinBorder* SkinProgress() const { return FSkin->Progress.get(); }
    TDataSkinObject* SkinMenuBar() const { return FSkin->MenuBar.get(); }
    TDataSkinObject* SkinGroupBoxEdge() const { return FSkin->GroupBoxEdge.get(); }
    TDataSkinObject* SkinToolbars() const { return FSkin->Toolbars.get(); }
    TDataSkinBorder* SkinTabs() const { return FSkin->Tabs.get(); }
    TDataSkinObject* SkinStatusBarEdges() const { return FSkin->StatusBarEdges.get(); }
    TDataSkinObject* SkinComboButton() const { return FSkin->ComboButton.get(); }
    TDataSkinObject* SkinSunkEdge() const { return FSkin->SunkEdge.get(); }
    TDataSkinObject* SkinExtraImages() const { return FSkin->ExtraImages.get(); }
    TDataSkinObject* SkinHeaderbar() const { return FSkin->Headerbar.get(); }
    TDataSkinObject* SkinMenuItem() const { return FSkin->MenuItem.get(); }
    TDataSkinObject* SkinMenuBackground() const { return FSkin->MenuBackground.get(); }
    TDataSkinObject* SkinScrollbar() const { return FSkin->Scrollbar.get(); }
    TDataSkinObject* SkinHorzScroll() const { return FSkin->HorzScroll.get(); }
    TDataSkinObject* SkinVertScroll() const { return FSkin->VertScroll.get(); }
    TDataSkinObject* SkinHorzScrollThumb() const { return FSkin->HorzScrollThumb.get(); }
    TDataSkinObject* SkinVertScrollThumb() const { return FSkin->VertScrollThumb.get(); }
    TDataSkinBorder* SkinUpDownHorz() const { return FSkin->UpDownHorz.get(); }
    TDataSkinBorder* SkinUpDownVert() const { return FSkin->UpDownVert.get(); }
    // The caption buttons of the skin, then the three MDI buttons.
    const std::vector<std::unique_ptr<TDataSkinSysButton>>& SkinSysButtons() const { return FSkin->SysButtons; }
    // A solid brush of the ButtonFace value, passed to the platform unconverted.
    HBRUSH FaceBrush() const { return FSkin->FaceBrush.get(); }
    // The content ground's brush; nullptr when the skin leaves content in the program's colours.
    HBRUSH WindowBrush() const { return FSkin->WindowBrush.get(); }
    // The first window icon the form painting captured; parsing leaves it alone.
    TBitmap* SharedIcon() const { return FSharedIcon.get(); }

    // Frees the skins replaced by later loads (the manager calls this once no window of the
    // component points into them: after a re-apply, or when none is skinned from it).
    void ReleaseRetiredSkins() noexcept { FRetiredSkins.clear(); }
    size_t RetiredSkinCount() const { return FRetiredSkins.size(); }

protected:
    void Loaded() override;
    void DefineProperties(TFiler& Filer) override;

private:
    void AfterLoad();
    // Loads Bytes as the new package; SkinChanged follows when it loaded. Errors of the package
    // raise; false when the bytes are refused.
    bool LoadBytes(TMemoryStream& Bytes);
    // Parses the package bytes and takes the skin only when it can be used: it draws the frame it
    // names, or, naming none, has an image for a control. Otherwise false with the reason in
    // LoadError(), and the current skin stays.
    bool LoadUsablePackage();
    bool ParsePackage(bool OnlyUsable);
    // The DPI the skin is to be drawn for, and the loaded package drawn anew when it is not.
    int WantedDpi() const;
    void RedrawForDpi();
    void ReadSkinStream(TStream& Stream);
    void WriteSkinStream(TStream& Stream);
    bool Designing() const;

    // Makes Content the current skin; the one it replaces is kept while windows still use it.
    void AdoptSkin(std::unique_ptr<TSkinContent> Content);

    bool FActive = false;
    int32_t FDisableTag = tgDisable;
    TSkinControlTypes FSkinControls;
    std::unique_ptr<TStringList> FSkin3rd;
    std::string FSkinFile;
    TSkinFormType FSkinFormtype = sfMainform;
    int FPixelsPerInch = 0;
    // The screen's DPI as the windows last reported it (0: the system's).
    int FScreenDpi = 0;
    TOnFormSkin FOnFormSkin;
    TNotifyEvent FOnSkinChanged;
    TOnSkinControl FOnSkinControl;

    std::unique_ptr<TMemoryStream> FPackageBytes;
    bool FSkinLoading = true;
    // Active was set before a skin had loaded: it comes on with the next skin that loads.
    bool FActivateOnLoad = false;
    std::string FLoadError;
    // The current skin (never null), and the ones replaced while windows still pointed into them.
    std::unique_ptr<TSkinContent> FSkin;
    std::vector<std::unique_ptr<TSkinContent>> FRetiredSkins;
    std::unique_ptr<TBitmap> FSharedIcon;
};
