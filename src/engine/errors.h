#pragma once

#include <stdexcept>
#include <string>

namespace vestra {

// Run-time error numbers. The selection screens show them after "Errore generico : ",
// so they keep the numbering engineers already know from the program's earlier releases.
enum ErrorNumber : int {
  kInvalidArgument = 5,      // logarithm, power or root outside its domain
  kOverflow = 6,             // a result that is not a finite number
  kSubscriptOutOfRange = 9,  // an index outside a table
  kDivisionByZero = 11,
  kTypeMismatch = 13,  // a text that is not a number
  kFileNotFound = 53,
  kPathFileAccessError = 75,  // a folder or file that cannot be made or written
  kInvalidUseOfNull = 94,     // a missing catalogue value read as a number or text
  kResourceNotFound = 326,    // an interface text missing from its language and from English
};

// The standard message of an error number ("Overflow", "Division by zero" ...).
std::string StandardErrorMessage(int number);

// The one exception type of the program: thrown where the fault happens, caught once
// at the boundary that reports it.
class RuntimeError : public std::runtime_error {
 public:
  explicit RuntimeError(int number);
  RuntimeError(int number, const std::string& message);
  int number() const noexcept { return number_; }

 private:
  int number_;
};

[[noreturn]] void Raise(int number);

}  // namespace vestra
