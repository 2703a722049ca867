// Small component classes that publish every kind of property, for the object-model, property
// and description tests.
#pragma once

#include "framework/core/Collection.h"
#include "framework/core/Component.h"
#include "framework/core/Set.h"
#include "framework/core/Stream.h"
#include "framework/core/Strings.h"

#include <memory>
#include <string>
#include <vector>

PUBLISHED_ENUM(TTestShape, tsSquare, tsCircle, tsEllipse)
PUBLISHED_ENUM(TTestStyle, tyBold, tyItalic, tyUnderline, tyStrikeOut)
using TTestStyles = TSet<TTestStyle>;

// An integer type with named constants, as colours have.
const TTypeInfo& TestColorTypeInfo();
constexpr int32_t tcRed = 0x0000FF;
constexpr int32_t tcFace = static_cast<int32_t>(0x8000000F);

// Every live TTestComponent; a test that ends with a non-zero count leaked.
int LiveTestComponents();

// A persistent sub-object (like a font).
class TTestFont : public TPersistent {
    DECLARE_CLASS(TTestFont, TPersistent)
public:
    int32_t Height() const { return FHeight; }
    void SetHeight(int32_t v) { FHeight = v; }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& v) { FName = v; }
    TTestStyles Style() const { return FStyle; }
    void SetStyle(TTestStyles v) { FStyle = v; }
    void Assign(TPersistent* Source) override;

private:
    int32_t FHeight = 8;
    std::string FName = "System";
    TTestStyles FStyle;
};

class TTestItem : public TCollectionItem {
    DECLARE_CLASS(TTestItem, TCollectionItem)
public:
    explicit TTestItem(TCollection* Collection);
    const std::string& Name() const { return FName; }
    void SetName(const std::string& v) { FName = v; }
    int32_t Value() const { return FValue; }
    void SetValue(int32_t v) { FValue = v; }
    const std::string& Data() const { return FData; } // a defined binary property "Data"
    void SetData(std::string v) { FData = std::move(v); }
    std::string DisplayName() const override { return FName; }
    void Assign(TPersistent* Source) override;
    void DefineProperties(TFiler& Filer) override;

private:
    std::string FName;
    int32_t FValue = 0;
    std::string FData;
};

class TTestComponent : public TComponent {
    DECLARE_CLASS(TTestComponent, TComponent)
public:
    explicit TTestComponent(TComponent* AOwner);
    ~TTestComponent() override;

    int32_t Count() const { return FCount; }
    void SetCount(int32_t v);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v) { FEnabled = v; }
    TTestShape Shape() const { return FShape; }
    void SetShape(TTestShape v) { FShape = v; }
    TTestStyles Styles() const { return FStyles; }
    void SetStyles(TTestStyles v) { FStyles = v; }
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& v) { FCaption = v; }
    int32_t Color() const { return FColor; }
    void SetColor(int32_t v) { FColor = v; }
    TStrings* Lines() const { return FLines.get(); }
    void SetLines(TStrings* v) { FLines->Assign(v); }
    TTestFont* Font() const { return FFont.get(); }
    void SetFont(TTestFont* v) { FFont->Assign(v); }
    TTestComponent* Buddy() const { return FBuddy; }
    void SetBuddy(TTestComponent* v);
    TCollection* Items() const { return FItems.get(); }
    void SetItems(TCollection* v) { FItems->Assign(v); }
    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent v) { FOnChange = v; }
    TEvent<void(TObject*, int)> OnValue() const { return FOnValue; }
    void SetOnValue(TEvent<void(TObject*, int)> v) { FOnValue = v; }
    int32_t ReadOnlyValue() const { return 42; }

    // Defined binary property "Blob": a 32-bit count, then that many bytes.
    const std::string& Blob() const { return FBlob; }
    void SetBlob(std::string v) { FBlob = std::move(v); }
    void DefineProperties(TFiler& Filer) override;

    TComponent* Parent() const { return FParent; }
    bool HasParent() const override { return FParent != nullptr; }
    TComponent* GetParentComponent() const override { return FParent; }
    void SetParentComponent(TComponent* Value) override;
    void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;

    // What the tests observe: Loaded calls (in a shared log), state seen by setters, notifications.
    static std::vector<std::string>& Log();
    TComponentState StateInSetCount() const { return FStateInSetCount; }
    TComponentState StateInLoaded() const { return FStateInLoaded; }
    int LoadedCalls() const { return FLoadedCalls; }
    std::vector<std::pair<TComponent*, TOperation>> Notifications;

    void Loaded() override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    int32_t FCount = 0;
    bool FEnabled = true;
    TTestShape FShape = tsSquare;
    TTestStyles FStyles;
    std::string FCaption;
    int32_t FColor = 0;
    std::unique_ptr<TStringList> FLines;
    std::unique_ptr<TTestFont> FFont;
    TTestComponent* FBuddy = nullptr;
    std::unique_ptr<TOwnedCollection> FItems;
    TNotifyEvent FOnChange;
    TEvent<void(TObject*, int)> FOnValue;
    std::string FBlob;
    TComponent* FParent = nullptr;
    std::vector<TComponent*> FChildren;
    TComponentState FStateInSetCount;
    TComponentState FStateInLoaded;
    int FLoadedCalls = 0;
};

// A root class with fields bound by component name and methods bound by name.
class TTestForm : public TTestComponent {
    DECLARE_CLASS(TTestForm, TTestComponent)
public:
    explicit TTestForm(TComponent* AOwner) : TTestComponent(AOwner) {}
    TTestComponent* First = nullptr;
    TTestComponent* Second = nullptr;
    std::vector<std::string> Calls;
    void FormChange(TObject* Sender);
    void OtherChange(TObject* Sender);
    void ValueChanged(TObject* Sender, int Value);
};

// Registers the classes above (idempotent).
void RegisterTestClasses();
