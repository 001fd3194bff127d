// While a skin is in force, what the program draws itself in the system's button-face colour (its
// label, for one) comes out in the skin's window background instead: the program's own calls of
// GetSysColor and GetSysColorBrush are pointed at the engine's.
#pragma once

void HookSystemColours();
// Puts the program's imports back; must run before the engine's code goes away.
void UnhookSystemColours();
