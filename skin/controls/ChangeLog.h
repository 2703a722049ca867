// What skinning changed on a window's controls, and how to undo it. Every change the engine makes
// to a host control while it skins a window (a colour, a published property, a flag) goes through
// the log of the window's form object, which notes the value it replaces; when the skin goes, the
// log undoes its changes newest first. A control freed in between drops its entries.
#pragma once

#include "framework/core/Component.h"
#include "framework/graphics/Colors.h"

#include <functional>
#include <string>
#include <vector>

class TControl;

class TChangeLog : public TComponent {
public:
    TChangeLog() : TComponent(nullptr) {}
    ~TChangeLog() override;

    // Records how to undo a change of Target's Key made just now. Only the first change of a key
    // is recorded: undoing it gives back the value the host had.
    void Record(TComponent* Target, const std::string& Key, std::function<void()> Undo);
    // Sets the colour; undoing gives back the colour and whether it followed its parent.
    void SetColor(TControl* Control, TColor Colour);
    void SetParentColor(TControl* Control, bool Value);
    // Gives a control showing content the skin's ground and text colours. Undoing gives back each
    // (with whether it followed its parent) unless the host changed it in between: then the
    // host's stays.
    void SetContentColours(TControl* Control, TColor Ground, TColor Text);
    static constexpr const char* ContentColoursKey = "ContentColours";
    // A published enumerated or Boolean property by name, from its value text; nothing happens
    // without such a property or for a value it does not know.
    void SetEnumProperty(TComponent* Component, const std::string& Name, const std::string& Value);
    // Undoes every change, newest first, and forgets them.
    void UndoAll();
    // Undoes and forgets the change of Target's Key, if there is one.
    void Undo(TComponent* Target, const std::string& Key);
    // Whether a change of Target's Key is recorded.
    bool Has(const TComponent* Target, const std::string& Key) const;
    // Forgets the changes without undoing them (the window is going away).
    void Clear() noexcept;
    size_t Count() const { return FEntries.size(); }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    struct TEntry {
        TComponent* Target;
        std::string Key;
        std::function<void()> Undo;
    };
    std::vector<TEntry> FEntries;
};
