// vantrel-image: the defragmentation engine on an NTFS image file, for a
// maintainer who wants to try it. See UsageText() for what it does.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "engine/ntfs/NtfsImageVolume.h"
#include "tools/vantrel-image/CommandLine.h"
#include "tools/vantrel-image/EngineRun.h"
#include "tools/vantrel-image/FreedMemory.h"
#include "tools/vantrel-image/HeldSignals.h"
#include "tools/vantrel-image/LayoutCopy.h"

namespace vantrel::image {

namespace {

using engine::VolumeStatus;
using engine::ntfs::NtfsImageVolume;
using engine::ntfs::OpenMode;

void Say(const std::string& line) {
    std::fprintf(stderr, "vantrel-image: %s\n", line.c_str());
}

std::string WhatFailed(VolumeStatus status) {
    switch (status) {
        case VolumeStatus::IoError:
            return "a read or write of the image failed";
        case VolumeStatus::VolumeChanged:
            return "the image changed beneath the engine";
        case VolumeStatus::AccessDenied:
            return "the image refused access";
        default:
            return "the image answered status " + std::to_string(static_cast<int>(status));
    }
}

// The image opened, or why not said, with the exit code that tells it.
struct Opened {
    std::unique_ptr<NtfsImageVolume> volume;
    LayoutCopy layout;
    int exitCode = exit_code::kDone;
};

Opened Open(const std::string& image, OpenMode mode) {
    Opened opened;
    auto open = NtfsImageVolume::Open(image, mode);
    if (!open.volume) {
        Say(open.message.empty() ? image + " cannot be opened." : open.message);
        opened.exitCode = exit_code::kRefused;
    }
    opened.volume = std::move(open.volume);
    return opened;
}

// Opens the image read-only and checks its layout (copies it, for a dry run): a
// refused or damaged image is named with the reason, and nothing of it has been
// changed.
Opened OpenChecked(const std::string& image, bool copyLayout = false) {
    Opened opened = Open(image, OpenMode::ReadOnly);
    if (!opened.volume) {
        return opened;
    }
    opened.layout = copyLayout ? CopyLayout(*opened.volume) : CheckLayout(*opened.volume);
    if (opened.layout.Sound()) {
        return opened;
    }
    if (opened.layout.failure != VolumeStatus::Ok) {
        Say(image + " cannot be read: " + WhatFailed(opened.layout.failure) + ".");
    } else {
        Say(image + " " + opened.layout.damage + "; repair it on Windows (chkdsk) first.");
    }
    opened.volume.reset();
    opened.exitCode = exit_code::kRefused;
    return opened;
}

int AnalyzeImage(const std::string& image) {
    Opened opened = OpenChecked(image);
    if (!opened.volume) {
        return opened.exitCode;
    }
    const AnalysisRun run = Analyze(*opened.volume);
    if (run.failure != VolumeStatus::Ok) {
        Say("the analysis of " + image + " ended early: " + WhatFailed(run.failure) + ".");
        return exit_code::kFailed;
    }
    std::fputs(FiguresText(run.figures).c_str(), stdout);
    return exit_code::kDone;
}

// The figures of the image as the optimization left it, and the files not moved;
// nothing when no pass got as far as its plan (nothing moved).
void PrintOptimization(const OptimizationRun& run) {
    if (run.reportedPass == 0) {
        return;
    }
    std::fputs(FiguresText(run.after).c_str(), stdout);
    std::printf("%s\n", NotMovedLine(run.notMoved).c_str());
}

int DryRun(const std::string& image) {
    Opened opened = OpenChecked(image, true);
    if (!opened.volume) {
        return opened.exitCode;
    }
    opened.volume.reset();  // the image is not read again
    const OptimizationRun run =
        OptimizeBothPasses(*opened.layout.volume, {.stopRequested = {}, .note = Say});
    PrintOptimization(run);
    Say("dry run: " + image + " was not changed.");
    return exit_code::kDone;
}

int Optimize(const std::string& image) {
    // Held from before the image is opened for writing until the program ends.
    HeldSignals signals;
    if (const Opened checked = OpenChecked(image); !checked.volume) {
        return checked.exitCode;
    }
    // Opened for writing only once the check passed: a refused image gets nothing
    // written, not even what the library writes when it opens an image for writing.
    Opened opened = Open(image, OpenMode::ReadWrite);
    if (!opened.volume) {
        return opened.exitCode;
    }
    const OptimizationRun run = OptimizeBothPasses(
        *opened.volume, {.stopRequested = [&] { return signals.Arrived(); }, .note = Say});
    opened.volume.reset();  // every change is on the image
    PrintOptimization(run);
    const std::string during = "during pass " + std::to_string(run.endedInPass) +
                               (run.reportedPass == 0 ? ", before any move" : "");
    const std::string after =
        run.reportedPass == 0 ? "nothing was moved." : "every move made was completed.";
    if (run.failure != VolumeStatus::Ok) {
        Say(WhatFailed(run.failure) + " " + during + "; " + after);
        return exit_code::kFailed;
    }
    if (run.stopped) {
        Say("stopped by " + std::string(SignalName(signals.Which())) + " " + during + "; " + after);
        return exit_code::kStopped;
    }
    return exit_code::kDone;
}

int Run(const std::vector<std::string>& arguments) {
    const ParsedCommandLine parsed = ParseCommandLine(arguments);
    if (!parsed.request) {
        Say(parsed.error + ".");
        std::fputs(UsageText().c_str(), stderr);
        return exit_code::kUsage;
    }
    const Request& request = *parsed.request;
    switch (request.command) {
        case Command::Help:
            std::fputs(UsageText().c_str(), stdout);
            return exit_code::kDone;
        case Command::Analyze:
            return AnalyzeImage(request.image);
        case Command::Optimize:
            return request.dryRun ? DryRun(request.image) : Optimize(request.image);
    }
    return exit_code::kUsage;
}

}  // namespace

}  // namespace vantrel::image

int main(int argc, char** argv) {
    vantrel::image::KeepFreedMemory();
    try {
        return vantrel::image::Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& error) {
        // Out of memory, between two moves: every move made was completed.
        std::fprintf(stderr, "vantrel-image: %s\n", error.what());
        return vantrel::image::exit_code::kFailed;
    } catch (...) {
        std::fprintf(stderr, "vantrel-image: an unexpected failure ended the run\n");
        return vantrel::image::exit_code::kFailed;
    }
}
