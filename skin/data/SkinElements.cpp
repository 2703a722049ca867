#include "skin/data/SkinElements.h"

#include "framework/core/Published.h"

#include <cstdlib>
#include <utility>

IMPLEMENT_CLASS_EMPTY(TDataSkinObject)
IMPLEMENT_CLASS_EMPTY(TDataSkinBorder)
IMPLEMENT_CLASS_EMPTY(TDataSkinButton)
IMPLEMENT_CLASS_EMPTY(TDataSkinTitle)
IMPLEMENT_CLASS_EMPTY(TDataSkinSysButton)

TDataSkinObject::TDataSkinObject(std::string AName) : Bitmap(std::make_unique<TBitmap>()), Name(std::move(AName)) {}

TDataSkinObject::~TDataSkinObject()
{
    Bitmap->SetSize(0, 0);
}

TDataSkinBorder::TDataSkinBorder(std::string AName)
    : TDataSkinObject(std::move(AName)), Bitmap2(std::make_unique<TBitmap>())
{
}

TDataSkinBorder::~TDataSkinBorder() = default;

TDataSkinButton::TDataSkinButton(std::string AName)
    : TDataSkinObject(std::move(AName)), CheckButton(std::make_unique<TBitmap>()),
      RadioButton(std::make_unique<TBitmap>())
{
}

TDataSkinButton::~TDataSkinButton() = default;

TDataSkinTitle::TDataSkinTitle(std::string AName) : TDataSkinObject(std::move(AName)) {}

TDataSkinSysButton::TDataSkinSysButton(std::string AName) : TDataSkinObject(std::move(AName)) {}

TColor ParseColour(const std::string& Text)
{
    // Blanks and control characters at both ends go first.
    size_t begin = 0;
    size_t end = Text.size();
    while (begin < end && static_cast<unsigned char>(Text[begin]) <= ' ')
        ++begin;
    while (end > begin && static_cast<unsigned char>(Text[end - 1]) <= ' ')
        --end;
    uint32_t numbers[3] = {0, 0, 0};
    int stored = 0;
    std::string run;
    // Only the lowest byte of each number counts: keep the digits' value modulo 256 as they come,
    // so that long runs never overflow.
    auto value = [](const std::string& digits) {
        uint32_t v = 0;
        for (char c : digits)
            v = (v * 10 + static_cast<uint32_t>(c - '0')) % 256;
        return v;
    };
    for (size_t i = begin; i < end; ++i) {
        const char c = Text[i];
        if (c >= '0' && c <= '9') {
            run += c;
            continue;
        }
        if (!run.empty()) {
            if (stored < 3)
                numbers[stored++] = value(run);
            run.clear();
        }
    }
    if (stored == 2)
        numbers[stored++] = value(run);
    return static_cast<TColor>(numbers[0] | (numbers[1] << 8) | (numbers[2] << 16));
}
