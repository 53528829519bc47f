#pragma once
// Some of Qt's drawing code (fills and lines of the raster engine on this
// platform's Qt build) returns with the upper halves of the AVX registers in
// use. Many x86-64 processors then make every later SSE instruction wait on
// them, and the program's own code ran about half again slower until
// something cleared them, which nothing on the program's paths did. The
// adapters clear them where Qt calls into the program (a timer, a data event)
// and where the program's drawing calls return from Qt.
namespace mz {

// Clears the upper halves of the vector registers; nothing on processors or
// builds without AVX.
void ClearUpperVectorState();

}  // namespace mz
