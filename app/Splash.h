// The splash shown while the main window initialises: a rounded topmost picture.
#pragma once

#include <string>

#include "framework/Dialog.h"

inline constexpr DWORD kSplashMilliseconds = 2048;

class CDlgSplash : public fw::Dialog {
  public:
    explicit CDlgSplash(std::wstring title);

  protected:
    const fw::MessageTable& Messages() const override;
    bool OnInitDialog() override;

  private:
    static const fw::MessageTable kTable;
    std::wstring title_;
    void OnPaint(HDC dc);
    bool OnEraseBackground(HDC dc);
    bool OnQueryEndSession(fw::Message& m);
};
