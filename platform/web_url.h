// Which texts may be handed to the shell as a web address.
#pragma once

#include "text/text.h"

// True for an absolute http or https URL (scheme in any letter case) with a host, holding no
// control byte (below 0x20, or 0x7F), no space and no double quote. Anything else, a local path, a
// share, another scheme or a failure text, must not reach the shell, which would run it.
bool IsWebUrl(const Text& url);
