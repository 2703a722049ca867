// Forms and the application on real windows: a form made from its description (Loaded before
// OnCreate, styles, sizes, centring at the first show), the message loop ending with the main
// form, an exception in a click ending the program with its message shown, modal forms, timers
// (also inside a menu's modal loop), Alt+key offered to the form, and the finalisation order.
#include "framework/controls/Buttons.h"
#include "framework/controls/ComCtrls.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Grids.h"
#include "framework/controls/Forms.h"
#include "framework/controls/Timer.h"
#include "framework/core/Dialogs.h"
#include "framework/core/Published.h"
#include "framework/core/Stream.h"
#include "framework/menus/Menus.h"
#include "framework/win/Callback.h"
#include "framework/win/Subclass.h"

#include "tests/support/EventCounter.h"
#include "tests/support/MessageRecorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

class TFormChild : public TCustomControl {
    DECLARE_CLASS(TFormChild, TCustomControl)
public:
    explicit TFormChild(TComponent* AOwner) : TCustomControl(AOwner) {}

protected:
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == CN_COMMAND && HIWORD(Message.WParam) == BN_CLICKED) {
            Click();
            return;
        }
        TCustomControl::WndProc(Message);
    }
};
IMPLEMENT_CLASS_EMPTY(TFormChild)

class TTestForm : public TForm {
    DECLARE_CLASS(TTestForm, TForm)
public:
    explicit TTestForm(TComponent* AOwner) : TForm(AOwner) {}
    std::vector<std::string> Order;
    TFormChild* Child1 = nullptr;
    TTimer* Timer1 = nullptr;
    int Ticks = 0;
    LRESULT DialogCharAnswer = 0;
    std::vector<WPARAM> DialogChars;

    void FormCreate(TObject*) { Order.push_back("OnCreate"); }
    void ChildClick(TObject*) { throw EConvertError("Close button failed"); }
    void TimerTick(TObject*) { ++Ticks; }

protected:
    void Loaded() override
    {
        TForm::Loaded();
        Order.push_back("Loaded");
    }
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == CM_DIALOGCHAR) {
            DialogChars.push_back(Message.WParam);
            Message.Result = DialogCharAnswer;
            return;
        }
        TForm::WndProc(Message);
    }
};
IMPLEMENT_CLASS(TTestForm)
void TTestForm::Publish(TClassBuilder<TTestForm>& b)
{
    b.Method<&TTestForm::FormCreate>("FormCreate")
        .Method<&TTestForm::ChildClick>("ChildClick")
        .Method<&TTestForm::TimerTick>("TimerTick")
        .Field("Child1", &TTestForm::Child1)
        .Field("Timer1", &TTestForm::Timer1);
}

const char* const TestFormText = R"(object TestForm: TTestForm
  Left = 228
  Top = 209
  BorderStyle = bsNone
  BorderIcons = []
  Caption = 'SplashScreen'
  ClientWidth = 472
  ClientHeight = 293
  Color = clBtnFace
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  Position = poScreenCenter
  OnCreate = FormCreate
  object Child1: TFormChild
    Left = 0
    Top = 0
    Width = 472
    Height = 293
    Align = alClient
    OnClick = ChildClick
  end
  object Timer1: TTimer
    Enabled = False
    Interval = 20
    OnTimer = TimerTick
  end
end
)";

struct TFormsTest : ::testing::Test {
    void SetUp() override
    {
        RegisterComponentClass(TFormChild::StaticClass());
        RegisterComponentClass(TTimer::StaticClass());
        RegisterFormDescription("TTestForm", TestFormText);
        Application()->ResetTerminated();
        Application()->SetExitCode(0);
        FSaved = SetMessageBoxHandler([this](const std::string& Text, const std::string&, uint32_t) {
            Shown.push_back(Text);
            return IDOK;
        });
    }
    void TearDown() override
    {
        SetMessageBoxHandler(FSaved);
        UnRegisterFormDescription("TTestForm");
        Application()->ResetTerminated();
        Application()->SetExitCode(0);
    }
    std::vector<std::string> Shown;

private:
    TMessageBoxHandler FSaved;
};

DWORD StyleOf(HWND Window)
{
    return static_cast<DWORD>(GetWindowLongA(Window, GWL_STYLE));
}

// Runs Fn after Milliseconds from inside whatever message loop is running then.
class TLater : public TObject {
public:
    TLater(uint32_t Milliseconds, std::function<void()> Fn) : FFn(std::move(Fn))
    {
        FTimer.SetInterval(Milliseconds);
        FTimer.SetOnTimer(BindMethod<&TLater::Tick>(this));
    }
    void Tick(TObject*)
    {
        FTimer.SetEnabled(false);
        FFn();
    }

private:
    TTimer FTimer;
    std::function<void()> FFn;
};

std::vector<std::string> ModuleLog;
void LateInit() { ModuleLog.push_back("late init"); }
void LateDone() { ModuleLog.push_back("late done"); }
void EarlyInit() { ModuleLog.push_back("early init"); }
void EarlyDone() { ModuleLog.push_back("early done"); }
TModuleRegistration LateModule("late", 200, &LateInit, &LateDone);
TModuleRegistration EarlyModule("early", 100, &EarlyInit, &EarlyDone);

} // namespace

TEST_F(TFormsTest, AFormIsMadeFromItsDescriptionLoadedBeforeOnCreate)
{
    std::unique_ptr<TTestForm> form(new TTestForm(nullptr));
    form->InitFromDescription();
    EXPECT_EQ(form->Order, (std::vector<std::string>{"Loaded", "OnCreate"}));
    ASSERT_NE(form->Child1, nullptr);
    EXPECT_EQ(form->Child1->Parent(), form.get());
    EXPECT_EQ(form->Caption(), "SplashScreen");
    EXPECT_EQ(form->Width(), 472); // no frame
    EXPECT_EQ(form->Height(), 293);
    EXPECT_EQ(form->Child1->Width(), 472);
    EXPECT_FALSE(form->Visible());
    EXPECT_FALSE(form->HandleAllocated());
    EXPECT_EQ(Screen()->Forms(Screen()->FormCount() - 1), form.get());

    HWND window = form->Handle();
    char cls[64]{};
    GetClassNameA(window, cls, sizeof cls);
    EXPECT_STREQ(cls, "TTestForm");
    const DWORD style = StyleOf(window);
    EXPECT_NE(style & WS_POPUP, 0u);
    EXPECT_EQ(style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME | WS_SYSMENU), 0u);
    HWND owner = GetWindow(window, GW_OWNER);
    GetClassNameA(owner, cls, sizeof cls);
    EXPECT_STREQ(cls, "TApplication");
    EXPECT_FALSE(IsWindowVisible(owner));
    EXPECT_NE(GetActiveWindow(), window);
    EXPECT_FALSE(IsWindowVisible(window));

    // Centred at the first show with the size it has then.
    form->SetHeight(200);
    form->SetWidth(300);
    form->Show();
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(form->Left(), (GetSystemMetrics(SM_CXSCREEN) - 300) / 2);
    EXPECT_EQ(form->Top(), (GetSystemMetrics(SM_CYSCREEN) - 200) / 2);
    RECT r{};
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, form->Left());
    EXPECT_EQ(r.right - r.left, 300);
    EXPECT_EQ(form->Child1->Width(), 300); // aligned to the new client area
    EXPECT_EQ(form->Child1->Height(), 200);

    // A framed form: styles from BorderStyle and BorderIcons; the client size given before the
    // window exists is the window's client size.
    TForm framed(nullptr);
    framed.SetBorderIcons(TBorderIcons{biSystemMenu, biMinimize});
    framed.SetClientWidth(200);
    framed.SetClientHeight(100);
    HWND framedWindow = framed.Handle();
    const DWORD framedStyle = StyleOf(framedWindow);
    EXPECT_EQ(framedStyle & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX),
              DWORD(WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX));
    EXPECT_EQ(framedStyle & WS_MAXIMIZEBOX, 0u);
    GetClientRect(framedWindow, &r);
    EXPECT_EQ(r.right, 200);
    EXPECT_EQ(r.bottom, 100);
    EXPECT_EQ(framed.ClientWidth(), 200);

    // Put on a control, a form becomes a child window of it.
    framed.SetParent(form->Child1);
    EXPECT_NE(StyleOf(framed.Handle()) & WS_CHILD, 0u);
    EXPECT_EQ(GetParent(framed.Handle()), form->Child1->Handle());
    framed.SetParent(nullptr);
}

TEST_F(TFormsTest, TheMainFormEndsTheLoopAndAnExceptionInAClickEndsTheProgram)
{
    TTestForm* form = Application()->CreateForm<TTestForm>();
    ASSERT_EQ(Application()->MainForm(), form);
    TLater close(30, [&] { PostMessageA(form->Handle(), WM_CLOSE, 0, 0); });
    Application()->Run();
    EXPECT_TRUE(Application()->Terminated());
    EXPECT_EQ(Application()->ExitCode(), 0);
    EXPECT_TRUE(Shown.empty());

    // Again, and this time the click throws: the message is shown and the program ends with 1.
    Application()->ResetTerminated();
    {
        const TCallbackExceptionHandler previous = GetCallbackExceptionHandler();
        SetCallbackExceptionHandler([](std::exception_ptr e) {
            try {
                std::rethrow_exception(e);
            } catch (const std::exception& error) {
                Application()->HandleException(error);
            }
        });
        TLater click(30, [&] {
            PostMessageA(form->Handle(), WM_COMMAND, 0, reinterpret_cast<LPARAM>(form->Child1->Handle()));
        });
        TLater failsafe(3000, [] { Application()->Terminate(); });
        Application()->Run();
        SetCallbackExceptionHandler(previous);
    }
    EXPECT_EQ(Shown, (std::vector<std::string>{"Close button failed"}));
    EXPECT_EQ(Application()->ExitCode(), 1);
    delete form;
    EXPECT_EQ(Application()->MainForm(), nullptr);
}

TEST_F(TFormsTest, TimersTickAlsoInsideAMenuLoopAndFollowTheirInterval)
{
    TTimer timer;
    int ticks = 0;
    struct TCounter : TObject {
        int* Ticks;
        TTimer* Timer;
        void Tick(TObject*)
        {
            if (++*Ticks == 3)
                EndMenu();
        }
    } counter;
    counter.Ticks = &ticks;
    counter.Timer = &timer;
    timer.SetInterval(15);
    timer.SetOnTimer(BindMethod<&TCounter::Tick>(&counter));
    EXPECT_TRUE(timer.Running());
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 1, "Item");
    HWND stage = TTestWindows::Stage();
    SetForegroundWindow(stage);
    TrackPopupMenu(menu, TPM_RETURNCMD, 10, 10, 0, stage, nullptr);
    DestroyMenu(menu);
    EXPECT_GE(ticks, 3);

    // A longer interval while running: no tick within the old period any more.
    timer.SetInterval(5000);
    const int before = ticks;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 150)
        Application()->ProcessMessages();
    EXPECT_EQ(ticks, before);
    timer.SetInterval(10);
    timer.SetEnabled(false);
    EXPECT_FALSE(timer.Running());
    Sleep(40);
    Application()->ProcessMessages();
    EXPECT_EQ(ticks, before);
}

TEST_F(TFormsTest, ShowModalRunsUntilAResultAndDisablesTheOtherWindows)
{
    TForm dialog(nullptr);
    dialog.SetBorderStyle(bsDialog);
    dialog.SetBounds(10, 10, 200, 100);
    HWND stage = TTestWindows::Stage();
    bool stageDisabled = false;
    TLater answer(30, [&] {
        stageDisabled = !IsWindowEnabled(stage);
        dialog.SetModalResult(mrOk);
    });
    EXPECT_EQ(dialog.ShowModal(), mrOk);
    EXPECT_TRUE(stageDisabled);
    EXPECT_TRUE(IsWindowEnabled(stage));
    EXPECT_FALSE(dialog.Visible());
}

TEST_F(TFormsTest, AltKeysAreOfferedToTheFormAsARealWindowMessage)
{
    std::unique_ptr<TTestForm> form(new TTestForm(nullptr));
    form->InitFromDescription();
    HWND window = form->Handle();
    // A subclass at the window-procedure level sees the message too.
    TMessageRecorder spy("form");
    spy.Attach(window);
    form->DialogCharAnswer = 1;
    PostMessageA(form->Child1->Handle(), WM_SYSCHAR, 'x', 0x20000000);
    Application()->ProcessMessages();
    EXPECT_EQ(form->DialogChars, (std::vector<WPARAM>{'x'}));
    EXPECT_TRUE(spy.Contains(CM_DIALOGCHAR));
    // Consumed: the child never got the WM_SYSCHAR itself.
    TMessageRecorder childSpy("child");
    childSpy.Attach(form->Child1->Handle());
    PostMessageA(form->Child1->Handle(), WM_SYSCHAR, 'y', 0x20000000);
    Application()->ProcessMessages();
    EXPECT_EQ(childSpy.Count(WM_SYSCHAR), 0u);
    form->DialogCharAnswer = 0;
    PostMessageA(form->Child1->Handle(), WM_SYSCHAR, 'z', 0x20000000);
    Application()->ProcessMessages();
    EXPECT_EQ(childSpy.Count(WM_SYSCHAR), 1u);
    childSpy.Detach();
    spy.Detach();
}

TEST_F(TFormsTest, FinalisationFreesTheFormsThenTheModulesInReverseOrder)
{
    ModuleLog.clear();
    Application()->Initialize();
    Application()->Initialize(); // once only
    SetMessageBoxHandler([](const std::string&, const std::string&, uint32_t) { return IDOK; });
    EXPECT_EQ(ModuleLog, (std::vector<std::string>{"early init", "late init"}));
    std::vector<std::string> order;
    struct TWatch : TForm {
        explicit TWatch(TComponent* AOwner, std::vector<std::string>* Order) : TForm(AOwner), FOrder(Order) {}
        ~TWatch() override { FOrder->push_back("form"); }
        std::vector<std::string>* FOrder;
    };
    new TWatch(Application(), &order);
    Application()->AddFinalization([&] { order.push_back("first module"); });
    Application()->AddFinalization([&] {
        order.push_back("second module");
        EXPECT_EQ(Screen()->FormCount(), 0);
    });
    FreeApplication();
    EXPECT_EQ(order, (std::vector<std::string>{"form", "second module", "first module"}));
    EXPECT_EQ(ModuleLog, (std::vector<std::string>{"early init", "late init", "late done", "early done"}));
    FreeApplication(); // twice is harmless
}

namespace {

// The splash window's form, as its description lays it out.
class TSplashLikeForm : public TForm {
    DECLARE_CLASS(TSplashLikeForm, TForm)
public:
    explicit TSplashLikeForm(TComponent* AOwner) : TForm(AOwner) {}
    TPanel* Panel1 = nullptr;
    TImage* Image1 = nullptr;
    TBitBtn* ButtonClose = nullptr;
    void ButtonCloseClick(TObject*) { Close(); }
};
IMPLEMENT_CLASS(TSplashLikeForm)
void TSplashLikeForm::Publish(TClassBuilder<TSplashLikeForm>& b)
{
    b.Method<&TSplashLikeForm::ButtonCloseClick>("ButtonCloseClick")
        .Field("Panel1", &TSplashLikeForm::Panel1)
        .Field("Image1", &TSplashLikeForm::Image1)
        .Field("ButtonClose", &TSplashLikeForm::ButtonClose);
}

std::string Hex(const void* Data, size_t Size)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string s;
    for (size_t i = 0; i < Size; ++i) {
        const auto b = static_cast<const uint8_t*>(Data)[i];
        s += digits[b >> 4];
        s += digits[b & 15];
    }
    return s;
}

} // namespace

TEST_F(TFormsTest, TheSplashFormIsDescribedAndShownUnskinned)
{
    RegisterFrameworkClasses();
    // The picture: a 2 x 1 bitmap, teal and olive, stretched over the image.
    TBitmap picture(2, 1, pf24bit);
    picture.Canvas()->SetPixels(0, 0, clTeal);
    picture.Canvas()->SetPixels(1, 0, clOlive);
    TMemoryStream bytes;
    const uint8_t tagLength = 7;
    bytes.WriteBuffer(&tagLength, 1);
    bytes.WriteBuffer("TBitmap", 7);
    picture.SaveToStream(bytes);
    const std::string text = std::string(R"(object SplashScreen: TSplashLikeForm
  Left = 228
  Top = 209
  BorderStyle = bsNone
  BorderIcons = []
  Caption = 'SplashScreen'
  ClientWidth = 472
  ClientHeight = 293
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  Position = poScreenCenter
  object Panel1: TPanel
    Left = 0
    Top = 0
    Width = 472
    Height = 293
    Align = alClient
    BevelInner = bvLowered
    BevelWidth = 3
    Caption = 'Panel1'
    object Image1: TImage
      Left = 6
      Top = 6
      Width = 460
      Height = 281
      Align = alClient
      Stretch = True
      Picture.Data = {)") + Hex(bytes.Memory(), static_cast<size_t>(bytes.Size())) + R"(}
    end
    object ButtonClose: TBitBtn
      Left = 200
      Top = 248
      Width = 75
      Height = 25
      Anchors = [akRight, akBottom]
      Kind = bkClose
      OnClick = ButtonCloseClick
    end
  end
end
)";
    RegisterFormDescription("TSplashLikeForm", text);
    std::unique_ptr<TSplashLikeForm> form(new TSplashLikeForm(nullptr));
    form->InitFromDescription();
    UnRegisterFormDescription("TSplashLikeForm");
    ASSERT_NE(form->Image1, nullptr);
    ASSERT_NE(form->ButtonClose, nullptr);
    EXPECT_EQ(form->Image1->BoundsRect().left, 6);
    EXPECT_EQ(form->Image1->Width(), 460);
    EXPECT_EQ(form->Image1->Height(), 281);
    EXPECT_EQ(form->ButtonClose->Caption(), "&Close");
    EXPECT_EQ(form->ButtonClose->Parent(), form->Panel1);

    // What the shape switches do in FormCreate: the height, then the width; the button follows
    // its anchors, then is placed by hand.
    form->SetHeight(250);
    form->SetWidth(400);
    EXPECT_EQ(form->ButtonClose->Top(), 248 - 43);
    EXPECT_EQ(form->ButtonClose->Left(), 200 - 72);
    EXPECT_EQ(form->Image1->Width(), 400 - 12);
    form->SetBounds(form->Left(), form->Top(), 472, 293);

    form->Show();
    HWND panel = form->Panel1->Handle();
    UpdateWindow(form->Handle());
    RECT r{};
    GetWindowRect(form->Handle(), &r);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 472) / 2);
    EXPECT_EQ(r.right - r.left, 472);
    HDC dc = GetDC(panel);
    EXPECT_EQ(GetPixel(dc, 10, 10), RGB(0, 128, 128));   // left half of the picture
    EXPECT_EQ(GetPixel(dc, 460, 100), RGB(128, 128, 0)); // right half
    EXPECT_EQ(GetPixel(dc, 0, 0), GetSysColor(COLOR_BTNHIGHLIGHT)); // the raised outer bevel
    ReleaseDC(panel, dc);

    // The posted click the skinned Close button makes: WParam 0, LParam the button's window.
    PostMessageA(panel, WM_COMMAND, 0, reinterpret_cast<LPARAM>(form->ButtonClose->Handle()));
    Application()->ProcessMessages();
    EXPECT_FALSE(form->Visible());
}

TEST_F(TFormsTest, TheMainMenuIsTheFormsMenuBarAndItsCommandsClickItems)
{
    TForm form(nullptr);
    form.SetCaption("Menu form");
    auto* menu = new TMainMenu(&form);
    auto* file = new TMenuItem(&form);
    file->SetCaption("&File");
    auto* open = new TMenuItem(&form);
    open->SetCaption("&Open");
    open->SetShortCut(ShortCut('O', false, true, false));
    file->Add(open);
    menu->Items()->Add(file);
    TEventCounter clicks;
    open->SetOnClick(clicks.Event());
    form.SetMenu(menu);
    HWND window = form.Handle();
    EXPECT_EQ(GetMenu(window), menu->Handle());

    SendMessageA(window, WM_COMMAND, open->Command(), 0);
    EXPECT_EQ(clicks.Count, 1);
    // A change to the menu reaches the form as a real window message, and the bar is attached again.
    TMessageRecorder spy("form");
    spy.Attach(window);
    file->SetCaption("&Datei");
    EXPECT_TRUE(spy.Contains(CM_MENUCHANGED));
    EXPECT_EQ(GetMenu(window), menu->Handle());
    char text[32]{};
    GetMenuStringA(GetMenu(window), 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&Datei");
    spy.Detach();

    // Its short-cut, typed on the form.
    form.Show();
    SetForegroundWindow(window);
    SetFocus(window);
    Application()->ProcessMessages();
    keybd_event(VK_CONTROL, 0, 0, 0);
    keybd_event('O', 0, 0, 0);
    keybd_event('O', 0, KEYEVENTF_KEYUP, 0);
    keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
    const DWORD start = GetTickCount();
    while (clicks.Count < 2 && GetTickCount() - start < 2000) {
        Application()->ProcessMessages();
        Sleep(5);
    }
    EXPECT_EQ(clicks.Count, 2);
    // The menu freed first: the form lets go of it.
    delete menu;
    EXPECT_EQ(form.Menu(), nullptr);
    EXPECT_EQ(GetMenu(window), nullptr);
}

TEST_F(TFormsTest, AFormWrittenForAnotherDpiIsScaledWhenFirstShown)
{
    // Written for 64 dots per inch, shown at the bench's 96: everything 1.5 times as large.
    ASSERT_EQ(Screen()->PixelsPerInch(), 96);
    TForm form(nullptr);
    form.SetPixelsPerInch(64);
    form.SetClientWidth(400);
    form.SetClientHeight(300);
    form.Font()->SetHeight(-10);
    auto* status = new TPanel(&form);
    status->SetParent(&form);
    status->SetAlign(alBottom);
    status->SetHeight(20);
    auto* body = new TPanel(&form);
    body->SetParent(&form);
    body->SetAlign(alClient);
    body->SetBevelOuter(bvNone);
    auto* pages = new TPanel(&form);
    pages->SetParent(body);
    pages->SetBounds(8, 8, 384, 240);
    pages->SetAnchors(TAnchors{akLeft, akTop, akRight, akBottom});
    auto* close = new TButton(&form);
    close->SetParent(body);
    close->SetBounds(320, 252, 72, 24);
    close->SetAnchors(TAnchors{akRight, akBottom});
    auto* own = new TButton(&form);
    own->SetParent(pages);
    own->SetBounds(10, 20, 100, 30);
    own->SetParentFont(false);
    own->Font()->SetHeight(-12);
    // Widths kept inside controls: a status bar's panels, a list view's columns.
    auto* bar = new TStatusBar(&form);
    bar->SetParent(pages);
    bar->Panels()->Add()->SetWidth(100);
    auto* view = new TListView(&form);
    view->SetParent(pages);
    view->SetViewStyle(vsReport);
    view->Columns()->Add()->SetWidth(80);
    auto* grid = new TStringGrid(&form);
    grid->SetParent(pages);
    grid->SetDefaultColWidth(64);
    grid->SetDefaultRowHeight(24);

    // Its window and its controls' windows may be made before: the scale waits for the show.
    HWND window = form.Handle();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(form.PixelsPerInch(), 64);
    form.Show();
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 600);
    EXPECT_EQ(client.bottom, 450);
    EXPECT_EQ(form.PixelsPerInch(), 96);
    auto rectOf = [](TControl& c) { return std::vector<int>{c.Left(), c.Top(), c.Width(), c.Height()}; };
    EXPECT_EQ(rectOf(*status), (std::vector<int>{0, 420, 600, 30}));
    EXPECT_EQ(rectOf(*body), (std::vector<int>{0, 0, 600, 420}));
    // Anchored controls sit at their scaled places, not where the anchors would have moved them.
    EXPECT_EQ(rectOf(*pages), (std::vector<int>{12, 12, 576, 360}));
    EXPECT_EQ(rectOf(*close), (std::vector<int>{480, 378, 108, 36}));
    EXPECT_EQ(rectOf(*own), (std::vector<int>{15, 30, 150, 45}));
    EXPECT_EQ(form.Font()->Height(), -15);
    EXPECT_EQ(own->Font()->Height(), -18);
    EXPECT_EQ(bar->Panels()->Items(0)->Width(), 150);
    EXPECT_EQ(view->Columns()->Items(0)->Width(), 120);
    EXPECT_EQ(grid->DefaultColWidth(), 96);
    EXPECT_EQ(grid->DefaultRowHeight(), 36);
    // Scaled once: a window made anew keeps the layout, and later changes keep their anchors.
    form.ScaleToScreen();
    EXPECT_EQ(rectOf(*close), (std::vector<int>{480, 378, 108, 36}));
    form.SetClientWidth(700);
    EXPECT_EQ(rectOf(*close), (std::vector<int>{580, 378, 108, 36}));
    form.Hide();
}
