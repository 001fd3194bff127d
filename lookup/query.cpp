#include "lookup/query.h"

#include <windows.h>

#include "app/globals.h"
#include "app/main_window.h"
#include "http/http_access.h"
#include "lookup/result_view.h"
#include "lookup/service_address.h"

namespace {

// The opening main tag, the shortest run of anything, line breaks included, and the first </div>.
const char kMainBlockPattern[] = "<div id=\\\"main\\\">[\\s\\S]*?</div>";
constexpr int32_t kMainBlockNumber = 4;

}  // namespace

void OnQueryClicked() {
  if (CompareTexts(ReadEditBoxContent(), Text()) == 0) {
    MessageBoxW(nullptr, L"请先输入任意关键词后再点击查询按钮！", L"Varnholt  提示", MB_OK | MB_TASKMODAL);
    return;
  }
  SetQueryButtonDisabled(1);
  // The keyword goes into the address exactly as typed: no trimming, no escaping.
  const Text address = JoinTexts(ServiceBaseAddress(), ReadEditBoxContent(), ".html");
  Text method("POST");
  PageText = HttpAccess(address, &method);

  Matcher->Create(kMainBlockPattern, PageText);
  PageText = Matcher->MatchText(kMainBlockNumber);

  // The window can be closed while the response is read: then there is no view to write into and
  // no button to enable, and the program ends once this handler returns.
  if (!MainWindowHandle()) return;
  GetViewDocument(WebViewHandle(), *ResultDocument);
  WriteDocument(*ResultDocument, PageText);
  SetQueryButtonDisabled(0);
}
