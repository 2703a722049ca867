#include "TestClasses.h"

#include "framework/core/Filer.h"
#include "framework/core/Published.h"

#include <algorithm>
#include <cstring>

namespace {
int gLive = 0;

bool ColorToInt(std::string_view ident, int64_t& value)
{
    if (SameText(ident, "tcRed")) { value = tcRed; return true; }
    if (SameText(ident, "tcFace")) { value = static_cast<uint32_t>(tcFace); return true; }
    return false;
}

bool IntToColor(int64_t value, std::string& ident)
{
    if (value == tcRed) { ident = "tcRed"; return true; }
    if (static_cast<int32_t>(value) == tcFace) { ident = "tcFace"; return true; }
    return false;
}
} // namespace

const TTypeInfo& TestColorTypeInfo()
{
    static const TTypeInfo info = TTypeInfo::Integer("TTestColor", &ColorToInt, &IntToColor);
    return info;
}

int LiveTestComponents() { return gLive; }

// ---- TTestFont

IMPLEMENT_CLASS(TTestFont)
void TTestFont::Publish(TClassBuilder<TTestFont>& b)
{
    b.Property("Height", &TTestFont::Height, &TTestFont::SetHeight)
     .Property("Name", &TTestFont::Name, &TTestFont::SetName)
     .Property("Style", &TTestFont::Style, &TTestFont::SetStyle);
}

void TTestFont::Assign(TPersistent* Source)
{
    if (auto* f = dynamic_cast<TTestFont*>(Source)) {
        FHeight = f->FHeight;
        FName = f->FName;
        FStyle = f->FStyle;
        return;
    }
    TPersistent::Assign(Source);
}

// ---- TTestItem

IMPLEMENT_CLASS(TTestItem)
void TTestItem::Publish(TClassBuilder<TTestItem>& b)
{
    b.Property("Name", &TTestItem::Name, &TTestItem::SetName)
     .Property("Value", &TTestItem::Value, &TTestItem::SetValue);
}

TTestItem::TTestItem(TCollection* Collection) : TCollectionItem(Collection)
{
    FName = "Item" + std::to_string(ID());
}

void TTestItem::Assign(TPersistent* Source)
{
    if (auto* item = dynamic_cast<TTestItem*>(Source)) {
        FName = item->FName;
        FValue = item->FValue;
        FData = item->FData;
        return;
    }
    TCollectionItem::Assign(Source);
}

void TTestItem::DefineProperties(TFiler& Filer)
{
    Filer.DefineBinaryProperty(
        "Data",
        [this](TStream& s) {
            FData.resize(static_cast<size_t>(s.Size()));
            if (!FData.empty())
                s.ReadBuffer(FData.data(), static_cast<int32_t>(FData.size()));
        },
        [this](TStream& s) {
            if (!FData.empty())
                s.WriteBuffer(FData.data(), static_cast<int32_t>(FData.size()));
        },
        !FData.empty());
}

// ---- TTestComponent

IMPLEMENT_CLASS(TTestComponent)
void TTestComponent::Publish(TClassBuilder<TTestComponent>& b)
{
    b.Property("Count", &TTestComponent::Count, &TTestComponent::SetCount)
     .Property("Enabled", &TTestComponent::Enabled, &TTestComponent::SetEnabled)
     .Property("Shape", &TTestComponent::Shape, &TTestComponent::SetShape)
     .Property("Styles", &TTestComponent::Styles, &TTestComponent::SetStyles)
     .Property("Caption", &TTestComponent::Caption, &TTestComponent::SetCaption)
     .Property("Color", &TTestComponent::Color, &TTestComponent::SetColor, &TestColorTypeInfo())
     .Property("Lines", &TTestComponent::Lines, &TTestComponent::SetLines)
     .Property("Font", &TTestComponent::Font, &TTestComponent::SetFont)
     .Property("Buddy", &TTestComponent::Buddy, &TTestComponent::SetBuddy)
     .Property("Items", &TTestComponent::Items, &TTestComponent::SetItems)
     .Property("OnChange", &TTestComponent::OnChange, &TTestComponent::SetOnChange)
     .Property("OnValue", &TTestComponent::OnValue, &TTestComponent::SetOnValue)
     .Property("ReadOnlyValue", &TTestComponent::ReadOnlyValue);
}

TTestComponent::TTestComponent(TComponent* AOwner)
    : TComponent(AOwner), FLines(std::make_unique<TStringList>()), FFont(std::make_unique<TTestFont>()),
      FItems(std::make_unique<TOwnedCollection>(this, TTestItem::StaticClass()))
{
    FLines->Add("default one");
    FLines->Add("default two");
    ++gLive;
}

TTestComponent::~TTestComponent()
{
    if (FParent != nullptr)
        if (auto* p = dynamic_cast<TTestComponent*>(FParent))
            p->FChildren.erase(std::remove(p->FChildren.begin(), p->FChildren.end(), this), p->FChildren.end());
    for (TComponent* child : FChildren)
        if (auto* c = dynamic_cast<TTestComponent*>(child))
            c->FParent = nullptr;
    --gLive;
}

void TTestComponent::SetCount(int32_t v)
{
    FCount = v;
    FStateInSetCount = ComponentState();
}

void TTestComponent::SetBuddy(TTestComponent* v)
{
    if (FBuddy != nullptr)
        FBuddy->RemoveFreeNotification(this);
    FBuddy = v;
    if (v != nullptr)
        v->FreeNotification(this);
}

void TTestComponent::SetParentComponent(TComponent* Value)
{
    auto* parent = dynamic_cast<TTestComponent*>(Value);
    if (parent == nullptr || parent == FParent)
        return;
    FParent = parent;
    parent->FChildren.push_back(this);
}

void TTestComponent::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root)
{
    TComponent::GetChildren(Proc, Root);
    for (TComponent* child : FChildren)
        Proc(child);
}

void TTestComponent::DefineProperties(TFiler& Filer)
{
    Filer.DefineBinaryProperty(
        "Blob",
        [this](TStream& s) {
            const int32_t count = s.ReadInt32();
            if (count < 0 || count > s.Size() - s.Position())
                throw EReadError("Stream read error");
            FBlob.resize(static_cast<size_t>(count));
            if (count > 0)
                s.ReadBuffer(FBlob.data(), count);
        },
        [this](TStream& s) {
            s.WriteInt32(static_cast<int32_t>(FBlob.size()));
            if (!FBlob.empty())
                s.WriteBuffer(FBlob.data(), static_cast<int32_t>(FBlob.size()));
        },
        true);
}

std::vector<std::string>& TTestComponent::Log()
{
    static std::vector<std::string> log;
    return log;
}

void TTestComponent::Loaded()
{
    ++FLoadedCalls;
    FStateInLoaded = ComponentState();
    Log().push_back("Loaded " + Name());
    TComponent::Loaded();
}

void TTestComponent::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    Notifications.emplace_back(AComponent, Operation);
    if (Operation == opRemove && AComponent == FBuddy)
        FBuddy = nullptr;
}

// ---- TTestForm

IMPLEMENT_CLASS(TTestForm)
void TTestForm::Publish(TClassBuilder<TTestForm>& b)
{
    b.Method<&TTestForm::FormChange>("FormChange")
     .Method<&TTestForm::OtherChange>("OtherChange")
     .Method<&TTestForm::ValueChanged>("ValueChanged")
     .Field("First", &TTestForm::First)
     .Field("Second", &TTestForm::Second);
}

void TTestForm::FormChange(TObject* Sender)
{
    auto* c = dynamic_cast<TComponent*>(Sender);
    Calls.push_back("FormChange " + (c != nullptr ? c->Name() : std::string("?")));
}

void TTestForm::OtherChange(TObject*) { Calls.push_back("OtherChange"); }

void TTestForm::ValueChanged(TObject*, int Value) { Calls.push_back("ValueChanged " + std::to_string(Value)); }

void RegisterTestClasses()
{
    RegisterComponentClass(TTestComponent::StaticClass());
    RegisterComponentClass(TTestForm::StaticClass());
}
