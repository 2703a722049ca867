// A tab set: a strip of tabs that we paint ourselves, one of them selected.
//
// The tabs run from StartMargin on, each as wide as its caption in the canvas font plus a margin;
// FirstIndex is the first one shown. When they do not all fit before EndMargin, the scroller
// (the tab set's first owned component, a small window control) shows at the right end and its
// two arrows move FirstIndex.
#pragma once

#include "framework/controls/Controls.h"
#include "framework/core/Strings.h"

#include <memory>
#include <string>

class TScroller : public TCustomControl {
    DECLARE_CLASS(TScroller, TCustomControl)
public:
    explicit TScroller(TComponent* AOwner);
    ~TScroller() override;

    int Min() const { return FMin; }
    int Max() const { return FMax; }
    void SetRange(int AMin, int AMax);
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    // After an arrow moved Position.
    const TNotifyEvent& OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent Value) { FOnChange = Value; }

protected:
    void Paint() override;
    void WndProc(TMessage& Message) override;

private:
    int FMin = 0;
    int FMax = 0;
    int FPosition = 0;
    TNotifyEvent FOnChange;
};

class TTabSet : public TCustomControl {
    DECLARE_CLASS(TTabSet, TCustomControl)
public:
    explicit TTabSet(TComponent* AOwner);
    ~TTabSet() override;

    TStrings* Tabs() const { return FTabs.get(); }
    void SetTabs(TStrings* Value) { FTabs->Assign(Value); }
    // The selected tab (-1: none).
    int TabIndex() const { return FTabIndex; }
    void SetTabIndex(int Value);
    int StartMargin() const { return FStartMargin; }
    void SetStartMargin(int Value);
    int EndMargin() const { return FEndMargin; }
    void SetEndMargin(int Value);
    // The first tab shown.
    int FirstIndex() const { return FFirstIndex; }
    void SetFirstIndex(int Value);
    TColor SelectedColor() const { return FSelectedColor; }
    void SetSelectedColor(TColor Value);
    TColor UnselectedColor() const { return FUnselectedColor; }
    void SetUnselectedColor(TColor Value);
    // After the user selected another tab.
    const TNotifyEvent& OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent Value) { FOnChange = Value; }

    TScroller* Scroller() const { return FScroller; }
    // How many tabs fit from FirstIndex on, and where tab Index is (empty when not shown).
    int VisibleTabs();
    RECT TabRect(int Index);
    // The tab at a client point, -1 for none.
    int ItemAtPos(POINT p);

protected:
    void Paint() override;
    void WndProc(TMessage& Message) override;
    void CreateHandleDone() override;

private:
    void TabsChanged(TObject* Sender);
    void ScrollerChanged(TObject* Sender);
    // Shows the scroller when the tabs do not all fit, and gives it the range.
    void UpdateScroller();
    int TabWidth(int Index);
    int RightLimit() const;

    std::unique_ptr<TStringList> FTabs;
    TScroller* FScroller = nullptr;
    int FTabIndex = -1;
    int FStartMargin = 5;
    int FEndMargin = 5;
    int FFirstIndex = 0;
    TColor FSelectedColor = clBtnFace;
    TColor FUnselectedColor = clWindow;
    TNotifyEvent FOnChange;
};
