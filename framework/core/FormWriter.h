// Writing form descriptions in the text format that FormReader.h reads: each component's
// published properties (all of them, in publishing order), then its defined properties with
// data, then the components it writes as children.
#pragma once

#include "framework/core/Component.h"

#include <string>

std::string WriteComponentText(TComponent* Root);
