// The update-info file and the version gate: the parts of the update check that touch no platform.
#pragma once

#include "app/version.h"
#include "build_config.h"
#include "text/text.h"

inline const Text kCurrentVersion = ASSISTANT_VERSION;
inline const Text kUpdateInfoUrl = "http://" UPDATE_INFO_HOST "/uploads/soft/quorvel/zemtak.txt";
inline constexpr int kUpdateRetryDelayMs = 2111;
inline const Text kUpdateRetryNotice = "服务器链接不畅，重试中，如打开异常请联系客服QQ" SUPPORT_CONTACT;
inline const Text kUpdatePrompt =
    "发现最新版本：点击【是】将为您跳转到网盘下载\r\n也可自行到官网" WEBSITE_NAME "进行下载。";

// Whether a fetched text carries the version field's opening marker, matched exactly.
bool HasVersionField(const Text& info);

// A refetched text with every "<wbr>" removed: the server may break the markers up with it.
Text CleanRefetched(const Text& fetched);

// The field values, untrimmed; kFieldMissing when a marker is absent.
Text ReadVersion(const Text& info);
Text ReadDownloadUrl(const Text& info);

// True for any version other than ours, compared byte for byte, unless the field was missing.
bool OffersUpdate(const Text& version);
