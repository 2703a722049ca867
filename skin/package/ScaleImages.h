// Images drawn for a scale: a package may hold, beside an image "top.bmp", the same picture drawn
// for 150 % or 200 % as "top@1.5x.bmp" or "top@2x.bmp" (any scale above 1 up to 4, written with a
// point). Such an image is the base image with every frame's width and height multiplied by the
// scale and rounded to the nearest pixel, the frames laid out as in the base image: a strip of
// three 13 x 13 frames is 60 x 20 at 1.5x.
#pragma once

#include <string>

// The scale a package entry is drawn for, from its name: 1.5 for "top@1.5x.bmp" (Base gets the
// base image's name in lower case, "top.bmp"); 0 for a name that is not of an image for a scale.
double ImageScaleOf(const std::string& EntryName, std::string& Base);
// The dots per inch an image for Scale is drawn for: 144 for 1.5.
int ScaleDpi(double Scale);
// Length (at 96 dots per inch, not negative) at Dpi, rounded to the nearest pixel, halves up: the
// rounding the engine scales every length of a skin with.
int ScaledLength(int Length, int Dpi);
// Why an image of Width x Height cannot stand for a base image of BaseWidth x BaseHeight at Dpi
// ("" when it can). Frames is how many frames the base image holds along its strip (Vertical:
// stacked); 0 when not known, and then any whole number of equal frames of 4 pixels or more is
// taken, which is all a reader of the package alone can say.
std::string ScaleImageProblem(int BaseWidth, int BaseHeight, int Width, int Height, int Dpi, int Frames = 0,
                              bool Vertical = false);
