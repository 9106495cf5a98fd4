// The texts the main window shows besides the bank: its title and the notice over the answer area.
#pragma once

#include "text/text.h"

// One line of 132 bytes with the default support contact.
extern const Text kWindowTitle;
// 737 bytes with the default support contact: five paragraphs parted by CR LF CR LF, the last one
// the usage sentence kUsageSentence, no CR LF at the end.
extern const Text kNotice;
extern const Text kUsageSentence;
