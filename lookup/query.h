#pragma once

// The query button's clicked event.
void OnQueryClicked();
