// vantrel-image's command line: what it is asked to do, its usage text and its exit
// codes.
#pragma once

#include <optional>
#include <span>
#include <string>

namespace vantrel::image {

namespace exit_code {
inline constexpr int kDone = 0;
// The image was not opened or not touched: it is left exactly as it was.
inline constexpr int kRefused = 1;
inline constexpr int kUsage = 2;
// A read or write of the image failed during the run; every move made before it
// was completed.
inline constexpr int kFailed = 3;
// A signal stopped the optimization between two moves.
inline constexpr int kStopped = 4;
}  // namespace exit_code

enum class Command { Help, Analyze, Optimize };

struct Request {
    Command command = Command::Help;
    bool dryRun = false;
    std::string image;
};

struct ParsedCommandLine {
    std::optional<Request> request;  // empty when the command line is wrong
    std::string error;               // why, as a sentence
};

// The arguments after the program's name.
ParsedCommandLine ParseCommandLine(std::span<const std::string> arguments);

std::string UsageText();

}  // namespace vantrel::image
