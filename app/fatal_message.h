#pragma once

#include <cstdint>

#include "text/text.h"

// The error box's text: the heading, then the error number and the message when there are any,
// each block followed by CR LF line breaks.
Text FatalMessageText(const Text& message, int32_t errorNumber);
// The out-of-memory message naming the byte count of the failed request.
Text OutOfMemoryMessage(uint32_t byteCount);
