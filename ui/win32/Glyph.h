#pragma once

#include <windows.h>

// A button's picture from its XPM text (the same files the Qt window
// shows), as an icon whose "None" colour is transparent; null when the text
// is not an XPM we read (one character per pixel, "c #RRGGBB" or "c None").
HICON IconFromXpm(const char* const* xpm);
