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

int ScaleDpi(double Scale)
{
    return static_cast<int>(std::lround(96 * Scale));
}

int ScaledLength(int Length, int Dpi)
{
    const long long scaled = (2LL * Length * Dpi + 96) / 192;
    return static_cast<int>(scaled);
}

namespace {

// Whether Scaled is Length at Dpi cut into Frames equal frames, each scaled on its own; with
// Frames 0, into any such number of frames.
bool FramesScaleTo(int Length, int Scaled, int Dpi, int Frames)
{
    if (Frames > 0) {
        if (Length % Frames != 0)
            Frames = 1; // the engine scales such a strip as one frame
        return Scaled == Frames * ScaledLength(Length / Frames, Dpi);
    }
    for (int n = 1; n <= Length / 4 || n == 1; ++n)
        if (Length % n == 0 && Scaled == n * ScaledLength(Length / n, Dpi))
            return true;
    return false;
}

} // namespace

std::string ScaleImageProblem(int BaseWidth, int BaseHeight, int Width, int Height, int Dpi, int Frames,
                              bool Vertical)
{
    // Frames side by side, or stacked.
    const auto laidOut = [&](int FramesAcross, int FramesDown) {
        return FramesScaleTo(BaseWidth, Width, Dpi, FramesAcross) && FramesScaleTo(BaseHeight, Height, Dpi, FramesDown);
    };
    const bool fits = Frames > 0 ? laidOut(Vertical ? 1 : Frames, Vertical ? Frames : 1)
                                 : laidOut(0, 1) || laidOut(1, 0);
    if (fits)
        return {};
    const int frames = Frames > 0 && (Vertical ? BaseHeight : BaseWidth) % Frames == 0 ? Frames : 1;
    const int w = Vertical ? ScaledLength(BaseWidth, Dpi) : frames * ScaledLength(BaseWidth / frames, Dpi);
    const int h = Vertical ? frames * ScaledLength(BaseHeight / frames, Dpi) : ScaledLength(BaseHeight, Dpi);
    std::string problem = "it is " + std::to_string(Width) + " x " + std::to_string(Height) + ", the base image's " +
                          std::to_string(BaseWidth) + " x " + std::to_string(BaseHeight) + " at the scale is " +
                          std::to_string(w) + " x " + std::to_string(h);
    return Frames > 0 ? problem : problem + " (or, for a strip, each frame's size at the scale)";
}
