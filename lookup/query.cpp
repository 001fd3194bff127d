#include "lookup/query.h"

void OnQueryClicked() {}
