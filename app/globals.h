// The three global objects of the run: the page text, the matcher and the result document holder.
#pragma once

void InitGlobals();
void ReleaseGlobals();
