// Runs the stand-in defrag service: under the service control manager, or in the
// foreground of a console for debugging. Both serve the interface until told to
// stop (a stop or shutdown control, or Ctrl+C in the console).
#pragma once

#include <cstdint>
#include <optional>

namespace vantrel::defragsvc {

// Hands the thread to the service control manager; returns when the service has
// stopped. jobMilliseconds overrides the configured pace.
int RunAsService(std::optional<std::uint32_t> jobMilliseconds);
int RunInConsole(std::optional<std::uint32_t> jobMilliseconds);

}  // namespace vantrel::defragsvc
