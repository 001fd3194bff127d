// Guards for the texts that HttpAccess puts on the wire as they stand. A stray CR or LF in them
// would let a URL (which carries the user's keyword) or a header text add header lines of its own
// or end the header block early, so that what follows goes out as a body or as a second request.
#pragma once

#include "text/text.h"

// The URL goes into the request line and into the Referer line: it must hold no CR and no LF.
bool UrlHasNoLineBreak(const Text& url);
// Header lines each end in "\r\n": every CR and LF must belong to such an ending, and no line may be
// empty (an empty line ends the header block). The last line may lack its ending.
bool HeaderLinesAreSound(const Text& headers);
