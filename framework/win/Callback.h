// The exception barrier for Win32 callbacks. Window procedures, thunks, hooks and timer callbacks
// are called from system code that C++ exceptions cannot unwind through (the unwinder stops at
// frames without unwind data and the program terminates), so every callback body catches
// everything and passes it here:
//
//     LRESULT CALLBACK HookProc(int code, WPARAM wp, LPARAM lp)
//     {
//         try { ... } catch (...) { HandleCallbackException(); }
//         return CallNextHookEx(nullptr, code, wp, lp);
//     }
//
// or, shorter, return CallGuarded([&] { ... }, fallback).
#pragma once

#include <exception>
#include <type_traits>
#include <utility>

using TCallbackExceptionHandler = void (*)(std::exception_ptr);

// Replaces the handler that HandleCallbackException calls and returns the previous one; nullptr
// puts the default back. The default writes what() (or a note for non-std exceptions) with
// OutputDebugStringA and lets the program carry on.
TCallbackExceptionHandler SetCallbackExceptionHandler(TCallbackExceptionHandler handler) noexcept;
TCallbackExceptionHandler GetCallbackExceptionHandler() noexcept;

// Call only inside a catch block: hands the current exception to the handler. Anything the
// handler itself throws is swallowed.
void HandleCallbackException() noexcept;

// Runs fn(); when it throws, reports the exception and returns fallback instead.
template <class Fn, class R>
std::invoke_result_t<Fn&> CallGuarded(Fn&& fn, R&& fallback) noexcept
{
    try {
        return fn();
    } catch (...) {
        HandleCallbackException();
    }
    return std::forward<R>(fallback);
}

// For callbacks that return nothing: true when fn() completed.
template <class Fn>
bool CallGuarded(Fn&& fn) noexcept
{
    try {
        fn();
        return true;
    } catch (...) {
        HandleCallbackException();
    }
    return false;
}
