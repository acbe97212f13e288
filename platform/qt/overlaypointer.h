// The pointer of a desktop that lets no program take clicks from other programs' windows (the
// Wayland compositors): the desktop's own reports, and, while every click is asked for, a window of
// Sizewise's over the whole desktop that takes them.
#pragma once

#include <memory>
#include <optional>

#include "desktop.h"

class QWidget;

namespace sw::qt {

class ClickOverlay;

class OverlayPointer final : public PointerInput {
public:
    // inner reports the pointer; screen says what the overlay covers.
    OverlayPointer(PointerInput& inner, Screen& screen);
    ~OverlayPointer() override;

    // While the overlay is up, where it last saw the pointer.
    Point cursorPos() override;
    // The inner reading, with the buttons and SHIFT of the clicks the overlay took since; the
    // overlay's clicks are not counted again from the inner reading.
    PointerSnapshot readPointer() override;
    void setInputHandler(InputHandler onInput) override;
    // All covers the desktop; ShiftLeft cannot be taken from other windows.
    void setClickCapture(ClickCapture capture) override;
    bool takesShiftClicksEverywhere() const override { return false; }

    // The overlay's window while shown, for tests; nullptr while not.
    QWidget* overlayWindow() const;

private:
    PointerInput& inner_;
    Screen& screen_;
    std::unique_ptr<ClickOverlay> overlay_;
    KeyStates pressed_;
    InputHandler onInput_;
    bool quietInner_ = false;         // the inner buttons are not heard until read up
    std::optional<Point> overlayAt_;  // where the overlay last saw the pointer
};

}  // namespace sw::qt
