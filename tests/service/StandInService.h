// Drives the defrag service over its simulated drives for the programs that test or
// measure the link: installs and removes it through its own switches, and starts,
// stops and kills it through the service control manager.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace vantrel::testsupport {

class StandInService {
  public:
    // relativePath: defragsvc.exe relative to the directory of the running program.
    explicit StandInService(const wchar_t* relativePath);

    const std::wstring& ExecutablePath() const { return path_; }
    // Runs defragsvc.exe with the arguments and answers its exit code.
    DWORD RunTool(const std::wstring& arguments) const;
    // Over simulated drives at this pace.
    bool Install(std::uint32_t jobMilliseconds) const;
    bool Uninstall() const;
    bool IsInstalled() const;
    // The service's current state (SERVICE_*), or 0 when it cannot be queried.
    DWORD State() const;
    bool StartAndWait() const;
    bool StopAndWait() const;
    // Starts defragsvc.exe --console over simulated drives at the given pace, with
    // further switches, its output into `output` when given; answers its process
    // handle (the caller closes it), or null.
    HANDLE LaunchInConsole(std::uint32_t jobMilliseconds, const std::wstring& switches = {},
                           HANDLE output = nullptr) const;

  private:
    std::wstring path_;
};

}  // namespace vantrel::testsupport
