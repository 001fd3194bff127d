// UTF-16 units to text in a given code page, shared by the code-page routines and the automation layer.
#pragma once

#include <windows.h>

#include "text/text.h"

// Measures, then converts `count` units; the text ends at the first zero byte. A refusal gives the
// empty text.
Text WideToText(UINT codePage, DWORD flags, const wchar_t* units, int count);
