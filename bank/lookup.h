// The clipboard answer lookup run on every tick of the timer: each bank line that contains the
// clipboard text is listed in the answer label.
#pragma once

#include <functional>

#include "text/text.h"

// What a tick touches outside the bank: the clipboard (its ANSI text, empty when it holds none)
// and the caption of the answer label.
struct LookupIo {
    std::function<Text()> readClipboard;
    std::function<Text()> readCaption;
    std::function<void(const Text&)> writeCaption;
};

// Rebuilds the caption from scratch: CR LF + line for every matching bank line, in bank order,
// or the empty Text when none matches. The clipboard is read afresh for every line, and each line
// is searched, case-sensitively, for the text read just before it.
void LookupTick(const TextList& bank, const LookupIo& io);
