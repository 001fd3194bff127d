#include "lookup/help.h"

#include "app/main_window.h"
#include "lookup/help_page.h"
#include "lookup/result_view.h"

void OnHelpClicked() { NavigateView(WebViewHandle(), HelpPageAddress()); }
