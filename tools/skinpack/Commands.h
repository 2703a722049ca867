// The skinpack commands:
//
//   skinpack new DIR [THEME]      a built-in skin (slate, the default, or night) written into DIR to
//                                 edit: default.ini, commented, and every image as a .bmp for each
//                                 scale; packed, it is the built-in package byte for byte. DIR must
//                                 be new or hold no .ini or .bmp file
//   skinpack pack DIR OUT.skn     the one .ini file of DIR, then its .bmp files for 100 % sorted by
//                                 name, then those for each larger scale
//                                 (byte order; extensions in any case), into a version 20000
//                                 package; other files and folders are left out
//   skinpack unpack FILE.skn DIR  every entry as a file of its stored name (a name stored twice:
//                                 the first copy); DIR is created when missing; a package with an
//                                 unsafe name (separators, "..", device names ...) writes nothing
//   skinpack list FILE.skn        "name<TAB>size" per entry in name-table order, then
//                                 "version V, N entries, P plain bytes, C compressed bytes"
//                                 (C: the size of the package file)
//   skinpack check FILE.skn       the problems CheckSkin finds, then the warnings of SkinWarnings,
//                                 one a line; then "ok" when there are no problems ("ok, with N
//                                 warnings" when there are warnings): exit code 0 with warnings only
//
// Exit codes: 0 success; 1 the command failed (unreadable or invalid package, I/O error) or check
// found problems; 2 a usage error (no or unknown command, wrong number of arguments), with the
// usage text. A failure is one line on Err, "skinpack: ...". "help" prints the usage on Out.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// Args are the arguments after the program name.
int RunSkinPack(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err);

// The package "skinpack pack DIR" writes, in memory (for a program that shows a skin from its
// folder); throws std::runtime_error, with pack's message, when the folder is no skin folder.
std::string PackFolder(const std::string& Dir);
