// Collects a skin on its way to disk: the bitmaps, written at once as 24-bit .bmp files, and the
// description, whose sections keep the order in which they were first touched.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

class TRaster;

class TIniSection {
public:
    explicit TIniSection(std::string Name) : FName(std::move(Name)) {}

    const std::string& Name() const { return FName; }
    const std::vector<std::pair<std::string, std::string>>& Keys() const { return FKeys; }

    // A key set twice keeps its first place and takes the new value.
    TIniSection& Set(const std::string& Key, const std::string& Value);
    TIniSection& Set(const std::string& Key, int32_t Value) { return Set(Key, std::to_string(Value)); }
    // A comment written above the section (";" lines, wrapped at 100 characters).
    void Describe(std::string Note) { FNote = std::move(Note); }
    const std::string& Note() const { return FNote; }

private:
    std::string FName;
    std::string FNote;
    std::vector<std::pair<std::string, std::string>> FKeys;
};

class TSkinWriter {
public:
    // Creates Folder when missing and removes the .bmp and .ini files an earlier run left there,
    // so that the packer finds exactly this skin.
    explicit TSkinWriter(std::filesystem::path Folder);

    TIniSection& Section(const std::string& Name);
    // Writes Image as FileName (lower case, ".bmp") in the folder and returns FileName. An image
    // drawn for another DPI than 96 is written as the image for its scale ("top@1.5x.bmp" for 144)
    // beside the base image the description names.
    std::string SaveImage(const std::string& FileName, const TRaster& Image);
    // The description with CR LF line ends, a comment line first.
    void SaveDescription(const std::string& FileName, const std::string& Comment) const;

private:
    std::filesystem::path FFolder;
    std::vector<TIniSection> FSections;
};
