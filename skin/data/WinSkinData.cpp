#include "skin/data/WinSkinData.h"

#include "framework/controls/Forms.h"
#include "framework/core/Exception.h"
#include "framework/core/Filer.h"
#include "framework/core/IniFile.h"
#include "framework/core/Published.h"
#include "framework/core/StrUtils.h"
#include "framework/win/Files.h"
#include "skin/form/WinSkinForm.h"
#include "skin/manager/SkinManager.h"
#include "skin/package/SkinRead.h"
#include "skin/package/WinSkinStore.h"

#include <windows.h>

#include <algorithm>
#include <utility>

namespace {

// The kinds other libraries' controls count as, by class name.
std::vector<std::string> MakeClassMap()
{
    std::vector<std::string> lines;
    auto add = [&](const char* kind, std::initializer_list<const char*> classes) {
        for (const char* c : classes)
            lines.push_back(std::string(c) + "=" + kind);
    };
    add("Checkbox", {"TDBCheckboxEh", "TDBCheckboxEh", "TLMDCHECKBOX", "TLMDDBCHECKBOX"});
    add("Radiobutton", {"TLMDRadiobutton"});
    add("Panel", {"TLMDGROUPBOX", "TLMDSIMPLEPANEL", "TLMDDBCalendar", "TLMDButtonPanel", "TLMDLMDCalculator",
                  "TLMDHeaderPanel", "TLMDTechnicalLine", "TLMDLMDClock"});
    add("trackbar", {"TLMDTrackbar"});
    add("combobox", {"TLMDListCombobox", "TLMDCheckListCombobox", "TLMDHeaderListCombobox", "TLMDImageCombobox",
                     "TLMDColorCombobox", "TLMDFontCombobox", "TLMDFontSizeCombobox", "TLMDFontSizeCombobox",
                     "TLMDPrinterCombobox", "TLMDDriveCombobox", "TLMDCalculatorComboBox", "TLMDTrackBarComboBox",
                     "TLMDCalendarComboBox"});
    add("radiogroup", {"TLMDRADIOGROUP", "TLMDDBRADIOGROUP"});
    add("CheckGroup", {"TLMDCheckGroup", "TLMDDBCheckGroup"});
    add("Edit", {"TLMDEDIT", "TLMDMASKEDIT", "TLMDBROWSEEDIT", "TLMDEXTSPINEDIT", "TLMDCALENDAREDIT",
                 "TLMDFILEOPENEDIT", "TLMDFILESAVEEDIT", "TLMDCOLOREDIT", "TLMDDBEDIT", "TLMDDBMASKEDIT",
                 "TLMDDBEXTSPINEDIT", "TLMDDBSPINEDIT", "TLMDDBEDITDBLookup", "TLMDEDITDBLookup"});
    add("Combobox", {"TDBLookupCombobox", "TWWDBCombobox", "TWWDBCombobox", "TWWDBLookupCombo", "TWWKeyCombo",
                     "TWWDBDateTimePicker"});
    add("radiogroup", {"TWWRADIOGROUP"});
    add("Combobox", {"TDXDBPICKEDIT", "TDXDBCALCEDIT", "TDXDBIMAGEEDIT", "TDXDBPOPUPEDIT", "TDXDBEXTLOOKUPEDIT",
                     "TDXDBLOOKUPEDIT", "TDXDBDATEEDIT", "TDXDATEEDIT", "TDXPICKEDIT", "TDXPOPUPEDIT"});
    add("Edit", {"TDXDBCURRENCYEDIT", "TDXDBEDIT", "TDXDBMASKEDIT", "TDXDBHYPERLINKEDIT", "TDXEDIT", "TDXMASKEDIT",
                 "TWWDBEDIT", "TDXBUTTONEDIT", "TDXCURRENCYEDIT", "TDXHYPERLINKEDIT", "TOVCPICTUREFIELD",
                 "TOVCDBPICTUREFIELD", "TOVCSLIDEREDIT", "TOVCDBSLIDEREDIT", "TOVCSIMPLEFIELD", "TOVCDBSIMPLEFIELD",
                 "TO32DBFLEXEDIT", "TOVCNUMERICFIELD", "TOVCDBNUMERICFIELD"});
    return lines;
}

// Every kind but xcFastReport.
TSkinControlTypes DefaultControls()
{
    TSkinControlTypes set;
    for (int i = xcMainMenu; i < xcFastReport; ++i)
        set.Include(static_cast<TSkinControlType>(i));
    return set;
}

// Holds a mutex of the whole session while it lives: the description file is named after its
// package entry only, so two programs loading skins at the same moment would otherwise write,
// read and delete each other's file. After 10 s of waiting the load goes ahead anyway.
class TDescriptionLock {
public:
    explicit TDescriptionLock(const std::string& Entry)
    {
        std::string name = "Local\\SkinDescription-";
        for (char c : Entry)
            name += (c == '\\') ? '_' : c;
        FMutex = CreateMutexA(nullptr, FALSE, name.c_str());
        if (FMutex != nullptr) {
            const DWORD wait = WaitForSingleObject(FMutex, 10000);
            FOwned = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
        }
    }
    ~TDescriptionLock()
    {
        if (FOwned)
            ReleaseMutex(FMutex);
        if (FMutex != nullptr)
            CloseHandle(FMutex);
    }
    TDescriptionLock(const TDescriptionLock&) = delete;
    TDescriptionLock& operator=(const TDescriptionLock&) = delete;

private:
    HANDLE FMutex = nullptr;
    bool FOwned = false;
};

// Deletes the file when it goes, on every path.
class TTemporaryFile {
public:
    explicit TTemporaryFile(std::string Name) : FName(std::move(Name)) {}
    ~TTemporaryFile() { DeleteFileA(FName.c_str()); }
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;

private:
    std::string FName;
};

} // namespace

const std::vector<std::string>& ClassMapDefaults()
{
    static const std::vector<std::string> lines = MakeClassMap();
    return lines;
}

IMPLEMENT_CLASS(TSkinData)

void TSkinData::Publish(TClassBuilder<TSkinData>& b)
{
    b.Property("Active", &TSkinData::Active, &TSkinData::SetActive)
        .Property("DisableTag", &TSkinData::DisableTag, &TSkinData::SetDisableTag)
        .Property("SkinControls", &TSkinData::SkinControls, &TSkinData::SetSkinControls)
        .Property("Skin3rd", &TSkinData::Skin3rd, &TSkinData::SetSkin3rd)
        .Property("SkinFile", &TSkinData::SkinFile, &TSkinData::SetSkinFile)
        .Property("SkinStore", &TSkinData::SkinStore, &TSkinData::SetSkinStore)
        .Property("SkinFormtype", &TSkinData::SkinFormtype, &TSkinData::SetSkinFormtype)
        .Property("OnFormSkin", &TSkinData::OnFormSkin, &TSkinData::SetOnFormSkin)
        .Property("OnSkinChanged", &TSkinData::OnSkinChanged, &TSkinData::SetOnSkinChanged)
        .Property("OnSkinControl", &TSkinData::OnSkinControl, &TSkinData::SetOnSkinControl);
}

TSkinData::TSkinData(TComponent* AOwner)
    : TComponent(AOwner), FSkinControls(DefaultControls()), FSkin3rd(std::make_unique<TStringList>()),
      FPackageBytes(std::make_unique<TMemoryStream>()), FBorderLeft(std::make_unique<TDataSkinBorder>("Left")),
      FBorderRight(std::make_unique<TDataSkinBorder>("Right")), FBorderTop(std::make_unique<TDataSkinBorder>("Top")),
      FBorderBottom(std::make_unique<TDataSkinBorder>("Bottom")),
      FButtons(std::make_unique<TDataSkinButton>("Buttons")), FTitle(std::make_unique<TDataSkinTitle>("Title")),
      FSharedIcon(std::make_unique<TBitmap>())
{
    for (const std::string& line : ClassMapDefaults())
        FSkin3rd->Add(line);
}

TSkinData::~TSkinData()
{
    if (SkinManager() != nullptr)
        SkinManager()->RemoveSkinData(this);
}

bool TSkinData::Designing() const
{
    return ComponentState().Contains(csDesigning);
}

std::string TSkinData::SkinStore() const
{
    return Designing() && FPackageBytes->Size() > 0 ? "(Good)" : "(none)";
}

void TSkinData::DefineProperties(TFiler& Filer)
{
    TComponent::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        "SkinStream", [this](TStream& Stream) { ReadSkinStream(Stream); },
        [this](TStream& Stream) { WriteSkinStream(Stream); }, true);
}

void TSkinData::ReadSkinStream(TStream& Stream)
{
    int32_t count = 0;
    if (Stream.Read(&count, 4) != 4 || count <= 0)
        return;
    // Never more than the block holds, whatever the count says.
    if (count > Stream.Size() - Stream.Position())
        throw EReadError("SkinStream: the byte count is larger than the data");
    FPackageBytes->Clear();
    FPackageBytes->SetSize(count);
    Stream.ReadBuffer(FPackageBytes->Memory(), count);
    FPackageBytes->SetPosition(0);
    if (!Designing())
        LoadPackage();
}

void TSkinData::WriteSkinStream(TStream& Stream)
{
    const auto size = static_cast<int32_t>(FPackageBytes->Size());
    Stream.WriteBuffer(&size, 4);
    if (size > 0)
        Stream.WriteBuffer(FPackageBytes->Memory(), size);
}

void TSkinData::Loaded()
{
    TComponent::Loaded();
    if (!Designing())
        AfterLoad();
}

void TSkinData::AfterLoad()
{
    TSkinManage* manager = CreateSkinManager();
    manager->AddSkinData(this);
    if (FSkinFormtype == sfMainform) {
        manager->InstallHook();
        if (FActive) {
            if (FSkinLoading)
                FActive = false; // no skin came with the form
            else
                manager->RequestAction(1, 250);
        }
        return;
    }
    manager->SetSkinningOn(true);
    manager->SetActivationCount(manager->ActivationCount() + 1);
    if (auto* form = dynamic_cast<TCustomForm*>(Owner()))
        manager->SkinWindow(form->Handle());
}

void TSkinData::SetActive(bool Value)
{
    if (Value == FActive)
        return;
    FActive = Value;
    if (Designing() || ComponentState().Contains(csReading))
        return;
    TSkinManage* manager = CreateSkinManager();
    auto request = [&] {
        if (Value && FSkinLoading)
            return false;
        manager->RequestAction(Value ? 1 : 2, 250);
        return true;
    };
    switch (FSkinFormtype) {
    case sfMainform:
        if (request())
            manager->SetCurrentSkinData(this);
        break;
    case sfOnlyThisForm:
        manager->SetCurrentSkinData(this);
        request();
        break;
    case sfDialog:
        break;
    }
}

void TSkinData::SetSkinFile(const std::string& Value)
{
    FSkinLoading = true;
    FSkinFile = Value;
    if (Designing()) {
        if (!Value.empty() && FPackageBytes->Size() > 0)
            FPackageBytes->Clear();
        return;
    }
    if (ComponentState().Contains(csReading) || !FileExists(Value))
        return;
    FPackageBytes->LoadFromFile(Value);
    LoadPackage();
    SkinChanged();
}

void TSkinData::SelectStoredSkin(TSkinStore* Store, int Index)
{
    if (Store == nullptr || Index < 0 || Index >= Store->Store()->Count())
        return;
    FSkinLoading = true;
    FPackageBytes->Clear();
    FPackageBytes->LoadFromStream(Store->Store()->Items(Index)->Data());
    LoadPackage();
    SkinChanged();
}

bool TSkinData::LoadPackage()
{
    if (Designing())
        return false;
    FSkinLoading = true;
    const std::string folder = TempFolder();
    TSkinReader reader;
    TMemoryStream work;
    FPackageBytes->SetPosition(0);
    if (!reader.Open(*FPackageBytes))
        return false;
    std::string entry;
    reader.ExtractEntryContaining(".ini", work, entry);
    entry = LowerCase(entry);
    const std::string fileName = folder + entry;
    TDescriptionLock lock(entry);
    // Saving to the bare folder (no description entry) fails with the file-creation error.
    work.SaveToFile(fileName);
    TTemporaryFile temporary(fileName);
    FReader = &reader;
    FWork = &work;
    try {
        ParseDescription(fileName);
    } catch (...) {
        FReader = nullptr;
        FWork = nullptr;
        throw;
    }
    FReader = nullptr;
    FWork = nullptr;
    return true;
}

void TSkinData::SkinChanged()
{
    if (Designing() || ComponentState().Contains(csReading))
        return;
    if (SkinManager() == nullptr)
        AfterLoad();
    TSkinManage* manager = SkinManager();
    manager->SetCurrentSkinData(this);
    manager->ResetFormButtons();
    manager->RequestAction(3, 250);
}

void TSkinData::ApplyToForm(TWinControl* Form, TComponent* Component)
{
    TSkinManage* manager = SkinManager();
    if (manager == nullptr || Form == nullptr || !Form->HandleAllocated())
        return;
    for (TWinSkinForm* skinForm : manager->SkinnedForms()) {
        if (skinForm->Handle() == Form->Handle()) {
            skinForm->AttachControls(Component != nullptr ? Component : Form);
            return;
        }
    }
}

void TSkinData::DoFormSkin(const std::string& aName, bool& DoSkin)
{
    if (FOnFormSkin) {
        FOnFormSkin(this, aName, DoSkin);
        return;
    }
    if (aName == "SysMonthCal32" || (FSkinControls.Contains(xcFastReport) && aName.rfind("Tfr", 0) == 0))
        DoSkin = false;
}

void TSkinData::FireSkinChanged()
{
    if (FOnSkinChanged)
        FOnSkinChanged(this);
}

// ---------------------------------------------------------------------------------------------
// The description

void TSkinData::LoadSkinBitmap(TBitmap* Bitmap, const std::string& ImageName)
{
    const std::string name = ExtractFileName(ImageName);
    if (name.empty() || ExtractFileExt(name) != ".bmp" || FReader == nullptr) {
        Bitmap->SetSize(0, 0);
        return;
    }
    FWork->Clear();
    FReader->ExtractEntry(name, *FWork);
    if (FWork->Size() == 0) {
        Bitmap->SetSize(0, 0);
        return;
    }
    FWork->SetPosition(0);
    Bitmap->LoadFromStream(*FWork);
}

void TSkinData::ReadRGBTriple(const TCustomIniFile& Ini, const std::string& Section, const std::string& Name,
                              TColor& Colour)
{
    const int32_t r = Ini.ReadInteger(Section, Name + "R", -1);
    const int32_t g = Ini.ReadInteger(Section, Name + "G", -1);
    const int32_t b = Ini.ReadInteger(Section, Name + "B", -1);
    if (r >= 0 && g >= 0 && b >= 0)
        Colour = static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

void TSkinData::ParseDescription(const std::string& FileName)
{
    // TIniFile flushes the platform's cache of profile files first, so a new file under an old
    // name is never answered from the last one.
    TIniFile ini(FileName);
    TStringList sections;
    ini.ReadSections(&sections);
    FSkinName = ini.ReadString("TitlebarSkin", "SkinName", "");
    ReadBorders(ini);
    ReadColours(ini, sections);
    ReadSysButtons(ini, sections);
    ReadButtons(ini);
    ReadTitle(ini);
    ReadBitmapElement(FProgress, ini, "Progress");
    ReadMenuBar(ini);
    ReadImageElement(FGroupBoxEdge, ini, "GroupBoxEdge");
    ReadImageElement(FToolbars, ini, "Toolbars");
    ReadImagePairElement(FTabs, ini, "Tabs", "Border");
    for (auto [slot, section] : {std::pair{&FStatusBarEdges, "StatusBarEdges"}, std::pair{&FComboButton, "ComboButton"},
                                 std::pair{&FSunkEdge, "SunkEdge"}, std::pair{&FExtraImages, "ExtraImages"},
                                 std::pair{&FHeaderbar, "Headerbar"}, std::pair{&FMenuItem, "MenuItem"},
                                 std::pair{&FMenuBackground, "MenuBackground"}, std::pair{&FScrollbar, "Scrollbar"},
                                 std::pair{&FHorzScroll, "HorzScroll"}, std::pair{&FVertScroll, "VertScroll"},
                                 std::pair{&FHorzScrollThumb, "HorzScrollThumb"},
                                 std::pair{&FVertScrollThumb, "VertScrollThumb"}})
        ReadImageElement(*slot, ini, section);
    // The thumbs say their own frame count.
    if (FHorzScrollThumb)
        FHorzScrollThumb->FrameCount = ini.ReadInteger("HorzScrollThumb", "FrameCount", 3);
    if (FVertScrollThumb)
        FVertScrollThumb->FrameCount = ini.ReadInteger("VertScrollThumb", "FrameCount", 3);
    ReadImagePairElement(FUpDownHorz, ini, "UpDown.Horz", "GlyphImage");
    ReadImagePairElement(FUpDownVert, ini, "UpDown.Vert", "GlyphImage");
    SetFrameCounts();
    // The ButtonFace value goes to the platform as it is, also when it is a system colour.
    FFaceBrush.reset(CreateSolidBrush(static_cast<COLORREF>(FColours.ButtonFace)));
    FSkinLoading = false;
}

void TSkinData::ReadBorders(const TCustomIniFile& Ini)
{
    const std::string section = "Personality";
    for (TDataSkinBorder* border : {FBorderLeft.get(), FBorderRight.get(), FBorderTop.get(), FBorderBottom.get()}) {
        const std::string& p = border->Name;
        const int32_t start = Ini.ReadInteger(section, p + "TopHeight", 0);
        const int32_t end = Ini.ReadInteger(section, p + "BotHeight", 0);
        if (border == FBorderLeft.get() || border == FBorderRight.get()) {
            border->TopHeight = start;
            border->BottomHeight = end;
            border->LeftWidth = 0;
            border->RightWidth = 0;
        } else {
            // The horizontal strips: the lengths kept at the left and the right end.
            border->LeftWidth = start;
            border->RightWidth = end;
            border->TopHeight = 0;
            border->BottomHeight = 0;
        }
        border->FrameCount = Ini.ReadInteger(section, p + "Frame", 1);
        border->Tile = Ini.ReadInteger(section, p + "Stretch", 1);
        border->Trans = Ini.ReadInteger(section, p + "Trans", 1);
        LoadSkinBitmap(border->Bitmap.get(), Ini.ReadString(section, p, ""));
    }
}

void TSkinData::ReadColours(const TCustomIniFile& Ini, const TStringList& Sections)
{
    const std::string section = "Colours";
    auto read = [&](const char* key, TColor def) {
        const std::string text = Ini.ReadString(section, key, "");
        return text.empty() ? def : ParseColour(text);
    };
    TSkinColours c;
    c.WindowText = read("WindowText", clWindowText);
    c.ButtonFace = read("ButtonFace", clBtnFace);
    c.Scrollbar = read("Scrollbar", clScrollBar);
    c.HilightText = read("HilightText", clHighlightText);
    c.Hilight = read("Hilight", clHighlight);
    c.Menubar = read("Menubar", c.ButtonFace);
    c.Menu = read("Menu", clMenu);
    c.MenuText = read("MenuText", clMenuText);
    c.ButtonText = read("ButtonText", clBtnText);
    c.ButtonHilight = read("ButtonHilight", clBtnHighlight);
    c.Buttonlight = read("Buttonlight", clBtnHighlight);
    c.ButtonShadow = read("ButtonShadow", clBtnShadow);
    c.ButtonDkShadow = read("ButtonDkShadow", clBtnShadow);
    c.MenuBarText = read("MenuBarText", clMenuText);
    c.TitleTextActive = read("TitleTextActive", clCaptionText);
    c.TitleTextNoActive = read("TitleTextNoActive", clInactiveCaptionText);
    FColours = c;

    FCustomColours.clear();
    for (int i = 0; i < Sections.Count(); ++i) {
        const std::string& name = Sections.Strings(i);
        if (StartsText("COLOUR", name) && !SameText(name, "COLOURS")) {
            const std::string text = Ini.ReadString(name, "color", "");
            FCustomColours.push_back(text.empty() ? clWindowText : ParseColour(text));
        }
    }
}

void TSkinData::ReadSysButtons(const TCustomIniFile& Ini, const TStringList& Sections)
{
    FSysButtons.clear();
    std::vector<std::string> kept;
    for (int i = 0; i < Sections.Count(); ++i) {
        const std::string name = UpperCase(Sections.Strings(i));
        if (name.rfind("BUTTON", 0) == 0 && name != "BUTTONS" && name != "BUTTON.RADIO" && name != "BUTTON.CHECKBOX")
            kept.push_back(name);
    }
    for (const std::string& s : kept) {
        auto button = std::make_unique<TDataSkinSysButton>(s);
        button->Action = Ini.ReadInteger(s, "Action", 0);
        button->Align = Ini.ReadInteger(s, "Align", 0);
        button->Xcoord = Ini.ReadInteger(s, "Xcoord", 0);
        button->Ycoord = Ini.ReadInteger(s, "Ycoord", 0);
        button->Visibility = Ini.ReadInteger(s, "Visibility", 0);
        button->Visibility1 = Ini.ReadInteger(s, "Visibility1", 0);
        button->CombineOp = Ini.ReadInteger(s, "CombineOp", -1);
        button->FrameCount = Ini.ReadInteger(s, "frame", 0);
        LoadSkinBitmap(button->Bitmap.get(), Ini.ReadString(s, "ButtonImage", ""));
        if (button->FrameCount == 0) {
            button->FrameCount = 6;
            if (!button->Bitmap->Empty()) {
                const double ratio =
                    static_cast<double>(button->Bitmap->Width()) / static_cast<double>(button->Bitmap->Height());
                button->FrameCount = ratio <= 3.8 ? 3 : 6;
                if (button->Action < 0)
                    button->FrameCount = 6;
            }
            if (button->Action == 3 || button->Action == 11)
                button->Bitmap->SetSize(0, 0);
        }
        FSysButtons.push_back(std::move(button));
    }
    const size_t n = FSysButtons.size();
    for (int32_t action : {7, 8, 9}) {
        auto mdi = std::make_unique<TDataSkinSysButton>("MDI" + IntToStr(action));
        mdi->Action = action;
        mdi->Align = 100;
        mdi->Visibility = 100;
        mdi->Visibility1 = 100;
        mdi->FrameCount = 4;
        mdi->CombineOp = 0;
        FSysButtons.push_back(std::move(mdi));
    }
    TBitmap strip;
    LoadSkinBitmap(&strip, Ini.ReadString("MDICONTROLS", "Image", ""));
    if (strip.Empty())
        return;
    const int w = strip.Width();
    const int h = strip.Height();
    const int a = w / 12;
    for (int k = 0; k < 3; ++k) {
        TDataSkinSysButton& button = *FSysButtons[n + static_cast<size_t>(k)];
        button.Bitmap->SetPixelFormat(strip.PixelFormat());
        button.Bitmap->SetSize(4 * a, h);
        if (a > 0) {
            const RECT source{4 * a * k, 0, 4 * a * (k + 1), h};
            button.Bitmap->Canvas()->CopyRect(RECT{0, 0, 4 * a, h}, *strip.Canvas(), source);
        }
        button.Xcoord = (a + 4) * (3 - k);
    }
}

void TSkinData::ReadTextColours(TDataSkinObject& Element, const TCustomIniFile& Ini, const std::string& Section)
{
    Element.NormalColour = Ini.ReadInteger(Section, "NormalColour", -1);
    Element.MouseOverColour = Ini.ReadInteger(Section, "MouseOverColour", -1);
    Element.PressedColour = Ini.ReadInteger(Section, "PressedColour", -1);
    auto colour = [&](const char* key) {
        const std::string text = Ini.ReadString(Section, key, "");
        return text.empty() ? FColours.ButtonText : ParseColour(text);
    };
    Element.NormalColour2 = colour("NormalColour2");
    Element.MouseOverColour2 = colour("MouseOverColour2");
    Element.PressedColour2 = colour("PressedColour2");
}

void TSkinData::ReadButtons(const TCustomIniFile& Ini)
{
    const std::string s = "Buttons";
    TDataSkinButton& b = *FButtons;
    b.LeftWidth = Ini.ReadInteger(s, "LeftWidth", 0);
    b.RightWidth = Ini.ReadInteger(s, "RightWidth", 0);
    b.TopHeight = Ini.ReadInteger(s, "TopHeight", 0);
    b.BottomHeight = Ini.ReadInteger(s, "BottomHeight", 0);
    b.Trans = Ini.ReadInteger(s, "Trans", 0);
    LoadSkinBitmap(b.Bitmap.get(), Ini.ReadString(s, "Bitmap", ""));
    b.Tile = Ini.ReadInteger(s, "Tile", 0);
    LoadSkinBitmap(b.CheckButton.get(), Ini.ReadString(s, "CheckButton", ""));
    LoadSkinBitmap(b.RadioButton.get(), Ini.ReadString(s, "RadioButton", ""));
    b.RadioButtonFrame = Ini.ReadInteger(s, "RadioButtonFrame", 0);
    b.CheckButtonFrame = Ini.ReadInteger(s, "CheckButtonFrame", 0);
    ReadTextColours(b, Ini, s);
}

void TSkinData::ReadTitle(const TCustomIniFile& Ini)
{
    const std::string s = "Personality";
    TDataSkinTitle& t = *FTitle;
    LoadSkinBitmap(t.Bitmap.get(), Ini.ReadString(s, "TextBack", ""));
    t.LeftWidth = Ini.ReadInteger(s, "TextShift", 0);
    t.TopHeight = Ini.ReadInteger(s, "TextShiftVert", 0);
    t.RightWidth = Ini.ReadInteger(s, "TextRightClip", 0);
    t.BottomHeight = 0;
    t.TextAlignment = Ini.ReadInteger(s, "TextAlignment", 0);
    t.Textbackground = Ini.ReadInteger(s, "Textbackground", 0);
    t.FontHeight = Ini.ReadInteger("Fonts", "FontHeight", 14);
    t.TXTBackleft = Ini.ReadInteger(s, "TXTBackleft", 0);
    t.TXTBackRight = Ini.ReadInteger(s, "TXTBackRight", 0);
    t.ActiveText = NoTitleTextColour;
    t.InActiveText = NoTitleTextColour;
    ReadRGBTriple(Ini, s, "ActiveText", t.ActiveText);
    ReadRGBTriple(Ini, s, "InActiveText", t.InActiveText);
}

void TSkinData::ReadMenuBar(const TCustomIniFile& Ini)
{
    FMenuBar.reset();
    const std::string image = Ini.ReadString("Personality", "menuBar", "");
    if (image.empty())
        return;
    auto bar = std::make_unique<TDataSkinObject>("Personality");
    LoadSkinBitmap(bar->Bitmap.get(), image);
    bar->TopHeight = 0;
    bar->BottomHeight = 0;
    bar->Tile = Ini.ReadInteger("Personality", "TileMenu", 0);
    bar->LeftWidth = Ini.ReadInteger("Personality", "TileLeftMenu", 1);
    bar->RightWidth = Ini.ReadInteger("Personality", "TileRightMenu", 1);
    FMenuBar = std::move(bar);
}

template <class T>
T* TSkinData::NewElement(std::unique_ptr<T>& Slot, const TCustomIniFile& Ini, const std::string& Section,
                         const char* ImageKey)
{
    Slot.reset();
    const std::string image = Ini.ReadString(Section, ImageKey, "");
    if (image.empty())
        return nullptr;
    auto element = std::make_unique<T>(Section);
    LoadSkinBitmap(element->Bitmap.get(), image);
    element->LeftWidth = Ini.ReadInteger(Section, "LeftWidth", 0);
    element->RightWidth = Ini.ReadInteger(Section, "RightWidth", 0);
    element->TopHeight = Ini.ReadInteger(Section, "TopHeight", 0);
    element->BottomHeight = Ini.ReadInteger(Section, "BottomHeight", 0);
    element->Trans = Ini.ReadInteger(Section, "Trans", 0);
    element->Tile = Ini.ReadInteger(Section, "Tile", 0);
    Slot = std::move(element);
    return Slot.get();
}

void TSkinData::ReadImageElement(std::unique_ptr<TDataSkinObject>& Slot, const TCustomIniFile& Ini,
                                 const std::string& Section)
{
    TDataSkinObject* e = NewElement(Slot, Ini, Section, "Image");
    if (e == nullptr)
        return;
    e->Style = Ini.ReadInteger(Section, "Style", 0);
    ReadTextColours(*e, Ini, Section);
    if (e->Tile > 1)
        e->Tile = 0;
}

void TSkinData::ReadImagePairElement(std::unique_ptr<TDataSkinBorder>& Slot, const TCustomIniFile& Ini,
                                     const std::string& Section, const std::string& SecondKey)
{
    TDataSkinBorder* e = NewElement(Slot, Ini, Section, "Image");
    if (e == nullptr)
        return;
    const std::string second = Ini.ReadString(Section, SecondKey, "");
    if (!second.empty())
        LoadSkinBitmap(e->Bitmap2.get(), second);
    ReadTextColours(*e, Ini, Section);
    if (e->Tile > 1)
        e->Tile = 0;
}

void TSkinData::ReadBitmapElement(std::unique_ptr<TDataSkinBorder>& Slot, const TCustomIniFile& Ini,
                                  const std::string& Section)
{
    TDataSkinBorder* e = NewElement(Slot, Ini, Section, "Bitmap");
    if (e == nullptr)
        return;
    const std::string chunk = Ini.ReadString(Section, "Chunk", "");
    if (!chunk.empty())
        LoadSkinBitmap(e->Bitmap2.get(), chunk);
    e->Style = Ini.ReadInteger(Section, "Style", 0);
}

void TSkinData::SetFrameCounts()
{
    TDataSkinButton& b = *FButtons;
    b.FrameCount = 5;
    auto derived = [](const TBitmap& strip) {
        const int frame = strip.Height() < 16 ? 13 : 16;
        return std::max(strip.Width() / frame, 4);
    };
    if (b.RadioButtonFrame == 0)
        b.RadioButtonFrame = derived(*b.RadioButton);
    if (b.CheckButtonFrame == 0)
        b.CheckButtonFrame = derived(*b.CheckButton);
    FTitle->FrameCount = 2;
    auto set = [](auto& slot, int32_t count) {
        if (slot)
            slot->FrameCount = count;
    };
    set(FProgress, 2);
    set(FMenuBar, 2);
    set(FGroupBoxEdge, 2);
    set(FToolbars, 5);
    set(FTabs, 5);
    set(FStatusBarEdges, 3);
    set(FComboButton, 4);
    set(FSunkEdge, 4);
    set(FExtraImages, 5);
    set(FHeaderbar, 5);
    set(FMenuItem, 5);
    set(FMenuBackground, 1);
    set(FScrollbar, 23);
    set(FHorzScroll, 4);
    set(FVertScroll, 4);
    set(FUpDownHorz, 8);
    set(FUpDownVert, 8);
}
