// skinpack: pack, unpack, list and check skin packages (see Commands.h).
#include "framework/core/Dialogs.h"
#include "tools/skinpack/Commands.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    // A console tool: messages go to standard error, never to a window.
    SetMessageBoxHandler([](const std::string& Text, const std::string&, uint32_t) {
        std::string line = Text;
        for (char& c : line)
            if (c == '\r' || c == '\n')
                c = ' ';
        std::fprintf(stderr, "skinpack: %s\n", line.c_str());
        return 1;
    });
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    return RunSkinPack(args, std::cout, std::cerr);
}
