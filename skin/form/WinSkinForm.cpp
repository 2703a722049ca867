#include "skin/form/WinSkinForm.h"

#include "framework/controls/Forms.h"
#include "framework/core/Published.h"
#include "skin/data/WinSkinData.h"

IMPLEMENT_CLASS_EMPTY(TWinSkinForm)

TWinSkinForm::TWinSkinForm(TComponent* AOwner) : TComponent(AOwner) {}

TWinSkinForm::~TWinSkinForm()
{
    Detach();
}

void TWinSkinForm::AttachForm(TCustomForm* AForm, TSkinData* Data)
{
    FForm = AForm;
    if (FForm != nullptr)
        FForm->FreeNotification(this);
    AttachWindow(FForm != nullptr ? FForm->Handle() : FHandle, Data);
}

void TWinSkinForm::AttachWindow(HWND Window, TSkinData* Data)
{
    FHandle = Window;
    FSkinData = Data;
    if (FSkinData != nullptr)
        FSkinData->FreeNotification(this);
    FSkinState = ssSkinned;
}

void TWinSkinForm::Detach()
{
    if (FForm != nullptr)
        FForm->RemoveFreeNotification(this);
    if (FSkinData != nullptr)
        FSkinData->RemoveFreeNotification(this);
    FForm = nullptr;
    FSkinState = ssNone;
}

void TWinSkinForm::AttachControls(TComponent*) {}

void TWinSkinForm::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FSkinData)
        FSkinData = nullptr;
    if (AComponent == FForm)
        FForm = nullptr;
}
