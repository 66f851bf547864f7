#pragma once

// A report that could not be written: the file or folder and the cause, in words a user
// can act on (a missing picture, a folder that cannot be written, a full disk). The
// number keeps the run-time error numbering (53 file not found, 75 path/file access).

#include <string>

#include "engine/errors.h"

namespace vestra::report {

class ReportError : public RuntimeError {
 public:
  ReportError(int number, const std::string& message) : RuntimeError(number, message) {}
};

}  // namespace vestra::report
