// Registers, starts, stops and removes the defrag service with the service control
// manager: its own process, started on demand, as LocalSystem, under the name
// "Vantrel". Each answers a Win32 error code; ERROR_SERVICE_CANNOT_ACCEPT_CTRL means
// that a job runs, and the service was left running.
#pragma once

#include "defragsvc/ServiceParameters.h"

#include <windows.h>

#include <string>

namespace vantrel::defragsvc {

// Registers the service to run executablePath (updating an existing registration)
// and stores its options.
DWORD InstallService(const std::wstring& executablePath, const ServiceOptions& options);
// Starts the service and waits until it runs; a running service is left as it is.
DWORD StartDefragService();
// Stops the service and waits until it has stopped, unless a job runs; a service
// that is not installed or not running is not an error.
DWORD StopDefragService();
// Stops the service (as above) and removes it.
DWORD UninstallService();

}  // namespace vantrel::defragsvc
