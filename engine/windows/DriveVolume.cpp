#include "engine/windows/DriveVolume.h"

#include "engine/windows/SystemVolumeCalls.h"
#include "engine/windows/WindowsVolume.h"

namespace vantrel::engine::windows {
namespace {

class UnavailableVolume final : public Volume {
  public:
    explicit UnavailableVolume(VolumeStatus why) : why_(why) {}
    VolumeStatus QueryVolumeData(VolumeData&) override { return why_; }
    VolumeStatus ReadBitmap(Lcn, BitmapPage&) override { return why_; }
    VolumeStatus EnumerateFiles(std::uint64_t&, std::vector<FileInfo>&) override { return why_; }
    VolumeStatus ReadExtents(std::uint64_t, Vcn, std::vector<Extent>&) override { return why_; }
    VolumeStatus MoveClusters(std::uint64_t, Vcn, Lcn, std::uint64_t) override { return why_; }
    MediaKind QueryMedia() override { return MediaKind::Unknown; }

  private:
    VolumeStatus why_;
};

VolumeStatus WhyNotOpened(DWORD error) {
    switch (error) {
        case ERROR_ACCESS_DENIED:
            return VolumeStatus::AccessDenied;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_NOT_READY:
            return VolumeStatus::VolumeChanged;
        default:
            return VolumeStatus::NotSupported;
    }
}

}  // namespace

std::unique_ptr<Volume> OpenDriveVolume(wchar_t letter) {
    EnableVolumeManagement();
    DWORD error = 0;
    auto calls = SystemVolumeCalls::Open(letter, GENERIC_READ, error);
    if (!calls) {
        return std::make_unique<UnavailableVolume>(WhyNotOpened(error));
    }
    return std::make_unique<WindowsVolume>(std::move(calls));
}

}  // namespace vantrel::engine::windows
