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
#include "skin/data/SkinElements.h"

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

// Asked before a window is skinned; DoSkin = false leaves it alone.
using TOnFormSkin = TEvent<void(TObject* Sender, const std::string& aName, bool& DoSkin)>;
// Asked for each control while adaptors are attached; a handler may make its own adaptor and
// return it in SkinnedControl.
using TOnSkinControl = TEvent<void(TComponent* Sender, TSkinData* SkinData, TControl* Form, TControl* Control,
                                   const std::string& ControlClass, TComponent*& SkinnedControl)>;

// The colour table of a skin (section "Colours").
struct TSkinColours {
    TColor WindowText = clWindowText;
    TColor ButtonFace = clBtnFace;
    TColor Scrollbar = clScrollBar;
    TColor HilightText = clHighlightText;
    TColor Hilight = clHighlight;
    TColor Menubar = clBtnFace;
    TColor Menu = clMenu;
    TColor MenuText = clMenuText;
    TColor ButtonText = clBtnText;
    TColor ButtonHilight = clBtnHighlight;
    TColor Buttonlight = clBtnHighlight;
    TColor ButtonShadow = clBtnShadow;
    TColor ButtonDkShadow = clBtnShadow;
    TColor MenuBarText = clMenuText;
    TColor TitleTextActive = clCaptionText;
    TColor TitleTextNoActive = clInactiveCaptionText;
};

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
    const TOnFormSkin& OnFormSkin() const { return FOnFormSkin; }
    void SetOnFormSkin(TOnFormSkin Value) { FOnFormSkin = Value; }
    const TNotifyEvent& OnSkinChanged() const { return FOnSkinChanged; }
    void SetOnSkinChanged(TNotifyEvent Value) { FOnSkinChanged = Value; }
    const TOnSkinControl& OnSkinControl() const { return FOnSkinControl; }
    void SetOnSkinControl(TOnSkinControl Value) { FOnSkinControl = Value; }

    // ---- operations
    // Item Index of Store becomes the current package (nothing happens when there is no such item).
    void SelectStoredSkin(TSkinStore* Store, int Index);
    // Parses the package bytes; true when they were a valid package of the current version.
    bool LoadPackage();
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
    const std::string& SkinName() const { return FSkinName; }
    const TSkinColours& Colours() const { return FColours; }
    const std::vector<TColor>& CustomColours() const { return FCustomColours; }
    TDataSkinBorder* SkinBorderLeft() const { return FBorderLeft.get(); }
    TDataSkinBorder* SkinBorderRight() const { return FBorderRight.get(); }
    TDataSkinBorder* SkinBorderTop() const { return FBorderTop.get(); }
    TDataSkinBorder* SkinBorderBottom() const { return FBorderBottom.get(); }
    TDataSkinButton* SkinButtons() const { return FButtons.get(); }
    TDataSkinTitle* SkinTitle() const { return FTitle.get(); }
    TDataSkinBorder* SkinProgress() const { return FProgress.get(); }
    TDataSkinObject* SkinMenuBar() const { return FMenuBar.get(); }
    TDataSkinObject* SkinGroupBoxEdge() const { return FGroupBoxEdge.get(); }
    TDataSkinObject* SkinToolbars() const { return FToolbars.get(); }
    TDataSkinBorder* SkinTabs() const { return FTabs.get(); }
    TDataSkinObject* SkinStatusBarEdges() const { return FStatusBarEdges.get(); }
    TDataSkinObject* SkinComboButton() const { return FComboButton.get(); }
    TDataSkinObject* SkinSunkEdge() const { return FSunkEdge.get(); }
    TDataSkinObject* SkinExtraImages() const { return FExtraImages.get(); }
    TDataSkinObject* SkinHeaderbar() const { return FHeaderbar.get(); }
    TDataSkinObject* SkinMenuItem() const { return FMenuItem.get(); }
    TDataSkinObject* SkinMenuBackground() const { return FMenuBackground.get(); }
    TDataSkinObject* SkinScrollbar() const { return FScrollbar.get(); }
    TDataSkinObject* SkinHorzScroll() const { return FHorzScroll.get(); }
    TDataSkinObject* SkinVertScroll() const { return FVertScroll.get(); }
    TDataSkinObject* SkinHorzScrollThumb() const { return FHorzScrollThumb.get(); }
    TDataSkinObject* SkinVertScrollThumb() const { return FVertScrollThumb.get(); }
    TDataSkinBorder* SkinUpDownHorz() const { return FUpDownHorz.get(); }
    TDataSkinBorder* SkinUpDownVert() const { return FUpDownVert.get(); }
    // The caption buttons of the skin, then the three MDI buttons.
    const std::vector<std::unique_ptr<TDataSkinSysButton>>& SkinSysButtons() const { return FSysButtons; }
    // A solid brush of the ButtonFace value, passed to the platform unconverted.
    HBRUSH FaceBrush() const { return FFaceBrush.get(); }
    // The first window icon the form painting captured; parsing leaves it alone.
    TBitmap* SharedIcon() const { return FSharedIcon.get(); }

    // ---- parsing (LoadPackage calls these while the package reader is open)
    void ParseDescription(const std::string& FileName);
    // Fills Bitmap from the package entry ImageName names (its file-name part, which must end in
    // ".bmp" exactly), or empties it.
    void LoadSkinBitmap(TBitmap* Bitmap, const std::string& ImageName);
    // Name+"R", Name+"G", Name+"B"; Colour changes only when all three are 0 or more.
    static void ReadRGBTriple(const TCustomIniFile& Ini, const std::string& Section, const std::string& Name,
                              TColor& Colour);

protected:
    void Loaded() override;
    void DefineProperties(TFiler& Filer) override;

private:
    void AfterLoad();
    void ReadSkinStream(TStream& Stream);
    void WriteSkinStream(TStream& Stream);
    bool Designing() const;

    void ReadBorders(const TCustomIniFile& Ini);
    void ReadColours(const TCustomIniFile& Ini, const TStringList& Sections);
    void ReadSysButtons(const TCustomIniFile& Ini, const TStringList& Sections);
    void ReadButtons(const TCustomIniFile& Ini);
    void ReadTitle(const TCustomIniFile& Ini);
    void ReadMenuBar(const TCustomIniFile& Ini);
    template <class T>
    T* NewElement(std::unique_ptr<T>& Slot, const TCustomIniFile& Ini, const std::string& Section,
                  const char* ImageKey);
    void ReadImageElement(std::unique_ptr<TDataSkinObject>& Slot, const TCustomIniFile& Ini, const std::string& Section);
    void ReadImagePairElement(std::unique_ptr<TDataSkinBorder>& Slot, const TCustomIniFile& Ini,
                              const std::string& Section, const std::string& SecondKey);
    void ReadBitmapElement(std::unique_ptr<TDataSkinBorder>& Slot, const TCustomIniFile& Ini, const std::string& Section);
    void ReadTextColours(TDataSkinObject& Element, const TCustomIniFile& Ini, const std::string& Section);
    void SetFrameCounts();

    bool FActive = false;
    int32_t FDisableTag = 99;
    TSkinControlTypes FSkinControls;
    std::unique_ptr<TStringList> FSkin3rd;
    std::string FSkinFile;
    TSkinFormType FSkinFormtype = sfMainform;
    TOnFormSkin FOnFormSkin;
    TNotifyEvent FOnSkinChanged;
    TOnSkinControl FOnSkinControl;

    std::unique_ptr<TMemoryStream> FPackageBytes;
    bool FSkinLoading = true;
    // While a package is parsed: its reader and the stream entries are copied into.
    const TSkinReader* FReader = nullptr;
    TMemoryStream* FWork = nullptr;

    std::string FSkinName;
    TSkinColours FColours;
    std::vector<TColor> FCustomColours;
    std::unique_ptr<TDataSkinBorder> FBorderLeft, FBorderRight, FBorderTop, FBorderBottom;
    std::unique_ptr<TDataSkinButton> FButtons;
    std::unique_ptr<TDataSkinTitle> FTitle;
    std::unique_ptr<TDataSkinBorder> FProgress, FTabs, FUpDownHorz, FUpDownVert;
    std::unique_ptr<TDataSkinObject> FMenuBar, FGroupBoxEdge, FToolbars, FStatusBarEdges, FComboButton, FSunkEdge,
        FExtraImages, FHeaderbar, FMenuItem, FMenuBackground, FScrollbar, FHorzScroll, FVertScroll,
        FHorzScrollThumb, FVertScrollThumb;
    std::vector<std::unique_ptr<TDataSkinSysButton>> FSysButtons;
    TBrushHandle FFaceBrush;
    std::unique_ptr<TBitmap> FSharedIcon;
};
