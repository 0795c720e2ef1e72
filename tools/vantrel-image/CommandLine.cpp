#include "tools/vantrel-image/CommandLine.h"

namespace vantrel::image {

ParsedCommandLine ParseCommandLine(std::span<const std::string> arguments) {
    const auto wrong = [](std::string why) { return ParsedCommandLine{std::nullopt, why}; };
    if (arguments.empty()) {
        return wrong("no command given");
    }
    Request request;
    const std::string& command = arguments.front();
    if (command == "--help" || command == "-h" || command == "help") {
        return arguments.size() == 1 ? ParsedCommandLine{request, {}}
                                     : wrong("--help takes nothing else");
    }
    if (command == "analyze") {
        request.command = Command::Analyze;
    } else if (command == "optimize") {
        request.command = Command::Optimize;
    } else {
        return wrong("unknown command \"" + command + "\"");
    }
    bool haveImage = false;
    for (const std::string& argument : arguments.subspan(1)) {
        if (argument == "--dry-run" && request.command == Command::Optimize) {
            request.dryRun = true;
        } else if (argument.rfind("-", 0) == 0) {
            return wrong("unknown option \"" + argument + "\" for " + command);
        } else if (haveImage) {
            return wrong(command + " takes one image");
        } else {
            request.image = argument;
            haveImage = true;
        }
    }
    if (!haveImage) {
        return wrong(command + " needs an image");
    }
    return {request, {}};
}

std::string UsageText() {
    return R"usage(usage: vantrel-image analyze IMAGE
       vantrel-image optimize [--dry-run] IMAGE
       vantrel-image --help

Runs Vantrel's defragmentation engine on an NTFS image file (never a device).

  analyze IMAGE      Prints the image's figures. Changes nothing.
  optimize IMAGE     Defragments the image in two passes, as the defrag service
                     does, then prints the figures after them and the files not
                     moved, by reason: "not moved: 3 (No Free Space 2, Locked 1)".
  --dry-run          Plans both passes over a copy of the image's layout in memory
                     and prints the figures they would give. Changes nothing.

The figures, one per line as "name: value": files, directories, fragmented files,
volume fragmentation and data fragmentation (the clusters of fragmented files over
all clusters and over the clusters in use, as the results pages show them).

An image that is not NTFS, damaged (its structures cannot be read, or a file owns
clusters that are free or that another file owns), not cleanly unmounted,
hibernated, mounted or in use by another program is refused and left as it was.

SIGINT, SIGTERM and SIGHUP stop an optimization between two moves: the move under
way is completed first, and the figures of the image as it was left are printed.
No move is ever cut off by these signals. SIGKILL or a power cut in the middle of
a move can still lose the file being moved when its run list spans several MFT
records (they are rewritten one by one, without a journal): work on a copy.

Exit codes:
  0  done
  1  the image was refused; it is left as it was
  2  the command line is wrong
  3  reading or writing the image failed during the run; every move made before
     was completed
  4  stopped by a signal; every move made before was completed
)usage";
}

}  // namespace vantrel::image
