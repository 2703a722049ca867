#include "tools/skinpack/Commands.h"

#include "framework/core/Dialogs.h"
#include "framework/core/Stream.h"
#include "framework/core/StrUtils.h"
#include "framework/core/Strings.h"
#include "skin/package/LZH.h"
#include "skin/package/ScaleImages.h"
#include "skin/package/SkinRead.h"
#include "skins/generator/BuiltinSkin.h"
#include "tools/skinpack/PackageWriter.h"
#include "tools/skinpack/SkinCheck.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string_view>

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage = "usage: skinpack new DIR [slate|night]\n"
                               "       skinpack pack DIR OUT.skn\n"
                               "       skinpack unpack FILE.skn DIR\n"
                               "       skinpack list FILE.skn\n"
                               "       skinpack check FILE.skn\n";

// No valid package comes near this: its plain content is at most TSkinReader::MaxPlainSize.
constexpr uint64_t kMaxPackageFile = uint64_t(256) << 20;

// A failed command: the one line it prints.
struct ECommand {
    std::string Message;
};

std::string OneLine(std::string s)
{
    for (char& c : s)
        if (c == '\r' || c == '\n')
            c = ' ';
    return s;
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

std::string ReadFile(const fs::path& Path, uint64_t Limit)
{
    std::ifstream in(Path, std::ios::binary);
    if (!in)
        throw ECommand{"cannot read " + Quoted(Path.string())};
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0)
        throw ECommand{"cannot read " + Quoted(Path.string())};
    if (static_cast<uint64_t>(size) > Limit)
        throw ECommand{Quoted(Path.string()) + " is too large (" + std::to_string(size) + " bytes)"};
    in.seekg(0, std::ios::beg);
    std::string data(static_cast<size_t>(size), '\0');
    if (size > 0 && !in.read(data.data(), size))
        throw ECommand{"cannot read " + Quoted(Path.string())};
    return data;
}

void WriteFile(const fs::path& Path, std::string_view Data)
{
    std::ofstream out(Path, std::ios::binary | std::ios::trunc);
    if (out)
        out.write(Data.data(), static_cast<std::streamsize>(Data.size()));
    if (out)
        out.close();
    if (!out)
        throw ECommand{"cannot write " + Quoted(Path.string())};
}

// The decoder reads missing input as zero bits, so a cut-off package still "decodes". Counts the
// bytes it asked for past the end of the data; a whole stream needs at most a byte or two more.
constexpr int64_t kSlackBytes = 2;

int64_t MissingInput(const std::string& Package)
{
    if (Package.size() < 4)
        return 0;
    uint32_t declared = 0;
    for (int i = 3; i >= 0; --i)
        declared = declared << 8 | static_cast<uint8_t>(Package[static_cast<size_t>(i)]);
    if (declared > static_cast<uint64_t>(TSkinReader::MaxPlainSize))
        return 0; // the reader refuses it anyway
    size_t pos = 4;
    int64_t missing = 0;
    TLZH lzh;
    lzh.Unpack(
        static_cast<int32_t>(declared),
        [&](void* Buffer, int32_t, int32_t& Actual) {
            if (pos < Package.size()) {
                *static_cast<char*>(Buffer) = Package[pos++];
                Actual = 1;
            } else {
                Actual = 0;
                ++missing;
            }
        },
        TLZH::TPutBytes());
    return missing;
}

// A package read and opened; the messages the reader showed are kept for the error line.
struct TOpenedPackage {
    TSkinReader Reader;
    uint64_t FileSize = 0;
};

void OpenPackage(const std::string& FileName, TOpenedPackage& Package)
{
    const std::string bytes = ReadFile(fs::path(FileName), kMaxPackageFile);
    Package.FileSize = bytes.size();
    TMemoryStream stream;
    if (!bytes.empty())
        stream.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));

    std::vector<std::string> shown;
    TMessageBoxHandler previous = SetMessageBoxHandler([&shown](const std::string& Text, const std::string&, uint32_t) {
        shown.push_back(OneLine(Text));
        return 1;
    });
    bool opened = false;
    std::string why;
    try {
        opened = Package.Reader.Open(stream);
        why = Package.Reader.LastError();
    } catch (const std::exception& e) {
        why = e.what();
    }
    SetMessageBoxHandler(std::move(previous));
    if (!opened) {
        std::string line = FileName + ": not a valid skin package: " + OneLine(why);
        for (const std::string& text : shown)
            line += " (" + Quoted(text) + ")";
        throw ECommand{line};
    }
    if (MissingInput(bytes) > kSlackBytes)
        throw ECommand{FileName + ": not a valid skin package: the compressed data ends early"};
}

bool IsReservedDeviceName(const std::string& Name)
{
    std::string base = UpperCase(Name.substr(0, Name.find('.')));
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" || base == "CONIN$" || base == "CONOUT$")
        return true;
    return base.size() == 4 && (base.rfind("COM", 0) == 0 || base.rfind("LPT", 0) == 0) && base[3] >= '1' &&
           base[3] <= '9';
}

// Empty when Name can be written as a file inside the target folder and nowhere else.
std::string UnsafeReason(const std::string& Name)
{
    if (Name.empty())
        return "empty name";
    if (Name == "." || Name == ".." || Name.find("..") != std::string::npos)
        return "contains \"..\"";
    for (char c : Name) {
        if (c == '/' || c == '\\' || c == ':')
            return "contains a path separator";
        if (static_cast<unsigned char>(c) < 0x20 || std::string_view("*?\"<>|").find(c) != std::string_view::npos)
            return "contains a character file names cannot hold";
    }
    if (Name.back() == '.' || Name.back() == ' ')
        return "ends in a dot or blank";
    if (IsReservedDeviceName(Name))
        return "is a device name";
    return {};
}

// The package of a skin folder, and how many entries it has and its plain size.
std::string PackDir(const std::string& Dir, size_t& Entries, size_t& Plain)
{
    const fs::path dir(Dir);
    std::error_code ec;
    if (!fs::is_directory(dir, ec))
        throw ECommand{Quoted(Dir) + " is not a folder"};

    std::vector<std::string> inis, bitmaps;
    fs::directory_iterator it(dir, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::error_code kindError;
        if (!it->is_regular_file(kindError))
            continue;
        const std::string name = it->path().filename().string();
        const std::string ext = LowerCase(it->path().extension().string());
        if (ext == ".ini")
            inis.push_back(name);
        else if (ext == ".bmp")
            bitmaps.push_back(name);
    }
    if (ec)
        throw ECommand{"cannot list " + Quoted(Dir) + ": " + ec.message()};
    std::sort(inis.begin(), inis.end());
    if (inis.empty())
        throw ECommand{Quoted(Dir) + " has no .ini file"};
    if (inis.size() > 1) {
        std::string names;
        for (const std::string& n : inis)
            names += (names.empty() ? "" : ", ") + n;
        throw ECommand{Quoted(Dir) + " has " + std::to_string(inis.size()) + " .ini files (" + names + ")"};
    }
    // The images a screen at 100 % shows first, then those for each larger scale in turn: the
    // engine decodes a package only as far as the entries it reads, so at 100 % it never decodes
    // the larger images, which are most of the bytes.
    auto scaleOf = [](const std::string& Name) {
        std::string base;
        const double scale = ImageScaleOf(Name, base);
        return scale == 0 ? 1.0 : scale;
    };
    std::sort(bitmaps.begin(), bitmaps.end(), [&](const std::string& A, const std::string& B) {
        const double a = scaleOf(A), b = scaleOf(B);
        return a != b ? a < b : A < B;
    });

    std::vector<std::string> names = inis;
    names.insert(names.end(), bitmaps.begin(), bitmaps.end());
    if (names.size() > static_cast<size_t>(TSkinReader::MaxEntries))
        throw ECommand{Quoted(Dir) + " has " + std::to_string(names.size()) + " files, a package holds at most " +
                       std::to_string(TSkinReader::MaxEntries)};

    std::vector<TPackageEntry> entries;
    uint64_t total = 0;
    for (const std::string& name : names) {
        const std::string why = UnsafeReason(name);
        if (!why.empty())
            throw ECommand{"cannot store the name " + Quoted(OneLine(name)) + ": " + why};
        std::string data = ReadFile(dir / name, TSkinReader::MaxPlainSize);
        total += data.size();
        if (total > static_cast<uint64_t>(TSkinReader::MaxPlainSize))
            throw ECommand{"the files of " + Quoted(Dir) + " are too large for a package"};
        entries.push_back(TPackageEntry{name, std::move(data)});
    }
    const std::string plain = BuildPlainContent(entries, TSkinReader::PackageVersion);
    if (plain.size() > static_cast<uint64_t>(TSkinReader::MaxPlainSize))
        throw ECommand{"the files of " + Quoted(Dir) + " are too large for a package"};
    Entries = entries.size();
    Plain = plain.size();
    return CompressPlain(plain);
}

int Pack(const std::string& Dir, const std::string& OutFile, std::ostream& Out)
{
    size_t entries = 0, plain = 0;
    const std::string package = PackDir(Dir, entries, plain);
    WriteFile(fs::path(OutFile), package);
    Out << OutFile << ": " << entries << " entries, " << plain << " plain bytes, " << package.size()
        << " compressed bytes\n";
    return 0;
}

int NewSkin(const std::string& Dir, const std::string& ThemeName, std::ostream& Out)
{
    const TTheme* theme = FindTheme(ThemeName);
    if (theme == nullptr)
        throw ECommand{"there is no built-in skin " + Quoted(OneLine(ThemeName)) + " (slate or night)"};
    // Never over an author's work: the writer clears the folder's images and descriptions.
    const fs::path dir(Dir);
    std::error_code ec;
    if (fs::exists(dir, ec) && !fs::is_directory(dir, ec))
        throw ECommand{Quoted(Dir) + " is a file"};
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string ext = LowerCase(it->path().extension().string());
        if (ext == ".ini" || ext == ".bmp")
            throw ECommand{Quoted(Dir) + " holds a skin already (" + it->path().filename().string() +
                           "): give a new or empty folder"};
    }
    WriteBuiltinSkin(dir, *theme);
    Out << Dir << ": the " << theme->Name << " skin, to edit (default.ini and its images); pack it with: skinpack pack "
        << Dir << " OUT.skn\n";
    return 0;
}

int Unpack(const std::string& FileName, const std::string& Dir, std::ostream& Out)
{
    TOpenedPackage package;
    OpenPackage(FileName, package);
    const TSkinReader& reader = package.Reader;
    // Every name is checked before anything is written.
    for (int i = 0; i < reader.EntryCount(); ++i) {
        const std::string why = UnsafeReason(reader.StoredName(i));
        if (!why.empty())
            throw ECommand{FileName + ": unsafe entry name " + Quoted(OneLine(reader.StoredName(i))) + ": " + why};
    }

    const fs::path dir(Dir);
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (!fs::is_directory(dir, ec))
        throw ECommand{"cannot create the folder " + Quoted(Dir)};

    std::set<std::string> written;
    for (int i = 0; i < reader.EntryCount(); ++i) {
        if (!written.insert(reader.Names()[i]).second)
            continue; // the engine only ever sees the first copy
        const fs::path target = dir / reader.StoredName(i);
        if (fs::is_symlink(fs::symlink_status(target, ec)))
            throw ECommand{Quoted(target.string()) + " is a symbolic link"};
        WriteFile(target, reader.Entry(i));
    }
    Out << Dir << ": " << written.size() << " files\n";
    return 0;
}

int List(const std::string& FileName, std::ostream& Out)
{
    TOpenedPackage package;
    OpenPackage(FileName, package);
    const TSkinReader& reader = package.Reader;
    for (int i = 0; i < reader.EntryCount(); ++i)
        Out << reader.StoredName(i) << '\t' << reader.EntrySize(i) << '\n';
    Out << "version " << reader.Header().Version << ", " << reader.EntryCount() << " entries, " << reader.PlainSize()
        << " plain bytes, " << package.FileSize << " compressed bytes\n";
    return 0;
}

int Check(const std::string& FileName, std::ostream& Out)
{
    TOpenedPackage package;
    OpenPackage(FileName, package);
    const std::vector<std::string> problems = CheckSkin(package.Reader);
    const std::vector<std::string> warnings = SkinWarnings(package.Reader);
    for (const std::string& line : problems)
        Out << OneLine(line) << '\n';
    for (const std::string& line : warnings)
        Out << OneLine(line) << '\n';
    if (problems.empty())
        Out << (warnings.empty() ? "ok\n" : "ok, with " + std::to_string(warnings.size()) + " warnings\n");
    return problems.empty() ? 0 : 1;
}

} // namespace

std::string PackFolder(const std::string& Dir)
{
    try {
        size_t entries = 0, plain = 0;
        return PackDir(Dir, entries, plain);
    } catch (const ECommand& e) {
        throw std::runtime_error(e.Message);
    }
}

int RunSkinPack(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err)
{
    if (Args.empty()) {
        Err << kUsage;
        return 2;
    }
    const std::string& command = Args[0];
    auto wrongCount = [&](const char* form) {
        Err << "skinpack: usage: skinpack " << form << '\n';
        return 2;
    };
    try {
        if (command == "help" || command == "-h" || command == "--help") {
            Out << kUsage;
            return 0;
        }
        if (command == "new")
            return Args.size() == 2 || Args.size() == 3 ? NewSkin(Args[1], Args.size() == 3 ? Args[2] : "slate", Out)
                                                        : wrongCount("new DIR [slate|night]");
        if (command == "pack")
            return Args.size() == 3 ? Pack(Args[1], Args[2], Out) : wrongCount("pack DIR OUT.skn");
        if (command == "unpack")
            return Args.size() == 3 ? Unpack(Args[1], Args[2], Out) : wrongCount("unpack FILE.skn DIR");
        if (command == "list")
            return Args.size() == 2 ? List(Args[1], Out) : wrongCount("list FILE.skn");
        if (command == "check")
            return Args.size() == 2 ? Check(Args[1], Out) : wrongCount("check FILE.skn");
        Err << "skinpack: unknown command " << Quoted(OneLine(command)) << '\n' << kUsage;
        return 2;
    } catch (const ECommand& e) {
        Err << "skinpack: " << OneLine(e.Message) << '\n';
    } catch (const std::exception& e) {
        Err << "skinpack: " << OneLine(e.what()) << '\n';
    } catch (...) {
        Err << "skinpack: unexpected failure\n";
    }
    return 1;
}
