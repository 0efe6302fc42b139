#include "dates/runtime_error.h"

namespace marelco {

const char* Description(ErrorNumber number) {
  switch (number) {
    case ErrorNumber::InvalidProcedureCall: return "Invalid procedure call or argument";
    case ErrorNumber::Overflow: return "Overflow";
    case ErrorNumber::TypeMismatch: return "Type mismatch";
    case ErrorNumber::InvalidPropertyValue: return "Invalid property value";
  }
  return "Application-defined or object-defined error";
}

RuntimeError::RuntimeError(ErrorNumber number) : std::runtime_error(Description(number)), number_(number) {}

}  // namespace marelco
