// The self-drawn label: a caption drawn centred and word-wrapped on the button-face colour, clipped
// to the label. The caption is also the window text, so anything that reads window texts reads it.
#pragma once

#include <windows.h>

inline constexpr char kLabelClass[] = "QuorvelLabel";

bool RegisterLabelClass(HINSTANCE instance);

// The text colour travels in the creation parameter.
inline LPVOID LabelCreateParam(COLORREF textColor) {
    return reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(textColor));
}
