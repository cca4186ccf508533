// How a backend reports what happened outside: each call updates the input state and posts
// the messages the engine's windows see, in order.
#pragma once

#include <string_view>

#include "platform/types.h"

namespace tvx::platform::input {

void Key(tvx::platform::Key key, bool down);
// Typed text (GBK): a Char message per character to the window that has the keyboard.
// Control characters and bytes that are no whole GBK character are left out.
void Text(std::string_view gbk);
// Position in the window's client coordinates.
void MouseMove(WindowId window, Point client);
void MouseButton(WindowId window, bool left, bool down);
void Wheel(WindowId window, int delta);
void Focus(WindowId window, bool gained);
// The window manager asks for a system command (close, minimize, restore) on the window.
void SystemCommand(WindowId window, uint32_t command);
// The player chose a command of the window's command menu (headless event scripts).
void MenuCommand(WindowId window, uint16_t command);
// The window was minimized or restored by the window manager itself.
void Minimized(WindowId window, bool minimized);
// Marks all framebuffers for a full repaint on screen (after an expose).
void Exposed(WindowId window);
// The window that keyboard input goes to when a backend knows no better.
WindowId MainTarget();

}  // namespace tvx::platform::input
