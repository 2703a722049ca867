#include "demo/DemoForm.h"

#include "framework/controls/Buttons.h"
#include "framework/controls/ComCtrls.h"
#include "framework/controls/StdCtrls.h"
#include "framework/core/Dialogs.h"
#include "framework/core/Published.h"
#include "framework/core/StrUtils.h"
#include "framework/core/Stream.h"
#include "framework/graphics/Bitmap.h"
#include "framework/graphics/ImageList.h"
#include "framework/menus/Menus.h"
#include "framework/win/Files.h"
#include "framework/controls/Timer.h"
#include "skin/data/WinSkinData.h"
#include "tools/skinpack/Commands.h"

#include <windows.h>

#include <commdlg.h>

#include <stdexcept>

namespace {

constexpr int FormClientWidth = 760;
constexpr int FormClientHeight = 560;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;
constexpr int Gap = 8;
constexpr const char* Title = "Pembrox Demo";

} // namespace

std::vector<std::string> SplitCommandLine(const std::string& Line)
{
    std::vector<std::string> args;
    size_t i = 0;
    const size_t n = Line.size();
    while (true) {
        while (i < n && (Line[i] == ' ' || Line[i] == '\t'))
            ++i;
        if (i >= n)
            break;
        std::string arg;
        bool quoted = false;
        for (; i < n && (quoted || (Line[i] != ' ' && Line[i] != '\t')); ++i) {
            if (Line[i] == '\\' && i + 1 < n && Line[i + 1] == '"') {
                arg += '"';
                ++i;
            } else if (Line[i] == '"') {
                quoted = !quoted;
            } else {
                arg += Line[i];
            }
        }
        args.push_back(arg);
    }
    return args;
}

TGalleryOptions ParseGalleryOptions(const std::vector<std::string>& Args)
{
    TGalleryOptions options;
    for (const std::string& arg : Args) {
        const std::string lower = LowerCase(arg);
        if (lower == "/noskin" || lower == "-noskin") {
            options.NoSkin = true;
        } else if (lower.rfind("/page=", 0) == 0 || lower.rfind("-page=", 0) == 0) {
            const std::string digits = arg.substr(6);
            if (digits.size() == 1 && digits[0] >= '1' && digits[0] < '1' + TDemoForm::PageCount)
                options.Page = digits[0] - '0';
        } else if (lower.rfind("/skin=", 0) == 0 || lower.rfind("-skin=", 0) == 0) {
            options.SkinFile = arg.substr(6);
        }
    }
    return options;
}

const std::vector<TBuiltinSkin>& BuiltinSkins()
{
    static const std::vector<TBuiltinSkin> skins{{"DEMOSKIN", "Pembrox Slate"}, {"NIGHTSKIN", "Pembrox Night"}};
    return skins;
}

IMPLEMENT_CLASS(TDemoForm)

void TDemoForm::Publish(TClassBuilder<TDemoForm>& b)
{
    b.Method<&TDemoForm::ButtonOKClick>("ButtonOKClick")
        .Method<&TDemoForm::ButtonCloseClick>("ButtonCloseClick")
        .Field("Status", &TDemoForm::Status)
        .Field("Pages", &TDemoForm::Pages)
        .Field("ButtonOK", &TDemoForm::ButtonOK)
        .Field("ButtonClose", &TDemoForm::ButtonClose)
        .Field("SkinData1", &TDemoForm::SkinData1);
}

TDemoForm::TDemoForm(TComponent* AOwner) : TForm(AOwner)
{
    // The frame and the menu first: the client size follows from them.
    MakeMenu();
    MakePopupMenus();
    SetCaption(Title);
    SetBorderStyle(bsSizeable);
    SetBorderIcons(TBorderIcons{biSystemMenu, biMinimize, biMaximize});
    SetPosition(poScreenCenter);
    SetClientWidth(FormClientWidth);
    SetClientHeight(FormClientHeight);

    // Three panels: a sunken one for messages, a raised one left empty, and one without a bevel
    // that runs to the grip.
    Status = new TStatusBar(this);
    Status->SetName("Status");
    Status->SetParent(this);
    Status->SetHeight(22);
    const struct {
        const char* Text;
        int Width;
        TStatusPanelBevel Bevel;
        TAlignment Alignment;
    } panels[] = {{" Ready", 420, pbLowered, taLeftJustify},
                  {"", 90, pbRaised, taLeftJustify},
                  {"Pembrox", 80, pbNone, taCenter}};
    for (const auto& p : panels) {
        TStatusPanel* panel = Status->Panels()->Add();
        panel->SetText(p.Text);
        panel->SetWidth(p.Width);
        panel->SetBevel(p.Bevel);
        panel->SetAlignment(p.Alignment);
    }

    // The aligned body, before anything is placed on it, so that it has its final size when the
    // anchors are taken.
    auto* body = new TPanel(this);
    body->SetName("Body");
    body->SetParent(this);
    body->SetAlign(alClient);
    body->SetBevelOuter(bvNone);
    body->SetCaption("");
    const RECT area = body->ClientRect();
    const int buttonTop = area.bottom - Gap - ButtonHeight;

    Pages = new TPageControl(this);
    Pages->SetName("Pages");
    Pages->SetParent(body);
    Pages->SetBounds(Gap, Gap, area.right - 2 * Gap, buttonTop - 2 * Gap);
    Pages->SetAnchors(TAnchors{akLeft, akTop, akRight, akBottom});
    const char* captions[PageCount] = {"Buttons", "Text", "Lists", "Bars", "Tabs", "Windows"};
    TTabSheet* sheets[PageCount] = {};
    for (int i = 0; i < PageCount; ++i) {
        sheets[i] = new TTabSheet(this);
        sheets[i]->SetName("Page" + std::string(captions[i]));
        sheets[i]->SetPageControl(Pages);
        sheets[i]->SetCaption(captions[i]);
        sheets[i]->SetOnShow(BindMethod<&TDemoForm::PageShow>(this));
    }
    // A page's controls are made when it is first shown: the gallery is on the screen sooner.
    Pages->SetActivePage(sheets[0]);
    BuildPage(0);

    ButtonClose = new TBitBtn(this);
    ButtonClose->SetName("ButtonClose");
    ButtonClose->SetParent(body);
    ButtonClose->SetKind(bkClose);
    ButtonClose->SetBounds(area.right - Gap - ButtonWidth, buttonTop, ButtonWidth, ButtonHeight);
    ButtonClose->SetAnchors(TAnchors{akRight, akBottom});
    ButtonClose->SetOnClick(BindMethod<&TDemoForm::ButtonCloseClick>(this));

    ButtonOK = new TButton(this);
    ButtonOK->SetName("ButtonOK");
    ButtonOK->SetParent(body);
    ButtonOK->SetCaption("OK");
    ButtonOK->SetDefault(true);
    ButtonOK->SetBounds(ButtonClose->Left() - Gap - ButtonWidth, buttonTop, ButtonWidth, ButtonHeight);
    ButtonOK->SetAnchors(TAnchors{akRight, akBottom});
    ButtonOK->SetOnClick(BindMethod<&TDemoForm::ButtonOKClick>(this));

    // Skinning stays off until Start.
    SkinData1 = new TSkinData(this);
    SkinData1->SetName("SkinData1");
    SkinData1->SetSkinFormtype(sfMainform);
    SkinData1->SetOnSkinControl(BindMethod<&TDemoForm::SkinControl>(this));
}

void TDemoForm::Start(const TGalleryOptions& Options)
{
    ShowPage(Options.Page);
    // Made in code, the component has no manager yet: this makes it and installs the hook, so that
    // the windows made from now on are seen.
    SkinData1->SkinChanged();
    if (!Options.NoSkin) {
        const std::string local = GetCurrentDir() + "\\default.skn";
        if (!Options.SkinFile.empty())
            UseSkinFile(Options.SkinFile);
        else if (FileExists(local))
            UseSkinFile(local);
        else
            UseBuiltinSkin(0);
    }
    MarkSkinMenu();
    if (CurrentSkin().empty())
        ShowStatus(" Skin off");
}

void TDemoForm::SkinNotLoaded(const std::string& Source, const std::string& Why)
{
    const std::string now = CurrentSkin();
    ShowMessageBox("The skin (" + Source + ") could not be loaded:\n" + Why + "\n\n" +
                       (now.empty() ? "The windows stay unskinned." : "The skin \"" + now + "\" stays."),
                   Title, MB_OK | MB_ICONWARNING);
}

bool TDemoForm::UseSkinBytes(TMemoryStream& Bytes, const std::string& Source)
{
    if (!SkinData1->LoadSkinBytes(Bytes)) {
        SkinNotLoaded(Source, SkinData1->LoadError());
        return false;
    }
    SkinData1->SetActive(true);
    MarkSkinMenu();
    ShowStatus(" Skin: " + SkinData1->SkinName() + " (" + Source + ")");
    return true;
}

bool TDemoForm::UseBuiltinSkin(int Index)
{
    WatchSkinFolder("");
    const auto& skins = BuiltinSkins();
    if (Index < 0 || Index >= static_cast<int>(skins.size()))
        return false;
    std::string package;
    TMemoryStream bytes;
    if (ReadProgramResource(skins[static_cast<size_t>(Index)].Resource, package))
        bytes.WriteBuffer(package.data(), static_cast<int32_t>(package.size()));
    return UseSkinBytes(bytes, "built in");
}

bool TDemoForm::UseSkinFile(const std::string& FileName)
{
    if (DirectoryExists(FileName))
        return UseSkinFolder(FileName);
    WatchSkinFolder("");
    const std::string source = "file: " + FileName;
    TMemoryStream bytes;
    try {
        if (!FileExists(FileName)) {
            SkinNotLoaded(source, "The file does not exist.");
            return false;
        }
        bytes.LoadFromFile(FileName);
    } catch (const std::exception& e) {
        SkinNotLoaded(source, e.what());
        return false;
    }
    return UseSkinBytes(bytes, "file: " + ExtractFileName(FileName));
}

bool TDemoForm::UseSkinFolder(const std::string& Folder)
{
    WatchSkinFolder(Folder);
    TMemoryStream bytes;
    try {
        const std::string package = PackFolder(Folder);
        bytes.WriteBuffer(package.data(), static_cast<int32_t>(package.size()));
    } catch (const std::exception& e) {
        SkinNotLoaded("folder: " + Folder, e.what());
        return false;
    }
    return UseSkinBytes(bytes, "folder: " + ExtractFileName(Folder));
}

void TDemoForm::WatchSkinFolder(const std::string& Folder)
{
    FFolderChange.reset();
    FChangePending = false;
    FSkinFolder = Folder;
    if (Folder.empty()) {
        if (FFolderTimer != nullptr)
            FFolderTimer->SetEnabled(false);
        return;
    }
    const HANDLE change = FindFirstChangeNotificationA(
        Folder.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE);
    if (change == INVALID_HANDLE_VALUE)
        return;
    FFolderChange.reset(change, [](void* H) { FindCloseChangeNotification(H); });
    if (FFolderTimer == nullptr) {
        FFolderTimer = new TTimer(this);
        FFolderTimer->SetInterval(50);
        FFolderTimer->SetOnTimer(BindMethod<&TDemoForm::SkinFolderTick>(this));
    }
    FFolderTimer->SetEnabled(true);
}

void TDemoForm::SkinFolderTick(TObject*)
{
    if (!FFolderChange)
        return;
    if (WaitForSingleObject(FFolderChange.get(), 0) == WAIT_OBJECT_0) {
        FindNextChangeNotification(FFolderChange.get());
        FChangedAt = GetTickCount();
        FChangePending = true;
        return;
    }
    if (!FChangePending || GetTickCount() - FChangedAt < 150)
        return;
    FChangePending = false;
    // Loaded again quietly: a save that breaks the skin is told in the status bar, not in a box
    // for every save, and the last good skin stays.
    std::string why;
    TMemoryStream bytes;
    try {
        const std::string package = PackFolder(FSkinFolder);
        bytes.WriteBuffer(package.data(), static_cast<int32_t>(package.size()));
        if (!SkinData1->LoadSkinBytes(bytes))
            why = SkinData1->LoadError();
    } catch (const std::exception& e) {
        why = e.what();
    }
    if (!why.empty()) {
        const std::string now = CurrentSkin();
        ShowStatus(" Not loaded: " + why + (now.empty() ? "" : " (" + now + " stays)"), true);
        return;
    }
    SkinData1->SetActive(true);
    MarkSkinMenu();
    ShowStatus(" Skin: " + SkinData1->SkinName() + " (folder: " + ExtractFileName(FSkinFolder) + ", loaded again)");
}

void TDemoForm::SkinOff()
{
    WatchSkinFolder("");
    SkinData1->SetActive(false);
    MarkSkinMenu();
    ShowStatus(" Skin off");
}

std::string TDemoForm::CurrentSkin() const
{
    return SkinData1->Active() && !SkinData1->SkinLoading() ? SkinData1->SkinName() : std::string();
}

void TDemoForm::PageShow(TObject* Sender)
{
    if (auto* sheet = dynamic_cast<TTabSheet*>(Sender))
        BuildPage(sheet->PageIndex());
}

void TDemoForm::BuildPage(int Index)
{
    if (Index < 0 || Index >= PageCount || FPageBuilt[Index])
        return;
    FPageBuilt[Index] = true;
    TWinControl* sheet = Pages->Pages(Index);
    using TMake = void (TDemoForm::*)(TWinControl*);
    static constexpr TMake makers[PageCount] = {&TDemoForm::MakeButtonsPage, &TDemoForm::MakeTextPage,
                                                &TDemoForm::MakeListsPage,   &TDemoForm::MakeBarsPage,
                                                &TDemoForm::MakeTabsPage,    &TDemoForm::MakeWindowsPage};
    (this->*makers[Index])(sheet);
}

void TDemoForm::ShowPage(int Page)
{
    if (Page >= 1 && Page <= PageCount)
        Pages->SetActivePageIndex(Page - 1);
}

int TDemoForm::Page() const
{
    return Pages->ActivePageIndex() + 1;
}

void TDemoForm::MarkSkinMenu()
{
    const std::string now = CurrentSkin();
    for (int i = 0; i < FSkinsMenu->Count(); ++i) {
        TMenuItem* item = FSkinsMenu->Items(i);
        if (item->Caption() == "-" || item->Tag() == 0)
            continue;
        const bool off = item->Tag() < 0;
        item->SetChecked(off ? now.empty() : StripHotkey(item->Caption()) == now);
    }
}

void TDemoForm::MakeMenu()
{
    MainMenu1 = new TMainMenu(this);
    MainMenu1->SetName("MainMenu1");
    int count = 0;
    auto add = [&](TMenuItem* Parent, const std::string& Caption, TShortCut Key = scNone) {
        auto* item = new TMenuItem(this);
        item->SetName("MenuItem" + std::to_string(++count));
        item->SetCaption(Caption);
        item->SetShortCut(Key);
        item->SetOnClick(BindMethod<&TDemoForm::MenuItemClick>(this));
        Parent->Add(item);
        return item;
    };
    TMenuItem* root = MainMenu1->Items();
    TMenuItem* file = add(root, "&File");
    add(file, "&Open skin...", ShortCut('O', false, true, false))
        ->SetOnClick(BindMethod<&TDemoForm::OpenSkinClick>(this));
    add(file, "-");
    add(file, "E&xit")->SetOnClick(BindMethod<&TDemoForm::ExitClick>(this));

    // The built-in skins, then "Skin off"; the current one has the radio mark. Tags: 1 + index of a
    // built-in skin, -1 for off.
    FSkinsMenu = add(root, "&Skins");
    int index = 0;
    for (const TBuiltinSkin& skin : BuiltinSkins()) {
        TMenuItem* item = add(FSkinsMenu, skin.Name, index < 9 ? ShortCut('1' + index, false, true, false) : scNone);
        item->SetTag(++index);
        item->SetRadioItem(true);
        item->SetGroupIndex(1);
        item->SetOnClick(BindMethod<&TDemoForm::BuiltinSkinClick>(this));
    }
    add(FSkinsMenu, "-");
    TMenuItem* off = add(FSkinsMenu, "Skin off", ShortCut('0', false, true, false));
    off->SetTag(-1);
    off->SetRadioItem(true);
    off->SetGroupIndex(1);
    off->SetOnClick(BindMethod<&TDemoForm::SkinOffClick>(this));

    TMenuItem* view = add(root, "&View");
    TMenuItem* bar = add(view, "&Status bar");
    bar->SetChecked(true);
    bar->SetOnClick(BindMethod<&TDemoForm::ToggleClick>(this));
    TMenuItem* more = add(view, "&More");
    add(more, "&Small");
    add(more, "&Large");
    add(more, "Unavailable")->SetEnabled(false);
    add(view, "&Refresh", VK_F5);

    TMenuItem* help = add(root, "&Help");
    add(help, "&About Pembrox...")->SetOnClick(BindMethod<&TDemoForm::AboutClick>(this));
    SetMenu(MainMenu1);
}

void TDemoForm::MakePopupMenus()
{
    // Three small glyphs: a blue square, a green disc, an amber bar.
    MenuImages = new TImageList(this);
    MenuImages->SetName("MenuImages");
    for (int k = 0; k < 3; ++k) {
        TBitmap glyph(16, 16, pf24bit);
        TCanvas& c = *glyph.Canvas();
        c.Brush()->SetColor(clFuchsia);
        c.FillRect(RECT{0, 0, 16, 16});
        const TColor colours[3] = {0x00B05020, 0x0040A040, 0x0020A0E0}; // BGR
        c.Brush()->SetColor(colours[k]);
        c.Pen()->SetColor(colours[k]);
        if (k == 0)
            c.FillRect(RECT{3, 3, 13, 13});
        else if (k == 1)
            c.Ellipse(2, 2, 14, 14);
        else
            c.FillRect(RECT{2, 6, 14, 10});
        MenuImages->AddMasked(&glyph, clFuchsia);
    }
    int count = 0;
    auto add = [&](TMenuItem* Parent, const char* Caption, TShortCut Key = scNone) {
        auto* item = new TMenuItem(this);
        item->SetName("PopupItem" + std::to_string(++count));
        item->SetCaption(Caption);
        item->SetShortCut(Key);
        item->SetOnClick(BindMethod<&TDemoForm::MenuItemClick>(this));
        Parent->Add(item);
        return item;
    };
    PopupMenu1 = new TPopupMenu(this);
    PopupMenu1->SetName("PopupMenu1");
    PopupMenu1->SetImages(MenuImages);
    TMenuItem* root = PopupMenu1->Items();
    TMenuItem* refresh = add(root, "&Refresh", VK_F5);
    refresh->SetImageIndex(0);
    refresh->SetDefault(true);
    TMenuItem* pin = add(root, "&Pinned");
    pin->SetImageIndex(1);
    pin->SetChecked(true);
    pin->SetOnClick(BindMethod<&TDemoForm::ToggleClick>(this));
    TMenuItem* grid = add(root, "Show &grid");
    grid->SetChecked(true);
    grid->SetOnClick(BindMethod<&TDemoForm::ToggleClick>(this));
    add(root, "-");
    TMenuItem* send = add(root, "&Send to");
    add(send, "&Printer");
    add(send, "&Mail");
    add(root, "&Copy", ShortCut('C', false, true, false))->SetImageIndex(2);
    add(root, "&Unavailable")->SetEnabled(false);
    add(root, "-");
    add(root, "Right-to-left &menu...")->SetOnClick(BindMethod<&TDemoForm::RightToLeftClick>(this));
    SetPopupMenu(PopupMenu1);

    PopupMenuRTL = new TPopupMenu(this);
    PopupMenuRTL->SetName("PopupMenuRTL");
    PopupMenuRTL->SetBiDiMode(bdRightToLeft);
    add(PopupMenuRTL->Items(), "&First item", ShortCut('1', false, true, false));
    add(PopupMenuRTL->Items(), "&Second item")->SetChecked(true);
    add(PopupMenuRTL->Items(), "-");
    add(PopupMenuRTL->Items(), "&Third item");
}

void TDemoForm::RightToLeftClick(TObject*)
{
    POINT at{};
    GetCursorPos(&at);
    PopupMenuRTL->Popup(at.x, at.y);
}

void TDemoForm::MenuItemClick(TObject* Sender)
{
    if (auto* item = dynamic_cast<TMenuItem*>(Sender); item != nullptr && item->Count() == 0)
        ShowStatus(" " + StripHotkey(item->Caption()) + " chosen");
}

void TDemoForm::ToggleClick(TObject* Sender)
{
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (item == nullptr)
        return;
    item->SetChecked(!item->Checked());
    const std::string caption = StripHotkey(item->Caption());
    if (caption == "Status bar")
        Status->SetVisible(item->Checked());
    ShowStatus(" " + caption + (item->Checked() ? " on" : " off"));
}

void* CommonDialogFunction(const char* Name)
{
    // Loaded at the first dialog, not imported: the library and the ones it pulls in would be
    // loaded before the program starts, a noticeable share of its start-up under Wine.
    static const HMODULE library = LoadLibraryA("comdlg32.dll");
    if (library == nullptr)
        throw std::runtime_error("The common dialogs are not available");
    void* function = reinterpret_cast<void*>(GetProcAddress(library, Name));
    if (function == nullptr)
        throw std::runtime_error(std::string("The common dialogs have no ") + Name);
    return function;
}

std::string TDemoForm::AskForFile(const char* Filter, bool MustExist)
{
    char file[MAX_PATH] = "";
    OPENFILENAMEA open{};
    open.lStructSize = sizeof open;
    open.hwndOwner = Handle();
    open.lpstrFilter = Filter;
    open.lpstrFile = file;
    open.nMaxFile = sizeof file;
    open.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | (MustExist ? OFN_FILEMUSTEXIST : 0);
    const auto getOpenFileName = CommonDialog<decltype(GetOpenFileNameA)>("GetOpenFileNameA");
    return getOpenFileName(&open) ? std::string(file) : std::string();
}

void TDemoForm::OpenSkinClick(TObject*)
{
    if (const std::string file = AskForFile("Skins (*.skn)\0*.skn\0All files\0*.*\0", true); !file.empty())
        UseSkinFile(file);
}

void TDemoForm::BuiltinSkinClick(TObject* Sender)
{
    if (auto* item = dynamic_cast<TMenuItem*>(Sender))
        UseBuiltinSkin(item->Tag() - 1);
}

void TDemoForm::SkinOffClick(TObject*)
{
    SkinOff();
}

void TDemoForm::ExitClick(TObject*)
{
    Close();
}

void TDemoForm::AboutClick(TObject*)
{
    ShowMessageBox("Pembrox Demo\nEvery window of this program is drawn from a skin.", "About Pembrox",
                   MB_OK | MB_ICONINFORMATION);
}

void TDemoForm::ApplicationException(TObject*, const std::exception& E)
{
    ShowMessageBox(E.what(), Title, MB_OK | MB_ICONSTOP);
}

void TDemoForm::ShowStatus(const std::string& Text, bool Wide)
{
    if (Wide)
        Status->SetSimpleText(Text);
    else
        Status->Panels()->Items(0)->SetText(Text);
    Status->SetSimplePanel(Wide);
}

std::string TDemoForm::StatusText() const
{
    return Status->SimplePanel() ? Status->SimpleText() : Status->Panels()->Items(0)->Text();
}

void TDemoForm::ButtonOKClick(TObject*)
{
    ShowStatus(" OK pressed");
}

void TDemoForm::ButtonCloseClick(TObject*)
{
    Close();
}

void RegisterDemoForm()
{
    // CreateForm reads a form's description; this form builds itself, so its description only
    // names it.
    RegisterFormDescription("TDemoForm", "object DemoForm: TDemoForm\nend\n");
}
