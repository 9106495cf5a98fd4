// The title harvester behind the button: HTML pasted into the edit box is replaced by the list of
// question titles found in it.
#pragma once

#include <functional>

#include "text/text.h"

// The edit box the harvester reads and rewrites.
struct HarvestIo {
    std::function<Text()> readContent;
    std::function<void(const Text&)> setContent;
    // Adds the text at the end of the content.
    std::function<void(const Text&)> append;
};

// A title is the line after a div tag of class title that ends its line with CR LF, when that next
// line is indented by at least ten spaces; tag and class are matched ignoring ASCII case. The box
// is emptied whether or not anything is found, then gets each title followed by CR LF.
void HarvestTitles(const HarvestIo& io);
