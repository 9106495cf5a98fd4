// Cookie merging for requests whose caller keeps its own cookie string.
//
// An entry is the text between two ";" (name=value; attributes are not told apart from cookies).
// Its name is the text before the first "=", or the whole entry, trimmed of spaces; names compare
// byte for byte, letter case included. A stored cookie text is its entries joined by "; " with no
// spaces inside them; a received text, as the request collects it, has "; " after every entry.
#pragma once

#include "text/text.h"

// Merges received into stored and returns a copy of the new stored text. Both are rewritten:
// received loses its spaces; stored becomes the received entries in arrival order, then the old
// entries whose name was not received (the first of each name only), without entries ending in
// "=deleted" and without exact duplicates.
Text MergeCookies(Text& stored, Text& received);

Text CookieName(const Text& entry);
bool HasCookieNamed(const TextList& list, const Text& name);

// Splits text at separator and joins the pieces again, each exact duplicate dropped after its first
// occurrence.
Text JoinUnique(const Text& text, const Text& separator);

bool ContainsExact(const TextList& list, const Text& item);
