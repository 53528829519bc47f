#include "link/reply_decoder.h"

// Placeholder body; the reply decoder replaces it.
namespace mz {

void ReplyDecoder(Context&, int) {}

}  // namespace mz
