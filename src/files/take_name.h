#pragma once
// Names for new takes: a take never replaces a file without the user's word.
#include <string>

namespace fw {

// path when no file has that name; otherwise the first free "stem-2.ext",
// "stem-3.ext", ... beside it.
std::string FreeTakeName(const std::string& path);

}  // namespace fw
