// The reads of one window that the Win32 backend's files share.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "geometry.h"

namespace sw::win32 {

// DWM's extended frame bounds: what is drawn of the window. None where DWM does
// not answer.
std::optional<Rect> visibleFrame(HWND window);

// GetWindowRect, resize borders included. None when the window is gone.
std::optional<Rect> windowRectangle(HWND window);

// What the user sees of the window; for a minimised window, the frame it is
// restored to.
std::optional<Rect> seenWindowRect(HWND window);

// The title as UTF-8, at most 254 characters, pairs of UTF-16 surrogates whole.
std::string windowTitle(HWND window);

}  // namespace sw::win32
