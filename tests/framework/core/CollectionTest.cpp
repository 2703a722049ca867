// Collections: item IDs, Assign, moving items, update notifications.
#include "TestClasses.h"

#include "framework/core/Published.h"

#include <gtest/gtest.h>

namespace {

class TCountingCollection : public TCollection {
public:
    TCountingCollection() : TCollection(TTestItem::StaticClass()) {}
    int Updates = 0;

protected:
    void Update(TCollectionItem*) override { ++Updates; }
};

TTestItem* AddItem(TCollection& c, const std::string& name, int value)
{
    auto* item = static_cast<TTestItem*>(c.Add());
    item->SetName(name);
    item->SetValue(value);
    return item;
}

TEST(CollectionTest, IdsStartAtZeroAndAreNeverReused)
{
    TCollection c(TTestItem::StaticClass());
    EXPECT_EQ(c.NextID(), 0);
    auto* first = c.Add();
    EXPECT_EQ(first->ID(), 0);
    EXPECT_EQ(static_cast<TTestItem*>(first)->Name(), "Item0"); // the constructor already knows its ID
    c.Add();
    c.Add();
    c.Delete(1);
    ASSERT_EQ(c.Count(), 2);
    EXPECT_EQ(c.Items(1)->ID(), 2);
    EXPECT_EQ(c.Add()->ID(), 3);
    c.Clear();
    EXPECT_EQ(c.Count(), 0);
    EXPECT_EQ(c.Add()->ID(), 4);
    EXPECT_NE(c.FindItemID(4), nullptr);
    EXPECT_EQ(c.FindItemID(0), nullptr);
    EXPECT_THROW(c.Items(5), EListError);
    EXPECT_THROW(c.Delete(-1), EListError);
}

TEST(CollectionTest, AssignCopiesItemsWhileTheTargetKeepsItsOwnIds)
{
    TCollection source(TTestItem::StaticClass());
    AddItem(source, "a", 1)->SetData(std::string("\0\1\2", 3));
    AddItem(source, "b", 2);
    TCollection target(TTestItem::StaticClass());
    AddItem(target, "old", 9);
    target.Assign(&source);
    ASSERT_EQ(target.Count(), 2);
    auto* a = static_cast<TTestItem*>(target.Items(0));
    EXPECT_EQ(a->Name(), "a");
    EXPECT_EQ(a->Value(), 1);
    EXPECT_EQ(a->Data(), std::string("\0\1\2", 3));
    EXPECT_EQ(a->ID(), 1); // the target's next ID, not the source's
    EXPECT_EQ(target.Items(1)->ID(), 2);

    TTestFont notACollection;
    EXPECT_THROW(target.Assign(&notACollection), EConvertError);
    EXPECT_EQ(target.Count(), 2);
}

TEST(CollectionTest, ItemsMoveBetweenCollectionsAndReorder)
{
    TCollection one(TTestItem::StaticClass()), two(TTestItem::StaticClass());
    auto* x = AddItem(one, "x", 0);
    AddItem(one, "y", 0);
    AddItem(two, "z", 0);
    x->SetCollection(&two);
    EXPECT_EQ(one.Count(), 1);
    ASSERT_EQ(two.Count(), 2);
    EXPECT_EQ(x->Collection(), &two);
    EXPECT_EQ(x->ID(), 1); // a new ID in its new collection
    x->SetIndex(0);
    EXPECT_EQ(two.Items(0), x);
    EXPECT_EQ(x->Index(), 0);
    delete x; // an item freed on its own leaves its collection
    EXPECT_EQ(two.Count(), 1);
    EXPECT_EQ(static_cast<TTestItem*>(two.Items(0))->Name(), "z");
}

TEST(CollectionTest, UpdatesAreHeldBackWhileUpdating)
{
    TCountingCollection c;
    c.Add();
    EXPECT_EQ(c.Updates, 1);
    c.BeginUpdate();
    c.Add();
    c.Add();
    c.Delete(0);
    EXPECT_EQ(c.Updates, 1);
    c.EndUpdate();
    EXPECT_EQ(c.Updates, 2);
}

TEST(CollectionTest, OwnedCollectionKnowsItsOwnerAndNamePath)
{
    TTestComponent owner(nullptr);
    owner.SetName("Owner1");
    TCollection* items = owner.Items();
    EXPECT_EQ(items->GetOwner(), &owner);
    TCollectionItem* item = items->Add();
    EXPECT_EQ(item->GetOwner(), items);
    EXPECT_EQ(item->GetNamePath(), "Owner1.Items[0]");
    EXPECT_EQ(item->DisplayName(), "Item0");
    EXPECT_THROW(TCollection(TTestFont::StaticClass()), EInvalidOperation);
}

} // namespace
