// In-place geometric transforms of bitmaps: flipping top to bottom and quarter turns. They move
// pixels and never change their colours; a bitmap that is not 24-bit comes out as 24-bit.
#pragma once

class TBitmap;

void FlipBitmapVertical(TBitmap* Bitmap);
// A quarter turn counter-clockwise: the top edge becomes the left edge; width and height swap.
void RotateBitmapLeft(TBitmap* Bitmap);
// A quarter turn clockwise: the top edge becomes the right edge; width and height swap.
void RotateBitmapRight(TBitmap* Bitmap);
