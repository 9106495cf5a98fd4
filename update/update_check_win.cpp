#include "update/update_check.h"

#include "app/main_window.h"
#include "http/http.h"
#include "platform/platform.h"
#include "update/update_info.h"

namespace {
constexpr int kNoticeFlags = MB_OK;
constexpr int kPromptFlags = MB_YESNO | MB_ICONQUESTION;
}  // namespace

void UpdateCheck() {
    // Only refetched texts are cleaned: the first one is taken as it arrived.
    Text info = HttpGetText(kUpdateInfoUrl);
    while (!HasVersionField(info)) {
        Delay(kUpdateRetryDelayMs);
        info = CleanRefetched(HttpGetText(kUpdateInfoUrl));
        ShowMessage(kUpdateRetryNotice, kNoticeFlags);
    }
    if (!OffersUpdate(ReadVersion(info))) return;
    if (ShowMessage(kUpdatePrompt, kPromptFlags) == MessageResultCode(IDYES)) {
        OpenUrl(ReadDownloadUrl(info));
        DestroyMainWindow();
        EndProgram(0);
    }
    DestroyMainWindow();
}
