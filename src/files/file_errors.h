#pragma once
// Maps a failed C library file call to the I/O error the command dispatcher shows.
#include <cerrno>
#include <cstring>
#include <string>

#include "files/io_error.h"

namespace fw {

inline IoError IoErrorFromErrno(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return IoError::FileNotFound();
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return IoError::AccessDenied();
    default:
      return IoError::Other(error != 0 ? error : EIO);
  }
}

// The same error with the file and the system's reason: "cannot <verb> <path>: <reason>".
inline IoError IoErrorFromErrno(int error, const char* verb, const std::string& path) {
  const IoError plain = IoErrorFromErrno(error);
  return IoError(plain.Code(), plain.what(),
                 std::string("cannot ") + verb + " " + path + ": " + std::strerror(error != 0 ? error : EIO));
}

}  // namespace fw
