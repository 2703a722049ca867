#include "framework/core/FormReader.h"

#include "framework/core/Collection.h"
#include "framework/core/Filer.h"
#include "framework/core/Parser.h"
#include "framework/core/Properties.h"
#include "framework/core/Stream.h"
#include "framework/core/StrUtils.h"
#include "framework/core/Strings.h"

#include <memory>
#include <vector>

namespace {

class TDescriptionReader final : public TFiler {
public:
    explicit TDescriptionReader(std::string_view text) : TFiler(nullptr), FParser(text) {}

    // Reads the whole description into root; created is true when the reader made the root.
    void Read(TComponent* root, bool rootCreated);
    // Reads only the header, for CreateComponentFromText.
    std::string PeekClassName();

    void DefineBinaryProperty(const std::string& Name, TStreamProc ReadData, TStreamProc,
                              bool) override;

private:
    struct TFixup {
        TObject* Target;
        const TPropInfo* Prop;
        std::string Reference;
        std::string Where; // "Panel1.PopupMenu"
        int Line;
    };

    void ReadHeader(std::string& name, std::string& className);
    void ReadBody(TComponent* instance);
    void ReadChild(TComponent* parent);
    void ReadProperty(TObject* instance, const std::string& ownerName);
    void ReadValue(TObject* target, const TPropInfo& prop, const std::string& where, int line);
    void ReadStringList(TStrings* strings);
    void ReadCollection(TCollection* collection, const std::string& where);
    std::string ReadStringValue();
    bool ReadDefined(TObject* target, const std::string& name, const std::string& data);
    void ResolveFixups();
    [[noreturn]] void Fail(int line, const std::string& where, const std::string& message);

    TParser FParser;
    std::vector<TComponent*> FCreated; // by this read, in creation order
    std::vector<TComponent*> FLoaded;  // every component read, the root first
    std::vector<TFixup> FFixups;
    const std::string* FDefinedName = nullptr;
    const std::string* FDefinedData = nullptr;
    bool FDefinedFound = false;
};

void TDescriptionReader::Fail(int line, const std::string& where, const std::string& message)
{
    throw EDescriptionError(Format("Line %d: Error reading %s: %s", line, where.c_str(), message.c_str()));
}

void TDescriptionReader::ReadHeader(std::string& name, std::string& className)
{
    if (!FParser.IsIdent("object") && !FParser.IsIdent("inherited") && !FParser.IsIdent("inline"))
        FParser.Error("'object' expected");
    FParser.Next();
    std::string first = FParser.CheckIdent();
    if (FParser.IsSymbol(':')) {
        FParser.Next();
        name = std::move(first);
        className = FParser.CheckIdent();
    } else {
        name.clear();
        className = std::move(first);
    }
}

std::string TDescriptionReader::PeekClassName()
{
    std::string name, className;
    ReadHeader(name, className);
    return className;
}

void TDescriptionReader::Read(TComponent* root, bool rootCreated)
{
    FRoot = root;
    const int headerLine = FParser.Line();
    try {
        std::string name, className;
        ReadHeader(name, className);
        if (!root->InheritsFrom(className))
            Fail(headerLine, className, "the description is for " + className + ", not " + root->ClassName());
        root->SetStateFlag(csLoading, true);
        root->SetStateFlag(csReading, true);
        FLoaded.push_back(root);
        if (!name.empty() && name != root->Name()) {
            try {
                root->SetName(name);
            } catch (const Exception& e) {
                Fail(headerLine, name, e.Message());
            }
        }
        ReadBody(root);
        if (FParser.Token() != TToken::toEOF)
            FParser.Error("End of description expected");
        ResolveFixups();
        root->SetStateFlag(csReading, false);
    } catch (...) {
        // Leave nothing half-created: the components made by this read go, the last made first
        // (a control is made after its parent, so children go before the parent that holds them).
        for (auto it = FCreated.rbegin(); it != FCreated.rend(); ++it)
            delete *it;
        FCreated.clear();
        if (rootCreated) {
            delete root;
        } else {
            root->SetStateFlag(csReading, false);
            root->SetStateFlag(csLoading, false);
        }
        throw;
    }
    for (TComponent* c : FLoaded)
        c->Loaded();
    for (TComponent* c : FLoaded)
        c->SetStateFlag(csLoading, false);
}

void TDescriptionReader::ReadBody(TComponent* instance)
{
    const std::string ownerName = instance->Name().empty() ? instance->ClassName() : instance->Name();
    while (!FParser.IsIdent("end")) {
        if (FParser.Token() == TToken::toEOF)
            FParser.Error("'end' expected");
        if (FParser.IsIdent("object") || FParser.IsIdent("inherited") || FParser.IsIdent("inline"))
            ReadChild(instance);
        else
            ReadProperty(instance, ownerName);
    }
    FParser.Next();
}

void TDescriptionReader::ReadChild(TComponent* parent)
{
    const int line = FParser.Line();
    std::string name, className;
    ReadHeader(name, className);
    const std::string where = name.empty() ? className : name;
    const TClassInfo* cls = FindClass(className);
    if (cls == nullptr)
        throw EClassNotFound(Format("Line %d: Class %s not found", line, className.c_str()));
    if (!cls->InheritsFrom(TComponent::StaticClass()) || !cls->CanCreate())
        Fail(line, where, className + " is not a component class that can be created");

    TComponent* child = nullptr;
    try {
        child = dynamic_cast<TComponent*>(cls->Create(FRoot));
    } catch (const Exception& e) {
        Fail(line, where, e.Message());
    }
    FCreated.push_back(child);
    FLoaded.push_back(child);
    child->SetStateFlag(csLoading, true);
    child->SetStateFlag(csReading, true);
    try {
        if (!name.empty())
            child->SetName(name);
        child->SetParentComponent(parent);
    } catch (const Exception& e) {
        Fail(line, where, e.Message());
    }
    ReadBody(child);
    child->SetStateFlag(csReading, false);
}

void TDescriptionReader::ReadProperty(TObject* instance, const std::string& ownerName)
{
    const int line = FParser.Line();
    const std::string path = FParser.CheckIdent();
    const std::string where = ownerName + "." + path;
    FParser.CheckSymbol('=');
    try {
        // Walk the dotted path through persistent sub-objects.
        TObject* target = instance;
        std::string_view rest = path;
        for (size_t dot; (dot = rest.find('.')) != std::string_view::npos;) {
            const std::string head(rest.substr(0, dot));
            const TPropInfo* sub = target->ClassType().FindProperty(head);
            if (sub == nullptr || sub->Type->Kind() != TTypeKind::tkClass)
                Fail(line, where, "Property " + head + " does not exist");
            target = std::get<TObject*>(sub->Get(*target));
            if (target == nullptr)
                Fail(line, where, "Property " + head + " has no object");
            rest = rest.substr(dot + 1);
        }
        const std::string name(rest);
        if (const TPropInfo* prop = target->ClassType().FindProperty(name)) {
            ReadValue(target, *prop, where, line);
            return;
        }
        if (FParser.Token() == TToken::toBinary) {
            const std::string data = FParser.TokenString();
            if (ReadDefined(target, name, data)) {
                FParser.Next();
                return;
            }
        }
        Fail(line, where, "Property " + name + " does not exist");
    } catch (const EParserError&) {
        throw;
    } catch (const EDescriptionError&) {
        throw;
    } catch (const EClassNotFound&) {
        throw;
    } catch (const Exception& e) {
        Fail(line, where, e.Message());
    } catch (const std::exception& e) {
        Fail(line, where, e.what());
    }
}

std::string TDescriptionReader::ReadStringValue()
{
    if (FParser.Token() != TToken::toString)
        FParser.Error("String expected");
    std::string s = FParser.TokenString();
    FParser.Next();
    while (FParser.IsSymbol('+')) {
        FParser.Next();
        if (FParser.Token() != TToken::toString)
            FParser.Error("String expected");
        s += FParser.TokenString();
        FParser.Next();
    }
    return s;
}

void TDescriptionReader::ReadValue(TObject* target, const TPropInfo& prop, const std::string& where, int line)
{
    const TTypeInfo& type = *prop.Type;
    auto store = [&](const TValue& value) {
        if (!prop.Set)
            Fail(line, where, "Property " + prop.Name + " is read-only");
        prop.Set(*target, value);
    };
    auto invalid = [&]() { Fail(line, where, "Invalid property value"); };

    switch (type.Kind()) {
    case TTypeKind::tkInteger: {
        int64_t value = 0;
        if (FParser.Token() == TToken::toInteger) {
            value = FParser.TokenInt();
        } else if (FParser.Token() != TToken::toIdent || !type.IdentToInt(FParser.TokenString(), value)) {
            invalid();
        }
        if (value < INT32_MIN || value > static_cast<int64_t>(UINT32_MAX))
            invalid();
        FParser.Next();
        store(value);
        break;
    }
    case TTypeKind::tkEnumeration: {
        const int ordinal = FParser.Token() == TToken::toIdent ? type.EnumValue(FParser.TokenString()) : -1;
        if (ordinal < 0)
            invalid();
        FParser.Next();
        store(int64_t{ordinal});
        break;
    }
    case TTypeKind::tkSet: {
        if (!FParser.IsSymbol('['))
            invalid();
        FParser.Next();
        uint64_t bits = 0;
        const TTypeInfo& element = *type.ElementType();
        while (!FParser.IsSymbol(']')) {
            const int ordinal = FParser.Token() == TToken::toIdent ? element.EnumValue(FParser.TokenString()) : -1;
            if (ordinal < 0 || ordinal >= 64)
                invalid();
            bits |= uint64_t{1} << ordinal;
            FParser.Next();
            if (FParser.IsSymbol(','))
                FParser.Next();
            else if (!FParser.IsSymbol(']'))
                FParser.Error("',' or ']' expected");
        }
        FParser.Next();
        store(static_cast<int64_t>(bits));
        break;
    }
    case TTypeKind::tkString:
        if (FParser.Token() != TToken::toString)
            invalid();
        store(ReadStringValue());
        break;
    case TTypeKind::tkClass: {
        if (FParser.Token() == TToken::toIdent) {
            const std::string ref = FParser.TokenString();
            FParser.Next();
            if (!type.ClassType()->InheritsFrom(TComponent::StaticClass()))
                invalid();
            if (SameText(ref, "nil"))
                store(static_cast<TObject*>(nullptr));
            else
                FFixups.push_back(TFixup{target, &prop, ref, where, line});
            break;
        }
        TObject* obj = std::get<TObject*>(prop.Get(*target));
        if (FParser.IsSymbol('(')) {
            auto* strings = dynamic_cast<TStrings*>(obj);
            if (strings == nullptr)
                invalid();
            ReadStringList(strings);
        } else if (FParser.IsSymbol('<')) {
            auto* collection = dynamic_cast<TCollection*>(obj);
            if (collection == nullptr)
                invalid();
            ReadCollection(collection, where);
        } else {
            invalid();
        }
        break;
    }
    case TTypeKind::tkMethod: {
        if (FParser.Token() != TToken::toIdent)
            invalid();
        const std::string methodName = FParser.TokenString();
        FParser.Next();
        if (SameText(methodName, "nil")) {
            store(TMethod{});
            break;
        }
        const TMethodEntry* method = FRoot->ClassType().FindMethod(methodName);
        if (method == nullptr)
            Fail(line, where, "Method " + methodName + " not found in " + FRoot->ClassName());
        if (method->Type != prop.Type)
            Fail(line, where, "Method " + methodName + " does not fit the event");
        store(TMethod{method->Code, FRoot});
        break;
    }
    }
}

void TDescriptionReader::ReadStringList(TStrings* strings)
{
    FParser.CheckSymbol('(');
    strings->BeginUpdate();
    try {
        strings->Clear();
        while (!FParser.IsSymbol(')')) {
            if (FParser.Token() != TToken::toString)
                FParser.Error("String expected");
            strings->Add(ReadStringValue());
        }
    } catch (...) {
        strings->EndUpdate();
        throw;
    }
    strings->EndUpdate();
    FParser.Next();
}

void TDescriptionReader::ReadCollection(TCollection* collection, const std::string& where)
{
    FParser.CheckSymbol('<');
    collection->BeginUpdate();
    try {
        collection->Clear();
        while (!FParser.IsSymbol('>')) {
            if (!FParser.IsIdent("item"))
                FParser.Error("'item' expected");
            FParser.Next();
            TCollectionItem* item = collection->Add();
            const std::string itemName = where + Format("[%d]", item->Index());
            while (!FParser.IsIdent("end")) {
                if (FParser.Token() == TToken::toEOF)
                    FParser.Error("'end' expected");
                ReadProperty(item, itemName);
            }
            FParser.Next();
        }
    } catch (...) {
        collection->EndUpdate();
        throw;
    }
    collection->EndUpdate();
    FParser.Next();
}

bool TDescriptionReader::ReadDefined(TObject* target, const std::string& name, const std::string& data)
{
    auto* persistent = dynamic_cast<TPersistent*>(target);
    if (persistent == nullptr)
        return false;
    FDefinedName = &name;
    FDefinedData = &data;
    FDefinedFound = false;
    try {
        persistent->DefineProperties(*this);
    } catch (...) {
        FDefinedName = nullptr;
        throw;
    }
    FDefinedName = nullptr;
    return FDefinedFound;
}

void TDescriptionReader::DefineBinaryProperty(const std::string& Name, TStreamProc ReadData, TStreamProc, bool)
{
    if (FDefinedName == nullptr || FDefinedFound || !SameText(Name, *FDefinedName))
        return;
    FDefinedFound = true;
    TMemoryStream block;
    if (!FDefinedData->empty())
        block.WriteBuffer(FDefinedData->data(), static_cast<int32_t>(FDefinedData->size()));
    block.SetPosition(0);
    if (ReadData)
        ReadData(block);
}

void TDescriptionReader::ResolveFixups()
{
    for (const TFixup& f : FFixups) {
        TComponent* found = SameText(f.Reference, FRoot->Name()) ? FRoot : FRoot->FindComponent(f.Reference);
        if (found == nullptr)
            Fail(f.Line, f.Where, "Invalid reference to " + f.Reference);
        if (!found->InheritsFrom(*f.Prop->Type->ClassType()))
            Fail(f.Line, f.Where, f.Reference + " is not a " + f.Prop->Type->ClassType()->Name());
        try {
            if (!f.Prop->Set)
                Fail(f.Line, f.Where, "Property " + f.Prop->Name + " is read-only");
            f.Prop->Set(*f.Target, static_cast<TObject*>(found));
        } catch (const EDescriptionError&) {
            throw;
        } catch (const Exception& e) {
            Fail(f.Line, f.Where, e.Message());
        }
    }
    FFixups.clear();
}

} // namespace

void ReadComponentText(std::string_view Text, TComponent* Root)
{
    TDescriptionReader reader(Text);
    reader.Read(Root, false);
}

TComponent* CreateComponentFromText(std::string_view Text, TComponent* Owner)
{
    std::string className;
    {
        TDescriptionReader peek(Text);
        className = peek.PeekClassName();
    }
    const TClassInfo* cls = FindClass(className);
    if (cls == nullptr)
        throw EClassNotFound("Line 1: Class " + className + " not found");
    if (!cls->InheritsFrom(TComponent::StaticClass()) || !cls->CanCreate())
        throw EDescriptionError("Line 1: " + className + " is not a component class that can be created");
    auto* root = dynamic_cast<TComponent*>(cls->Create(Owner));
    TDescriptionReader reader(Text);
    reader.Read(root, true);
    return root;
}
