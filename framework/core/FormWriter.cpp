#include "framework/core/FormWriter.h"

#include "framework/core/Collection.h"
#include "framework/core/Filer.h"
#include "framework/core/Parser.h"
#include "framework/core/Properties.h"
#include "framework/core/Stream.h"
#include "framework/core/StrUtils.h"
#include "framework/core/Strings.h"

namespace {

class TDescriptionWriter final : public TFiler {
public:
    explicit TDescriptionWriter(TComponent* root) : TFiler(root) {}

    std::string Write()
    {
        WriteComponent(FRoot);
        return std::move(FOut);
    }

    void DefineBinaryProperty(const std::string& Name, TStreamProc, TStreamProc WriteData, bool HasData) override
    {
        if (!HasData || !WriteData)
            return;
        TMemoryStream block;
        WriteData(block);
        const auto* bytes = static_cast<const unsigned char*>(block.Memory());
        const int64_t size = block.Size();
        if (size <= 32) {
            std::string hex;
            for (int64_t i = 0; i < size; ++i)
                hex += IntToHex(bytes[i], 2);
            Line(FPrefix + Name + " = {" + hex + "}");
            return;
        }
        Line(FPrefix + Name + " = {");
        ++FIndent;
        for (int64_t i = 0; i < size; i += 32) {
            std::string hex;
            for (int64_t j = i; j < size && j < i + 32; ++j)
                hex += IntToHex(bytes[j], 2);
            Line(hex + (i + 32 >= size ? "}" : ""));
        }
        --FIndent;
    }

private:
    void Line(const std::string& text)
    {
        FOut.append(static_cast<size_t>(FIndent) * 2, ' ');
        FOut += text;
        FOut += "\r\n";
    }

    void WriteComponent(TComponent* c)
    {
        Line("object " + (c->Name().empty() ? c->ClassName() : c->Name() + ": " + c->ClassName()));
        ++FIndent;
        c->SetStateFlag(csWriting, true);
        try {
            WriteProperties(c, std::string());
            c->GetChildren([this](TComponent* child) { WriteComponent(child); }, FRoot);
        } catch (...) {
            c->SetStateFlag(csWriting, false);
            throw;
        }
        c->SetStateFlag(csWriting, false);
        --FIndent;
        Line("end");
    }

    void WriteProperties(TObject* obj, const std::string& prefix)
    {
        const bool isComponent = dynamic_cast<TComponent*>(obj) != nullptr;
        for (const TPropInfo* prop : obj->ClassType().Properties()) {
            if (!prop->Stored || (isComponent && prefix.empty() && SameText(prop->Name, "Name")))
                continue; // the header carries a component's name
            WriteProperty(obj, *prop, prefix + prop->Name);
        }
        if (auto* persistent = dynamic_cast<TPersistent*>(obj)) {
            const std::string saved = FPrefix;
            FPrefix = prefix;
            persistent->DefineProperties(*this);
            FPrefix = saved;
        }
    }

    void WriteProperty(TObject* obj, const TPropInfo& prop, const std::string& path)
    {
        const TTypeInfo& type = *prop.Type;
        const TValue value = prop.Get(*obj);
        switch (type.Kind()) {
        case TTypeKind::tkInteger: {
            if (!prop.Set)
                return;
            const int64_t v = std::get<int64_t>(value);
            std::string ident;
            Line(path + " = " + (type.IntToIdent(v, ident) ? ident : IntToStr(v)));
            return;
        }
        case TTypeKind::tkEnumeration:
            if (prop.Set)
                Line(path + " = " + type.EnumName(std::get<int64_t>(value)));
            return;
        case TTypeKind::tkSet:
            if (prop.Set) {
                std::string text = SetToString(type, static_cast<uint64_t>(std::get<int64_t>(value)), false);
                for (size_t i = 0; (i = text.find(',', i)) != std::string::npos; i += 2)
                    text.insert(i + 1, " ");
                Line(path + " = [" + text + "]");
            }
            return;
        case TTypeKind::tkString:
            if (prop.Set)
                Line(path + " = " + QuoteDescriptionString(std::get<std::string>(value)));
            return;
        case TTypeKind::tkMethod: {
            const TMethod m = std::get<TMethod>(value);
            if (m.IsEmpty() || m.Data != static_cast<TObject*>(FRoot))
                return;
            if (const TMethodEntry* entry = FRoot->ClassType().FindMethod(m.Code))
                Line(path + " = " + entry->Name);
            return;
        }
        case TTypeKind::tkClass:
            WriteObject(std::get<TObject*>(value), prop, path);
            return;
        }
    }

    void WriteObject(TObject* sub, const TPropInfo& prop, const std::string& path)
    {
        if (sub == nullptr)
            return;
        if (prop.Type->ClassType()->InheritsFrom(TComponent::StaticClass())) {
            auto* c = static_cast<TComponent*>(sub);
            if (prop.Set && (c == FRoot || c->Owner() == FRoot) && !c->Name().empty())
                Line(path + " = " + c->Name());
            return;
        }
        if (auto* strings = dynamic_cast<TStrings*>(sub)) {
            if (strings->Count() == 0) {
                Line(path + " = ()");
                return;
            }
            Line(path + " = (");
            ++FIndent;
            for (int i = 0; i < strings->Count(); ++i)
                Line(QuoteDescriptionString(strings->Strings(i)) + (i + 1 == strings->Count() ? ")" : ""));
            --FIndent;
            return;
        }
        if (auto* collection = dynamic_cast<TCollection*>(sub)) {
            if (collection->Count() == 0) {
                Line(path + " = <>");
                return;
            }
            Line(path + " = <");
            ++FIndent;
            for (int i = 0; i < collection->Count(); ++i) {
                Line("item");
                ++FIndent;
                WriteProperties(collection->Items(i), std::string());
                --FIndent;
                Line(i + 1 == collection->Count() ? "end>" : "end");
            }
            --FIndent;
            return;
        }
        WriteProperties(sub, path + ".");
    }

    std::string FOut;
    std::string FPrefix;
    int FIndent = 0;
};

} // namespace

std::string WriteComponentText(TComponent* Root)
{
    TDescriptionWriter writer(Root);
    return writer.Write();
}
