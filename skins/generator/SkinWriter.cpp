#include "skins/generator/SkinWriter.h"

#include "framework/core/Stream.h"
#include "framework/graphics/BitmapCodec.h"
#include "skins/generator/Raster.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <stdexcept>

namespace {

std::string LowerCase(std::string Text)
{
    std::transform(Text.begin(), Text.end(), Text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return Text;
}

} // namespace

TIniSection& TIniSection::Set(const std::string& Key, const std::string& Value)
{
    for (auto& [key, value] : FKeys)
        if (LowerCase(key) == LowerCase(Key)) {
            value = Value;
            return *this;
        }
    FKeys.emplace_back(Key, Value);
    return *this;
}

TSkinWriter::TSkinWriter(std::filesystem::path Folder) : FFolder(std::move(Folder))
{
    std::filesystem::create_directories(FFolder);
    std::vector<std::filesystem::path> stale;
    for (const auto& entry : std::filesystem::directory_iterator(FFolder)) {
        std::string extension = LowerCase(entry.path().extension().string());
        if (entry.is_regular_file() && (extension == ".bmp" || extension == ".ini"))
            stale.push_back(entry.path());
    }
    for (const auto& path : stale)
        std::filesystem::remove(path);
}

TIniSection& TSkinWriter::Section(const std::string& Name)
{
    for (auto& section : FSections)
        if (LowerCase(section.Name()) == LowerCase(Name))
            return section;
    return FSections.emplace_back(Name);
}

std::string TSkinWriter::SaveImage(const std::string& FileName, const TRaster& Image)
{
    if (FileName != LowerCase(FileName) || !FileName.ends_with(".bmp"))
        throw std::invalid_argument("image names are lower case and end in .bmp: " + FileName);
    std::string stored = FileName;
    if (Image.Dpi() != 96) {
        // The scale written as the shortest decimal: 1.25, 1.5, 2.
        std::string scale = std::to_string(Image.Dpi() / 96.0);
        scale.erase(scale.find_last_not_of('0') + 1);
        if (scale.back() == '.')
            scale.pop_back();
        stored.insert(stored.size() - 4, "@" + scale + "x");
    }
    TFileStream file((FFolder / stored).string(), fmCreate);
    SaveBitmapToStream(file, Image.ToImage());
    return FileName;
}

void TSkinWriter::SaveDescription(const std::string& FileName, const std::string& Comment) const
{
    std::string text = "; " + Comment + "\r\n";
    for (const auto& section : FSections) {
        text += "\r\n";
        // The note in lines of at most 100 characters, broken at blanks.
        std::string line;
        for (size_t at = 0; at < section.Note().size();) {
            size_t end = section.Note().find(' ', at);
            const std::string word = section.Note().substr(at, end == std::string::npos ? end : end - at);
            if (!line.empty() && line.size() + 1 + word.size() > 98) {
                text += "; " + line + "\r\n";
                line.clear();
            }
            line += (line.empty() ? "" : " ") + word;
            at = end == std::string::npos ? section.Note().size() : end + 1;
        }
        if (!line.empty())
            text += "; " + line + "\r\n";
        text += "[" + section.Name() + "]\r\n";
        for (const auto& [key, value] : section.Keys())
            text += key + "=" + value + "\r\n";
    }
    TFileStream file((FFolder / FileName).string(), fmCreate);
    file.WriteBuffer(text.data(), static_cast<int32_t>(text.size()));
}
