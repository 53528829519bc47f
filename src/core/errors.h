#pragma once
// Failures that no handler catches. They end the handler that raised them and
// are shown to the operator in an error box by the event dispatch.
#include <stdexcept>
#include <string>

namespace mz {

class ProgramError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Serial port failures ("ie_BadId - Specified comport doesn't exist", ...).
class PortError : public ProgramError {
 public:
  using ProgramError::ProgramError;
};

// File input-output failures (missing file, short file, bad number, write refused).
class FileError : public ProgramError {
 public:
  using ProgramError::ProgramError;
};

}  // namespace mz
