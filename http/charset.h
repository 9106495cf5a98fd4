// Recoding of UTF-8 response bodies into the program's code page 936, through UTF-16LE, by the
// platform's code-page conversion. Input and results are Byte sets without terminating zero; a 0x00
// byte is a character like any other. Malformed UTF-8 is rendered leniently (U+FFFD), characters
// code page 936 lacks become its default character, and empty or rejected input gives the empty set.
#pragma once

#include "text/text.h"

Bytes Utf8ToUtf16(const Bytes& bytes);

// Combining marks are folded into precomposed characters first where one exists.
Bytes Utf8ToGbk(const Bytes& bytes);
