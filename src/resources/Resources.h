#pragma once
// The library's own resources (catalogue, bar definitions, bitmaps), compiled
// into the library from src/resources/data so nothing has to be found on disk.
#include <string>
#include <string_view>
#include <vector>

namespace tavixTGCL2::Resources {

// The bytes of a resource by its file name; throws Error(errFileNotFound)
// when there is none.
std::string_view get(std::string_view name);
bool exists(std::string_view name);
std::vector<std::string> names();

}  // namespace tavixTGCL2::Resources
