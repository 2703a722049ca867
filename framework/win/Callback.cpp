#include "framework/win/Callback.h"

#include <windows.h>

#include <atomic>
#include <string>

namespace {

void DefaultCallbackExceptionHandler(std::exception_ptr error)
{
    std::string text = "Exception in a callback: ";
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        text += e.what();
    } catch (...) {
        text += "(not a std::exception)";
    }
    text += '\n';
    OutputDebugStringA(text.c_str());
}

std::atomic<TCallbackExceptionHandler> GHandler{&DefaultCallbackExceptionHandler};

} // namespace

TCallbackExceptionHandler SetCallbackExceptionHandler(TCallbackExceptionHandler handler) noexcept
{
    return GHandler.exchange(handler ? handler : &DefaultCallbackExceptionHandler);
}

TCallbackExceptionHandler GetCallbackExceptionHandler() noexcept
{
    return GHandler.load();
}

void HandleCallbackException() noexcept
{
    try {
        GHandler.load()(std::current_exception());
    } catch (...) {
        // A throwing handler must not take the barrier down with it.
        OutputDebugStringA("The callback exception handler threw; ignored\n");
    }
}
