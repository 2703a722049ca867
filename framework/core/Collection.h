// Collections of persistent items. Each item gets the collection's next ID when it joins it; IDs
// are never reused, so an item's ID stays unique in its collection for the collection's life.
#pragma once

#include "framework/core/Object.h"

#include <string>
#include <vector>

class TCollectionItem;

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollection : public TPersistent {
    DECLARE_CLASS(TCollection, TPersistent)
public:
    // ItemClass must descend from TCollectionItem and be constructible from a TCollection*.
    explicit TCollection(const TClassInfo& ItemClass);
    ~TCollection() override;

    TCollectionItem* Add();
    TCollectionItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    int Count() const { return static_cast<int>(FItems.size()); }
    TCollectionItem* Items(int Index) const; // raises EListError out of range
    TCollectionItem* FindItemID(int ID) const;
    const TClassInfo& ItemClass() const { return FItemClass; }
    int NextID() const { return FNextID; }

    // From another collection: clears this one, then adds an item for each source item and
    // assigns the source item to it.
    void Assign(TPersistent* Source) override;
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }
    std::string GetNamePath() override;

protected:
    // An item changed (nullptr: the whole collection); not called while updating.
    virtual void Update(TCollectionItem*) {}
    virtual void Notify(TCollectionItem*, TCollectionNotification) {}
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* Item);
    void RemoveItem(TCollectionItem* Item);

    const TClassInfo& FItemClass;
    std::vector<TCollectionItem*> FItems;
    int FNextID = 0;
    int FUpdateCount = 0;
};

// A collection that belongs to a persistent owner (a component's collection property).
class TOwnedCollection : public TCollection {
    DECLARE_CLASS(TOwnedCollection, TCollection)
public:
    TOwnedCollection(TPersistent* AOwner, const TClassInfo& ItemClass)
        : TCollection(ItemClass), FOwner(AOwner) {}
    TPersistent* GetOwner() override { return FOwner; }

private:
    TPersistent* FOwner;
};

class TCollectionItem : public TPersistent {
    DECLARE_CLASS(TCollectionItem, TPersistent)
public:
    // Joins Collection (when not null) and takes its next ID.
    explicit TCollectionItem(TCollection* Collection);
    ~TCollectionItem() override;

    TCollection* Collection() const { return FCollection; }
    // Moves the item to another collection (or none); it takes a new ID there.
    void SetCollection(TCollection* Value);
    int ID() const { return FID; }
    int Index() const;
    void SetIndex(int Value);
    // The name shown for the item; by default its class name.
    virtual std::string DisplayName() const { return ClassName(); }
    virtual void SetDisplayName(const std::string&) { Changed(false); }

    TPersistent* GetOwner() override { return FCollection; }
    std::string GetNamePath() override;

protected:
    void Changed(bool AllItems);

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FID = 0;
};
