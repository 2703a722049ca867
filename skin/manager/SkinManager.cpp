#include "skin/manager/SkinManager.h"

#include "framework/controls/ControlHook.h"
#include "framework/controls/Forms.h"
#include "framework/core/StrUtils.h"
#include "framework/win/Callback.h"
#include "framework/win/Platform.h"
#include "framework/win/StartupTrace.h"
#include "framework/win/Subclass.h"
#include "skin/data/WinSkinData.h"
#include "skin/draw/FrameComposer.h"
#include "skin/draw/SkinDraw.h"
#include "skin/form/WinSkinForm.h"
#include "skin/menus/MenuItemPainter.h"
#include "skin/menus/WinSkinPopMenu.h"

#include <algorithm>

bool IsWin9x = false;

namespace {

// Each GUI thread that skins has its manager: its hooks, timer and windows are that thread's. A
// plain pointer, freed by FreeSkinManager on its thread, never by a destructor at the thread's end.
thread_local TSkinManage* GManager = nullptr;

// The window belongs to the calling thread: a manager skins only its own thread's windows.
bool OnThisThread(HWND W)
{
    return GetWindowThreadProcessId(W, nullptr) == GetCurrentThreadId();
}

} // namespace

TSkinManage* SkinManager()
{
    return GManager;
}

namespace {

// The skin data components make the manager through the engine registration.
[[maybe_unused]] const bool GRegistered = (RegisterSkinEngine(TSkinEngineRegistration{
                              []() noexcept -> TSkinEngine* { return GManager; },
                              []() -> TSkinEngine* { return CreateSkinManager(); }}),
                          true);

} // namespace

TSkinManage* CreateSkinManager()
{
    if (GManager == nullptr) {
        GManager = new TSkinManage();
        // The application's end frees the manager of the thread that ends it.
        Application()->AddFinalization(&FreeSkinManager);
    }
    return GManager;
}

void FreeSkinManager() noexcept
{
    TSkinManage* manager = GManager;
    GManager = nullptr;
    delete manager;
    // What this thread painted with goes with it, on this thread (made again when it paints).
    FreeMenuPaintState();
    FreeSharedPaintBitmap();
    FreeStretchMaps();
}

TSkinManage::TSkinManage() : FTimer(std::make_unique<TTimer>())
{
    FTimer->SetEnabled(false);
    FTimer->SetInterval(250);
    FTimer->SetOnTimer(BindMethod<&TSkinManage::OnActionTimer>(this));
}

TSkinManage::~TSkinManage()
{
    FTimer.reset();
    FHook.reset();
    FShowWatches.clear();
    while (!FSkinnedForms.empty()) {
        TRetiringPtr<TWinSkinForm> form = std::move(FSkinnedForms.back());
        FSkinnedForms.pop_back();
        form->SetSkinState(ssDetaching);
        CallGuarded([&] { form->Unskin(); });
    }
    for (const auto& popup : FSkinnedPopups)
        CallGuarded([&] { popup->Restore(); });
    FSkinnedPopups.clear();
}

std::vector<TWinSkinForm*> TSkinManage::SkinnedForms() const
{
    std::vector<TWinSkinForm*> forms;
    for (const auto& form : FSkinnedForms)
        forms.push_back(form.get());
    return forms;
}

std::vector<TWinSkinPopMenu*> TSkinManage::SkinnedPopups() const
{
    std::vector<TWinSkinPopMenu*> popups;
    for (const auto& popup : FSkinnedPopups)
        popups.push_back(popup.get());
    return popups;
}

void TSkinManage::InstallHook()
{
    IsWin9x = IsWin9xVersion();
    // One hook for the thread is enough; a second main-form component finds it in place.
    if (FHook)
        return;
    FHook.reset(SetWindowsHookExA(WH_CBT, &TSkinManage::HookProc, nullptr, GetCurrentThreadId()));
}

void TSkinManage::WatchNewWindow(HWND W, const std::string& ClassName, const CREATESTRUCTA* Create)
{
    if (!FSkinningOn || Create == nullptr || Create->hwndParent == HWND_MESSAGE)
        return;
    Watch(W, ClassName, static_cast<DWORD>(Create->style));
}

void TSkinManage::Watch(HWND W, const std::string& ClassName, DWORD Style)
{
    // Framed top-level windows only: a window without a frame shows no frame of its own to
    // replace, and the hidden helper windows a program makes (message windows, OLE's, the
    // application's) would stay watched for good.
    constexpr DWORD Frames = WS_CAPTION | WS_THICKFRAME | WS_DLGFRAME | WS_BORDER;
    if ((Style & WS_CHILD) != 0 || (Style & Frames) == 0)
        return;
    if (ClassName == "TApplication" || !CanSkinClass(ClassName))
        return;
    WatchUntilShown(W);
}

// A window waiting for its first show: a framework form's window method is hooked until then,
// any other window's procedure subclassed (in its own character set: the watch reads no text, and
// a Unicode program's texts must reach it untranslated while its window is being made).
struct TSkinManage::TShowWatch : TObject {
    TSkinManage* Manager = nullptr;
    HWND Window = nullptr;
    TControlHook FormHook;
    TWindowSubclass Subclass;

    void Hooked(TMessage& Message)
    {
        if (Message.Msg != WM_SHOWWINDOW || Message.WParam == 0) {
            if (FormHook.Installed())
                FormHook.CallOld(Message);
            else
                Subclass.CallOld(Message);
            return;
        }
        // The watch ends first (this object with it), so that the hooks the window gets as it is
        // taken over are not stacked on this one.
        TSkinManage* const manager = Manager;
        const HWND window = Window;
        const TWndMethod oldMethod = FormHook.OldMethod();
        const bool form = FormHook.Installed();
        const bool top = Subclass.IsTop();
        const WNDPROC oldProc = Subclass.OldProc();
        const bool unicode = Subclass.Unicode();
        manager->EndShowWatch(window);
        if (manager->FSkinningOn)
            CallGuarded([&] { manager->SkinBeforeShow(window); });
        if (form) {
            if (oldMethod)
                oldMethod(Message);
            return;
        }
        // The message goes on as if it had just been sent: through the subclass the window got as
        // it was taken over. When someone subclassed the window on top of the watch, it has been
        // through theirs already and goes on below.
        const WNDPROC next = top ? WindowProcIn(window, unicode) : oldProc;
        Message.Result = CallWindowProcIn(next, unicode, window, Message.Msg, Message.WParam, Message.LParam);
    }
};

TCustomForm* TSkinManage::FrameworkFormOf(HWND W)
{
    // While its window is being made, the control does not know it yet.
    TWinControl* control = TWinControl::FindControl(W);
    if (control == nullptr) {
        control = TWinControl::ControlBeingMade();
        if (control != nullptr && control->HandleAllocated())
            control = nullptr;
    }
    return dynamic_cast<TCustomForm*>(control);
}

bool TSkinManage::WaitsForShow(HWND W) const
{
    return std::any_of(FShowWatches.begin(), FShowWatches.end(), [W](const auto& w) { return w->Window == W; });
}

void TSkinManage::EndShowWatch(HWND W) noexcept
{
    const auto it =
        std::find_if(FShowWatches.begin(), FShowWatches.end(), [W](const auto& w) { return w->Window == W; });
    if (it != FShowWatches.end())
        FShowWatches.erase(it);
}

void TSkinManage::WatchUntilShown(HWND W)
{
    if (WaitsForShow(W))
        return;
    auto watch = std::make_unique<TShowWatch>();
    watch->Manager = this;
    watch->Window = W;
    const TWndMethod hooked = BindMethod<&TShowWatch::Hooked>(watch.get());
    if (TCustomForm* form = FrameworkFormOf(W))
        watch->FormHook.Install(form, hooked);
    else
        watch->Subclass.Install(W, hooked, TSubclassChars::Window);
    FShowWatches.push_back(std::move(watch));
}

void TSkinManage::WatchHiddenWindows()
{
    // Windows the program made before skinning came on (a main form's window is made before the
    // skin data component it owns has loaded its skin) are watched like new ones, so that they
    // too are taken over before they are first shown.
    EnumThreadWindows(GetCurrentThreadId(), &TSkinManage::WatchIfHidden, reinterpret_cast<LPARAM>(this));
}

BOOL CALLBACK TSkinManage::WatchIfHidden(HWND W, LPARAM Self)
{
    auto* self = reinterpret_cast<TSkinManage*>(Self);
    if (!IsWindowVisible(W) && !self->IsSkinnedWindow(W) && GetParent(W) != HWND_MESSAGE)
        self->Watch(W, WindowClassName(W), static_cast<DWORD>(GetWindowLongA(W, GWL_STYLE)));
    return TRUE;
}

bool TSkinManage::WindowBeingMade(HWND W, const CBT_CREATEWNDA* Create)
{
    const std::string cls = WindowClassName(W);
    const CREATESTRUCTA* params = Create != nullptr ? Create->lpcs : nullptr;
    if (cls == "ScrollBar" && params != nullptr && IsSkinnedWindow(params->hwndParent))
        return false; // a skinned form never gets a stand-alone scroll bar
    if (cls == "#32768")
        SkinPopupWindow(W);
    else if (params != nullptr && (params->style & WS_CHILD) != 0) {
        NoteNewChild(params);
        // An MDI child, whoever makes it (the client's WM_MDICREATE, CreateMDIWindow, a window
        // made with WS_EX_MDICHILD), is taken over before it is first shown.
        if ((params->dwExStyle & WS_EX_MDICHILD) != 0 && FSkinningOn && CanSkinClass(cls))
            WatchUntilShown(W);
    } else
        WatchNewWindow(W, cls, params);
    return true;
}

void TSkinManage::NoteNewChild(const CREATESTRUCTA* Create)
{
    // A control made on a skinned window, by the framework or not (a page built when first shown,
    // a panel the program adds), is taken over before its first paint: the walk is posted, and
    // posted messages come before painting.
    for (HWND parent = Create->hwndParent; parent != nullptr && parent != HWND_MESSAGE; parent = GetParent(parent))
        if (TWinSkinForm* form = FindSkinForm(parent); form != nullptr) {
            form->WalkNewChildren();
            return;
        }
}

void TSkinManage::SkinBeforeShow(HWND W)
{
    const auto style = static_cast<DWORD>(GetWindowLongA(W, GWL_STYLE));
    // Top-level windows and MDI children only, and only while still hidden: a window shown
    // already was seen with its own frame and is taken over on activation as before.
    const bool mdiChild = (static_cast<DWORD>(GetWindowLongA(W, GWL_EXSTYLE)) & WS_EX_MDICHILD) != 0;
    if (((style & WS_CHILD) != 0 && !mdiChild) || IsWindowVisible(W))
        return;
    if (!IsSkinnedWindow(W) && !SkinWindow(W))
        return;
    // Started now rather than by the posted start message (a window activated while hidden, a
    // dialog made and shown without a message loop in between, was taken over but not started).
    if (TWinSkinForm* form = FindSkinForm(W); form != nullptr && form->SkinState() == ssNone)
        SendMessageA(W, SKM_START, 0, 1000);
}

LRESULT CALLBACK TSkinManage::HookProc(int Code, WPARAM WParam, LPARAM LParam)
{
    TSkinManage* self = GManager;
    HHOOK hook = self != nullptr ? self->FHook.get() : nullptr;
    if (Code < 0 || self == nullptr)
        return CallNextHookEx(hook, Code, WParam, LParam);
    const auto window = reinterpret_cast<HWND>(WParam);
    try {
        switch (Code) {
        case HCBT_CREATEWND:
            if (!self->WindowBeingMade(window, reinterpret_cast<const CBT_CREATEWNDA*>(LParam)))
                return 10;
            break;
        case HCBT_DESTROYWND:
            self->EndShowWatch(window);
            self->FGivenBack.erase(std::remove(self->FGivenBack.begin(), self->FGivenBack.end(), window),
                                   self->FGivenBack.end());
            self->ReleasePopupWindow(window);
            // A program's own window goes on skinned until its WM_DESTROY is over (it is hidden
            // by then, and the program may still read its place to save it).
            if (const TWinSkinForm* form = self->FindSkinForm(window); form == nullptr || !form->GoesAtDestroy())
                self->ReleaseWindow(window);
            break;
        case HCBT_ACTIVATE:
            if (self->FActivationCount == 0)
                self->FActivationCount = 1;
            self->SkinWindow(window);
            break;
        case HCBT_SYSCOMMAND:
            if ((WParam & 0xFFF0) == SC_KEYMENU && self->ForwardKeyMenu(LParam))
                return 1;
            break;
        default:
            break;
        }
    } catch (...) {
        HandleCallbackException();
    }
    return CallNextHookEx(hook, Code, WParam, LParam);
}

bool TSkinManage::ForwardKeyMenu(LPARAM Key)
{
    // The platform gives Alt+letter pressed in a control to the control's own key command, which
    // looks for a native menu bar above it; a skinned window has none any more. The command goes
    // to the window whose bar the skin draws instead (its own command reached it first).
    const HWND focus = GetFocus();
    const HWND root = focus != nullptr ? GetAncestor(focus, GA_ROOT) : nullptr;
    if (root == nullptr || root == focus || FForwardingKeyMenu)
        return false;
    const TWinSkinForm* form = FindSkinForm(root);
    if (form == nullptr || form->SkinMenu() == nullptr)
        return false;
    FForwardingKeyMenu = true;
    struct TClear {
        bool& Flag;
        ~TClear() { Flag = false; }
    } clear{FForwardingKeyMenu};
    SendMessageA(root, WM_SYSCOMMAND, SC_KEYMENU, Key);
    return true;
}

void TSkinManage::AddSkinData(TSkinData* Data)
{
    if (std::find(FSkinDataList.begin(), FSkinDataList.end(), Data) == FSkinDataList.end())
        FSkinDataList.push_back(Data);
}

void TSkinManage::RemoveSkinData(TSkinData* Data)
{
    FSkinDataList.erase(std::remove(FSkinDataList.begin(), FSkinDataList.end(), Data), FSkinDataList.end());
    if (FCurrentSkinData == Data)
        FCurrentSkinData = nullptr;
    // Nothing may keep painting from a skin that is going: its windows get their own look back.
    for (TWinSkinForm* form : SkinnedForms())
        if (form->SkinData() == Data)
            CallGuarded([&] { DetachForm(form, true); });
    for (TWinSkinPopMenu* popup : SkinnedPopups())
        if (popup->SkinData() == Data)
            ReleasePopupWindow(popup->Handle());
}

bool TSkinManage::UsesSkinData(const TSkinData* Data) const
{
    return std::any_of(FSkinnedForms.begin(), FSkinnedForms.end(),
                       [Data](const auto& f) { return f->SkinData() == Data; });
}

bool TSkinManage::IsSkinnedWindow(HWND W) const
{
    return W != nullptr && std::any_of(FSkinnedForms.begin(), FSkinnedForms.end(),
                                       [W](const auto& f) { return f->Handle() == W; });
}

TWinSkinForm* TSkinManage::FindSkinForm(HWND W) const
{
    for (const auto& form : FSkinnedForms)
        if (form->Handle() == W)
            return form.get();
    return nullptr;
}

void TSkinManage::ForgetForm(TWinSkinForm* Form) noexcept
{
    // Being freed (or retired) by someone else: the list lets go without releasing it again.
    static_cast<void>(TakeForm(Form).release());
}

TRetiringPtr<TWinSkinForm> TSkinManage::TakeForm(TWinSkinForm* Form) noexcept
{
    auto it = std::find_if(FSkinnedForms.begin(), FSkinnedForms.end(),
                           [Form](const auto& f) { return f.get() == Form; });
    if (it == FSkinnedForms.end())
        return nullptr;
    TRetiringPtr<TWinSkinForm> form = std::move(*it);
    FSkinnedForms.erase(it);
    return form;
}

bool TSkinManage::IsSkinnedPopup(HWND W) const
{
    return std::any_of(FSkinnedPopups.begin(), FSkinnedPopups.end(),
                       [W](const auto& p) { return p->Handle() == W; });
}

void TSkinManage::SkinPopupWindow(HWND W)
{
    if (!FSkinningOn || SendMessageA(W, SKM_QUERY, 0, 0) == 1 || IsSkinnedPopup(W))
        return;
    TSkinData* data = ChooseSkinData(W);
    if (data == nullptr || data->SkinLoading() || !data->SkinControls().Contains(xcMainMenu))
        return;
    TRetiringPtr<TWinSkinPopMenu> popup(new TWinSkinPopMenu());
    popup->Attach(W, data);
    FSkinnedPopups.push_back(std::move(popup));
}

bool TSkinManage::ReleasePopupWindow(HWND W)
{
    for (auto it = FSkinnedPopups.begin(); it != FSkinnedPopups.end(); ++it) {
        if ((*it)->Handle() != W)
            continue;
        TRetiringPtr<TWinSkinPopMenu> popup = std::move(*it);
        FSkinnedPopups.erase(it);
        popup->Restore();
        return true;
    }
    return false;
}

TBitmap* TSkinManage::FindPopupBackground(HMENU Menu) const
{
    TWinSkinPopMenu* popup = FindPopupOf(Menu);
    return popup != nullptr ? popup->Background() : nullptr;
}

TBitmap* TSkinManage::SharedMainIcon() const
{
    TBitmap* icon = nullptr;
    for (TSkinData* data : FSkinDataList)
        if (data->SkinFormtype() == sfMainform && !data->SharedIcon()->Empty())
            icon = data->SharedIcon();
    return icon;
}

bool TSkinManage::UsesSkinContent(const TSkinContent* Content) const
{
    return std::any_of(FSkinnedForms.begin(), FSkinnedForms.end(),
                       [Content](const auto& Form) { return Form->Buttons().PointsInto(*Content); });
}

void TSkinManage::ApplyToForm(HWND Window, TComponent* Container)
{
    if (TWinSkinForm* form = FindSkinForm(Window))
        form->AdaptorSet().AttachControls(Container);
}

void TSkinManage::SetMdiMax(bool Max)
{
    if (Max == FMdiMaximized)
        return;
    FMdiMaximized = Max;
    for (TWinSkinForm* form : SkinnedForms())
        form->MdiMaximizedChanged(Max);
}

TCustomForm* TSkinManage::FindForm(HWND W) const
{
    TScreen* screen = Screen();
    for (int i = 0; i < screen->FormCount(); ++i) {
        TCustomForm* form = screen->Forms(i);
        if (form->HandleAllocated() && form->Handle() == W)
            return form;
    }
    return nullptr;
}

bool TSkinManage::IsEmbeddedChild(HWND W) const
{
    if ((GetWindowLongA(W, GWL_STYLE) & WS_CHILD) == 0)
        return false;
    return LowerCase(WindowClassName(GetParent(W))) != "mdiclient";
}

bool TSkinManage::CanSkinClass(const std::string& ClassName) const
{
    bool doSkin = true;
    for (TSkinData* data : FSkinDataList)
        if (data->SkinFormtype() == sfMainform) {
            data->DoFormSkin(ClassName, doSkin);
            break;
        }
    return doSkin;
}

TSkinData* TSkinManage::ChooseSkinData(HWND W) const
{
    TSkinData* found = nullptr;
    for (TSkinData* data : FSkinDataList) {
        auto* owner = dynamic_cast<TWinControl*>(data->Owner());
        if (data->SkinFormtype() == sfOnlyThisForm && owner != nullptr && owner->HandleAllocated() &&
            owner->Handle() == W)
            found = data;
    }
    if (found != nullptr)
        return found;
    const std::string cls = LowerCase(WindowClassName(W));
    if (cls == "tmessageform" || cls == "#32770") {
        for (TSkinData* data : FSkinDataList)
            if (data->SkinFormtype() == sfDialog)
                found = data;
        if (found != nullptr)
            return found;
    }
    for (TSkinData* data : FSkinDataList)
        if (data->SkinFormtype() == sfMainform)
            found = data;
    if (found != nullptr)
        return found;
    return FSkinDataList.empty() ? nullptr : FSkinDataList.front();
}

bool TSkinManage::SkinWindow(HWND W)
{
    if (!FSkinningOn || !OnThisThread(W))
        return false;
    if (SendMessageA(W, SKM_QUERY, 0, 0) == 1)
        return false;
    if (IsSkinnedWindow(W) || std::find(FGivenBack.begin(), FGivenBack.end(), W) != FGivenBack.end())
        return false;
    TCustomForm* form = FindForm(W);
    if (!FFullPass && IsEmbeddedChild(W))
        return false;
    RECT r{};
    if (!GetWindowRect(W, &r) || r.right <= r.left || r.bottom <= r.top)
        return false;
    if (form != nullptr && form->Tag() == tgDisable)
        return false;
    const std::string cls = WindowClassName(W);
    if (cls == "TApplication")
        return false;
    if (!CanSkinClass(cls))
        return false;
    TSkinData* data = ChooseSkinData(W);
    if (data == nullptr || data->SkinLoading())
        return false;

    auto skinForm = std::make_unique<TWinSkinForm>();
    skinForm->SetHandle(W);
    skinForm->SetSite(this);
    TWinSkinForm* attached = skinForm.get();
    FSkinnedForms.emplace_back(skinForm.release());
    try {
        if (form != nullptr)
            attached->AttachForm(data, form);
        else
            attached->SkinFrame(data);
    } catch (...) {
        // A window that cannot be taken over is left as it is: the object goes with the list's hold.
        TakeForm(attached);
        throw;
    }
    PostMessageA(W, SKM_START, 0, 1000);
    StartupMark("the engine took a window over");
    return true;
}

void TSkinManage::DetachForm(TWinSkinForm* Form, bool Repaint)
{
    // Out of the list first: whatever happens while the window is given back, the object is
    // released exactly once.
    TRetiringPtr<TWinSkinForm> owned = TakeForm(Form);
    if (!owned)
        owned.reset(Form);
    const HWND window = Form->Handle();
    Form->Unskin();
    if (Repaint && IsWindow(window)) {
        InvalidateRect(window, nullptr, TRUE);
        UpdateWindow(window);
    }
}

bool TSkinManage::ReleaseWindow(HWND W)
{
    for (TWinSkinForm* form : SkinnedForms())
        if (form->Handle() == W) {
            form->SetSkinState(ssDetaching);
            DetachForm(form, false);
            return true;
        }
    return false;
}

void TSkinManage::GiveWindowBack(TWinSkinForm* Form)
{
    if (Form == nullptr || !IsWindow(Form->Handle()))
        return;
    FGivenBack.push_back(Form->Handle());
    DetachForm(Form, true);
}

void TSkinManage::RetakeWindow(TWinSkinForm* Form)
{
    const HWND window = Form->Handle();
    CallGuarded([&] { DetachForm(Form, true); });
    FFullPass = true;
    const bool taken = CallGuarded([&] { return SkinWindow(window); }, false);
    FFullPass = false;
    // Started at once: the window shows no moment of the platform's frame.
    if (taken && IsWindow(window))
        SendMessageA(window, SKM_START, 0, 0);
}

void TSkinManage::RequestAction(int Action, uint32_t Delay)
{
    FPendingAction = Action;
    FTimer->SetInterval(Delay);
    // A program that switches skinning on at run time may have activated its forms before the
    // hook was there to see it: an active form of ours counts as that first activation.
    if (FActivationCount == 0 && FindForm(GetActiveWindow()) != nullptr)
        FActivationCount = 1;
    if (FActivationCount != 0) {
        FTimer->SetEnabled(true);
        return;
    }
    // No window activated yet: windows are skinned as they are shown or activated.
    if (Action == maSkinOn) {
        FSkinningOn = true;
        CallGuarded([&] { WatchHiddenWindows(); });
    } else if (Action == maSkinOff) {
        FSkinningOn = false;
    }
}

void TSkinManage::ResetFormButtons()
{
    for (const auto& form : FSkinnedForms)
        form->ResetCaptionButtons();
}

void TSkinManage::OnActionTimer(TObject*)
{
    TSkinData* data = FCurrentSkinData;
    if (data == nullptr)
        return;
    FTimer->SetEnabled(false);
    // A window that fails is reported and left; the walk goes on with the next one, and the
    // full-pass flag never outlives the walk.
    struct TFullPass {
        bool& Flag;
        ~TFullPass() { Flag = false; }
    } fullPass{FFullPass};
    TScreen* screen = Screen();
    const bool onlyThis = data->SkinFormtype() == sfOnlyThisForm;
    switch (FPendingAction) {
    case maSkinOn:
        FSkinningOn = true;
        FFullPass = true;
        for (int i = screen->FormCount() - 1; i >= 0; --i) {
            TCustomForm* form = screen->Forms(i);
            if (onlyThis && form != data->Owner())
                continue;
            if (form->HandleAllocated() && OnThisThread(form->Handle()))
                CallGuarded([&] { SkinWindow(form->Handle()); });
            if (onlyThis)
                break;
        }
        FFullPass = false;
        break;
    case maSkinOff:
        FSkinningOn = false;
        for (size_t i = FSkinnedForms.size(); i-- > 0;) {
            if (i >= FSkinnedForms.size())
                continue;
            TWinSkinForm* form = FSkinnedForms[i].get();
            if (onlyThis && form->SkinData() != data)
                continue;
            CallGuarded([&] { DetachForm(form, true); });
            if (onlyThis)
                break;
        }
        // An open popup menu paints as the platform's from now on.
        for (TWinSkinPopMenu* popup : SkinnedPopups())
            if (!onlyThis || popup->SkinData() == data)
                ReleasePopupWindow(popup->Handle());
        break;
    case maSkinChanged:
        // A window whose frame the new skin takes differently (a skin with a frame after one
        // without, or the other way round) is given back and taken over anew.
        for (TWinSkinForm* form : SkinnedForms())
            if (form->SkinData() == data && form->FrameTakenOtherwiseBy(data))
                RetakeWindow(form);
        // Frame metrics and caption buttons first, then the colours and the fit, as two walks.
        for (TWinSkinForm* form : SkinnedForms()) {
            if (form->SkinData() != data)
                continue;
            CallGuarded([&] {
                form->ResetCaptionButtons();
                form->LoadMetrics();
                if (onlyThis)
                    form->ReSkin();
            });
            if (onlyThis)
                break;
        }
        if (!onlyThis)
            for (TWinSkinForm* form : SkinnedForms())
                if (form->SkinData() == data)
                    CallGuarded([&] { form->ReSkin(); });
        break;
    default:
        break;
    }
    // After a re-apply every window of the component reads the current skin; after any action
    // no window may read it at all: either way the skins it replaced can go.
    if (FPendingAction == maSkinChanged || !UsesSkinData(data))
        data->ReleaseRetiredSkins();
    data->FireSkinChanged();
    FCurrentSkinData = nullptr;
}
