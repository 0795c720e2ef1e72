// The fixed text of the summary reports: the two document heads with their style
// sheet, the heading line, the figure table's pieces and labels, the failure list,
// the reason texts and the foot. Everything the writer inserts between these pieces
// comes from the service or the results page.
#pragma once

#include <cstdint>
#include <string_view>

#include "reports/ReportKind.h"

namespace report_template {

// The document up to the inside of the page's content block ("innerpage").
std::wstring_view Head(ReportKind kind);

// The heading line: Intro + start time text + Disk + drive letter + DiskAfterLetter +
// volume text + HeadingEnd.
std::wstring_view HeadingIntro(ReportKind kind);
inline constexpr std::wstring_view kHeadingDisk = L"<br></span></p><h2>Disk: ";
inline constexpr std::wstring_view kHeadingDiskAfterLetter = L":\\, ";
inline constexpr std::wstring_view kHeadingEnd = L"</h2><br />";

inline constexpr std::wstring_view kTableStart =
    L"<table cellpadding=\"2\" cellspacing=\"0\" width=\"100%\" border=\"1\" "
    L"style=\"border-collapse:collapse\" bordercolor=\"gray\" class=\"infotable\">";

// One figure row: RowStart + label + RowMiddle + value + RowEnd.
inline constexpr std::wstring_view kRowStart = L"<tr><td class=\"foot\" >";
inline constexpr std::wstring_view kRowMiddle = L"</td> <td class=\"foot\">";
inline constexpr std::wstring_view kRowEnd = L"</td></tr>\r\n";
// After the fragmented file count of an optimization: the note at the table's foot.
inline constexpr std::wstring_view kMightDifferMark = L" *";

// The figure rows in table order. Rows 12 and 13 are in the optimization report only.
enum class Figure {
    DiskSize = 1,
    FreeSize,
    Clusters,
    SectorsPerCluster,
    BytesPerSector,
    Started,
    Completed,
    Elapsed,
    TotalFiles,
    TotalDirectories,
    FragmentedFiles,
    DefragmentedFiles,
    SkippedFiles,
    VolumeFragmentation,
    DataFragmentation,
    LargestFreeSpace,
};
inline constexpr int kFigureCount = 16;
bool InReport(Figure figure, ReportKind kind);
// The label text as it is written; the last three carry their bold markup
// ("<strong><strong>Data Fragmentation</strong>:</strong>").
std::wstring_view FigureLabel(Figure figure, ReportKind kind);

// The scan report's table end.
inline constexpr std::wstring_view kScanTableEnd = L"</table>\r\n";

// The optimization report's failure list: Intro (closing the figure table), the table
// start, the header row, one FailureRow per listed file, FailureEnd.
inline constexpr std::wstring_view kFailureIntro =
    L"</table><table><tr><td class=foot>* Might differ from the count in last "
    L"scan</td></tr></table><br> <font class=foot><strong><u>List of files which could not be "
    L"defragmented</u></strong></font><br><br>";
inline constexpr std::wstring_view kFailureHeader =
    L"<tr><td class=foot><strong>FilePath</strong></td>  <td "
    L"class=foot><strong>Reason</strong></td></tr>";
// FailureRowStart + path + FailureRowMiddle + reason + FailureRowEnd.
inline constexpr std::wstring_view kFailureRowStart = L"<tr><td class=foot>";
inline constexpr std::wstring_view kFailureRowMiddle = L"</td> <td class=foot>";
inline constexpr std::wstring_view kFailureRowEnd = L"</td></tr>";
inline constexpr std::wstring_view kFailureEnd = L"</table></div>\r\n";

// The text for a file's ResultCode; "Unknown" for any code outside 0-6.
std::wstring_view ReasonText(std::int32_t resultCode);

// The foot of both reports, with the vendor's copyright line, up to "</html>".
std::wstring_view Foot();
inline constexpr std::wstring_view kDocumentEnd = L"</html>\r\n";

}  // namespace report_template
