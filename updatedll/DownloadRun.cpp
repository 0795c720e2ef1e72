#include "updatedll/DownloadRun.h"

#include <memory>
#include <optional>
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

// Disables a window for the length of a scope, as a modal dialog disables its owner,
// and enables it again whatever ends the scope.
class OwnerDisabled {
  public:
    explicit OwnerDisabled(HWND owner)
        : owner_(owner != nullptr && IsWindow(owner) && IsWindowEnabled(owner) ? owner : nullptr) {
        if (owner_ != nullptr) {
            EnableWindow(owner_, FALSE);
        }
    }
    ~OwnerDisabled() {
        if (owner_ != nullptr) {
            EnableWindow(owner_, TRUE);
        }
    }
    OwnerDisabled(const OwnerDisabled&) = delete;
    OwnerDisabled& operator=(const OwnerDisabled&) = delete;

  private:
    HWND owner_;
};

// An event handle closed whatever ends its scope.
class OwnedEvent {
  public:
    OwnedEvent() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~OwnedEvent() {
        if (event_ != nullptr) {
            CloseHandle(event_);
        }
    }
    OwnedEvent(const OwnedEvent&) = delete;
    OwnedEvent& operator=(const OwnedEvent&) = delete;

    HANDLE Get() const { return event_; }

  private:
    HANDLE event_;
};

// Runs the transfers on a worker thread while this thread runs the window's messages.
// False when no event or thread could be had (both are released whatever happens).
bool FetchBesideWindow(const std::vector<TransferItem>& items, CancelSwitch& cancel,
                       ProgressWindow& window, bool& quit, WPARAM& quitCode) {
    const OwnedEvent done;
    if (done.Get() == nullptr) {
        return false;
    }
    bool result = false;
    std::optional<std::thread> worker;
    try {
        worker.emplace([&] {
            try {
                result =
                    FetchAll(items, cancel, [&window](std::uint64_t received, std::uint64_t total) {
                        window.Report(received, total);
                    });
            } catch (...) {
                result = false;
            }
            SetEvent(done.Get());
        });
    } catch (...) {
        return false;
    }
    const HANDLE doneHandle = done.Get();
    for (;;) {
        const DWORD wait = MsgWaitForMultipleObjects(1, &doneHandle, FALSE, INFINITE, QS_ALLINPUT);
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
    worker->join();
    return result;
}

bool RunWithWindow(const std::vector<TransferItem>& items, HWND owner) {
    CancelSwitch cancel;
    ProgressWindow window(cancel);
    // Like a modal dialog: the owner is disabled before the window appears.
    std::optional<OwnerDisabled> ownerDisabled(std::in_place, owner);
    if (!window.Create(owner)) {
        ownerDisabled.reset();
        return RunHidden(items);
    }
    bool quit = false;
    WPARAM quitCode = 0;
    const bool result = FetchBesideWindow(items, cancel, window, quit, quitCode);
    // The owner comes back before the window goes, so that activation returns to it.
    ownerDisabled.reset();
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
