// Form descriptions: every value kind read into real objects, creation and loading order, and
// malformed descriptions that must name line and property and leave nothing behind.
#include "TestClasses.h"

#include "framework/core/FormReader.h"
#include "framework/core/FormWriter.h"
#include "framework/core/Published.h"

#include <gtest/gtest.h>

namespace {

const char* const kDescription = R"(object Form1: TTestForm
  Count = 3
  Caption = 'It''s ' +
    'joined'#13#10'end'
  Color = tcFace
  OnChange = FormChange
  object First: TTestComponent
    Count = -11
    Enabled = False
    Shape = tsEllipse
    Styles = [tyBold, tyStrikeOut]
    Color = $00FF00
    Font.Height = -11
    Font.Name = 'MS Sans Serif'
    Font.Style = []
    Lines = (
      'one'
      'two'
      'two')
    Buddy = Second
    OnChange = OtherChange
    OnValue = ValueChanged
    Items = <
      item
        Name = 'SkinItem0'
        Value = 5
        Data = {D4E8
                0100FF}
      end
      item
        Value = 6
      end>
    Blob = {03000000414243}
    object Inner: TTestComponent
      Tag = 7
    end
  end
  object Second: TTestComponent
    Color = tcRed
    Blob = {00000000}
  end
end
)";

class FormReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterTestClasses();
        TTestComponent::Log().clear();
    }
    void TearDown() override { EXPECT_EQ(LiveTestComponents(), 0) << "a test component leaked"; }
};

TEST_F(FormReaderTest, ReadsEveryValueKindIntoTheObjects)
{
    TTestForm form(nullptr);
    ReadComponentText(kDescription, &form);

    EXPECT_EQ(form.Name(), "Form1");
    EXPECT_EQ(form.Count(), 3);
    EXPECT_EQ(form.Caption(), "It's joined\r\nend");
    EXPECT_EQ(form.Color(), tcFace);
    ASSERT_EQ(form.ComponentCount(), 3); // First, Inner, Second: all owned by the root
    ASSERT_NE(form.First, nullptr);
    ASSERT_NE(form.Second, nullptr);
    TTestComponent& first = *form.First;
    EXPECT_EQ(first.Count(), -11);
    EXPECT_FALSE(first.Enabled());
    EXPECT_EQ(first.Shape(), tsEllipse);
    EXPECT_EQ(first.Styles(), (TTestStyles{tyBold, tyStrikeOut}));
    EXPECT_EQ(first.Color(), 0x00FF00);
    EXPECT_EQ(first.Font()->Height(), -11);
    EXPECT_EQ(first.Font()->Name(), "MS Sans Serif");
    // The streamed lines replace the constructor's defaults; duplicates stay.
    ASSERT_EQ(first.Lines()->Count(), 3);
    EXPECT_EQ(first.Lines()->Strings(0), "one");
    EXPECT_EQ(first.Lines()->Strings(2), "two");
    EXPECT_EQ(first.Buddy(), form.Second); // a reference to a component described later
    EXPECT_EQ(form.Second->Color(), tcRed);

    ASSERT_EQ(first.Items()->Count(), 2);
    auto* item0 = static_cast<TTestItem*>(first.Items()->Items(0));
    auto* item1 = static_cast<TTestItem*>(first.Items()->Items(1));
    EXPECT_EQ(item0->Name(), "SkinItem0");
    EXPECT_EQ(item0->Value(), 5);
    EXPECT_EQ(item0->Data(), std::string("\xD4\xE8\x01\x00\xFF", 5));
    EXPECT_EQ(item1->Name(), "Item1");
    EXPECT_EQ(item1->Data(), "");
    EXPECT_EQ(first.Blob(), "ABC");
    EXPECT_EQ(form.Second->Blob(), "");

    auto* inner = dynamic_cast<TTestComponent*>(form.FindComponent("Inner"));
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->Owner(), &form);
    EXPECT_EQ(inner->Parent(), &first); // the enclosing object is its parent component
    EXPECT_EQ(first.Parent(), &form);
    EXPECT_EQ(inner->Tag(), 7);

    // Events are bound to the root's methods.
    form.OnChange()(&form);
    first.OnChange()(&first);
    first.OnValue()(&first, 5);
    ASSERT_EQ(form.Calls.size(), 3u);
    EXPECT_EQ(form.Calls[0], "FormChange Form1");
    EXPECT_EQ(form.Calls[1], "OtherChange");
    EXPECT_EQ(form.Calls[2], "ValueChanged 5");
}

TEST_F(FormReaderTest, LoadedRunsOnceForEveryComponentAfterEverythingIsRead)
{
    TTestForm form(nullptr);
    ReadComponentText(kDescription, &form);
    const std::vector<std::string> expected{"Loaded Form1", "Loaded First", "Loaded Inner", "Loaded Second"};
    EXPECT_EQ(TTestComponent::Log(), expected);

    TTestComponent& first = *form.First;
    // While its properties were set the component was loading and reading ...
    EXPECT_TRUE(first.StateInSetCount().Contains(csLoading));
    EXPECT_TRUE(first.StateInSetCount().Contains(csReading));
    // ... in Loaded it is still loading but no longer reading ...
    EXPECT_EQ(first.LoadedCalls(), 1);
    EXPECT_TRUE(first.StateInLoaded().Contains(csLoading));
    EXPECT_FALSE(first.StateInLoaded().Contains(csReading));
    // ... and afterwards neither.
    for (int i = 0; i < form.ComponentCount(); ++i) {
        EXPECT_FALSE(form.Components(i)->ComponentState().Contains(csLoading));
        EXPECT_FALSE(form.Components(i)->ComponentState().Contains(csReading));
    }
    EXPECT_TRUE(form.StateInSetCount().Contains(csReading));
    EXPECT_FALSE(form.ComponentState().Contains(csLoading));
}

TEST_F(FormReaderTest, WrittenDescriptionsReadBackToTheSameObjects)
{
    TTestForm form(nullptr);
    ReadComponentText(kDescription, &form);
    const std::string text = WriteComponentText(&form);
    EXPECT_NE(text.find("object Inner: TTestComponent"), std::string::npos);
    EXPECT_NE(text.find("OnChange = FormChange"), std::string::npos);
    EXPECT_NE(text.find("Color = tcFace"), std::string::npos);
    EXPECT_NE(text.find("Styles = [tyBold, tyStrikeOut]"), std::string::npos);

    TTestForm copy(nullptr);
    ReadComponentText(text, &copy);
    EXPECT_EQ(WriteComponentText(&copy), text);
    ASSERT_NE(copy.First, nullptr);
    EXPECT_EQ(copy.Caption(), form.Caption());
    EXPECT_EQ(copy.First->Buddy(), copy.Second);
    EXPECT_EQ(copy.First->Blob(), "ABC");
    EXPECT_EQ(static_cast<TTestItem*>(copy.First->Items()->Items(0))->Data(),
              std::string("\xD4\xE8\x01\x00\xFF", 5));
    EXPECT_EQ(copy.First->Lines()->Count(), 3);
    EXPECT_EQ(copy.FindComponent("Inner")->Tag(), 7);
}

TEST_F(FormReaderTest, CreatesTheRootFromItsRegisteredClass)
{
    TComponent owner(nullptr);
    TComponent* root = CreateComponentFromText(kDescription, &owner);
    ASSERT_NE(dynamic_cast<TTestForm*>(root), nullptr);
    EXPECT_EQ(root->Owner(), &owner);
    EXPECT_EQ(root->ComponentCount(), 3);
}

struct TBadCase {
    const char* Text;
    int Line;
    const char* Mentions; // what the message must name
};

TEST_F(FormReaderTest, MalformedDescriptionsNameLineAndPropertyAndLeaveNothing)
{
    const TBadCase cases[] = {
        {"object F: TTestForm\n  object A: TNoSuchClass\n  end\nend", 2, "TNoSuchClass"},
        {"object F: TTestForm\n  object First: TTestComponent\n    Bogus = 1\n  end\nend", 3, "First.Bogus"},
        {"object F: TTestForm\n  object First: TTestComponent\n    Shape = tsTriangle\n  end\nend", 3, "First.Shape"},
        {"object F: TTestForm\n  Count = 'three'\nend", 2, "F.Count"},
        {"object F: TTestForm\n  Color = tcNope\nend", 2, "F.Color"},
        {"object F: TTestForm\n  Count = 99999999999\nend", 2, "out of range"},
        {"object F: TTestForm\n  Styles = [tyBold, tyNope]\nend", 2, "F.Styles"},
        {"object F: TTestForm\n  object First: TTestComponent\n    Caption = 'open\n  end\nend", 3, "Unterminated"},
        {"object F: TTestForm\n  object First: TTestComponent\n    Blob = {123}\n  end\nend", 3, "hex"},
        {"object F: TTestForm\n  object First: TTestComponent\n  end\n  object First: TTestComponent\n  end\nend", 4,
         "already exists"},
        {"object F: TTestForm\n  OnChange = NoSuchMethod\nend", 2, "NoSuchMethod"},
        {"object F: TTestForm\n  OnValue = FormChange\nend", 2, "F.OnValue"},
        {"object F: TTestForm\n  object First: TTestComponent\n    Buddy = Nobody\n  end\nend", 3, "Nobody"},
        {"object F: TTestForm\n  ReadOnlyValue = 1\nend", 2, "read-only"},
        {"object F: TTestForm\n  object First: TTestComponent\n    Blob = {FF000000}\n  end\nend", 3, "First.Blob"},
        {"object F: TTestForm\n  object First: TTestComponent\n    Tag = 1\n", 4, "'end' expected"},
        {"object F: TTestForm\n  object First: TTestComponent\n  end\n  object Second: TTestComponent\n"
         "    Lines = ( 'a' 3 )\n  end\nend",
         5, "String expected"},
        {"object F: TTestFont\nend", 1, "TTestFont"}, // a description of another class
        {"object F: TTestForm\nend\nobject G: TTestForm\nend", 3, "End of description"},
    };
    for (const TBadCase& c : cases) {
        SCOPED_TRACE(c.Text);
        {
            TTestForm form(nullptr);
            try {
                ReadComponentText(c.Text, &form);
                ADD_FAILURE() << "no error";
            } catch (const EReadError& e) {
                const std::string message = e.what();
                EXPECT_EQ(message.rfind("Line " + std::to_string(c.Line) + ":", 0), 0u) << message;
                EXPECT_NE(message.find(c.Mentions), std::string::npos) << message;
            }
            EXPECT_EQ(form.ComponentCount(), 0);
            EXPECT_EQ(form.First, nullptr);
            EXPECT_EQ(form.Second, nullptr);
            EXPECT_FALSE(form.ComponentState().Contains(csLoading));
            EXPECT_FALSE(form.ComponentState().Contains(csReading));
            EXPECT_EQ(LiveTestComponents(), 1); // the root alone
            EXPECT_TRUE(TTestComponent::Log().empty()) << "Loaded ran for a failed read";
        }
        // A root the reader created goes too.
        TComponent owner(nullptr);
        EXPECT_THROW(CreateComponentFromText(c.Text, &owner), EReadError);
        EXPECT_EQ(owner.ComponentCount(), 0);
        EXPECT_EQ(LiveTestComponents(), 0);
    }
}

TEST_F(FormReaderTest, EmptyBlocksListsAndCollections)
{
    TTestForm form(nullptr);
    ReadComponentText("object F: TTestForm\n  Lines = ()\n  Items = <>\n  Blob = {00000000}\nend", &form);
    EXPECT_EQ(form.Lines()->Count(), 0);
    EXPECT_EQ(form.Items()->Count(), 0);
    EXPECT_EQ(form.Blob(), "");
}

} // namespace
