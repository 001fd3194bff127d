#include "skin/skin.h"

void OnMainWindowCreated() {}
