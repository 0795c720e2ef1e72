#include "reports/ReportDocument.h"

#include <iterator>
#include <string_view>

#include "reports/ReportTemplates.h"
#include "reports/ReportText.h"
#include "ui/format/Format.h"

namespace svc = vantrel::service;
namespace rt = report_template;
using rt::Figure;

namespace {

// Room for every size text of FormatByteSize.
constexpr std::size_t kSizeTextCapacity = 256;

std::wstring SizeText(std::uint64_t bytes) {
    wchar_t text[kSizeTextCapacity] = {};
    FormatByteSize(bytes, text, std::size(text));
    return text;
}

struct Values {
    const svc::JobStatistics& statistics;
    const PageFigures& page;
    JobTimeTexts times;
    std::uint64_t skipped;
};

// A figure's value as it is written (escaped where the text comes from outside).
std::wstring FigureValue(Figure figure, ReportKind kind, const Values& v) {
    const svc::JobStatistics& s = v.statistics;
    switch (figure) {
        case Figure::DiskSize:
            return SizeText(ClusterBytes(s.TotalClusters, s.SectorsPerCluster, s.BytesPerSector));
        case Figure::FreeSize:
            return SizeText(ClusterBytes(s.FreeClusters, s.SectorsPerCluster, s.BytesPerSector));
        case Figure::Clusters:
            return std::to_wstring(s.TotalClusters);
        case Figure::SectorsPerCluster:
            return std::to_wstring(s.SectorsPerCluster);
        case Figure::BytesPerSector:
            return std::to_wstring(s.BytesPerSector);
        case Figure::Started:
            return v.times.start;
        case Figure::Completed:
            return v.times.end;
        case Figure::Elapsed:
            return v.times.elapsed;
        case Figure::TotalFiles:
            return std::to_wstring(s.TotalFiles);
        case Figure::TotalDirectories:
            return std::to_wstring(s.TotalDirs);
        case Figure::FragmentedFiles:
            if (kind == ReportKind::Scan) {
                return std::to_wstring(s.FragmentedFiles);
            }
            return std::to_wstring(v.page.firstPassFragmentedFiles) +
                   std::wstring(rt::kMightDifferMark);
        case Figure::DefragmentedFiles: {
            const std::uint64_t first = v.page.firstPassFragmentedFiles;
            return std::to_wstring(first > v.skipped ? first - v.skipped : 0);
        }
        case Figure::SkippedFiles:
            return std::to_wstring(v.skipped);
        case Figure::VolumeFragmentation:
            return HtmlEscaped(v.page.volumeText);
        case Figure::DataFragmentation:
            return HtmlEscaped(v.page.dataText);
        case Figure::LargestFreeSpace:
            return SizeText(
                ClusterBytes(s.LargestFreeExtent, s.SectorsPerCluster, s.BytesPerSector));
    }
    return {};
}

void AppendHeading(std::wstring& out, ReportKind kind, const Values& v) {
    out += rt::HeadingIntro(kind);
    out += v.times.start;
    out += rt::kHeadingDisk;
    // A letter of 0 (no answer from the service) is left out rather than ending the text.
    if (v.statistics.DriveLetter != L'\0') {
        AppendHtmlEscaped(out, std::wstring_view(&v.statistics.DriveLetter, 1));
    }
    out += rt::kHeadingDiskAfterLetter;
    AppendHtmlEscaped(out, svc::FieldText(v.statistics.VolumeText));
    out += rt::kHeadingEnd;
}

void AppendFigureRows(std::wstring& out, ReportKind kind, const Values& v) {
    for (int row = 1; row <= rt::kFigureCount; ++row) {
        const auto figure = static_cast<Figure>(row);
        if (!rt::InReport(figure, kind)) {
            continue;
        }
        out += rt::kRowStart;
        out += rt::FigureLabel(figure, kind);
        out += rt::kRowMiddle;
        out += FigureValue(figure, kind, v);
        out += rt::kRowEnd;
    }
}

void AppendFailureList(std::wstring& out, const ReportInput& input) {
    out += rt::kFailureIntro;
    out += rt::kTableStart;
    out += rt::kFailureHeader;
    for (const svc::FileEntry& file : input.listedFiles) {
        out += rt::kFailureRowStart;
        AppendHtmlEscaped(out, file.Path);
        out += rt::kFailureRowMiddle;
        out += rt::ReasonText(file.ResultCode);
        out += rt::kFailureRowEnd;
    }
    out += rt::kFailureEnd;
}

}  // namespace

std::wstring ComposeReport(ReportKind kind, const ReportInput& input, const PageFigures& page) {
    const svc::JobStatistics& statistics = *input.statistics;
    const Values values{statistics, page,
                        MakeJobTimeTexts(statistics.StartTime, statistics.EndTime),
                        static_cast<std::uint64_t>(input.listedFiles.size())};
    std::wstring out;
    // The fixed pieces and about 120 characters per listed file, escaping aside.
    out.reserve(rt::Head(kind).size() + rt::Foot().size() + 4096 + input.listedFiles.size() * 160);
    out += rt::Head(kind);
    AppendHeading(out, kind, values);
    out += rt::kTableStart;
    AppendFigureRows(out, kind, values);
    if (kind == ReportKind::Scan) {
        out += rt::kScanTableEnd;
    } else {
        AppendFailureList(out, input);
    }
    out += rt::Foot();
    out += rt::kDocumentEnd;
    return out;
}
