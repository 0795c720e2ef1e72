// Reading a finished job's per-file results on the user-interface thread without
// freezing the window: between records the queued messages are handled (the window
// paints and answers), the progress page counts the records read, the pages take no
// input meanwhile, and a close the user asks for ends the reading first (the host
// closes once it has ended).
#pragma once

#include <windows.h>

#include "flows/FileRecordReader.h"
#include "framework/UserHandles.h"

class CDlgHDDScan;

class ResultsLoad final : public FileRecordProgress {
  public:
    explicit ResultsLoad(CDlgHDDScan& pages);
    ~ResultsLoad() override;
    ResultsLoad(const ResultsLoad&) = delete;
    ResultsLoad& operator=(const ResultsLoad&) = delete;

    // Shows the count now and then and handles the queued messages; false once the
    // reading is to end (a close, or the end of the program).
    bool OnRecordsRead(long done, long total) override;

  private:
    CDlgHDDScan& pages_;
    bool pagesWereEnabled_;
    bool quit_ = false;
    unsigned long long lastCount_ = 0;
    fw::WaitCursor waiting_;
};
