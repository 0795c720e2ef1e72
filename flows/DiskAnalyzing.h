// CDlgDiskAnalyzing, the progress page of the scan-and-optimize flow (dialog
// IDD_PROGRESS): it starts a scan or an optimization of one drive through the
// defrag service, polls the service on timer 1000 while the job runs (state,
// statistics, the volume map), lets the user stop the job, and hands over to the
// scan results or optimization results page when the job ends. An optimization
// runs as two service passes; this page starts the second when the first ends.
//
// The page container (CDlgHDDScan) owns the page and creates it once; the page
// owns its controls' objects. Everything runs on the user-interface thread;
// StartJob blocks it for about two seconds while the service takes up the job.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "flows/DiskAnalyzingRules.h"
#include "flows/Legend.h"
#include "flows/VolumeMap.h"
#include "flows/SkinnedPage.h"
#include "service/JobRecords.h"
#include "ui/widgets/HoverButton.h"

class CDlgHDDScan;

inline constexpr UINT_PTR kJobPollTimer = 1000;

class CDlgDiskAnalyzing : public SkinnedPage {
  public:
    explicit CDlgDiskAnalyzing(CDlgHDDScan& pages);
    ~CDlgDiskAnalyzing() override;

    // Starts a scan or an optimization of drive `letter`; `label` is the drive's
    // entry text in the selection list. Answers whether the service took the
    // command; false, after telling the user, when the drive has too little room.
    bool StartJob(JobMode mode, wchar_t letter, const std::wstring& label);

    // The stop buttons: pauses the job and asks; Yes stops it, No resumes it.
    void ConfirmStop();
    // Hands a finished scan to the scan results page (or back to the selection
    // page when the user does not want results without fragmented files).
    void ShowScanResults();
    void ShowOptimizationResults();
    // While a results page reads the job's records: "done of total files" in the path
    // text; total 0 hides it again.
    void ShowResultsCount(long done, long total);

    // Set when the user confirmed a stop of the current job; cleared at every
    // start. The results pages read it as the mark of an aborted job.
    bool StopConfirmed() const { return stopConfirmed_; }
    void SetStopConfirmed(bool confirmed) { stopConfirmed_ = confirmed; }

    JobMode Mode() const { return mode_; }
    int Pass() const { return pass_; }
    // True from StartJob until a poll sees the job idle or finished.
    bool Polling() const { return polling_; }
    // Holds the polls while someone else asks the user about the job (the answer,
    // not a poll under the question, decides what happens to it); answers whether
    // the page was polling. ResumePolling takes them up again.
    bool SuspendPolling();
    void ResumePolling();
    const std::wstring& DriveLabel() const { return driveLabel_; }
    // The last counts read from the service, and their grouped texts.
    std::uint64_t FilesCount() const { return filesCount_; }
    std::uint64_t FoldersCount() const { return foldersCount_; }
    std::uint64_t FragmentedCount() const { return fragmentedCount_; }
    const std::wstring& FilesText() const { return filesText_; }
    const std::wstring& FoldersText() const { return foldersText_; }
    const std::wstring& FragmentedText() const { return fragmentedText_; }

    // The cluster map; its cell count goes with every job command.
    CVolmeMap& Map() { return map_; }

    // The space bar presses no button on this page: its key messages are dropped.
    bool PreTranslateMessage(MSG& msg) override;

  protected:
    const fw::MessageTable& Messages() const override;
    bool OnInitDialog() override;
    void PlaceControls() override;
    HBRUSH StaticColours(HDC dc, int id) override;

  private:
    static const fw::MessageTable kTable;

    void OnTick();
    void OnFailedPoll();
    void GiveUpTheService();
    void RunStateStep(long state);
    void OnRunning();
    void OnFinished();
    void FinishOptimization(UINT statusText, COLORREF statusColour);
    void StartSecondPass();
    void RunStatisticsStep();

    void SetUpForMode();
    void ResetCounts(const std::wstring& text);
    void SetProgress(int position);
    int SendCommand(std::int32_t code, wchar_t letter, std::int32_t flag);
    void HandBackMap(wchar_t letter);
    void ArmTimer(UINT milliseconds);
    void StopTimer();
    void PostJobActivity(bool idle);
    HWND TopWindow() const;

    void OnPaint(HDC dc);
    void OnStopButton();
    void OnSeeResults();
    void OnViewReport();

    CDlgHDDScan& pages_;
    CVolmeMap map_;
    std::array<CLegend, 6> legends_;
    CHoverButton stop_;
    CHoverButton stopDefrag_;
    CHoverButton seeResults_;
    CHoverButton4S viewReport_;

    JobMode mode_ = JobMode::Scan;
    int pass_ = 0;
    bool stopConfirmed_ = false;
    bool polling_ = false;
    // The last state the service answered, and since when polls have failed (0: the
    // last poll was answered).
    long lastState_ = 0;
    unsigned long long failingSince_ = 0;
    wchar_t jobLetter_ = 0;
    std::wstring driveLabel_;
    std::uint64_t filesCount_ = 0;
    std::uint64_t foldersCount_ = 0;
    std::uint64_t fragmentedCount_ = 0;
    std::wstring filesText_;
    std::wstring foldersText_;
    std::wstring fragmentedText_;
    std::wstring pathText_;
    // One statistics record for every poll (65,856 bytes), zeroed before each call.
    std::unique_ptr<vantrel::service::JobStatistics> statistics_;
};
