#include "skin/controls/SkinCheckBox.h"

#include "framework/controls/Controls.h"
#include "framework/core/Properties.h"
#include "framework/core/Published.h"
#include "skin/data/WinSkinData.h"
#include "skin/controls/AdaptorSet.h"

#include <algorithm>

IMPLEMENT_CLASS_EMPTY(TSkinCheckBox)
IMPLEMENT_CLASS_EMPTY(TSkinRadioButton)
IMPLEMENT_CLASS_EMPTY(TSkinBox)
IMPLEMENT_CLASS_EMPTY(TSkinDialogPane)

namespace {

// Sent by some controls' own code when their check changes.
constexpr UINT CheckChangedMessage = 0xB0D0;

} // namespace

RECT CheckBoxRect(const RECT& R, int Width, int Height, bool BoxRight)
{
    RECT box{};
    box.top = R.top + ((R.bottom - R.top) - Height) / 2;
    box.bottom = box.top + Height;
    const int d = (14 - Width) / 2;
    if (BoxRight) {
        box.right = Width <= 14 ? R.right - d : R.right - 1;
        box.left = box.right - Width;
    } else {
        box.left = Width <= 14 ? R.left + d : R.left;
        box.right = box.left + Width;
    }
    return box;
}

bool TSkinCheckBox::BeforeMessage(TMessage&)
{
    return true;
}

void TSkinCheckBox::AfterMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case BM_SETCHECK:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case CheckChangedMessage:
        Refresh();
        return;
    default:
        TSkinControl::AfterMessage(Message);
        return;
    }
}

int TSkinCheckBox::CheckedProperty() const
{
    if (FControl == nullptr || !IsPublishedProp(FControl, "Checked") ||
        PropKind(FControl, "Checked") != TTypeKind::tkEnumeration)
        return -1;
    return GetEnumProp(FControl, "Checked") == "True" ? 1 : 0;
}

bool TSkinCheckBox::IsChecked()
{
    const int property = CheckedProperty();
    if (property >= 0)
        return property == 1;
    return (SendMessageA(FHandle, BM_GETSTATE, 0, 0) & 1) != 0;
}

TBitmap* TSkinCheckBox::Strip(int& Frames) const
{
    const TDataSkinButton* buttons = FSkinData != nullptr ? FSkinData->SkinButtons() : nullptr;
    if (buttons == nullptr)
        return nullptr;
    Frames = buttons->CheckButtonFrame;
    return buttons->CheckButton.get();
}

bool TSkinRadioButton::IsChecked()
{
    const int property = CheckedProperty();
    if (property >= 0)
        return property == 1;
    return (SendMessageA(FHandle, BM_GETCHECK, 0, 0) & 1) != 0;
}

TBitmap* TSkinRadioButton::Strip(int& Frames) const
{
    const TDataSkinButton* buttons = FSkinData != nullptr ? FSkinData->SkinButtons() : nullptr;
    if (buttons == nullptr)
        return nullptr;
    Frames = buttons->RadioButtonFrame;
    return buttons->RadioButton.get();
}

void TSkinCheckBox::PaintTo(HDC DC, const RECT& R)
{
    PaintBox(DC, R);
}

void TSkinCheckBox::PaintBox(HDC DC, const RECT& R)
{
    int frames = 0;
    TBitmap* strip = Strip(frames);
    if (strip == nullptr || strip->Empty() || frames < 1)
        return;
    const int w = strip->Width() / frames, h = strip->Height();
    const LONG style = GetWindowLongA(FHandle, GWL_STYLE);
    int frame = IsChecked() ? 2 : 1;
    // A strip without disabled frames shows the enabled one, one without a checked frame its
    // first: never nothing.
    if ((style & WS_DISABLED) != 0 && frame + 2 <= frames)
        frame += 2;
    if (frame > frames)
        frame = 1;
    const RECT box = CheckBoxRect(R, w, h, (style & BS_LEFTTEXT) != 0);
    // The system centres its own box rounding the other way (Wine one row higher): the face is
    // laid a row beyond the image on both sides, so no edge of the default box is left showing.
    RECT erase = box;
    erase.top = std::max(R.top, box.top - 1);
    erase.bottom = std::min(R.bottom, box.bottom + 1);
    FillFace(DC, erase);
    DrawKeyedFrame(DC, box, frames, frame, strip);
}

void TSkinBox::AttachControl(TWinControl* AControl, TSkinData* Data, bool ASwapColour, TCanvas* ACanvas)
{
    if (AControl == nullptr)
        return;
    FControl = AControl;
    AControl->FreeNotification(this);
    FSkinData = Data;
    FSwapColour = ASwapColour;
    FCanvas = ACanvas;
    FHandle = AControl->HandleAllocated() ? AControl->Handle() : nullptr;
    if (TAdaptorSet* set = OwnerSet())
        set->AddAdaptor(this);
    TakeColour(AControl);
}

// ---- dialogs inside dialogs

void TSkinDialogPane::AttachWindow(HWND Window, TSkinData* Data, TCanvas* ACanvas)
{
    TSkinControl::AttachWindow(Window, Data, ACanvas);
    RedrawWindow(Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TSkinDialogPane::Detach()
{
    const HWND window = FHandle;
    TSkinControl::Detach();
    if (window != nullptr && IsWindow(window))
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TSkinDialogPane::AfterMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORBTN:
        AnswerFaceColour(Message, FSkinData, true);
        break;
    case WM_NCDESTROY:
        TSkinControl::AfterMessage(Message);
        break;
    default:
        break;
    }
}
