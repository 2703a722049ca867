#include "skin/package/ScaleImages.h"

#include "framework/core/StrUtils.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

double ImageScaleOf(const std::string& EntryName, std::string& Base)
{
    const std::string name = LowerCase(EntryName);
    const size_t at = name.rfind('@');
    const std::string tail = "x.bmp";
    if (at == std::string::npos || at == 0 || name.size() < at + 1 + tail.size() + 1 ||
        name.compare(name.size() - tail.size(), tail.size(), tail) != 0)
        return 0;
    const std::string number = name.substr(at + 1, name.size() - tail.size() - at - 1);
    if (number.empty() || number.find_first_not_of("0123456789.") != std::string::npos ||
        std::count(number.begin(), number.end(), '.') > 1 || number.front() == '.' || number.back() == '.')
        return 0;
    const double scale = std::strtod(number.c_str(), nullptr);
    if (!(scale > 1.0 && scale <= 4.0))
        return 0;
    Base = name.substr(0, at) + ".bmp";
    return scale;
}

std::string ScaleImageProblem(int BaseWidth, int BaseHeight, int Width, int Height, double Scale)
{
    const double w = BaseWidth * Scale;
    const double h = BaseHeight * Scale;
    const auto whole = [](double v) { return std::abs(v - std::round(v)) < 1e-6; };
    if (!whole(w) || !whole(h))
        return "the base image's size " + std::to_string(BaseWidth) + " x " + std::to_string(BaseHeight) +
               " times the scale is not a whole number of pixels";
    if (Width != static_cast<int>(std::round(w)) || Height != static_cast<int>(std::round(h)))
        return "it is " + std::to_string(Width) + " x " + std::to_string(Height) +
               ", the base image's size times the scale is " + std::to_string(static_cast<int>(std::round(w))) + " x " +
               std::to_string(static_cast<int>(std::round(h)));
    return {};
}

