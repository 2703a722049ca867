// How well two colours read against each other: the contrast ratio of their relative luminances
// (sRGB), from 1 (the same) to 21 (black on white). Colours are 0x00BBGGRR, as the platform's.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

inline double RelativeLuminance(uint32_t Rgb)
{
    auto linear = [](uint32_t Channel) {
        const double v = static_cast<double>(Channel & 0xFF) / 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(Rgb) + 0.7152 * linear(Rgb >> 8) + 0.0722 * linear(Rgb >> 16);
}

inline double RgbContrast(uint32_t A, uint32_t B)
{
    const double a = RelativeLuminance(A), b = RelativeLuminance(B);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}
