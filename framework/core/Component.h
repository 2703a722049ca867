// TComponent: owned components, names, tags, component state, loading and free notification.
//
// An owner frees the components it owns when it is freed (the last first). A component freed on
// its own leaves its owner's list, and the owner and its components get Notification(opRemove).
// FreeNotification links two components (of any owners) so that each is told when the other goes.
#pragma once

#include "framework/core/Object.h"
#include "framework/core/Set.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

PUBLISHED_ENUM(TComponentStateItem, csLoading, csReading, csWriting, csDestroying, csDesigning,
               csAncestor, csUpdating, csFixups, csFreeNotification, csInline, csDesignInstance)
using TComponentState = TSet<TComponentStateItem>;

enum TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
    DECLARE_CLASS(TComponent, TPersistent)
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;

    TComponent* Owner() const { return FOwner; }
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int Index) const; // raises EListError out of range
    int ComponentIndex() const;
    void SetComponentIndex(int Index);
    // The owned component of that name (without regard to case), or nullptr.
    TComponent* FindComponent(std::string_view AName) const;

    const std::string& Name() const { return FName; }
    // Raises EComponentError for a name that is not an identifier or that another component of
    // the same owner already has.
    virtual void SetName(const std::string& NewName);
    int32_t Tag() const { return FTag; }
    void SetTag(int32_t Value) { FTag = Value; }

    TComponentState ComponentState() const { return FComponentState; }

    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    void DestroyComponents();
    // Marks this component and everything it owns as being destroyed.
    void Destroying();

    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    // Streaming: a component read from a description gets Loaded once the whole description
    // (defined properties included) has been read. The base clears csLoading.
    virtual void Loaded();
    // The component that encloses this one in a description (a control's parent).
    virtual bool HasParent() const { return false; }
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual void SetParentComponent(TComponent*) {}
    // Calls Proc for each component a description writes inside this one. The base writes, for the
    // root, the owned components that have no parent component.
    virtual void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root);

    TPersistent* GetOwner() override { return FOwner; }
    std::string GetNamePath() override { return FName; }

    // Used by the description reader and writer: csLoading, csReading and csWriting.
    void SetStateFlag(TComponentStateItem Flag, bool On);

protected:
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    virtual void ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName);

private:
    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    void SetReference(bool Enable);

    TComponent* FOwner = nullptr;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    std::string FName;
    int32_t FTag = 0;
    TComponentState FComponentState;
};
