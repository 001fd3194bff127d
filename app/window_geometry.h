#pragma once

// The window is centred on the full screen; the halving drops the remainder toward zero, so a
// window wider than the screen gets a negative left edge (-82 for 805 pixels on a 640 screen).
constexpr int CentredOrigin(int screenSize, int windowSize) { return (screenSize - windowSize) / 2; }
