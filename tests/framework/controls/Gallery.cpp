// A form with one of every framework control, menu and component, made from a description: the
// window to look at when judging how the framework draws things unskinned. A tool bar of flat
// speed buttons runs under the top panel and a status bar along the bottom; the panels, image,
// buttons and frame sit on the left, and a page control on the right holds the rest on three
// sheets: "Buttons" (check and radio boxes, group boxes, speed buttons, a scroll box), "Lists"
// (edits, memo, combo and list boxes, scroll bars, a string grid) and "Common controls" (progress
// and track bars, an up-down, date pickers, a tab control, list and tree views, a tab set).
//   controls_gallery.exe           the form, on its first sheet
//   controls_gallery.exe /page=N   the form with sheet N (1 to 3) shown
//   controls_gallery.exe /popup    the form with its owner-drawn popup menu open
#include "framework/controls/Buttons.h"
#include "framework/controls/ComCtrls.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/controls/Grids.h"
#include "framework/controls/StdCtrls.h"
#include "framework/controls/Tabs.h"
#include "framework/controls/Timer.h"
#include "framework/core/Published.h"
#include "framework/graphics/Bitmap.h"
#include "framework/graphics/ImageList.h"
#include "framework/menus/Menus.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char* const GalleryText = R"(object GalleryForm: TGalleryForm
  Left = 100
  Top = 80
  BorderStyle = bsSizeable
  Caption = 'Framework gallery'
  ClientWidth = 860
  ClientHeight = 450
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
  object Tools: TToolBar
    Flat = True
    object ToolButton1: TSpeedButton
      Left = 2
      Top = 2
      Width = 48
      Height = 22
      Caption = 'New'
      Flat = True
    end
    object ToolButton2: TSpeedButton
      Left = 50
      Top = 2
      Width = 48
      Height = 22
      Caption = 'Open'
      Flat = True
    end
    object ToolButton3: TSpeedButton
      Left = 98
      Top = 2
      Width = 48
      Height = 22
      Caption = 'Save'
      Flat = True
      Enabled = False
    end
  end
  object StatusBar1: TStatusBar
    Panels = <
      item
        Text = 'TStatusBar'
        Width = 120
      end
      item
        Text = 'Centred, raised'
        Width = 160
        Alignment = taCenter
        Bevel = pbRaised
      end
      item
        Text = 'The last panel takes the rest'
      end>
  end
  object Status: TPanel
    Height = 22
    Align = alBottom
    BevelOuter = bvLowered
    Alignment = taLeftJustify
    Caption = ' Ready'
  end
  object Body: TPanel
    Width = 440
    Align = alLeft
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
  object Pages: TPageControl
    Align = alClient
    ActivePage = ButtonsSheet
    object ButtonsSheet: TTabSheet
      Caption = 'Buttons'
      object CheckBox1: TCheckBox
        Left = 8
        Top = 8
        Width = 124
        Caption = 'Checked'
        Checked = True
      end
      object CheckBox2: TCheckBox
        Left = 8
        Top = 28
        Width = 124
        Caption = 'Unchecked'
      end
      object CheckBox3: TCheckBox
        Left = 8
        Top = 48
        Width = 124
        Caption = 'Grayed'
        AllowGrayed = True
        State = cbGrayed
      end
      object CheckBox4: TCheckBox
        Left = 8
        Top = 68
        Width = 124
        Caption = 'Disabled, checked'
        Checked = True
        Enabled = False
      end
      object CheckBox5: TCheckBox
        Left = 8
        Top = 88
        Width = 124
        Caption = 'Box on the right'
        Alignment = taRightJustify
      end
      object RadioButton1: TRadioButton
        Left = 140
        Top = 8
        Width = 124
        Caption = 'Radio, checked'
        Checked = True
      end
      object RadioButton2: TRadioButton
        Left = 140
        Top = 28
        Width = 124
        Caption = 'Radio'
      end
      object RadioButton3: TRadioButton
        Left = 140
        Top = 48
        Width = 124
        Caption = 'Radio, disabled'
        Enabled = False
      end
      object RadioButton4: TRadioButton
        Left = 140
        Top = 88
        Width = 124
        Caption = 'Text on the left'
        Alignment = taRightJustify
      end
      object GroupBox1: TGroupBox
        Left = 272
        Top = 4
        Width = 132
        Height = 104
        Caption = 'TGroupBox'
        object RadioButton5: TRadioButton
          Left = 10
          Top = 20
          Width = 112
          Caption = 'First'
          Checked = True
        end
        object RadioButton6: TRadioButton
          Left = 10
          Top = 42
          Width = 112
          Caption = 'Second'
        end
        object CheckBox6: TCheckBox
          Left = 10
          Top = 70
          Width = 112
          Caption = 'Inside a group'
          Checked = True
        end
      end
      object RadioGroup1: TRadioGroup
        Left = 8
        Top = 116
        Width = 256
        Height = 76
        Caption = 'TRadioGroup, two columns'
        Columns = 2
        Items = (
          'One'
          'Two'
          'Three'
          'Four')
        ItemIndex = 2
      end
      object SpeedButton1: TSpeedButton
        Left = 8
        Top = 204
        Width = 64
        Height = 25
        Caption = 'Down'
        GroupIndex = 1
        Down = True
      end
      object SpeedButton2: TSpeedButton
        Left = 72
        Top = 204
        Width = 64
        Height = 25
        Caption = 'Up'
        GroupIndex = 1
      end
      object SpeedButton3: TSpeedButton
        Left = 136
        Top = 204
        Width = 64
        Height = 25
        Caption = 'Up too'
        GroupIndex = 1
      end
      object SpeedButton4: TSpeedButton
        Left = 8
        Top = 240
        Width = 80
        Height = 28
        Caption = 'Glyph'
      end
      object SpeedButton5: TSpeedButton
        Left = 96
        Top = 240
        Width = 80
        Height = 28
        Caption = 'Flat'
        Flat = True
      end
      object SpeedButton6: TSpeedButton
        Left = 184
        Top = 240
        Width = 80
        Height = 28
        Caption = 'Disabled'
        Enabled = False
      end
      object ScrollBox1: TScrollBox
        Left = 272
        Top = 120
        Width = 132
        Height = 148
        object ScrolledPanel: TPanel
          Left = 8
          Top = 8
          Width = 180
          Height = 200
          Caption = 'In a TScrollBox'
        end
      end
    end
    object ListsSheet: TTabSheet
      Caption = 'Lists'
      object Edit1: TEdit
        Left = 8
        Top = 8
        Width = 152
        Height = 21
        Text = 'TEdit'
      end
      object Edit2: TEdit
        Left = 8
        Top = 36
        Width = 152
        Height = 21
        Text = 'Disabled edit'
        Enabled = False
      end
      object ComboBox1: TComboBox
        Left = 8
        Top = 64
        Width = 152
        Text = 'TComboBox'
        Items = (
          'Apples'
          'Pears'
          'Plums')
      end
      object ComboBox2: TComboBox
        Left = 8
        Top = 92
        Width = 152
        Style = csDropDownList
        Items = (
          'Drop-down list'
          'Second item')
        ItemIndex = 0
      end
      object Memo1: TMemo
        Left = 168
        Top = 8
        Width = 236
        Height = 105
        ScrollBars = ssVertical
        Lines = (
          'TMemo, with a vertical scroll bar.'
          'A second line.'
          'Long lines wrap at the right edge instead of scrolling sideways.'
          'Four'
          'Five'
          'Six'
          'Seven')
      end
      object ListBox1: TListBox
        Left = 8
        Top = 122
        Width = 152
        Height = 174
        Items = (
          'TListBox'
          'Alpha'
          'Bravo'
          'Charlie'
          'Delta'
          'Echo'
          'Foxtrot'
          'Golf'
          'Hotel'
          'India'
          'Juliett'
          'Kilo'
          'Lima'
          'Mike'
          'November'
          'Oscar')
        ItemIndex = 2
      end
      object ScrollBar1: TScrollBar
        Left = 168
        Top = 122
        Width = 236
        Height = 17
        PageSize = 20
        Position = 30
        LargeChange = 20
      end
      object StringGrid1: TStringGrid
        Left = 168
        Top = 146
        Width = 212
        Height = 150
        ColCount = 5
        RowCount = 7
        DefaultColWidth = 56
        DefaultRowHeight = 20
      end
      object ScrollBar2: TScrollBar
        Left = 387
        Top = 146
        Width = 17
        Height = 150
        Kind = sbVertical
        Position = 60
      end
    end
    object CommonSheet: TTabSheet
      Caption = 'Common controls'
      object ProgressBar1: TProgressBar
        Left = 8
        Top = 8
        Width = 192
        Height = 16
        Position = 60
      end
      object TrackBar1: TTrackBar
        Left = 8
        Top = 30
        Width = 192
        Height = 36
        Position = 4
      end
      object Edit3: TEdit
        Left = 8
        Top = 72
        Width = 64
        Height = 21
        Text = '5'
      end
      object UpDown1: TUpDown
        Left = 72
        Top = 72
        Height = 21
        Max = 10
        Position = 5
        Associate = Edit3
      end
      object UpDown2: TUpDown
        Left = 100
        Top = 72
        Width = 34
        Height = 21
        Orientation = udHorizontal
      end
      object DateTimePicker1: TDateTimePicker
        Left = 8
        Top = 100
        Width = 192
      end
      object DateTimePicker2: TDateTimePicker
        Left = 8
        Top = 128
        Width = 192
        Kind = dtkTime
      end
      object TabControl1: TTabControl
        Left = 208
        Top = 8
        Width = 196
        Height = 120
        Tabs = (
          'First'
          'Second'
          'Third')
        TabIndex = 1
      end
      object ListView1: TListView
        Left = 8
        Top = 156
        Width = 192
        Height = 110
        ViewStyle = vsReport
        Columns = <
          item
            Caption = 'Name'
            Width = 80
          end
          item
            Caption = 'Size'
            Width = 50
            Alignment = taRightJustify
          end
          item
            Caption = 'Kind'
            Width = 58
          end>
      end
      object TreeView1: TTreeView
        Left = 208
        Top = 136
        Width = 196
        Height = 130
      end
      object TabSet1: TTabSet
        Left = 8
        Top = 274
        Width = 396
        Height = 22
        Tabs = (
          'TTabSet'
          'Second'
          'Third'
          'Fourth')
        TabIndex = 1
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
    TPageControl* Pages = nullptr;
    TSpeedButton* SpeedButton4 = nullptr;
    TStringGrid* StringGrid1 = nullptr;
    TListView* ListView1 = nullptr;
    TTreeView* TreeView1 = nullptr;
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

        SpeedButton4->SetGlyph(CreateKindGlyph(bkOK).get());
        FillGrid();
        FillListView();
        FillTreeView();
    }
    void FillGrid()
    {
        for (int col = 1; col < StringGrid1->ColCount(); ++col)
            StringGrid1->SetCells(col, 0, std::string(1, static_cast<char>('A' + col - 1)));
        for (int row = 1; row < StringGrid1->RowCount(); ++row) {
            StringGrid1->SetCells(0, row, std::to_string(row));
            for (int col = 1; col < StringGrid1->ColCount(); ++col)
                StringGrid1->SetCells(col, row, std::to_string(row * col * 10));
        }
    }
    void FillListView()
    {
        static const char* const rows[][3] = {
            {"readme.txt", "2 KB", "Text"}, {"picture.bmp", "56 KB", "Bitmap"}, {"setup.exe", "310 KB", "Program"}};
        for (const auto& row : rows) {
            TListItem* item = ListView1->Items()->Add();
            item->SetCaption(row[0]);
            item->SubItems()->Add(row[1]);
            item->SubItems()->Add(row[2]);
        }
    }
    void FillTreeView()
    {
        TTreeNodes* nodes = TreeView1->Items();
        TTreeNode* root = nodes->AddChild(nullptr, "TTreeView");
        TTreeNode* fruit = nodes->AddChild(root, "Fruit");
        nodes->AddChild(fruit, "Apples");
        nodes->AddChild(fruit, "Pears");
        TTreeNode* vegetables = nodes->AddChild(root, "Vegetables");
        nodes->AddChild(vegetables, "Carrots");
        nodes->AddChild(nodes->AddChild(nullptr, "Collapsed"), "Hidden child");
    }
    // Expanding needs the native items: the form's windows are made first, from the top.
    void ExpandTree()
    {
        HandleNeeded();
        TreeView1->HandleNeeded();
        TreeView1->Items()->GetFirstNode()->Expand(true);
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
        .Field("PopupMenu1", &TGalleryForm::PopupMenu1)
        .Field("Pages", &TGalleryForm::Pages)
        .Field("SpeedButton4", &TGalleryForm::SpeedButton4)
        .Field("StringGrid1", &TGalleryForm::StringGrid1)
        .Field("ListView1", &TGalleryForm::ListView1)
        .Field("TreeView1", &TGalleryForm::TreeView1);
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
    if (const char* page = std::strstr(CommandLine, "/page=")) {
        const int index = std::atoi(page + 6) - 1;
        if (index >= 0 && index < form->Pages->PageCount())
            form->Pages->SetActivePageIndex(index);
    }
    form->ExpandTree();
    Application()->Run();
    return Application()->ExitCode();
}
