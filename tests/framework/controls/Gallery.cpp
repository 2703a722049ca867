// A form with one of every framework control, menu and component, made from a description: the
// window to look at when judging how the framework draws things unskinned.
//   controls_gallery.exe           the form
//   controls_gallery.exe /popup    the form with its owner-drawn popup menu open
#include "framework/controls/Buttons.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/controls/StdCtrls.h"
#include "framework/controls/Timer.h"
#include "framework/core/Published.h"
#include "framework/graphics/Bitmap.h"
#include "framework/graphics/ImageList.h"
#include "framework/menus/Menus.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace {

const char* const GalleryText = R"(object GalleryForm: TGalleryForm
  Left = 100
  Top = 80
  BorderStyle = bsSizeable
  Caption = 'Framework gallery'
  ClientWidth = 440
  ClientHeight = 300
  Color = clBtnFace
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Menu = MainMenu1
  Position = poScreenCenter
  OnCreate = FormCreate
  object Header: TPanel
    Height = 36
    Align = alTop
    BevelInner = bvLowered
    BevelWidth = 2
    Caption = 'TPanel, aligned to the top, raised and lowered bevels'
  end
  object Status: TPanel
    Height = 22
    Align = alBottom
    BevelOuter = bvLowered
    Alignment = taLeftJustify
    Caption = ' Ready'
  end
  object Body: TPanel
    Align = alClient
    BevelOuter = bvNone
    BorderWidth = 6
    Caption = ''
    PopupMenu = PopupMenu1
    object Image1: TImage
      Left = 8
      Top = 8
      Width = 160
      Height = 120
      Stretch = True
    end
    object Button1: TButton
      Left = 184
      Top = 8
      Width = 75
      Height = 25
      Caption = '&Button'
      OnClick = ButtonClick
    end
    object BitBtn1: TBitBtn
      Left = 184
      Top = 40
      Width = 75
      Height = 25
      Kind = bkClose
      OnClick = CloseClick
    end
    object BitBtn2: TBitBtn
      Left = 272
      Top = 8
      Width = 75
      Height = 57
      Kind = bkOK
      Layout = blGlyphTop
    end
    object BitBtn3: TBitBtn
      Left = 272
      Top = 72
      Width = 75
      Height = 25
      Kind = bkHelp
      Enabled = False
    end
    object Frame1: TFrame
      Left = 184
      Top = 104
      Width = 200
      Height = 100
      Anchors = [akLeft, akTop, akRight, akBottom]
      object FramePanel: TPanel
        Align = alClient
        BevelOuter = bvLowered
        Caption = 'A TFrame holding a panel'
      end
    end
  end
  object MainMenu1: TMainMenu
    object File1: TMenuItem
      Caption = '&File'
      object Open1: TMenuItem
        Caption = '&Open...'
        ShortCut = 16463
        OnClick = ButtonClick
      end
      object Save1: TMenuItem
        Caption = '&Save'
        ShortCut = 16467
        Enabled = False
      end
      object N1: TMenuItem
        Caption = '-'
      end
      object Exit1: TMenuItem
        Caption = 'E&xit'
        OnClick = CloseClick
      end
    end
    object View1: TMenuItem
      Caption = '&View'
      object Toolbar1: TMenuItem
        Caption = '&Toolbar'
        Checked = True
      end
    end
  end
  object PopupMenu1: TPopupMenu
    OwnerDraw = True
    object Cut1: TMenuItem
      Caption = 'Cu&t'
      ShortCut = 16472
    end
    object Copy1: TMenuItem
      Caption = '&Copy'
      ShortCut = 16451
      Default = True
    end
    object Paste1: TMenuItem
      Caption = '&Paste'
      Enabled = False
    end
    object N2: TMenuItem
      Caption = '-'
    end
    object Check1: TMenuItem
      Caption = 'Chec&ked'
      Checked = True
    end
  end
  object Timer1: TTimer
    Interval = 1000
    OnTimer = TimerTick
  end
end
)";

class TGalleryForm : public TForm {
    DECLARE_CLASS(TGalleryForm, TForm)
public:
    explicit TGalleryForm(TComponent* AOwner) : TForm(AOwner) {}
    TPanel* Status = nullptr;
    TPanel* Body = nullptr;
    TImage* Image1 = nullptr;
    TPopupMenu* PopupMenu1 = nullptr;
    int Seconds = 0;
    bool ShowPopup = false;

    void FormCreate(TObject*)
    {
        // A picture of our own: a gradient with a circle.
        TBitmap picture(160, 120, pf24bit);
        for (int y = 0; y < 120; ++y) {
            uint8_t* row = picture.ScanLine(y);
            for (int x = 0; x < 160; ++x) {
                row[x * 3 + 0] = static_cast<uint8_t>(255 - y * 2);
                row[x * 3 + 1] = static_cast<uint8_t>(x + 60);
                row[x * 3 + 2] = static_cast<uint8_t>(40 + y);
            }
        }
        picture.Canvas()->Brush()->SetColor(clYellow);
        picture.Canvas()->Pen()->SetColor(clMaroon);
        picture.Canvas()->Ellipse(50, 30, 110, 90);
        Image1->Picture()->SetGraphic(&picture);
    }
    void ButtonClick(TObject* Sender)
    {
        Status->SetCaption(" Clicked: " + static_cast<TComponent*>(Sender)->Name());
    }
    void CloseClick(TObject*) { Close(); }
    void TimerTick(TObject*)
    {
        ++Seconds;
        if (ShowPopup && Seconds == 1) {
            const POINT p = Body->ClientToScreen(POINT{60, 150});
            PopupMenu1->Popup(p.x, p.y);
        }
    }
};
IMPLEMENT_CLASS(TGalleryForm)
void TGalleryForm::Publish(TClassBuilder<TGalleryForm>& b)
{
    b.Method<&TGalleryForm::FormCreate>("FormCreate")
        .Method<&TGalleryForm::ButtonClick>("ButtonClick")
        .Method<&TGalleryForm::CloseClick>("CloseClick")
        .Method<&TGalleryForm::TimerTick>("TimerTick")
        .Field("Status", &TGalleryForm::Status)
        .Field("Body", &TGalleryForm::Body)
        .Field("Image1", &TGalleryForm::Image1)
        .Field("PopupMenu1", &TGalleryForm::PopupMenu1);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR CommandLine, int)
{
    TApplicationScope scope;
    Application()->Initialize();
    Application()->SetTitle("Framework gallery");
    RegisterFrameworkClasses();
    RegisterFormDescription("TGalleryForm", GalleryText);
    TGalleryForm* form = Application()->CreateForm<TGalleryForm>();
    form->ShowPopup = std::strstr(CommandLine, "/popup") != nullptr;
    Application()->Run();
    return Application()->ExitCode();
}
