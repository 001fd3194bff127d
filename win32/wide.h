// Conversions between code page 936 text and the UTF-16 that the wide Win32 entry points take.
#pragma once

#include <string>
#include <string_view>

std::wstring WideFromCp936(std::string_view text);
std::string Cp936FromWide(std::wstring_view text);
