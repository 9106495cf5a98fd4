#include "bank/harvester.h"

#include "text/extract.h"

namespace {
const Text kTitleStart = "<div class=\"title\">\r\n          ";
const Text kTitleEnd = "\r\n";
}  // namespace

void HarvestTitles(const HarvestIo& io) {
    TextList titles;
    ExtractAllBetween(io.readContent(), kTitleStart, kTitleEnd, titles);
    io.setContent(Text());
    for (const Text& title : titles) io.append(ConcatText(title, "\r\n"));
}
