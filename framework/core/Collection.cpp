#include "framework/core/Collection.h"

#include "framework/core/Published.h"

#include <algorithm>

IMPLEMENT_CLASS_EMPTY(TCollection)
IMPLEMENT_CLASS_EMPTY(TOwnedCollection)
IMPLEMENT_CLASS_EMPTY(TCollectionItem)

TCollection::TCollection(const TClassInfo& ItemClass) : FItemClass(ItemClass)
{
    if (!ItemClass.InheritsFrom(TCollectionItem::StaticClass()))
        throw EInvalidOperation(ItemClass.Name() + " is not a collection item class");
}

TCollection::~TCollection()
{
    FUpdateCount = 1; // no change notifications from a collection going away
    while (!FItems.empty())
        delete FItems.back();
}

TCollectionItem* TCollection::Add()
{
    TObject* created = FItemClass.Create(this);
    auto* item = dynamic_cast<TCollectionItem*>(created);
    if (item == nullptr) {
        delete created;
        throw EInvalidOperation(FItemClass.Name() + " is not a collection item class");
    }
    if (item->FCollection != this) // a constructor that did not join its collection
        item->SetCollection(this);
    Notify(item, cnAdded);
    Changed();
    return item;
}

TCollectionItem* TCollection::Insert(int Index)
{
    TCollectionItem* item = Add();
    item->SetIndex(Index);
    return item;
}

void TCollection::Delete(int Index)
{
    TCollectionItem* item = Items(Index);
    Notify(item, cnDeleting);
    delete item;
}

void TCollection::Clear()
{
    if (FItems.empty())
        return;
    BeginUpdate();
    while (!FItems.empty())
        delete FItems.back();
    EndUpdate();
}

TCollectionItem* TCollection::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError(Format("List index out of bounds (%d)", Index));
    return FItems[static_cast<size_t>(Index)];
}

TCollectionItem* TCollection::FindItemID(int ID) const
{
    for (TCollectionItem* item : FItems)
        if (item->FID == ID)
            return item;
    return nullptr;
}

void TCollection::Assign(TPersistent* Source)
{
    auto* source = dynamic_cast<TCollection*>(Source);
    if (source == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (source == this)
        return;
    BeginUpdate();
    try {
        Clear();
        for (TCollectionItem* item : source->FItems)
            Add()->Assign(item);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCollection::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        Changed();
}

void TCollection::Changed()
{
    if (FUpdateCount == 0)
        Update(nullptr);
}

std::string TCollection::GetNamePath()
{
    TPersistent* owner = GetOwner();
    if (owner == nullptr)
        return ClassName();
    const std::string ownerPath = owner->GetNamePath();
    if (ownerPath.empty())
        return ClassName();
    // Named after the owner's property that holds this collection.
    for (const TPropInfo* prop : owner->ClassType().Properties())
        if (prop->Type->Kind() == TTypeKind::tkClass && std::get<TObject*>(prop->Get(*owner)) == this)
            return ownerPath + "." + prop->Name;
    return ownerPath;
}

void TCollection::InsertItem(TCollectionItem* Item)
{
    FItems.push_back(Item);
    Item->FCollection = this;
    Item->FID = FNextID++;
}

void TCollection::RemoveItem(TCollectionItem* Item)
{
    FItems.erase(std::remove(FItems.begin(), FItems.end(), Item), FItems.end());
    Item->FCollection = nullptr;
    Changed();
}

// ---- TCollectionItem

TCollectionItem::TCollectionItem(TCollection* Collection) { SetCollection(Collection); }

TCollectionItem::~TCollectionItem()
{
    if (FCollection != nullptr)
        FCollection->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* Value)
{
    if (Value == FCollection)
        return;
    if (FCollection != nullptr)
        FCollection->RemoveItem(this);
    if (Value != nullptr)
        Value->InsertItem(this);
}

int TCollectionItem::Index() const
{
    if (FCollection == nullptr)
        return -1;
    const auto& items = FCollection->FItems;
    return static_cast<int>(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(int Value)
{
    const int current = Index();
    if (current < 0 || Value == current)
        return;
    auto& items = FCollection->FItems;
    Value = std::clamp(Value, 0, static_cast<int>(items.size()) - 1);
    items.erase(items.begin() + current);
    items.insert(items.begin() + Value, this);
    Changed(true);
}

std::string TCollectionItem::GetNamePath()
{
    if (FCollection == nullptr)
        return ClassName();
    return FCollection->GetNamePath() + Format("[%d]", Index());
}

void TCollectionItem::Changed(bool AllItems)
{
    if (FCollection != nullptr && FCollection->FUpdateCount == 0)
        FCollection->Update(AllItems ? nullptr : this);
}
