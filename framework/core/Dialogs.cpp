#include "framework/core/Dialogs.h"

#include <cstdio>

namespace {

int DefaultMessageBox(const std::string& Text, const std::string& Caption, uint32_t)
{
    if (!Caption.empty())
        std::fprintf(stderr, "%s: ", Caption.c_str());
    std::fprintf(stderr, "%s\n", Text.c_str());
    return 1;
}

TMessageBoxHandler& Handler()
{
    static TMessageBoxHandler handler = DefaultMessageBox;
    return handler;
}

} // namespace

TMessageBoxHandler SetMessageBoxHandler(TMessageBoxHandler NewHandler)
{
    TMessageBoxHandler old = std::move(Handler());
    Handler() = NewHandler ? std::move(NewHandler) : TMessageBoxHandler(DefaultMessageBox);
    return old;
}

int ShowMessageBox(const std::string& Text, const std::string& Caption, uint32_t Flags)
{
    // Copied, so that a handler may replace itself while it runs.
    const TMessageBoxHandler handler = Handler();
    return handler(Text, Caption, Flags);
}

void ShowMessage(const std::string& Text) { ShowMessageBox(Text); }
