// The question bank: the embedded bank text and the program-wide list of its lines.
//
// Bank text format: GBK, CR LF line breaks only. It begins with CR LF, then every question line is
// followed by CR LF, then one more CR LF closes it. A question line is the stem immediately
// followed by the answer: 1 to 4 capitals A-D in order, or "正确" / "错误". Each line starts with a
// double-byte character and holds at least one ASCII byte: the CR LF split walks the line one byte
// late and only an ASCII byte brings it back in step, so that the line's own CR LF closes it.
#pragma once

#include "text/text.h"

// The bank supplied with the program: 46 question lines, 4,627 bytes.
extern const Text kBankText;

// One member per bank line, filled once at window creation and only read afterwards.
extern TextList QuestionBank;

// Appends the lines of bankText to bank; does not clear it first.
void LoadQuestionBank(const Text& bankText, TextList& bank = QuestionBank);
