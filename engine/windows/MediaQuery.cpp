#include "engine/windows/MediaQuery.h"

#include "engine/windows/AnswerParsers.h"
#include "engine/windows/SystemVolumeCalls.h"

#include <array>
#include <optional>

namespace vantrel::engine::windows {
namespace {

// A descriptor of the property, or nullopt when the device did not answer.
std::optional<std::vector<std::byte>> AskProperty(VolumeCalls& calls, STORAGE_PROPERTY_ID id) {
    STORAGE_PROPERTY_QUERY query{};
    query.PropertyId = id;
    query.QueryType = PropertyStandardQuery;
    std::array<std::byte, 64> out{};
    const CallAnswer answer = calls.Control(nullptr, IOCTL_STORAGE_QUERY_PROPERTY, &query,
                                            sizeof query, out.data(), out.size());
    if (answer.error != ERROR_SUCCESS || answer.bytes > out.size()) {
        return std::nullopt;
    }
    return std::vector<std::byte>(out.begin(), out.begin() + answer.bytes);
}

std::optional<Bytes> View(const std::optional<std::vector<std::byte>>& descriptor) {
    if (!descriptor) {
        return std::nullopt;
    }
    return Bytes(*descriptor);
}

}  // namespace

MediaKind QueryMediaOf(VolumeCalls& calls) {
    const auto seekPenalty = AskProperty(calls, StorageDeviceSeekPenaltyProperty);
    if (!seekPenalty) {
        return MediaKind::Unknown;
    }
    const auto trim = AskProperty(calls, StorageDeviceTrimProperty);
    return MediaFromDescriptors(View(seekPenalty), View(trim));
}

MediaKind QueryDriveMedia(wchar_t letter) {
    DWORD error = 0;
    const auto calls = SystemVolumeCalls::Open(letter, 0, error);
    return calls ? QueryMediaOf(*calls) : MediaKind::Unknown;
}

}  // namespace vantrel::engine::windows
