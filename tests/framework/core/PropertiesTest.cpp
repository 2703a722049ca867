// Run-time property access by name: every kind, dotted paths, and the errors callers rely on.
#include "TestClasses.h"

#include "framework/core/Properties.h"
#include "framework/core/Published.h"

#include <gtest/gtest.h>

namespace {

TEST(PropertiesTest, OrdinalsEnumerationsSetsAndStringsByName)
{
    TTestComponent c(nullptr);
    SetOrdProp(&c, "Count", -7);
    EXPECT_EQ(c.Count(), -7);
    EXPECT_EQ(GetOrdProp(&c, "count"), -7); // names without regard to case

    SetEnumProp(&c, "Shape", "TSCIRCLE");
    EXPECT_EQ(c.Shape(), tsCircle);
    EXPECT_EQ(GetEnumProp(&c, "Shape"), "tsCircle");
    SetEnumProp(&c, "Enabled", "False"); // Booleans are enumerations
    EXPECT_FALSE(c.Enabled());
    EXPECT_EQ(GetEnumProp(&c, "Enabled"), "False");
    EXPECT_THROW(SetEnumProp(&c, "Shape", "tsTriangle"), EPropertyError);
    EXPECT_EQ(c.Shape(), tsCircle);

    SetSetProp(&c, "Styles", "[tyBold, tyUnderline]");
    EXPECT_EQ(c.Styles(), (TTestStyles{tyBold, tyUnderline}));
    EXPECT_EQ(GetSetProp(&c, "Styles"), "[tyBold,tyUnderline]");
    SetSetProp(&c, "Styles", "tyItalic");
    EXPECT_EQ(c.Styles(), TTestStyles{tyItalic});
    SetSetProp(&c, "Styles", "[]");
    EXPECT_TRUE(c.Styles().Empty());
    EXPECT_THROW(SetSetProp(&c, "Styles", "[tyBold, tyNope]"), EPropertyError);

    SetStrProp(&c, "Caption", "Hello");
    EXPECT_EQ(GetStrProp(&c, "Caption"), "Hello");
}

TEST(PropertiesTest, DottedPathsReachSubObjects)
{
    TTestComponent c(nullptr);
    SetOrdProp(&c, "Font.Height", -11);
    SetStrProp(&c, "Font.Name", "MS Sans Serif");
    SetSetProp(&c, "Font.Style", "[tyBold]");
    EXPECT_EQ(c.Font()->Height(), -11);
    EXPECT_EQ(c.Font()->Name(), "MS Sans Serif");
    EXPECT_TRUE(c.Font()->Style().Contains(tyBold));
    EXPECT_TRUE(IsPublishedProp(&c, "Font.Height"));
    EXPECT_FALSE(IsPublishedProp(&c, "Font.Width"));
    EXPECT_FALSE(IsPublishedProp(&c, "Caption.Length")); // not an object
    EXPECT_EQ(PropKind(&c, "Font"), TTypeKind::tkClass);
}

TEST(PropertiesTest, ObjectAndMethodProperties)
{
    TTestForm form(nullptr);
    auto* other = new TTestComponent(&form);
    SetObjectProp(&form, "Buddy", other);
    EXPECT_EQ(form.Buddy(), other);
    EXPECT_EQ(GetObjectProp(&form, "Buddy"), other);
    TTestFont font;
    EXPECT_THROW(SetObjectProp(&form, "Buddy", &font), EPropertyError); // wrong class
    EXPECT_EQ(form.Buddy(), other);
    SetObjectProp(&form, "Buddy", nullptr);
    EXPECT_EQ(form.Buddy(), nullptr);

    const TNotifyEvent handler = BindMethod<&TTestForm::FormChange>(&form);
    SetMethodProp(&form, "OnChange", handler.Method());
    EXPECT_EQ(form.OnChange(), handler);
    EXPECT_EQ(GetMethodProp(&form, "OnChange"), handler.Method());
}

TEST(PropertiesTest, ErrorsNameWhatIsWrong)
{
    TTestComponent c(nullptr);
    try {
        SetOrdProp(&c, "Missing", 1);
        FAIL() << "no error";
    } catch (const EPropertyError& e) {
        EXPECT_STREQ(e.what(), "Property Missing does not exist");
    }
    EXPECT_THROW(SetOrdProp(&c, "ReadOnlyValue", 1), EPropertyError);
    EXPECT_EQ(GetOrdProp(&c, "ReadOnlyValue"), 42);
    EXPECT_THROW(GetStrProp(&c, "Count"), EPropertyError); // wrong kind
    EXPECT_THROW(GetEnumProp(&c, "Count"), EPropertyError); // an integer is not an enumeration
    EXPECT_THROW(SetOrdProp(&c, "Caption", 3), EPropertyError);
}

TEST(PropertiesTest, PublishedInterfaceListsAncestorsFirst)
{
    std::vector<std::string> names;
    for (const TPropInfo* p : TTestForm::StaticClass().Properties())
        names.push_back(p->Name);
    ASSERT_GE(names.size(), 3u);
    EXPECT_EQ(names[0], "Name");
    EXPECT_EQ(names[1], "Tag");
    EXPECT_EQ(names[2], "Count");
    EXPECT_NE(TTestForm::StaticClass().FindMethod("formchange"), nullptr);
    EXPECT_EQ(TTestComponent::StaticClass().FindMethod("FormChange"), nullptr);
    EXPECT_NE(TTestForm::StaticClass().FindField("First"), nullptr);
}

} // namespace
