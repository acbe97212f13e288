// Small stateless operations on the program's own windows: the topmost switch,
// centring on the screen, the caption drag of a borderless window, opening links.
#pragma once

#include <string>

#include "platform/desktop.h"

class QWidget;

namespace sw {

// Keeps form above normal windows (or not) without moving or activating it.
// Does nothing for a null form.
void SetTopmost(WindowSystem& windows, QWidget* form, bool onTop);

// Centres form on the screen along the axes asked for.
void CentreForm(Screen& screen, QWidget* form, bool horizontal, bool vertical);

// Lets the window manager move form with the pointer until the button is released;
// call from a mouse press.
void DragForm(QWidget* form);

// Opens a file, web address or "Mailto:" link with the desktop's default program.
bool OpenLink(Shell& shell, const std::string& target);

}  // namespace sw
