// Registers and removes the stand-in defrag service with the service control
// manager: its own process, started on demand, under the name "Vantrel".
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace vantrel::defragsvc {

// Registers the service to run executablePath (updating the path of an existing
// registration) and, when given, stores the pace. Answers a Win32 error code.
DWORD InstallService(const std::wstring& executablePath,
                     std::optional<std::uint32_t> jobMilliseconds);
// Stops the service when it runs and removes it. Answers a Win32 error code;
// a service that is not installed is not an error.
DWORD UninstallService();

}  // namespace vantrel::defragsvc
