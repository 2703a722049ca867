// The engine's private window messages, between the manager and the windows it skins.
#pragma once

#include <windows.h>

constexpr UINT SKM_RESKIN = 0x3401;
constexpr UINT SKM_MENUCHANGED = 0x3402; // the window was given a menu again: the skinned bar takes it
constexpr UINT SKM_REPAINTFRAME = 0x3502;
constexpr UINT SKM_START = 0x3503;
constexpr UINT SKM_QUERY = 0x3504; // a skinned window answers 1
constexpr UINT SKM_GIVEBACK = 0x3506;    // the skin failed to paint the window: it gets its own look back
constexpr UINT SKM_NEWCHILDREN = 0x3505; // child windows were made: the adaptors walk them again
constexpr UINT SKM_RESTYLE = 0x3507;     // the program changed the window's frame styles: taken over anew
