// One UpdDownloadFiles call: every listed file is fetched into its staged temporary
// file; only when all arrived whole are they moved into place. With the progress
// window the transfer runs on a worker thread while the calling thread pumps
// messages for the window; hidden, it runs on the calling thread.
#pragma once

#include <windows.h>

#include <vector>

#include "updatedll/TransferList.h"

namespace upd {

bool RunDownload(const std::vector<TransferItem>& items, const TransferOptions& options,
                 HWND owner);

}  // namespace upd
