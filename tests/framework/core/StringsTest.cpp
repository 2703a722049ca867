#include "framework/core/Strings.h"

#include "framework/core/StrUtils.h"
#include "framework/core/Stream.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Lines(const TStrings& list)
{
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list[i]);
    return out;
}

using V = std::vector<std::string>;

V SplitText(const std::string& text)
{
    TStringList list;
    list.SetText(text);
    return Lines(list);
}

// Counts the change events of a list.
class TChangeCounter : public TObject {
public:
    explicit TChangeCounter(TStrings& list)
    {
        list.SetOnChange(BindMethod<&TChangeCounter::Change>(this));
        list.SetOnChanging(BindMethod<&TChangeCounter::Changing>(this));
    }
    void Change(TObject* Sender)
    {
        ++Changes;
        LastSender = Sender;
    }
    void Changing(TObject*) { ++Changings; }

    int Changes = 0;
    int Changings = 0;
    TObject* LastSender = nullptr;
};

template <class F> void ExpectIndexError(F&& f, int index)
{
    try {
        f();
        ADD_FAILURE() << "no EListError for index " << index;
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (" + std::to_string(index) + ")");
    }
}

} // namespace

// Splitting text into lines

TEST(StringsTextTest, LineBreaks)
{
    EXPECT_EQ(SplitText("a\r\nb\r\nc"), (V{"a", "b", "c"}));
    EXPECT_EQ(SplitText("a\rb\rc"), (V{"a", "b", "c"}));
    EXPECT_EQ(SplitText("a\nb\nc"), (V{"a", "b", "c"}));
    EXPECT_EQ(SplitText("a\r\nb\nc\rd"), (V{"a", "b", "c", "d"}));
    // LF CR is two breaks, not one.
    EXPECT_EQ(SplitText("a\n\rb"), (V{"a", "", "b"}));
    EXPECT_EQ(SplitText("a\r\rb"), (V{"a", "", "b"}));
}

TEST(StringsTextTest, FinalBreakAddsNoLine)
{
    EXPECT_EQ(SplitText("a\r\n"), (V{"a"}));
    EXPECT_EQ(SplitText("a\n"), (V{"a"}));
    EXPECT_EQ(SplitText("a\r"), (V{"a"}));
    EXPECT_EQ(SplitText("a\r\n\r\n"), (V{"a", ""}));
}

TEST(StringsTextTest, EmptyAndBlankTexts)
{
    EXPECT_EQ(SplitText(""), V{});
    EXPECT_EQ(SplitText("\r\n"), (V{""}));
    EXPECT_EQ(SplitText("\r\n\r\n"), (V{"", ""}));
    EXPECT_EQ(SplitText("\n\n\n"), (V{"", "", ""}));
    EXPECT_EQ(SplitText(" "), (V{" "}));
}

TEST(StringsTextTest, KeepsOrderDuplicatesAndOtherBytes)
{
    EXPECT_EQ(SplitText("b\r\na\r\nb\r\n\ta \r\n"), (V{"b", "a", "b", "\ta "}));
    EXPECT_EQ(SplitText(std::string("x\0y\nz", 5)), (V{std::string("x\0y", 3), "z"}));
}

TEST(StringsTextTest, TextJoinsWithCrLfAndReplacesContent)
{
    TStringList list;
    EXPECT_EQ(list.Text(), "");
    list.Add("old");
    list.SetText("one\ntwo");
    EXPECT_EQ(list.Text(), "one\r\ntwo\r\n");
    list.Add("");
    EXPECT_EQ(list.Text(), "one\r\ntwo\r\n\r\n");

    TStringList copy;
    copy.SetText(list.Text());
    EXPECT_EQ(Lines(copy), Lines(list));
    list.SetText("");
    EXPECT_EQ(list.Count(), 0);
}

TEST(StringsTextTest, CommaText)
{
    TStringList list;
    list.SetText("plain\nwith space\nwith,comma\nsay \"hi\"\n\nlast");
    EXPECT_EQ(list.CommaText(), "plain,\"with space\",\"with,comma\",\"say \"\"hi\"\"\",,last");

    TStringList back;
    back.SetCommaText(list.CommaText());
    EXPECT_EQ(Lines(back), Lines(list));

    back.SetCommaText("  a b,c , \"d,e\" ,");
    EXPECT_EQ(Lines(back), (V{"a", "b", "c", "d,e", ""}));
    back.SetCommaText("");
    EXPECT_EQ(back.Count(), 0);

    back.Add("");
    EXPECT_EQ(back.CommaText(), "\"\"");
    back.SetCommaText("\"\"");
    EXPECT_EQ(Lines(back), (V{""}));
}

// Lines, objects and indexes

TEST(StringListTest, AddInsertDeleteAndObjects)
{
    TStringList list;
    TObject a, b;
    EXPECT_EQ(list.Add("one"), 0);
    EXPECT_EQ(list.AddObject("two", &a), 1);
    list.Insert(0, "zero");
    list.InsertObject(3, "three", &b);
    EXPECT_EQ(Lines(list), (V{"zero", "one", "two", "three"}));
    EXPECT_EQ(list.Objects(0), nullptr);
    EXPECT_EQ(list.Objects(2), &a);
    EXPECT_EQ(list.Objects(3), &b);
    EXPECT_EQ(list.IndexOfObject(&b), 3);

    list.Put(1, "ONE");
    list.PutObject(1, &b);
    EXPECT_EQ(list.Strings(1), "ONE");
    EXPECT_EQ(list.Objects(1), &b);

    list.Delete(0);
    EXPECT_EQ(Lines(list), (V{"ONE", "two", "three"}));
    EXPECT_EQ(list.Objects(1), &a); // objects move with their lines

    list.Exchange(0, 2);
    EXPECT_EQ(Lines(list), (V{"three", "two", "ONE"}));
    EXPECT_EQ(list.Objects(0), &b);
    EXPECT_EQ(list.Objects(2), &b);

    list.Move(0, 2);
    EXPECT_EQ(Lines(list), (V{"two", "ONE", "three"}));
    list.Move(2, 0);
    EXPECT_EQ(Lines(list), (V{"three", "two", "ONE"}));
    EXPECT_EQ(list.Objects(1), &a);

    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(StringListTest, IndexErrors)
{
    TStringList list;
    list.Add("a");
    list.Add("b");
    ExpectIndexError([&] { list.Strings(2); }, 2);
    ExpectIndexError([&] { list.Strings(-1); }, -1);
    ExpectIndexError([&] { list.Put(2, "x"); }, 2);
    ExpectIndexError([&] { list.Objects(5); }, 5);
    ExpectIndexError([&] { list.PutObject(-3, nullptr); }, -3);
    ExpectIndexError([&] { list.Insert(3, "x"); }, 3);
    ExpectIndexError([&] { list.Insert(-1, "x"); }, -1);
    ExpectIndexError([&] { list.Delete(2); }, 2);
    ExpectIndexError([&] { list.Exchange(0, 2); }, 2);
    ExpectIndexError([&] { list.Names(7); }, 7);
    ExpectIndexError([&] { list.Move(0, 2); }, 2);
    EXPECT_EQ(Lines(list), (V{"a", "b"})); // nothing was lost on the way

    list.Insert(2, "c"); // inserting at the end is fine
    EXPECT_EQ(list[2], "c");
}

TEST(StringListTest, IndexOfIgnoresCaseUnlessCaseSensitive)
{
    TStringList list;
    list.SetText("Alpha\nbeta\nALPHA");
    EXPECT_FALSE(list.CaseSensitive());
    EXPECT_EQ(list.IndexOf("alpha"), 0);
    EXPECT_EQ(list.IndexOf("BETA"), 1);
    EXPECT_EQ(list.IndexOf("gamma"), -1);
    EXPECT_EQ(list.IndexOf("alph"), -1);

    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf("alpha"), -1);
    EXPECT_EQ(list.IndexOf("ALPHA"), 2);
    EXPECT_EQ(list.IndexOfName("x"), -1);
}

// Name=Value lines

TEST(StringsValuesTest, NamesAndValues)
{
    TStringList list;
    list.SetText("Width=10\nnoequals\nTitle=a=b\n=nameless\nwidth=20\nEmpty=");
    EXPECT_EQ(list.Names(0), "Width");
    EXPECT_EQ(list.ValueFromIndex(0), "10");
    EXPECT_EQ(list.Names(1), "");
    EXPECT_EQ(list.ValueFromIndex(1), "");
    EXPECT_EQ(list.Names(2), "Title");
    EXPECT_EQ(list.ValueFromIndex(2), "a=b"); // split at the first '='
    EXPECT_EQ(list.Names(3), "");
    EXPECT_EQ(list.ValueFromIndex(3), "nameless");

    EXPECT_EQ(list.IndexOfName("WIDTH"), 0); // the first of two, without case
    EXPECT_EQ(list.Values("width"), "10");
    EXPECT_EQ(list.Values("Title"), "a=b");
    EXPECT_EQ(list.Values("Empty"), "");
    EXPECT_EQ(list.IndexOfName("Empty"), 5);
    EXPECT_EQ(list.Values("missing"), "");
    EXPECT_EQ(list.IndexOfName("noequals"), -1); // a line without '=' has no name
}

TEST(StringsValuesTest, SetValueReplacesAddsAndDeletes)
{
    TStringList list;
    list.SetText("a=1\nb=2\nc=3");
    list.SetValue("B", "two");
    EXPECT_EQ(Lines(list), (V{"a=1", "B=two", "c=3"}));
    list.SetValue("d", "4");
    EXPECT_EQ(Lines(list), (V{"a=1", "B=two", "c=3", "d=4"}));
    list.SetValue("a", "");
    EXPECT_EQ(Lines(list), (V{"B=two", "c=3", "d=4"}));
    list.SetValue("missing", "");
    EXPECT_EQ(list.Count(), 3);
}

// Copying and comparing

TEST(StringsAssignTest, AssignCopiesLinesAndObjects)
{
    TObject o;
    TStringList source;
    source.Add("x");
    source.AddObject("y", &o);

    TStringList dest;
    dest.Add("old");
    dest.Assign(&source);
    EXPECT_EQ(Lines(dest), (V{"x", "y"}));
    EXPECT_EQ(dest.Objects(1), &o);
    EXPECT_TRUE(dest.Equals(source));

    dest.Assign(&dest);
    EXPECT_EQ(Lines(dest), (V{"x", "y"}));

    source.Put(0, "X");
    EXPECT_FALSE(dest.Equals(source)); // Equals minds case
    source.Delete(0);
    EXPECT_FALSE(dest.Equals(source));
}

TEST(StringsAssignTest, AssignFromOtherClassesRaises)
{
    class TOther : public TPersistent {};
    TOther other;
    TStringList list;
    list.Add("kept");
    EXPECT_THROW(list.Assign(&other), EConvertError);
    EXPECT_THROW(list.Assign(nullptr), EConvertError);
    EXPECT_EQ(Lines(list), (V{"kept"}));
}

TEST(StringsAssignTest, AddStringsAppendsEvenToItself)
{
    TStringList list;
    list.SetText("a\nb");
    TStringList more;
    more.SetText("c");
    list.AddStrings(more);
    EXPECT_EQ(Lines(list), (V{"a", "b", "c"}));
    list.AddStrings(list);
    EXPECT_EQ(Lines(list), (V{"a", "b", "c", "a", "b", "c"}));
}

TEST(StringsAssignTest, ClassIdentity)
{
    TStringList list;
    EXPECT_EQ(list.ClassName(), "TStringList");
    EXPECT_TRUE(list.InheritsFrom(TStrings::StaticClass()));
    EXPECT_TRUE(list.InheritsFrom("TPersistent"));
    EXPECT_FALSE(TStrings::StaticClass().CanCreate());
}

// Sorted lists

TEST(SortedStringListTest, AddKeepsOrderAndFindSearches)
{
    TStringList list;
    list.SetText("pear\napple\nFig");
    list.SetSorted(true);
    EXPECT_EQ(Lines(list), (V{"apple", "Fig", "pear"})); // without case
    EXPECT_EQ(list.Add("banana"), 1);
    EXPECT_EQ(list.Add("zucchini"), 4);
    EXPECT_EQ(list.Add("Aardvark"), 0);
    EXPECT_EQ(Lines(list), (V{"Aardvark", "apple", "banana", "Fig", "pear", "zucchini"}));

    int index = -1;
    EXPECT_TRUE(list.Find("FIG", index));
    EXPECT_EQ(index, 3);
    EXPECT_FALSE(list.Find("cherry", index));
    EXPECT_EQ(index, 3); // where it would go
    EXPECT_FALSE(list.Find("zzz", index));
    EXPECT_EQ(index, 6);
    EXPECT_EQ(list.IndexOf("PEAR"), 4);
    EXPECT_EQ(list.IndexOf("cherry"), -1);

    // Sorted text loads in order too.
    list.SetText("c\na\nb");
    EXPECT_EQ(Lines(list), (V{"a", "b", "c"}));
}

TEST(SortedStringListTest, Duplicates)
{
    TObject first, second;
    TStringList list;
    list.SetSorted(true);
    EXPECT_EQ(list.Duplicates(), dupIgnore);
    list.AddObject("b", &first);
    list.Add("a");
    EXPECT_EQ(list.AddObject("B", &second), 1); // the line already there
    EXPECT_EQ(Lines(list), (V{"a", "b"}));
    EXPECT_EQ(list.Objects(1), &first);

    list.SetDuplicates(dupError);
    try {
        list.Add("A");
        FAIL() << "a duplicate was accepted";
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "String list does not allow duplicates");
    }
    EXPECT_EQ(list.Count(), 2);

    list.SetDuplicates(dupAccept);
    EXPECT_EQ(list.AddObject("B", &second), 2); // after its equal
    EXPECT_EQ(Lines(list), (V{"a", "b", "B"}));
    EXPECT_EQ(list.IndexOf("b"), 1);

    // Unsorted lists take anything.
    TStringList plain;
    plain.SetDuplicates(dupError);
    plain.Add("x");
    EXPECT_NO_THROW(plain.Add("x"));
    EXPECT_EQ(plain.Count(), 2);
}

TEST(SortedStringListTest, CaseSensitiveSortAndRefusedOperations)
{
    TStringList list;
    list.SetText("b\nB\na\nA");
    list.SetCaseSensitive(true);
    list.SetSorted(true);
    EXPECT_EQ(Lines(list), (V{"A", "B", "a", "b"}));
    list.SetCaseSensitive(false); // re-sorts; equal strings keep their order
    EXPECT_EQ(Lines(list), (V{"A", "a", "B", "b"}));

    EXPECT_THROW(list.Insert(0, "x"), EListError);
    EXPECT_THROW(list.Put(0, "x"), EListError);
    EXPECT_THROW(list.Move(0, 3), EListError);
    EXPECT_EQ(Lines(list), (V{"A", "a", "B", "b"}));

    list.SetSorted(false);
    list.Insert(0, "z");
    EXPECT_EQ(list[0], "z");
    list.Sort();
    EXPECT_EQ(list[3], "b");
    EXPECT_EQ(list[4], "z");
}

TEST(SortedStringListTest, SortKeepsEqualStringsInOrder)
{
    // Enough lines that a sort which is not stable shows.
    std::vector<TObject> tags(60);
    TStringList list;
    for (size_t i = 0; i < tags.size(); ++i) {
        static const char* const keys[] = {"b", "A", "B", "c", "a", "C"};
        list.AddObject(keys[i % 6], &tags[i]);
    }
    list.Sort();
    for (int i = 1; i < list.Count(); ++i) {
        if (SameText(list[i - 1], list[i]))
            ASSERT_LT(list.Objects(i - 1), list.Objects(i)) << "at " << i;
        else
            ASSERT_LT(CompareText(list[i - 1], list[i]), 0) << "at " << i;
    }
}

// Change events

TEST(StringsEventTest, ChangesFireUnlessUpdating)
{
    TStringList list;
    TChangeCounter counter(list);
    list.Add("a");
    list.Put(0, "b");
    list.Delete(0);
    EXPECT_EQ(counter.Changes, 3);
    EXPECT_EQ(counter.Changings, 3);
    EXPECT_EQ(counter.LastSender, &list);

    list.Clear(); // already empty: no change
    EXPECT_EQ(counter.Changes, 3);

    list.BeginUpdate();
    list.BeginUpdate();
    list.Add("x");
    list.Add("y");
    list.EndUpdate();
    EXPECT_EQ(counter.Changes, 3);
    list.EndUpdate();
    EXPECT_EQ(counter.Changes, 4);
    EXPECT_EQ(counter.Changings, 4);

    list.SetText("1\n2\n3"); // one change for the whole text
    EXPECT_EQ(counter.Changes, 5);
    list.EndUpdate(); // unbalanced: ignored
    EXPECT_EQ(list.UpdateCount(), 0);
    list.Add("4");
    EXPECT_EQ(counter.Changes, 6);
}

TEST(StringsEventTest, UpdateEndsWhenAChangeRaises)
{
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(dupError);
    EXPECT_THROW(list.SetText("a\na"), EListError);
    EXPECT_EQ(list.UpdateCount(), 0);
    EXPECT_EQ(Lines(list), (V{"a"}));
}

// Streams and files

TEST(StringsStreamTest, LoadFromStreamReadsFromThePosition)
{
    TMemoryStream stream;
    const std::string data = "skip\r\none\ntwo\r\n";
    stream.WriteBuffer(data.data(), static_cast<int32_t>(data.size()));
    stream.SetPosition(6);

    TStringList list;
    list.Add("old");
    list.LoadFromStream(stream);
    EXPECT_EQ(Lines(list), (V{"one", "two"}));
    EXPECT_EQ(stream.Position(), static_cast<int64_t>(data.size()));

    list.LoadFromStream(stream); // at the end: no lines
    EXPECT_EQ(list.Count(), 0);
}

TEST(StringsStreamTest, SaveToStreamWritesTextAtThePosition)
{
    TMemoryStream stream;
    stream.WriteBuffer(">", 1);
    TStringList list;
    list.SetText("a\nb");
    list.SaveToStream(stream);
    EXPECT_EQ(stream.Size(), 7);
    EXPECT_EQ(std::string(static_cast<const char*>(stream.Memory()), 7), ">a\r\nb\r\n");
}

TEST(StringsStreamTest, LargeTextSpansSeveralReads)
{
    TStringList list;
    for (int i = 0; i < 20000; ++i)
        list.Add("line " + std::to_string(i));
    TMemoryStream stream;
    list.SaveToStream(stream);
    stream.SetPosition(0);
    TStringList back;
    back.LoadFromStream(stream);
    EXPECT_TRUE(back.Equals(list));
}

TEST(StringsStreamTest, FileRoundTrip)
{
    const std::string path =
        (std::filesystem::temp_directory_path() / "pembrox_StringsStreamTest_FileRoundTrip.txt").string();
    TStringList list;
    list.SetText("first\n\nthird \xE9\n");
    list.SaveToFile(path);
    EXPECT_EQ(std::filesystem::file_size(path), 18u);

    TStringList back;
    back.LoadFromFile(path);
    EXPECT_EQ(Lines(back), (V{"first", "", "third \xE9"}));
    std::filesystem::remove(path);

    EXPECT_THROW(back.LoadFromFile(path), EFOpenError);
    EXPECT_EQ(back.Count(), 3); // a failed load keeps the lines
}
