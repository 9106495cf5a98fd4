#include "bank/lookup.h"

void LookupTick(const TextList& bank, const LookupIo& io) {
    io.writeCaption(Text());
    const std::size_t count = bank.size();
    for (std::size_t i = 0; i < count; ++i) {
        const Text clipboard = io.readClipboard();
        if (FindText(bank[i], clipboard) != -1) {
            io.writeCaption(ConcatText(io.readCaption(), "\r\n", bank[i]));
        }
    }
}
