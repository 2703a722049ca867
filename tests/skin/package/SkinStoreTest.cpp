// The skin store: item names and IDs, Assign across stores, and streaming in form descriptions.
#include "skin/package/WinSkinStore.h"

#include "framework/core/FormReader.h"
#include "framework/core/FormWriter.h"
#include "framework/core/Properties.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

void Fill(TMemoryStream& s, const std::string& bytes)
{
    s.Clear();
    s.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
}

std::string Bytes(const TMemoryStream& s)
{
    return std::string(static_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
}

TEST(SkinStoreTest, ItemsAreNamedAfterIdsThatAreNeverReused)
{
    TSkinStore store(nullptr);
    TSkinCollection& items = *store.Store();
    EXPECT_EQ(items.GetOwner(), &store);
    TSkinCollectionItem* first = items.Add();
    EXPECT_EQ(first->Name(), "SkinItem0");
    EXPECT_EQ(first->DisplayName(), "SkinItem0");
    items.Delete(0);
    EXPECT_EQ(items.Add()->Name(), "SkinItem1");
}

TEST(SkinStoreTest, NamesAreUniqueWithLetterCaseCounting)
{
    TSkinStore store(nullptr);
    TSkinCollectionItem* a = store.Store()->Add();
    TSkinCollectionItem* b = store.Store()->Add();
    a->SetName("SkinItem0"); // its own name: nothing happens
    try {
        b->SetName("SkinItem0");
        FAIL() << "duplicate accepted";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "The name SkinItem0 is already used.");
    }
    EXPECT_EQ(b->Name(), "SkinItem1");
    b->SetName("SKINITEM0"); // differs in case only: allowed
    EXPECT_EQ(b->Name(), "SKINITEM0");
}

TEST(SkinStoreTest, PublishedPropertiesOfAnItem)
{
    TSkinStore store(nullptr);
    TSkinCollectionItem* item = store.Store()->Add();
    Fill(item->Data(), std::string(54798, 'x'));
    EXPECT_EQ(item->DataSize(), 54798);
    EXPECT_EQ(GetOrdProp(item, "DataSize"), 54798);
    SetStrProp(item, "SkinData", "anything");
    EXPECT_EQ(GetStrProp(item, "SkinData"), "Load Skin");
    EXPECT_THROW(SetOrdProp(item, "DataSize", 1), EPropertyError);
}

TEST(SkinStoreTest, AssignAcrossStoresCopiesNameAndBytesEvenWhenTheNameIsTaken)
{
    TSkinStore source(nullptr), target(nullptr);
    TSkinCollectionItem* from = source.Store()->Add();
    from->SetName("Shared");
    Fill(from->Data(), "package bytes");
    from->Data().SetPosition(3);
    TSkinCollectionItem* taken = target.Store()->Add();
    taken->SetName("Shared");
    TSkinCollectionItem* to = target.Store()->Add();
    to->Assign(from);
    EXPECT_EQ(to->Name(), "Shared");
    EXPECT_EQ(Bytes(to->Data()), "package bytes");
    EXPECT_EQ(from->Data().Position(), 3); // the source's position is restored

    // Writing Store copies the items; nullptr is ignored.
    TSkinStore third(nullptr);
    third.SetStore(source.Store());
    ASSERT_EQ(third.Store()->Count(), 1);
    EXPECT_EQ(Bytes(third.Store()->Items(0)->Data()), "package bytes");
    third.SetStore(nullptr);
    EXPECT_EQ(third.Store()->Count(), 1);
}

TEST(SkinStoreTest, StreamsItsPackagesInFormDescriptions)
{
    RegisterComponentClass(TSkinStore::StaticClass());
    TComponent root(nullptr);
    ReadComponentText("object Form1: TComponent\n"
                      "  object SkinStore1: TSkinStore\n"
                      "    Store = <\n"
                      "      item\n"
                      "        Name = 'SkinItem0'\n"
                      "        DataStream = {D4E80100 00FF}\n"
                      "      end>\n"
                      "  end\n"
                      "end\n",
                      &root);
    auto* store = dynamic_cast<TSkinStore*>(root.FindComponent("SkinStore1"));
    ASSERT_NE(store, nullptr);
    ASSERT_EQ(store->Store()->Count(), 1);
    TSkinCollectionItem* item = store->Store()->Items(0);
    EXPECT_EQ(item->Name(), "SkinItem0");
    EXPECT_EQ(Bytes(item->Data()), std::string("\xD4\xE8\x01\x00\x00\xFF", 6));

    const std::string text = WriteComponentText(&root);
    EXPECT_NE(text.find("DataStream = {D4E8010000FF}"), std::string::npos) << text;
    EXPECT_EQ(text.find("SkinData"), std::string::npos) << text; // never streamed
    EXPECT_EQ(text.find("DataSize"), std::string::npos) << text;

    TComponent copy(nullptr);
    ReadComponentText(text, &copy);
    auto* again = dynamic_cast<TSkinStore*>(copy.FindComponent("SkinStore1"));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(Bytes(again->Store()->Items(0)->Data()), Bytes(item->Data()));
}

TEST(SkinStoreTest, LoadsAPackageFileIntoAnItem)
{
    const auto path = std::filesystem::temp_directory_path() / "pembrox-store-test.skn";
    {
        std::ofstream out(path, std::ios::binary);
        out << std::string("\x01\x02\x00\x03", 4);
    }
    TSkinStore store(nullptr);
    TSkinCollectionItem* item = store.Store()->Add();
    item->LoadFromFile(path.string());
    EXPECT_EQ(Bytes(item->Data()), std::string("\x01\x02\x00\x03", 4));
    std::filesystem::remove(path);
    EXPECT_THROW(item->LoadFromFile(path.string()), EFOpenError);
}

} // namespace
