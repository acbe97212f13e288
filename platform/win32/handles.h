// Window handles as the seam's 32-bit ids and back, and RECT as Rect. Only the
// low 32 bits of a window handle are significant, so handles are sign-extended
// back as the system does when 32- and 64-bit processes share them.
#pragma once

#include <windows.h>

#include <cstdint>

#include "geometry.h"

namespace sw::win32 {

inline HWND toHwnd(WindowId id) {
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(static_cast<std::int32_t>(id)));
}

inline WindowId toId(HWND window) {
    return static_cast<WindowId>(reinterpret_cast<std::uintptr_t>(window));
}

inline Rect fromRECT(const RECT& r) {
    return Rect{static_cast<std::int32_t>(r.left), static_cast<std::int32_t>(r.top),
                static_cast<std::int32_t>(r.right), static_cast<std::int32_t>(r.bottom)};
}

// The special insert-after handles of SetWindowPos.
inline HWND insertAfter(std::intptr_t value) {
    return reinterpret_cast<HWND>(value);
}
inline const HWND kTop = insertAfter(0);
inline const HWND kBottom = insertAfter(1);
inline const HWND kTopmost = insertAfter(-1);
inline const HWND kNotTopmost = insertAfter(-2);

}  // namespace sw::win32
