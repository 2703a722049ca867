// The skin store: a component that keeps complete skin packages inside a form description, one per
// item of its Store collection, each streamed as the defined binary property "DataStream". It only
// keeps and streams the bytes.
#pragma once

#include "framework/core/Collection.h"
#include "framework/core/Component.h"
#include "framework/core/Stream.h"

#include <memory>
#include <string>

class TSkinCollectionItem : public TCollectionItem {
    DECLARE_CLASS(TSkinCollectionItem, TCollectionItem)
public:
    // Takes the name "SkinItem" followed by its ID.
    explicit TSkinCollectionItem(TCollection* Collection);
    ~TSkinCollectionItem() override;

    const std::string& Name() const { return FName; }
    // Raises Exception "The name <Value> is already used." when another item of the collection has
    // exactly that name (letter case counts); the old name stays.
    void SetName(const std::string& Value);
    // For a design-time "Load Skin" action; always reads "Load Skin", writes are ignored.
    std::string SkinData() const { return "Load Skin"; }
    void SetSkinData(const std::string&) {}
    int32_t DataSize() const { return static_cast<int32_t>(FData->Size()); }

    // The package bytes; readers set the position they need.
    TMemoryStream& Data() { return *FData; }
    const TMemoryStream& Data() const { return *FData; }
    // Replaces the data with a ".skn" file's bytes.
    void LoadFromFile(const std::string& FileName);

    // From another item: its name (without the uniqueness test) and all of its bytes.
    void Assign(TPersistent* Source) override;
    std::string DisplayName() const override { return FName; }
    void DefineProperties(TFiler& Filer) override;

private:
    std::string FName;
    std::unique_ptr<TMemoryStream> FData;
};

class TSkinCollection : public TOwnedCollection {
    DECLARE_CLASS(TSkinCollection, TOwnedCollection)
public:
    explicit TSkinCollection(TPersistent* AOwner);
    TSkinCollectionItem* Items(int Index) const { return static_cast<TSkinCollectionItem*>(TCollection::Items(Index)); }
    TSkinCollectionItem* Add() { return static_cast<TSkinCollectionItem*>(TCollection::Add()); }
};

class TSkinStore : public TComponent {
    DECLARE_CLASS(TSkinStore, TComponent)
public:
    explicit TSkinStore(TComponent* AOwner);
    ~TSkinStore() override;

    TSkinCollection* Store() const { return FStore.get(); }
    // Copies the items of Value (nullptr is ignored).
    void SetStore(TSkinCollection* Value);

private:
    std::unique_ptr<TSkinCollection> FStore;
};
