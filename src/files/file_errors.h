#pragma once
// Maps a failed C library file call to the I/O error the command dispatcher shows.
#include <cerrno>

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

}  // namespace fw
