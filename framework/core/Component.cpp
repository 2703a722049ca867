#include "framework/core/Component.h"

#include "framework/core/Published.h"
#include "framework/core/StrUtils.h"

#include <algorithm>

IMPLEMENT_CLASS(TComponent)

void TComponent::Publish(TClassBuilder<TComponent>& b)
{
    b.Property("Name", &TComponent::Name, &TComponent::SetName)
     .Property("Tag", &TComponent::Tag, &TComponent::SetTag);
}

TComponent::TComponent(TComponent* AOwner)
{
    if (AOwner != nullptr)
        AOwner->InsertComponent(this);
}

TComponent::~TComponent()
{
    Destroying();
    // Each notified component removes the link itself (base Notification); drop it here too, so an
    // override that forgets to call the base cannot make this loop forever.
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        other->FFreeNotifies.erase(std::remove(other->FFreeNotifies.begin(), other->FFreeNotifies.end(), this),
                                   other->FFreeNotifies.end());
        other->Notification(this, opRemove);
    }
    DestroyComponents();
    if (FOwner != nullptr)
        FOwner->RemoveComponent(this);
}

TComponent* TComponent::Components(int Index) const
{
    if (Index < 0 || Index >= ComponentCount())
        throw EListError(Format("List index out of bounds (%d)", Index));
    return FComponents[static_cast<size_t>(Index)];
}

int TComponent::ComponentIndex() const
{
    if (FOwner == nullptr)
        return -1;
    auto& list = FOwner->FComponents;
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TComponent::SetComponentIndex(int Index)
{
    if (FOwner == nullptr)
        return;
    auto& list = FOwner->FComponents;
    const int count = static_cast<int>(list.size());
    Index = std::clamp(Index, 0, count - 1);
    list.erase(std::find(list.begin(), list.end(), this));
    list.insert(list.begin() + Index, this);
}

TComponent* TComponent::FindComponent(std::string_view AName) const
{
    if (AName.empty())
        return nullptr;
    for (TComponent* c : FComponents)
        if (SameText(c->FName, AName))
            return c;
    return nullptr;
}

void TComponent::SetName(const std::string& NewName)
{
    if (FName == NewName)
        return;
    if (!NewName.empty() && !IsValidIdent(NewName))
        throw EComponentError("'" + NewName + "' is not a valid component name");
    if (FOwner != nullptr)
        FOwner->ValidateRename(this, FName, NewName);
    else
        ValidateRename(nullptr, FName, NewName);
    SetReference(false);
    FName = NewName;
    SetReference(true);
}

void TComponent::ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName)
{
    if (AComponent != nullptr && !SameText(CurName, NewName) && AComponent->FOwner == this &&
        FindComponent(NewName) != nullptr)
        throw EComponentError("A component named " + NewName + " already exists");
}

void TComponent::InsertComponent(TComponent* AComponent)
{
    if (AComponent == nullptr || AComponent->FOwner == this)
        return;
    if (AComponent->FOwner != nullptr)
        AComponent->FOwner->RemoveComponent(AComponent);
    ValidateRename(AComponent, std::string(), AComponent->FName);
    Insert(AComponent);
    AComponent->SetReference(true);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent)
{
    if (AComponent == nullptr || AComponent->FOwner != this)
        return;
    Notification(AComponent, opRemove);
    AComponent->SetReference(false);
    Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent)
{
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent)
{
    FComponents.erase(std::remove(FComponents.begin(), FComponents.end(), AComponent), FComponents.end());
    AComponent->FOwner = nullptr;
}

// Keeps the owner's published field of this component's name pointing at it.
void TComponent::SetReference(bool Enable)
{
    if (FOwner == nullptr || FName.empty())
        return;
    if (const TFieldEntry* field = FOwner->ClassType().FindField(FName)) {
        if (Enable)
            field->Set(*FOwner, this);
        else if (field->Get(*FOwner) == this)
            field->Set(*FOwner, nullptr);
    }
}

void TComponent::DestroyComponents()
{
    while (!FComponents.empty()) {
        TComponent* instance = FComponents.back();
        if (instance->FComponentState.Contains(csFreeNotification))
            RemoveComponent(instance);
        else {
            instance->SetReference(false);
            Remove(instance);
        }
        delete instance;
    }
}

void TComponent::Destroying()
{
    if (FComponentState.Contains(csDestroying))
        return;
    FComponentState.Include(csDestroying);
    for (TComponent* c : FComponents)
        c->Destroying();
}

void TComponent::FreeNotification(TComponent* AComponent)
{
    if (AComponent == nullptr || AComponent == this)
        return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
        FFreeNotifies.push_back(AComponent);
        AComponent->FreeNotification(this);
    }
    FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent)
{
    if (AComponent == nullptr)
        return;
    auto it = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent);
    if (it == FFreeNotifies.end())
        return;
    FFreeNotifies.erase(it);
    AComponent->RemoveFreeNotification(this);
    if (FFreeNotifies.empty())
        FComponentState.Exclude(csFreeNotification);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent != nullptr)
        RemoveFreeNotification(AComponent);
    // Tell the owned components too; one of them may free others while being told.
    for (size_t i = FComponents.size(); i-- > 0;) {
        if (i >= FComponents.size())
            continue;
        FComponents[i]->Notification(AComponent, Operation);
    }
}

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

void TComponent::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root)
{
    if (Root != this)
        return;
    for (TComponent* c : FComponents)
        if (!c->HasParent())
            Proc(c);
}

void TComponent::SetStateFlag(TComponentStateItem Flag, bool On)
{
    if (On)
        FComponentState.Include(Flag);
    else
        FComponentState.Exclude(Flag);
}
