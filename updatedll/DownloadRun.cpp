#include "updatedll/DownloadRun.h"

#include <memory>
#include <thread>

#include "updatedll/CancelSwitch.h"
#include "updatedll/HttpFetch.h"
#include "updatedll/ProgressWindow.h"
#include "updatedll/StagedFile.h"

namespace upd {

namespace {

// Fetches every item into its staged file, then moves them all into place. Stops at
// the first failure; the staged files of that run are removed on the way out.
bool FetchAll(const std::vector<TransferItem>& items, CancelSwitch& cancel,
              const ProgressSink& progress) {
    if (items.empty()) {
        return false;
    }
    HttpSession session;
    if (!session.IsOpen()) {
        return false;
    }
    std::vector<std::unique_ptr<StagedFile>> staged;
    for (const TransferItem& item : items) {
        auto file = std::make_unique<StagedFile>(item.localPath);
        if (!file->Open() || !FetchToFile(session, item.source, file->Handle(), cancel, progress) ||
            !file->Finish()) {
            return false;
        }
        staged.push_back(std::move(file));
    }
    if (cancel.Cancelled()) {
        return false;
    }
    for (auto& file : staged) {
        if (!file->Commit()) {
            return false;
        }
    }
    return true;
}

bool RunHidden(const std::vector<TransferItem>& items) {
    CancelSwitch cancel;
    return FetchAll(items, cancel, [](std::uint64_t, std::uint64_t) {});
}

bool RunWithWindow(const std::vector<TransferItem>& items, HWND owner) {
    CancelSwitch cancel;
    ProgressWindow window(cancel);
    // Like a modal dialog: the owner is disabled before the window appears.
    const bool ownerEnabled = owner != nullptr && IsWindow(owner) && IsWindowEnabled(owner);
    if (ownerEnabled) {
        EnableWindow(owner, FALSE);
    }
    if (!window.Create(owner)) {
        if (ownerEnabled) {
            EnableWindow(owner, TRUE);
        }
        return RunHidden(items);
    }
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (done == nullptr) {
        if (ownerEnabled) {
            EnableWindow(owner, TRUE);
        }
        return false;
    }
    bool result = false;
    std::thread worker([&] {
        try {
            result =
                FetchAll(items, cancel, [&window](std::uint64_t received, std::uint64_t total) {
                    window.Report(received, total);
                });
        } catch (...) {
            result = false;
        }
        SetEvent(done);
    });

    bool quit = false;
    WPARAM quitCode = 0;
    for (;;) {
        const DWORD wait = MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_ALLINPUT);
        if (wait == WAIT_OBJECT_0 || wait == WAIT_FAILED) {
            break;
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // The caller's loop is told again once the transfer has stopped.
                quit = true;
                quitCode = message.wParam;
                cancel.Cancel();
                continue;
            }
            if (!window.IsDialogMessage(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }
    worker.join();
    CloseHandle(done);
    // The owner comes back before the window goes, so that activation returns to it.
    if (ownerEnabled) {
        EnableWindow(owner, TRUE);
    }
    window.Destroy();
    if (quit) {
        PostQuitMessage(static_cast<int>(quitCode));
    }
    return result && !cancel.Cancelled();
}

}  // namespace

bool RunDownload(const std::vector<TransferItem>& items, const TransferOptions& options,
                 HWND owner) {
    return options.hidden ? RunHidden(items) : RunWithWindow(items, owner);
}

}  // namespace upd
