// One paint of a list box, a list view and a tree view in a skin's content colours, against the
// same controls left to the system. Each control is there twice on a visible form: one on the form
// itself, one on a panel that the engine's discovery takes over (its adaptors and the skin's
// content colours, as a skinned program gets them). The median of many rounds after a warm-up,
// in microseconds, and the ratio for each control.
//   content_bench [SKIN.skn]   (a skin with content colours; default: "default.skn" here)
#include "skin/data/WinSkinData.h"
#include "skin/form/WinSkinForm.h"
#include "tests/bench/BenchForms.h"
#include "tests/bench/BenchTiming.h"

#include "framework/controls/ComCtrls.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/controls/StdCtrls.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr int Rounds = 400;
constexpr int WarmUp = 100;

// The three controls, filled alike, on Parent (owned by it, so that discovery finds them there).
struct TContent {
    TListBox* List;
    TListView* View;
    TTreeView* Tree;
};

template <class T> T* Place(TWinControl* Parent, int X, int Y, int W, int H)
{
    auto* control = new T(Parent);
    control->SetParent(Parent);
    control->SetBounds(X, Y, W, H);
    return control;
}

TContent Fill(TWinControl* Parent)
{
    TContent c{Place<TListBox>(Parent, 0, 0, 140, 150), Place<TListView>(Parent, 0, 160, 240, 150),
               Place<TTreeView>(Parent, 0, 320, 180, 150)};
    for (int i = 1; i <= 30; ++i)
        c.List->Items()->Add("List item " + std::to_string(i));
    c.List->SetItemIndex(2);
    c.View->SetViewStyle(vsReport);
    for (const char* caption : {"Name", "Size", "Type"}) {
        TListColumn* column = c.View->Columns()->Add();
        column->SetCaption(caption);
        column->SetWidth(70);
    }
    for (int i = 1; i <= 30; ++i) {
        TListItem* item = c.View->Items()->Add();
        item->SetCaption("File " + std::to_string(i));
        item->SubItems()->Add(std::to_string(i * 17) + " KB");
        item->SubItems()->Add(i % 3 == 0 ? "Picture" : "Text");
    }
    for (int i = 1; i <= 5; ++i) {
        TTreeNode* node = c.Tree->Items()->Add(nullptr, "Folder " + std::to_string(i));
        for (int j = 1; j <= 3; ++j)
            c.Tree->Items()->AddChild(node, "Document " + std::to_string(i) + "." + std::to_string(j));
        node->Expand(false);
    }
    return c;
}

} // namespace

int main(int argc, char** argv)
{
    TSkinData data(nullptr);
    std::string skinFile;
    if (!LoadBenchSkin(data, argc, argv, "content_bench", skinFile))
        return 1;
    TForm form(nullptr);
    form.SetBorderStyle(bsNone);
    form.SetBounds(40, 40, 540, 490);
    auto* left = Place<TPanel>(&form, 10, 10, 250, 470);
    auto* right = Place<TPanel>(&form, 280, 10, 250, 470);
    const TContent native = Fill(left);
    const TContent skinned = Fill(right);
    form.Show();
    BringToFront(form.Handle());
    TWinSkinForm skin;
    skin.SetHandle(form.Handle());
    TAdaptorSet& set = skin.AdaptorSet();
    set.SetWindow(&form, form.Handle());
    set.SetSkinData(&data);
    set.AttachControls(right);
    BenchPump(100);

    const bool coloured = skinned.List->Color() != native.List->Color();
    const std::vector<TPaintPair> pairs = {{"list box, 140 x 150", native.List->Handle(), skinned.List->Handle()},
                                           {"list view, 240 x 150", native.View->Handle(), skinned.View->Handle()},
                                           {"tree view, 180 x 150", native.Tree->Handle(), skinned.Tree->Handle()}};
    std::printf("list box, list view and tree view paints in the skin's content colours, against native, "
                "median of %d rounds\n",
                Rounds);
    std::printf("  skin: %s (%s), content colours %s\n", skinFile.c_str(), data.SkinName().c_str(),
                coloured ? "taken" : "NOT taken (the skin gives none)");
    ComparePaints(pairs, RDW_FRAME | RDW_ERASE, Rounds, WarmUp);
    set.ReleaseAdaptors();
    return coloured ? 0 : 1;
}
