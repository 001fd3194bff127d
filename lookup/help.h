#pragma once

// The help button's clicked event.
void OnHelpClicked();
