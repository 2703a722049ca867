// The object model: class identity, ownership, names, notification, field binding, Assign,
// method pointers.
#include "TestClasses.h"

#include "framework/core/Published.h"

#include <gtest/gtest.h>

namespace {

class ComponentTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterTestClasses(); }
    void TearDown() override { EXPECT_EQ(LiveTestComponents(), 0) << "a test component leaked"; }
};

TEST_F(ComponentTest, ClassIdentityAndRegistry)
{
    TTestForm form(nullptr);
    EXPECT_EQ(form.ClassName(), "TTestForm");
    EXPECT_TRUE(form.InheritsFrom(TComponent::StaticClass()));
    EXPECT_TRUE(form.InheritsFrom("ttestcomponent")); // by name, without regard to case
    EXPECT_TRUE(form.InheritsFrom("TObject"));
    EXPECT_FALSE(form.InheritsFrom("TCollection"));
    EXPECT_TRUE(form.Is<TTestComponent>());
    TTestComponent plain(nullptr);
    EXPECT_FALSE(plain.Is<TTestForm>());
    EXPECT_EQ(TTestForm::StaticClass().Parent(), &TTestComponent::StaticClass());

    const TClassInfo* cls = FindClass("TTESTCOMPONENT");
    ASSERT_NE(cls, nullptr);
    TObject* made = cls->Create(&form);
    auto* c = dynamic_cast<TTestComponent*>(made);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Owner(), &form);
    EXPECT_EQ(FindClass("TNoSuchClass"), nullptr);
    EXPECT_FALSE(TComponent::StaticClass().InheritsFrom(TTestComponent::StaticClass()));
}

TEST_F(ComponentTest, OwnerFreesOwnedComponentsAndKeepsIndexOrder)
{
    auto* owner = new TTestComponent(nullptr);
    auto* a = new TTestComponent(owner);
    auto* b = new TTestComponent(owner);
    auto* c = new TTestComponent(owner);
    a->SetName("A");
    b->SetName("B");
    c->SetName("C");
    ASSERT_EQ(owner->ComponentCount(), 3);
    EXPECT_EQ(owner->Components(0), a);
    EXPECT_EQ(owner->Components(2), c);
    EXPECT_EQ(b->ComponentIndex(), 1);
    EXPECT_EQ(owner->FindComponent("b"), b);
    EXPECT_THROW(owner->Components(3), EListError);

    c->SetComponentIndex(0);
    EXPECT_EQ(owner->Components(0), c);
    EXPECT_EQ(owner->Components(1), a);

    // A component freed on its own leaves its owner's list.
    delete a;
    ASSERT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(owner->FindComponent("A"), nullptr);

    // Re-owning moves it.
    auto* other = new TTestComponent(nullptr);
    other->InsertComponent(b);
    EXPECT_EQ(b->Owner(), other);
    EXPECT_EQ(owner->ComponentCount(), 1);

    delete owner; // frees c
    EXPECT_EQ(LiveTestComponents(), 2);
    delete other; // frees b
}

TEST_F(ComponentTest, NamesMustBeIdentifiersAndUniqueUnderOneOwner)
{
    TTestComponent owner(nullptr);
    auto* a = new TTestComponent(&owner);
    auto* b = new TTestComponent(&owner);
    a->SetName("Button1");
    try {
        b->SetName("BUTTON1");
        FAIL() << "duplicate name accepted";
    } catch (const EComponentError& e) {
        EXPECT_STREQ(e.what(), "A component named BUTTON1 already exists");
    }
    EXPECT_EQ(b->Name(), "");
    a->SetName("button1"); // the same component may change the case of its own name
    EXPECT_EQ(a->Name(), "button1");
    EXPECT_THROW(b->SetName("1st"), EComponentError);
    EXPECT_THROW(b->SetName("has space"), EComponentError);
    a->SetName("");
    b->SetName(""); // empty names never clash
    TTestComponent loose(nullptr);
    loose.SetName("Button1"); // different owners never clash
}

TEST_F(ComponentTest, OwnerAndSiblingsAreNotifiedOfInsertAndRemove)
{
    TTestComponent owner(nullptr);
    auto* sibling = new TTestComponent(&owner);
    owner.Notifications.clear();
    auto* added = new TTestComponent(&owner);
    ASSERT_EQ(owner.Notifications.size(), 1u);
    EXPECT_EQ(owner.Notifications[0], std::make_pair(static_cast<TComponent*>(added), opInsert));
    ASSERT_FALSE(sibling->Notifications.empty());
    EXPECT_EQ(sibling->Notifications.back().second, opInsert);

    owner.Notifications.clear();
    sibling->Notifications.clear();
    delete added;
    ASSERT_EQ(owner.Notifications.size(), 1u);
    EXPECT_EQ(owner.Notifications[0].second, opRemove);
    ASSERT_EQ(sibling->Notifications.size(), 1u);
    EXPECT_EQ(sibling->Notifications[0].second, opRemove);
}

TEST_F(ComponentTest, FreeNotificationLinksComponentsOfDifferentOwners)
{
    auto* ownerA = new TTestComponent(nullptr);
    auto* ownerB = new TTestComponent(nullptr);
    auto* user = new TTestComponent(ownerA);
    auto* used = new TTestComponent(ownerB);
    user->SetBuddy(used);
    EXPECT_TRUE(used->ComponentState().Contains(csFreeNotification));
    delete used; // user is told and forgets it
    EXPECT_EQ(user->Buddy(), nullptr);
    ASSERT_FALSE(user->Notifications.empty());
    EXPECT_EQ(user->Notifications.back().second, opRemove);

    // Unlinked components are not told.
    auto* again = new TTestComponent(ownerB);
    user->SetBuddy(again);
    user->SetBuddy(nullptr);
    user->Notifications.clear();
    delete again;
    EXPECT_TRUE(user->Notifications.empty());

    // Freeing an owner that holds linked components tells the other side too.
    auto* third = new TTestComponent(ownerB);
    user->SetBuddy(third);
    delete ownerB;
    EXPECT_EQ(user->Buddy(), nullptr);
    delete ownerA;
}

TEST_F(ComponentTest, OwnedComponentsAreMarkedDestroyingBeforeTheyAreFreed)
{
    struct TWatcher : TComponent {
        TWatcher(TComponent* o, bool* seen) : TComponent(o), Seen(seen) {}
        ~TWatcher() override { *Seen = ComponentState().Contains(csDestroying); }
        bool* Seen;
    };
    bool seen = false;
    auto* owner = new TComponent(nullptr);
    new TWatcher(owner, &seen);
    delete owner;
    EXPECT_TRUE(seen);
}

TEST_F(ComponentTest, OwnerFieldFollowsTheComponentOfThatName)
{
    TTestForm form(nullptr);
    auto* c = new TTestComponent(&form);
    EXPECT_EQ(form.First, nullptr);
    c->SetName("First");
    EXPECT_EQ(form.First, c);
    c->SetName("Second"); // renaming moves the binding
    EXPECT_EQ(form.First, nullptr);
    EXPECT_EQ(form.Second, c);
    delete c;
    EXPECT_EQ(form.Second, nullptr);
}

TEST_F(ComponentTest, DefaultAssignRaisesTheAssignmentError)
{
    TTestFont font;
    TTestItem loose(nullptr);
    try {
        font.Assign(&loose);
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TTestItem to a TTestFont");
    }
    try {
        font.Assign(nullptr);
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a nil to a TTestFont");
    }
    TTestFont other;
    other.SetHeight(-11);
    font.Assign(&other);
    EXPECT_EQ(font.Height(), -11);
}

TEST_F(ComponentTest, MethodPointersCompareByObjectAndMethod)
{
    TTestForm a(nullptr), b(nullptr);
    const TNotifyEvent e1 = BindMethod<&TTestForm::FormChange>(&a);
    const TNotifyEvent e2 = TNotifyEvent::Bind<&TTestForm::FormChange>(&a);
    const TNotifyEvent other = BindMethod<&TTestForm::OtherChange>(&a);
    const TNotifyEvent onB = BindMethod<&TTestForm::FormChange>(&b);
    EXPECT_EQ(e1, e2);
    EXPECT_NE(e1, other);
    EXPECT_NE(e1, onB);
    EXPECT_TRUE(TNotifyEvent().IsEmpty());
    EXPECT_FALSE(static_cast<bool>(TNotifyEvent(nullptr)));

    a.SetName("A");
    e1(&a);
    other(&a);
    ASSERT_EQ(a.Calls.size(), 2u);
    EXPECT_EQ(a.Calls[0], "FormChange A");
    EXPECT_EQ(a.Calls[1], "OtherChange");
    EXPECT_TRUE(b.Calls.empty());

    // The untyped form round-trips.
    const TNotifyEvent back(e1.Method());
    EXPECT_EQ(back, e1);
}

} // namespace
