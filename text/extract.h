// Marker extraction: pieces of a Text that lie between a start marker and an end marker.
#pragma once

#include "text/text.h"

// Appends to result every trimmed piece between an occurrence of start and the next occurrence of
// end, continuing the next start search on the end marker just found, so one marker can close a
// piece and open the next. The end search begins one byte into the piece. An empty trimmed piece,
// or one longer than a non-zero maxLength, ends the extraction. Returns 0 when nothing was
// appended, otherwise the list's member count. An empty start marker appends nothing.
int ExtractAllBetween(const Text& source, const Text& start, const Text& end, TextList& result,
                      bool caseSensitive = false, int maxLength = 0, const Text& prefix = {},
                      const Text& suffix = {}, bool includeStart = false, bool includeEnd = false,
                      int startPosition = 0);

// The bytes between the first start marker and the next end marker, untrimmed; the empty Text when
// either is missing. In both markers "#引号" stands for a double quote.
Text ExtractBetween(const Text& source, const Text& start, const Text& end, int startPosition = 0,
                    bool caseSensitive = false);

// Like ExtractBetween with markers taken literally and always ignoring ASCII case, but a missing
// marker gives kFieldMissing, so a caller can tell it from an empty value.
Text ExtractField(const Text& source, const Text& start, const Text& end, int startPosition = 0);

inline const Text kFieldMissing = "获取失败";
