// Between pembrox-run and pembrox.dll's hook in the program it starts: the launcher names the
// skin file and an event in the program's environment; the hook sets the event once it has tried
// to start the skin, and on failure first writes why into a small named memory block.
#pragma once

#include <cstddef>

constexpr const char* RunSkinVariable = "PEMBROX_RUN_SKIN";   // the skin file; empty: the built-in one
constexpr const char* RunEventVariable = "PEMBROX_RUN_EVENT"; // the event's name
constexpr const char* RunTwinVariable = "PEMBROX_RUN_TWIN";   // set: started by the other architecture's launcher
constexpr const char* RunWhySuffix = "-why";                  // the event's name and this: the memory block
constexpr std::size_t RunWhySize = 1024;                      // its size, the text's terminating zero included
