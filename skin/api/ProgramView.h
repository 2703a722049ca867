// What a program sees of its skinned windows: their size and place, their styles and their menus.
//
// Sizes and places.
// A skinned window keeps the client area its program gives it, inside the skin's frame, whose
// thickness differs from the platform's. The program, which knows nothing of the skin, thinks in
// the platform's frame: it sizes a window for a client area with AdjustWindowRectEx, and it saves
// the window's rectangle or placement and gives it back at its next start. So the window the
// program sets and reads has the real window's top-left corner and the size of the platform's
// frame around the real client area:
//   - sizes it sets (SetWindowPos, MoveWindow, SetWindowPlacement) are taken as the platform's
//     frame around the client area it means; the engine puts the skin's frame around that client
//     area instead; a place it sets is the window's top-left corner, as it is;
//   - rectangles it reads (GetWindowRect, GetWindowPlacement) are the window's top-left corner and
//     the size of the platform's frame around the client area the window has;
//   - the smallest size it gives in WM_GETMINMAXINFO keeps its smallest client area (the frame
//     procedure does that part, for every window skinned without a framework form).
// A window made with a size (CreateWindowEx, a dialog's template) keeps its top-left corner and
// its client area when the skin takes it over, so a placement saved in one session comes back the
// same in the next, and a size computed from the platform's metrics gives the client area it was
// computed for. (The corner, not the client area, keeps its place: a window the program puts at the
// screen's top keeps its title bar on the screen under a taller skin's title.)
//
// Styles and menus. The skin draws the caption buttons and the menu bar itself, so the window
// holds neither the caption buttons' styles nor its menu while skinned; the program still sees
// and changes them as its own:
//   - GetWindowLong(GWL_STYLE) gives the style with the caption buttons the program set, and a
//     style it sets keeps exactly the caption buttons it names; a change of its frame styles
//     (caption, border, caption buttons) gives the window the frame that goes with them at once;
//   - GetMenu gives the menu the skinned bar shows; SetMenu with none and DestroyMenu of that
//     menu take the bar away, SetMenu with a menu gives the bar that one, and DrawMenuBar shows
//     the bar's changed items.
//
// The calls are the program's own: the import tables of the program's modules (the executable and
// its DLLs outside the Windows folder, not the engine's) are pointed at the engine's versions
// while skinning runs through the DLL. Windows of other threads, minimised windows and windows
// whose frame the skin does not draw are passed through unchanged, as are calls a program finds
// with GetProcAddress. A program linked with the static library shares its import table with the
// engine and keeps the platform's calls: it gets the client areas its windows were made with, its
// windows' frames follow the caption styles it adds, and the skinned bar the menus it sets.
#pragma once

#include <windows.h>

// Points the program's calls at the engine's versions, which answer for the skinned windows of the
// thread that calls (each window's own thread); again after a stop. Every thread that skins calls
// it once. Returns how many import entries were changed.
int StartProgramView();
// The calling thread's skin stopped: once every thread that started the view has stopped it, the
// program gets its calls back.
void StopProgramView() noexcept;

// The conversions, between the platform's frame and the skin's around the same client area, with
// the same top-left corner (margins as thicknesses: left, top, right, bottom).
RECT PlatformToSkinRect(const RECT& Window, const RECT& Skin, const RECT& Platform);
RECT SkinToPlatformRect(const RECT& Window, const RECT& Skin, const RECT& Platform);
