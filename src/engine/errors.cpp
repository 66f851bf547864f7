#include "engine/errors.h"

namespace vestra {

std::string StandardErrorMessage(int number) {
  switch (number) {
    case kInvalidArgument:
      return "Invalid procedure call or argument";
    case kOverflow:
      return "Overflow";
    case kSubscriptOutOfRange:
      return "Subscript out of range";
    case kDivisionByZero:
      return "Division by zero";
    case kTypeMismatch:
      return "Type mismatch";
    case kFileNotFound:
      return "File not found";
    case kPathFileAccessError:
      return "Path/File access error";
    case kInvalidUseOfNull:
      return "Invalid use of Null";
    case kResourceNotFound:
      return "Resource with identifier not found";
    default:
      return "Application-defined or object-defined error";
  }
}

RuntimeError::RuntimeError(int number)
    : std::runtime_error(StandardErrorMessage(number)), number_(number) {}

RuntimeError::RuntimeError(int number, const std::string& message)
    : std::runtime_error(message), number_(number) {}

void Raise(int number) {
  throw RuntimeError(number);
}

}  // namespace vestra
