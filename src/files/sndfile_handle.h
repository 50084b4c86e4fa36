#pragma once
// An open libsndfile handle, closed when it goes out of scope.
#include <sndfile.h>

#include <memory>

namespace fw {

struct SndfileCloser {
  void operator()(SNDFILE* file) const noexcept { sf_close(file); }
};
using SndfileHandle = std::unique_ptr<SNDFILE, SndfileCloser>;

}  // namespace fw
