// Runs the defrag service: under the service control manager (as LocalSystem, with
// the options of its Parameters key), or in the foreground of a console with the
// options of its command line. Both serve the interface until told to stop (a stop
// or shutdown control, or Ctrl+C in the console). A stop is refused while a job
// runs; a shutdown ends the job between two of its steps.
#pragma once

#include "defragsvc/ServiceParameters.h"

namespace vantrel::defragsvc {

// Hands the thread to the service control manager; returns when the service has
// stopped.
int RunAsService();
// Serves in the foreground; with a dry run it prints every planned move on its own
// line: the file, the cluster its data starts at, where it would go, how many clusters.
int RunInConsole(const ServiceOptions& options);

}  // namespace vantrel::defragsvc
