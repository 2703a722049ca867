// What a skin data component asks of the engine that skins the program's windows (the skin
// manager): to know the component, to switch skinning on or off or re-apply a changed skin, to
// skin a window now, to attach adaptors to a form's controls, and to give back every window
// skinned from a component that goes.
//
// The engine registers itself (RegisterSkinEngine): how to find the current one and how to make
// it; the components make it through CreateSkinEngine the first time they need it. A program that links the components
// without an engine gets an error from the first request, never a silent nothing.
#pragma once

#include <windows.h>

#include <cstdint>

class TComponent;
class TSkinContent;
class TSkinData;

// The requests of the components, carried out by the engine's timer.
enum TManagerAction : int { maNone = 0, maSkinOn = 1, maSkinOff = 2, maSkinChanged = 3 };

// The delay of every request, in milliseconds.
constexpr uint32_t RequestDelay = 250;

class TSkinEngine {
public:
    virtual void AddSkinData(TSkinData* Data) = 0;
    // Also gives back every window and popup skinned from Data.
    virtual void RemoveSkinData(TSkinData* Data) = 0;
    // Whether a skinned window paints from Data.
    virtual bool UsesSkinData(const TSkinData* Data) const = 0;
    // Whether a skinned window still points into Content (a skin a load replaced).
    virtual bool UsesSkinContent(const TSkinContent* Content) const = 0;
    virtual void InstallHook() = 0;
    virtual void RequestAction(int Action, uint32_t Delay) = 0;
    virtual void SetCurrentSkinData(TSkinData* Value) = 0;
    virtual void SetSkinningOn(bool Value) = 0;
    virtual int ActivationCount() const = 0;
    virtual void SetActivationCount(int Value) = 0;
    // The rules, then skinning for Window; true when it was skinned.
    virtual bool SkinWindow(HWND Window) = 0;
    // Attaches adaptors to the components Container owns, when Window is skinned.
    virtual void ApplyToForm(HWND Window, TComponent* Container) = 0;

protected:
    ~TSkinEngine() = default;
};

struct TSkinEngineRegistration {
    TSkinEngine* (*Current)() noexcept; // the engine, or nullptr before it is made
    TSkinEngine* (*Create)();           // the engine, made when there is none
};
void RegisterSkinEngine(TSkinEngineRegistration Registration) noexcept;
// The engine, when one was made, or nullptr.
TSkinEngine* SkinEngine() noexcept;
// The engine, made when there is none yet.
TSkinEngine* CreateSkinEngine();
