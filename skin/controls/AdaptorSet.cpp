#include "skin/controls/AdaptorSet.h"

#include "framework/controls/Forms.h"
#include "framework/core/StrUtils.h"
#include "skin/controls/SkinEdits.h"
#include "skin/controls/SkinTabs.h"
#include "skin/data/WinSkinData.h"

#include <algorithm>

TAdaptorSet::~TAdaptorSet()
{
    ReleaseAdaptors();
}

void TAdaptorSet::SetWindow(TCustomForm* Form, HWND Window)
{
    FForm = Form;
    FHandle = Window;
}

void TAdaptorSet::AddAdaptor(TSkinControl* Adaptor)
{
    if (Adaptor != nullptr && std::find(FAdaptors.begin(), FAdaptors.end(), Adaptor) == FAdaptors.end()) {
        FAdaptors.push_back(Adaptor);
        Adaptor->FListedIn = this;
    }
}

void TAdaptorSet::RemoveAdaptor(TSkinControl* Adaptor) noexcept
{
    FAdaptors.erase(std::remove(FAdaptors.begin(), FAdaptors.end(), Adaptor), FAdaptors.end());
    if (Adaptor != nullptr && Adaptor->FListedIn == this)
        Adaptor->FListedIn = nullptr;
    if (FHotButton == Adaptor)
        FHotButton = nullptr;
}

void TAdaptorSet::ReleaseAdaptors()
{
    FHotButton = nullptr;
    std::vector<TSkinControl*> adaptors;
    adaptors.swap(FAdaptors);
    // Newest first: a check box gives its colour back before the panel it sits on does.
    for (auto it = adaptors.rbegin(); it != adaptors.rend(); ++it) {
        (*it)->FListedIn = nullptr;
        if ((*it)->Owner() == this)
            Retire(*it);
        else
            (*it)->Detach(); // an adaptor the application made (OnSkinControl) stays its own
    }
}

void TAdaptorSet::ForgetSkinData()
{
    FSkinData = nullptr;
    for (TSkinControl* adaptor : FAdaptors)
        adaptor->FSkinData = nullptr;
    ReleaseAdaptors();
}

void TAdaptorSet::ApplySkinColours()
{
    for (TSkinControl* adaptor : std::vector<TSkinControl*>(FAdaptors))
        if (!adaptor->Retired()) {
            adaptor->ApplySkinColour();
            adaptor->SkinChanged();
        }
}

void TAdaptorSet::LeaveHotButton()
{
    if (TSkinControl* hot = FHotButton) {
        FHotButton = nullptr;
        hot->SendMouseLeave();
    }
}

void TAdaptorSet::GiveChangesBack(bool GoingAway)
{
    if (GoingAway)
        FChanges.Clear();
    else
        FChanges.UndoAll();
}

TSkinControl* TAdaptorSet::FindAdaptor(HWND Window) const
{
    for (TSkinControl* adaptor : FAdaptors)
        if (adaptor->Handle() == Window)
            return adaptor;
    return nullptr;
}

bool TAdaptorSet::IsAttached(TComponent* Component) const
{
    auto* control = dynamic_cast<TWinControl*>(Component);
    for (TSkinControl* adaptor : FAdaptors) {
        if (adaptor->GraphicControl() != nullptr && adaptor->GraphicControl() == Component)
            return true;
        if (adaptor->Control() != nullptr) {
            if (adaptor->Control() == Component)
                return true;
            continue;
        }
        if (control == nullptr)
            continue;
        if (!control->HandleAllocated()) {
            // A print-preview form's controls come and go: they count as attached.
            const std::string name = FForm != nullptr ? FForm->Name() : std::string();
            return LowerCase(name).find("preview") != std::string::npos || name == "TQRStandardPreview" ||
                   name == "TppPrintPreview" || name == "TdxfmStdPreview";
        }
        if (control->Handle() == adaptor->Handle())
            return true;
    }
    return false;
}

void TAdaptorSet::AttachTab(TWinControl* Control)
{
    if (Control == nullptr || FindAdaptor(Control->Handle()) != nullptr)
        return;
    TSkinControl* tab = NewAdaptor<TSkinTab>();
    tab->AttachWindow(Control->Handle(), FSkinData, &FCanvas);
    AddAdaptor(tab);
}

void TAdaptorSet::AttachEdit(HWND Window)
{
    if (Window == nullptr || FindAdaptor(Window) != nullptr)
        return;
    TSkinControl* edit = NewAdaptor<TSkinEdit>();
    edit->AttachWindow(Window, FSkinData, &FCanvas);
    // Listed, so that the skin going gives the edit back and a second walk does not attach again.
    AddAdaptor(edit);
    InvalidateRect(Window, nullptr, FALSE);
}

void TAdaptorSet::Refuse(const void* Control)
{
    if (Control != nullptr && !Refused(Control))
        FRefused.push_back(Control);
}

bool TAdaptorSet::Refused(const void* Control) const
{
    return std::find(FRefused.begin(), FRefused.end(), Control) != FRefused.end();
}

void TAdaptorSet::AttachChildWindows()
{
    AttachChildWindowsOf(FHandle);
}
