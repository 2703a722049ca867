#include "skin/data/WinSkinData.h"

#include "framework/controls/Forms.h"
#include "framework/core/Exception.h"
#include "framework/core/Filer.h"
#include "framework/core/ProfileMemIniFile.h"
#include "framework/core/Published.h"
#include "framework/core/StrUtils.h"
#include "framework/graphics/GraphicsObjects.h"
#include "framework/win/Files.h"
#include "skin/data/SkinEngine.h"
#include "skin/package/SkinRead.h"
#include "skin/draw/SkinScale.h"
#include "skin/package/WinSkinStore.h"

#include <windows.h>

#include <algorithm>
#include <exception>
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
      FPackageBytes(std::make_unique<TMemoryStream>()), FSkin(std::make_unique<TSkinContent>()),
      FSharedIcon(std::make_unique<TBitmap>())
{
    for (const std::string& line : ClassMapDefaults())
        FSkin3rd->Add(line);
}

TSkinData::~TSkinData()
{
    // Every window skinned from this component gets its own look back while the skin is still here.
    if (TSkinEngine* engine = SkinEngine())
        engine->RemoveSkinData(this);
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
        LoadUsablePackage();
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
    if (Designing())
        return;
    // A skin file named in the description (and no package streamed with it) is the skin.
    if (FSkinLoading && !FSkinFile.empty() && FileExists(FSkinFile)) {
        FPackageBytes->LoadFromFile(FSkinFile);
        LoadUsablePackage();
    }
    AfterLoad();
}

void TSkinData::AfterLoad()
{
    TSkinEngine* manager = CreateSkinEngine();
    manager->AddSkinData(this);
    if (FSkinFormtype == sfMainform) {
        manager->InstallHook();
        if (FActive) {
            if (FSkinLoading)
                FActive = false; // no skin came with the form
            else
                manager->RequestAction(maSkinOn, RequestDelay);
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
    // At run time Active says true only while there is a skin to show: switched on before a skin
    // has loaded, it comes on with the first one that does.
    if (!Designing() && !ComponentState().Contains(csReading)) {
        FActivateOnLoad = Value && FSkinLoading;
        if (FActivateOnLoad)
            return;
    }
    if (Value == FActive)
        return;
    FActive = Value;
    if (Designing() || ComponentState().Contains(csReading))
        return;
    // A dialog component only skins its own windows as they come: no manager request.
    if (FSkinFormtype == sfDialog)
        return;
    TSkinEngine* manager = CreateSkinEngine();
    auto request = [&] {
        if (Value && FSkinLoading)
            return false;
        manager->RequestAction(Value ? maSkinOn : maSkinOff, RequestDelay);
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
    FSkinFile = Value;
    if (Designing()) {
        FSkinLoading = true;
        if (!Value.empty() && FPackageBytes->Size() > 0)
            FPackageBytes->Clear();
        return;
    }
    if (ComponentState().Contains(csReading))
        FSkinLoading = true;
    if (ComponentState().Contains(csReading) || !FileExists(Value))
        return;
    TMemoryStream bytes;
    bytes.LoadFromFile(Value);
    LoadBytes(bytes);
}

void TSkinData::SelectStoredSkin(TSkinStore* Store, int Index)
{
    if (Store == nullptr || Index < 0 || Index >= Store->Store()->Count())
        return;
    TMemoryStream bytes;
    bytes.LoadFromStream(Store->Store()->Items(Index)->Data());
    LoadBytes(bytes);
}

bool TSkinData::LoadSkinBytes(TMemoryStream& Bytes)
{
    try {
        return LoadBytes(Bytes);
    } catch (const std::exception& e) {
        FLoadError = e.what();
    } catch (...) {
        FLoadError = "The skin package could not be read";
    }
    return false;
}

bool TSkinData::LoadBytes(TMemoryStream& Bytes)
{
    // The new bytes become the package only when they load; a refused or failing package leaves
    // the current skin, its bytes and every skinned window as they were.
    std::unique_ptr<TMemoryStream> previous = std::exchange(FPackageBytes, std::make_unique<TMemoryStream>());
    FPackageBytes->LoadFromStream(Bytes);
    bool loaded = false;
    try {
        loaded = LoadUsablePackage();
    } catch (const std::exception& e) {
        FLoadError = e.what();
        FPackageBytes = std::move(previous);
        throw;
    } catch (...) {
        FPackageBytes = std::move(previous);
        throw;
    }
    if (!loaded) {
        FPackageBytes = std::move(previous);
        return false;
    }
    SkinChanged();
    if (std::exchange(FActivateOnLoad, false))
        SetActive(true);
    return true;
}

bool TSkinData::LoadPackage()
{
    return ParsePackage(false);
}

bool TSkinData::LoadUsablePackage()
{
    return ParsePackage(true);
}

bool TSkinData::ParsePackage(bool OnlyUsable)
{
    FLoadError.clear();
    if (Designing())
        return false;
    TSkinReader reader;
    TMemoryStream work;
    FPackageBytes->SetPosition(0);
    if (!reader.Open(*FPackageBytes)) {
        FLoadError = "Not a valid skin package" + (reader.LastError().empty() ? "" : ": " + reader.LastError());
        return false;
    }
    std::string entry;
    reader.ExtractEntryContaining(".ini", work, entry);
    // A package without a description has always failed with the file-creation error (the file
    // the description was written to was then the bare temporary folder): hosts may catch it.
    if (entry.empty())
        throw EFCreateError("The skin package has no description (no entry name contains \".ini\")");
    // The description is read from the entry's bytes as the profile functions would read a file of
    // them, at the cost of one pass over the text.
    const int dpi = WantedDpi();
    const TProfileMemIniFile description(
        std::string_view(static_cast<const char*>(work.Memory()), static_cast<size_t>(work.Size())));
    // Entries are decoded as they are read: one read past the end of a package cut short is
    // damaged, whatever else its damage made of it (an image that does not load, say).
    std::unique_ptr<TSkinContent> content;
    try {
        content = TSkinDescription(reader, dpi).Parse(description);
    } catch (const std::exception&) {
        if (!reader.CutShort())
            throw;
    }
    if (reader.CutShort()) {
        FLoadError = "The skin package is cut short: its entries run past the end of its compressed data";
        return false;
    }
    // A skin that cannot draw what it names, or has nothing to draw, is refused whole: the
    // current one stays.
    if (std::string why = OnlyUsable ? content->WhyUnusable() : std::string(); !why.empty()) {
        FLoadError = why;
        return false;
    }
    content->ScaleTo(dpi);
    AdoptSkin(std::move(content));
    return true;
}

int TSkinData::SkinDpi() const
{
    return FSkin->Dpi();
}

int TSkinData::Px(int Length) const
{
    return ScaleLength(Length, FSkin->Dpi());
}

int TSkinData::WantedDpi() const
{
    if (FPixelsPerInch > 0)
        return FPixelsPerInch;
    if (FScreenDpi > 0)
        return FScreenDpi;
    const int screen = ScreenPixelsPerInch();
    return UsableDpi(screen) ? screen : SkinDesignDpi;
}

void TSkinData::RedrawForDpi()
{
    if (FPackageBytes->Size() > 0 && WantedDpi() != SkinDpi() && ParsePackage(true))
        SkinChanged();
}

void TSkinData::SetPixelsPerInch(int Value)
{
    if (Value != 0 && !UsableDpi(Value))
        return;
    if (Value == FPixelsPerInch)
        return;
    FPixelsPerInch = Value;
    RedrawForDpi();
}

void TSkinData::ScreenDpiChanged(int Dpi)
{
    if (!UsableDpi(Dpi) || Dpi == FScreenDpi)
        return;
    FScreenDpi = Dpi;
    RedrawForDpi();
}

void TSkinData::AdoptSkin(std::unique_ptr<TSkinContent> Content)
{
    std::swap(FSkin, Content);
    // Caption buttons of skinned windows point into the old skin until the manager has them
    // re-read (the skin-changed request): until then it is kept.
    TSkinEngine* manager = SkinEngine();
    if (manager != nullptr && manager->UsesSkinData(this)) {
        FRetiredSkins.push_back(std::move(Content));
        // Skins that loads replaced before any window read them go at once: a host that loads
        // again and again without the timer running keeps at most the one its windows show.
        std::erase_if(FRetiredSkins, [manager](const std::unique_ptr<TSkinContent>& Retired) {
            return !manager->UsesSkinContent(Retired.get());
        });
    }
    FSkinLoading = false;
}

void TSkinData::SkinChanged()
{
    if (Designing() || ComponentState().Contains(csReading))
        return;
    if (SkinEngine() == nullptr)
        AfterLoad();
    TSkinEngine* manager = SkinEngine();
    manager->SetCurrentSkinData(this);
    // The windows keep their caption buttons (the replaced skin is kept for them) until the
    // request re-reads them; other components' windows are not touched.
    manager->RequestAction(maSkinChanged, RequestDelay);
}

void TSkinData::ApplyToForm(TWinControl* Form, TComponent* Component)
{
    TSkinEngine* manager = SkinEngine();
    if (manager == nullptr || Form == nullptr || !Form->HandleAllocated())
        return;
    manager->ApplyToForm(Form->Handle(), Component != nullptr ? Component : Form);
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
