#include "lookup/help.h"

void OnHelpClicked() {}
