#include "bank/bank.h"

#include "text/extract.h"

namespace {
// Kept as an array so its length comes from the literal itself.
constexpr char kBankBytes[] =
#include "bank/questions.inc"
    ;
}  // namespace

const Text kBankText(kBankBytes, sizeof kBankBytes - 1);

TextList QuestionBank;

void LoadQuestionBank(const Text& bankText, TextList& bank) {
    ExtractAllBetween(bankText, "\r\n", "\r\n", bank);
}
