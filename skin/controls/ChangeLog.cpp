#include "skin/controls/ChangeLog.h"

#include "framework/controls/Controls.h"
#include "framework/core/Properties.h"
#include "framework/win/Callback.h"

#include <algorithm>

TChangeLog::~TChangeLog()
{
    Clear();
}

void TChangeLog::Record(TComponent* Target, const std::string& Key, std::function<void()> Undo)
{
    if (Target == nullptr)
        return;
    bool known = false;
    for (const TEntry& e : FEntries) {
        if (e.Target != Target)
            continue;
        if (e.Key == Key)
            return;
        known = true;
    }
    if (!known)
        Target->FreeNotification(this);
    FEntries.push_back(TEntry{Target, Key, std::move(Undo)});
}

void TChangeLog::SetColor(TControl* Control, TColor Colour)
{
    if (Control == nullptr)
        return;
    const TColor colour = Control->Color();
    const bool parent = Control->ParentColor();
    Record(Control, "Color", [Control, colour, parent] {
        Control->SetColor(colour);
        if (parent)
            Control->SetParentColor(true);
    });
    Control->SetColor(Colour);
}

void TChangeLog::SetContentColours(TControl* Control, TColor Ground, TColor Text)
{
    if (Control == nullptr)
        return;
    const TColor ground = Control->Color(), text = Control->Font()->Color();
    const bool parentColour = Control->ParentColor(), parentFont = Control->ParentFont();
    Record(Control, ContentColoursKey, [=] {
        if (Control->Color() == Ground) {
            Control->SetColor(ground);
            if (parentColour)
                Control->SetParentColor(true);
        }
        if (Control->Font()->Color() == Text) {
            Control->Font()->SetColor(text);
            if (parentFont)
                Control->SetParentFont(true);
        }
    });
    Control->SetColor(Ground);
    Control->Font()->SetColor(Text);
}

void TChangeLog::SetParentColor(TControl* Control, bool Value)
{
    if (Control == nullptr || Control->ParentColor() == Value)
        return;
    const TColor colour = Control->Color();
    const bool parent = Control->ParentColor();
    Record(Control, "Color", [Control, colour, parent] {
        Control->SetColor(colour);
        Control->SetParentColor(parent);
    });
    Control->SetParentColor(Value);
}

void TChangeLog::SetEnumProperty(TComponent* Component, const std::string& Name, const std::string& Value)
{
    if (Component == nullptr || !IsPublishedProp(Component, Name) ||
        PropKind(Component, Name) != TTypeKind::tkEnumeration)
        return;
    const std::string old = GetEnumProp(Component, Name);
    try {
        SetEnumProp(Component, Name, Value);
    } catch (const Exception&) {
        return; // a value the property does not know: left as it is
    }
    Record(Component, Name, [Component, Name, old] { SetEnumProp(Component, Name, old); });
}

void TChangeLog::UndoAll()
{
    std::vector<TEntry> entries;
    entries.swap(FEntries);
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        CallGuarded(it->Undo);
        it->Target->RemoveFreeNotification(this);
    }
}

void TChangeLog::Undo(TComponent* Target, const std::string& Key)
{
    const auto it = std::find_if(FEntries.begin(), FEntries.end(),
                                 [&](const TEntry& e) { return e.Target == Target && e.Key == Key; });
    if (it == FEntries.end())
        return;
    const std::function<void()> undo = std::move(it->Undo);
    FEntries.erase(it);
    if (std::none_of(FEntries.begin(), FEntries.end(), [&](const TEntry& e) { return e.Target == Target; }))
        Target->RemoveFreeNotification(this);
    CallGuarded(undo);
}

bool TChangeLog::Has(const TComponent* Target, const std::string& Key) const
{
    return std::any_of(FEntries.begin(), FEntries.end(),
                       [&](const TEntry& e) { return e.Target == Target && e.Key == Key; });
}

void TChangeLog::Clear() noexcept
{
    for (const TEntry& e : FEntries)
        e.Target->RemoveFreeNotification(this);
    FEntries.clear();
}

void TChangeLog::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove)
        std::erase_if(FEntries, [AComponent](const TEntry& e) { return e.Target == AComponent; });
}
