// How many frames the engine cuts from each element's strip where the description does not say,
// and which way: shared by the engine's reader and by skinpack's check, so that both count alike.
#pragma once

#include <cstdint>
#include <string_view>

struct TFixedFrames {
    const char* Section;
    const char* ImageKey;
    int32_t Frames;
    bool Stacked = false; // the frames one above the other (else side by side)
};

constexpr TFixedFrames FixedFrameCounts[] = {
    {"Buttons", "Bitmap", 5},         {"Personality", "TextBack", 2, true}, {"Personality", "menuBar", 2, true},
    {"Progress", "Bitmap", 2},        {"GroupBoxEdge", "Image", 2},   {"Toolbars", "Image", 5},
    {"Tabs", "Image", 5},             {"StatusBarEdges", "Image", 3}, {"ComboButton", "Image", 4},
    {"SunkEdge", "Image", 4},         {"ExtraImages", "Image", 5},    {"Headerbar", "Image", 5},
    {"MenuItem", "Image", 5},         {"MenuBackground", "Image", 1}, {"Scrollbar", "Image", 23},
    {"HorzScroll", "Image", 4},       {"VertScroll", "Image", 4},     {"UpDown.Horz", "Image", 8},
    {"UpDown.Vert", "Image", 8},
};

// The fixed frame count of Section's image (its image key named ImageKey), 0 when it has none.
constexpr int32_t FixedFramesOf(std::string_view Section, std::string_view ImageKey)
{
    for (const TFixedFrames& f : FixedFrameCounts)
        if (Section == f.Section && ImageKey == f.ImageKey)
            return f.Frames;
    return 0;
}
