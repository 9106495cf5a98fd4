#include "update/update_info.h"

#include "text/extract.h"

// The update-info file is GBK text holding marker-delimited fields, each written as its name, 【,
// the value and 】结束:
//
//     版本号【V1.0】结束
//     XZ【http://download.example/assistant】结束
//
// 版本号 is the version on offer and XZ the address the user is sent to for the download. Names are
// matched with ASCII letters in either case, the first occurrence wins, and anything else in the
// file is ignored.
namespace {
const Text kVersionField = "版本号【";
const Text kDownloadField = "XZ【";
const Text kFieldEnd = "】结束";
}  // namespace

bool HasVersionField(const Text& info) {
    return FindText(info, kVersionField) != -1;
}

Text CleanRefetched(const Text& fetched) {
    return ReplaceText(fetched, "<wbr>", "");
}

Text ReadVersion(const Text& info) {
    return ExtractField(info, kVersionField, kFieldEnd);
}

Text ReadDownloadUrl(const Text& info) {
    return ExtractField(info, kDownloadField, kFieldEnd);
}

bool OffersUpdate(const Text& version) {
    return !TextEquals(version, kFieldMissing) && !TextEquals(version, kCurrentVersion);
}
