// Images drawn for a scale: a package may hold, beside an image "top.bmp", the same picture drawn
// for 150 % or 200 % as "top@1.5x.bmp" or "top@2x.bmp" (any scale above 1 up to 4, written with a
// point). Such an image is the base image with every length multiplied by the scale.
#pragma once

#include <string>

// The scale a package entry is drawn for, from its name: 1.5 for "top@1.5x.bmp" (Base gets the
// base image's name in lower case, "top.bmp"); 0 for a name that is not of an image for a scale.
double ImageScaleOf(const std::string& EntryName, std::string& Base);
// Why an image of Width x Height cannot stand for a base image of BaseWidth x BaseHeight at
// Scale ("" when it can): its width and height must be exactly the base's times the scale.
std::string ScaleImageProblem(int BaseWidth, int BaseHeight, int Width, int Height, double Scale);
