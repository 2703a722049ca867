/* Pembrox: skins for plain Win32 programs.
 *
 * One call on the thread that makes the program's windows, before it makes them:
 *
 *     PembroxSkinStart(NULL);            the built-in skin, or
 *     PembroxSkinStart("C:\\skins\\my.skn");
 *
 * From then on that thread's top-level windows, dialogs, message boxes, menus and standard
 * controls are drawn from the skin; PembroxSkinStop() gives every window back its own look.
 * Every function returns at once and never raises: the int ones return 1 on success and 0 on
 * failure, and PembroxSkinLastError() says why. Link the static library pembrox_skin, or
 * pembrox.dll through its import library (define PEMBROX_SKIN_DLL when compiling against it).
 *
 * Threads: a program that makes windows on several threads calls PembroxSkinStart on each (a
 * thread with no window yet starts the engine there, and its windows are skinned as they come).
 * Each thread's engine sees that thread's windows only. A skin change (PembroxSkinLoad) or a stop
 * made on one thread reaches every other skinning thread too, carried out by that thread itself
 * at its next message, never from across threads.
 *
 * Architectures: 32-bit (bin/pembrox.dll) and 64-bit (bin/x64/pembrox.dll) builds have the same
 * exports and behave the same; a program takes the one of its own architecture.
 */
#ifndef PEMBROX_SKIN_H
#define PEMBROX_SKIN_H

#if defined(PEMBROX_SKIN_BUILDING_DLL)
#define PEMBROX_SKIN_API __declspec(dllexport)
#elif defined(PEMBROX_SKIN_DLL)
#define PEMBROX_SKIN_API __declspec(dllimport)
#else
#define PEMBROX_SKIN_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Starts skinning on the calling thread with the skin file SkinFile (a path in the ANSI code
 * page), or with the built-in skin when SkinFile is NULL or empty. Windows of the thread that are
 * already shown are skinned at once. Called again on the same thread, it loads SkinFile as
 * PembroxSkinLoad does. Other threads that skin are left as they are by a first call. */
PEMBROX_SKIN_API int __stdcall PembroxSkinStart(const char* SkinFile);

/* Replaces the skin (NULL or empty: the built-in one) on the calling thread, which must skin, and
 * then on every other thread that skins. A skin that does not load leaves the current one, and
 * every window, as they were. */
PEMBROX_SKIN_API int __stdcall PembroxSkinLoad(const char* SkinFile);

/* Gives every window, dialog and menu of every thread back its own look and frees what the engine
 * made (the calling thread's at once, the others' at their next message). Does nothing when
 * skinning is not on. */
PEMBROX_SKIN_API void __stdcall PembroxSkinStop(void);

/* What went wrong in the calling thread's last call that failed ("" when none did). The text
 * stays valid until the next call on that thread. */
PEMBROX_SKIN_API const char* __stdcall PembroxSkinLastError(void);

#ifdef __cplusplus
}
#endif

#endif /* PEMBROX_SKIN_H */
