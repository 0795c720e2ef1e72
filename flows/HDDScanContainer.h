// The page container inside the main window: it holds the drive selection, progress,
// scan results and optimization results pages as modeless child dialogs and shows
// one at a time. Until the pages' own classes arrive, each page is its template.
#pragma once

#include "framework/Dialog.h"
#include "service/CellCountSource.h"

// The volume map of the progress page is 577 x 208 pixels in 9-pixel cells.
class ProgressMapCells : public vantrel::service::CellCountSource {
  public:
    int GetCellCount() override;
};

// A page shown from its template on the container's white background.
class CTemplatePage : public fw::Dialog {
public:
    explicit CTemplatePage(UINT templateId) : fw::Dialog(templateId) {}

protected:
    const fw::MessageTable& Messages() const override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    static const fw::MessageTable kTable;
    bool OnCtlColor(fw::Message& m);
};

class CDlgHDDScan : public fw::Dialog {
  public:
    CDlgHDDScan();

    // Hides the visible page and shows `page`, unless it is already the visible one.
    void ShowPage(fw::Dialog& page);
    fw::Window* VisiblePage() const { return visible_; }

    fw::Dialog& SelectionPage() { return selection_; }
    fw::Dialog& ProgressPage() { return progress_; }
    fw::Dialog& ScanResultsPage() { return scanResults_; }
    fw::Dialog& DefragResultsPage() { return defragResults_; }

    // Calls the main window makes into the pages.
    void SelectDriveByLetter(wchar_t letter);
    void PostStartScan();
    void SetStopConfirmed(bool confirmed);
    vantrel::service::CellCountSource& MapCells() { return mapCells_; }

  protected:
    const fw::MessageTable& Messages() const override;
    bool OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}

  private:
    static const fw::MessageTable kTable;
    void OnSize();
    void OnPaint(HDC dc);
    bool OnEraseBackground(fw::Message& m);
    bool OnCtlColor(fw::Message& m);

    CTemplatePage selection_;
    CTemplatePage progress_;
    CTemplatePage scanResults_;
    CTemplatePage defragResults_;
    fw::Window* visible_ = nullptr;
    bool stopConfirmed_ = false;
    ProgressMapCells mapCells_;
};
