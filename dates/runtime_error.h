// Run-time errors carry the platform's error numbers; the COM boundary turns them into HRESULTs.
#pragma once

#include <stdexcept>

namespace marelco {

enum class ErrorNumber : int {
  InvalidProcedureCall = 5,
  Overflow = 6,
  TypeMismatch = 13,
  InvalidPropertyValue = 380,
};

class RuntimeError : public std::runtime_error {
 public:
  explicit RuntimeError(ErrorNumber number);
  ErrorNumber number() const { return number_; }

 private:
  ErrorNumber number_;
};

// The platform's text for an error number ("Type mismatch", ...).
const char* Description(ErrorNumber number);

}  // namespace marelco
