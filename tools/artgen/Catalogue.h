// Every file the generator writes, with the code that draws it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tools/artgen/ImageFiles.h"

namespace artgen {

struct Artwork {
    std::wstring fileName;
    std::function<Bytes()> encode;
};

std::vector<Artwork> Catalogue();

}  // namespace artgen
