#include "framework/graphics/Graphic.h"

#include "framework/core/Published.h"
#include "framework/core/Stream.h"

IMPLEMENT_CLASS_EMPTY(TGraphic)

void TGraphic::LoadFromFile(const std::string& FileName)
{
    TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TGraphic::SaveToFile(const std::string& FileName)
{
    TFileStream file(FileName, fmCreate);
    SaveToStream(file);
}
