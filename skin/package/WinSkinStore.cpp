#include "skin/package/WinSkinStore.h"

#include "framework/core/Filer.h"
#include "framework/core/Published.h"

IMPLEMENT_CLASS(TSkinCollectionItem)
void TSkinCollectionItem::Publish(TClassBuilder<TSkinCollectionItem>& b)
{
    b.Property("Name", &TSkinCollectionItem::Name, &TSkinCollectionItem::SetName)
     .Property("SkinData", &TSkinCollectionItem::SkinData, &TSkinCollectionItem::SetSkinData).NotStored()
     .Property("DataSize", &TSkinCollectionItem::DataSize).NotStored();
}

TSkinCollectionItem::TSkinCollectionItem(TCollection* Collection)
    : TCollectionItem(Collection), FData(std::make_unique<TMemoryStream>())
{
    FName = "SkinItem" + std::to_string(ID());
}

TSkinCollectionItem::~TSkinCollectionItem() = default;

void TSkinCollectionItem::SetName(const std::string& Value)
{
    if (Value == FName)
        return;
    if (TCollection* owner = Collection())
        for (int i = 0; i < owner->Count(); ++i) {
            auto* other = dynamic_cast<TSkinCollectionItem*>(owner->Items(i));
            if (other != nullptr && other != this && other->FName == Value)
                throw Exception("The name " + Value + " is already used.");
        }
    FName = Value;
}

void TSkinCollectionItem::LoadFromFile(const std::string& FileName) { FData->LoadFromFile(FileName); }

void TSkinCollectionItem::Assign(TPersistent* Source)
{
    auto* source = dynamic_cast<TSkinCollectionItem*>(Source);
    if (source == nullptr) {
        TCollectionItem::Assign(Source);
        return;
    }
    if (source == this)
        return;
    FName = source->FName;
    TMemoryStream& from = *source->FData;
    const int64_t position = from.Position();
    FData->Clear();
    FData->CopyFrom(from, 0);
    from.SetPosition(position);
}

void TSkinCollectionItem::DefineProperties(TFiler& Filer)
{
    Filer.DefineBinaryProperty(
        "DataStream",
        [this](TStream& Stream) {
            FData->Clear();
            FData->CopyFrom(Stream, 0);
        },
        [this](TStream& Stream) {
            FData->SetPosition(0);
            Stream.CopyFrom(*FData, 0);
        },
        true);
}

IMPLEMENT_CLASS_EMPTY(TSkinCollection)

TSkinCollection::TSkinCollection(TPersistent* AOwner) : TOwnedCollection(AOwner, TSkinCollectionItem::StaticClass())
{
}

IMPLEMENT_CLASS(TSkinStore)
void TSkinStore::Publish(TClassBuilder<TSkinStore>& b)
{
    b.Property("Store", &TSkinStore::Store, &TSkinStore::SetStore);
}

TSkinStore::TSkinStore(TComponent* AOwner)
    : TComponent(AOwner), FStore(std::make_unique<TSkinCollection>(this))
{
}

TSkinStore::~TSkinStore() = default;

void TSkinStore::SetStore(TSkinCollection* Value)
{
    if (Value != nullptr)
        FStore->Assign(Value);
}
