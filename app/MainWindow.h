// The program's only top-level window: a fixed-size skinned dialog that paints its
// frame, banner and workflow panel, hosts the page container (as its PageHost), owns
// the tray icon, the service record and the link to the defrag service, and decides
// what minimise and close mean. Other parts of the program reach it through
// MainWindow().
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/PopupThread.h"
#include "app/TrayIcon.h"
#include "flows/HDDScanContainer.h"
#include "flows/PageHost.h"
#include "framework/Dialog.h"
#include "framework/UserHandles.h"
#include "service/CellCountSource.h"
#include "service/JobService.h"
#include "service/ServiceRecord.h"
#include "ui/widgets/HoverButton.h"
#include "ui/widgets/TextLink.h"

class CDefragApp;

// Posted by the progress page: lParam 0 while a job runs, 1 when none does.
inline constexpr UINT WM_JOB_ACTIVITY = WM_USER + 101;
inline constexpr UINT_PTR kScanOnStartTimer = 11111;
inline constexpr UINT kScanOnStartDelayMs = 128;

class CDlgMainDefrag : public fw::Dialog, public PageHost {
  public:
    // The window and its pages reach the defrag service through `service`; without
    // one, through the real service (the service record and the process's binding).
    // The pages ask `drives` about the machine's drives; without it, the machine.
    explicit CDlgMainDefrag(CDefragApp& app, vantrel::service::JobService* service = nullptr,
                            DriveProbe* drives = nullptr);
    ~CDlgMainDefrag() override;

    // PageHost.
    const std::wstring& Title() const override;
    ProgramSettings& Settings() override;
    DriveItems& Drives() override;
    MapCache& VolumeMapCache() override;
    vantrel::service::JobService& Service() override { return jobService_; }
    // Moves the workflow indicator (1 Welcome, 2 Scan, 3 Results, 4 Optimize). Every
    // change hides the update button for the rest of the run.
    void SetWorkflowStep(int step) override;
    void RecordJobState(long state, long detail) override;
    void PostJobActivity(bool idle) override;
    void InvalidateHostArea(const RECT& area) override;
    void BeginResultsLoad() override;
    bool ResultsLoadCancelled() const override { return closeAfterLoad_; }
    void EndResultsLoad() override;

    int WorkflowStep() const { return workflowStep_; }

    void HideToTray();
    void ShowFromTray();
    bool InTray() const { return inTray_; }

    // The last answer of the service's GetJobState.
    long JobState() const { return jobState_; }

    vantrel::service::ServiceRecord& ServiceRecord() { return service_; }
    CDlgHDDScan& Pages() { return pages_; }
    // What the current job command announces as the map's cell count.
    vantrel::service::CellCountSource& MapCells();

    CXTTrayIconEX& Tray() { return tray_; }

    const RECT& AboutArea() const { return aboutArea_; }
    const RECT& HelpArea() const { return helpArea_; }

  protected:
    const fw::MessageTable& Messages() const override;
    bool OnInitDialog() override;
    // Enter never closes the window.
    void OnOK() override {}

  private:
    static const fw::MessageTable kTable;

    void OnCloseButton();
    void OnMinimizeButton();
    void OnUpdateButton();
    void OnSize();
    void OnPaint(HDC dc);
    void OnLButtonDown(POINT point);
    void OnLButtonUp(POINT point);
    void OnMouseMove(POINT point);
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT message);
    bool OnEraseBackground(HDC dc);
    bool OnJobActivity(fw::Message& m);
    bool OnEndSession(fw::Message& m);
    bool OnQueryEndSession(fw::Message& m);
    void OnTrayRestore();
    void OnTrayExit();
    void OnTrayAbout();
    bool OnHandOver(fw::Message& m);
    bool OnCloseForSetup(fw::Message& m);
    void OnScanOnStartTimer();
    bool OnSysCommand(fw::Message& m);
    void OnOpenPopup();
    bool OnPopupNotShown(fw::Message& m);
    void OnPopupStartScan();
    bool OnDestroy(fw::Message& m);
    bool OnWindowPosChanging(fw::Message& m);
    bool OnHelp(fw::Message& m);

    void PaintWindow(HDC dc);
    void PaintIconic(HDC dc);
    void SetLinkAreas(bool enabled);
    void ShowSplash();
    void RunReminderMode();
    void SendResetForCurrentDrive();
    // Asks before a running job is stopped; false when the user keeps it running.
    bool ConfirmStopRunningJob();
    void OpenAbout();
    void OpenHelpPage();

    CDefragApp& app_;
    CHoverButton closeButton_;
    CHoverButton minimizeButton_;
    CHoverButton updateButton_;
    // The About and Help links of the banner, for the keyboard (the window paints them).
    CTextLink aboutLink_;
    CTextLink helpLink_;
    vantrel::service::ServiceRecord service_;
    std::unique_ptr<vantrel::service::ServiceLink> ownLink_;
    vantrel::service::JobService& jobService_;
    CDlgHDDScan pages_;
    CXTTrayIconEX tray_;
    PopupThread popupThread_;
    fw::Icon icon_;
    fw::Icon smallIcon_;
    long jobState_ = 0;
    long jobDetail_ = 0;
    bool inTray_ = false;
    RECT aboutArea_ = {};
    RECT helpArea_ = {};
    int workflowStep_ = 1;
    // Results being read by the pages, and a close asked for meanwhile.
    int resultsLoads_ = 0;
    bool closeAfterLoad_ = false;
};

// The process-wide main window; null before it is created and after it is gone.
CDlgMainDefrag* MainWindow();
