// The kinds of window the engine draws, each with the state its subclass procedure keeps.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "skinengine/frame_layout.h"

enum class WindowKind { Frame, PushButton, Edit };

struct FrameState {
  bool active = false;
  skin::FrameHit hot = skin::FrameHit::Nowhere;      // caption button under the mouse
  skin::FrameHit pressed = skin::FrameHit::Nowhere;  // caption button held down (the mouse is captured)
  bool trackingLeave = false;
};

struct ButtonState {
  bool hot = false;
};

struct WindowSkin {
  WindowKind kind;
  FrameState frame;
  ButtonState button;
};

// Each handles one message of a skinned window; what it leaves goes to DefSubclassProc.
LRESULT FrameMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, FrameState& state);
LRESULT ButtonMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, ButtonState& state);
LRESULT EditMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// A top-level window that has just been skinned starts in its current activation.
void StartFrame(HWND hwnd, FrameState& state);
