#include "reports/ReportTemplates.h"

#include <iterator>
#include <string>

namespace report_template {
namespace {

constexpr std::wstring_view kDocumentStart =
    L"<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
    L"\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">\r\n"
    L"<html xmlns=\"http://www.w3.org/1999/xhtml\">\r\n"
    L"<head>\r\n"
    L"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\"\" />\r\n";

constexpr std::wstring_view kStyleSheet =
    L"<style type=\"text/css\">\r\n"
    L"<!--\r\n"
    L".BoldSmall {font-size: 11px; color: #3f3f3f; font-weight: bold; font-family: Tahoma;}\r\n"
    L".BlackSmallTxt {font-size: 11px; color: #797979; font-family: Tahoma; cursor: hand; "
    L"cursor: pointer;}\r\n"
    L".foot {font-size: 12px; color: #000000; font-family: Tahoma;}\r\n"
    L".OrangeSmallTxt {font-size: 11px; color: #ff4e00; font-family: Tahoma; "
    L"background-color: White;}\r\n"
    L".BlueSmallTxt {font-size: 11px; color: #00317e; font-family: Tahoma;}\r\n"
    L".BlueSmallWithCursorTxt {font-size: 11px; color: #00317e; font-family: Tahoma; "
    L"cursor: pointer; cursor: hand;}\r\n"
    L".hline {float: left; width: 65%; height: 1px;}\r\n"
    L".hlineRight {float: left; width: 30%; height: 1px;}\r\n"
    L".smalltext1 {font-size: 12px; color: #727272; font-family: Tahoma;}\r\n"
    L".smalltext2 {font-size: 12px; color: blue; font-family: Tahoma;}\r\n"
    L".pageHeading {font-size: 20px; font-weight: bold; color: #00317e; font-family: Arial;}\r\n"
    L".smallHeading {font-size: 12px; font-weight: bold; color: #003399; font-family: Tahoma; "
    L"text-decoration: none;}\r\n"
    L".BodyStyle {border-bottom: #92bcf3 1px none; border-left: #92bcf3 1px solid; "
    L"border-top: #92bcf3 1px none; border-right: #92bcf3 1px solid;}\r\n"
    L".rightMargin {margin-right: 10px; text-align: justify;}\r\n"
    L".rightTopLeftMargin {margin-right: 10px; margin-top: 10px; margin-left: 10px; "
    L"margin-bottom: 10px; text-align: justify;}\r\n"
    L".whitetxt {margin-top: 5px; margin-bottom: 5px; font-size: 11px; color: #ffffff; "
    L"font-family: Tahoma; text-decoration: none; vertical-align: middle; "
    L"text-align: center;}\r\n"
    L"ul {list-style-type: disc; list-style-position: outside;}\r\n"
    L".tablegreyborder {border-top: #dcdcdc 1px solid; border-right: #dcdcdc 1px solid; "
    L"border-bottom: #dcdcdc 1px solid; border-left: #dcdcdc 1px solid;}\r\n"
    L"-->\r\n"
    L"</style>\r\n"
    L"</head>\r\n";

// The body table and its header row: the logo, the product's name and the right end
// on a repeated middle piece.
constexpr std::wstring_view kPageTop =
    L"<body topmargin=\"0\">\r\n"
    L"<table width=\"900\" border=\"0\" align=\"center\" cellpadding=\"0\" cellspacing=\"0\" "
    L"class=\"BodyStyle\">\r\n"
    L"<tr>\r\n"
    L"<td background=\"Report_header_top_middle.jpg\"><img src=\"Report_header_left_image.jpg\" "
    L"width=\"80\" height=\"70\" alt=\"\" /><img src=\"Report_header_leftText.jpg\" width=\"253\" "
    L"height=\"70\" alt=\"\" /></td>\r\n"
    L"<td width=\"664\" background=\"Report_header_top_middle.jpg\">&nbsp;</td>\r\n"
    L"<td><img src=\"Report_header_top_right.jpg\" width=\"156\" height=\"70\" alt=\"\" /></td>\r\n"
    L"</tr>\r\n"
    L"<tr>\r\n"
    L"<td colspan=\"3\"><table width=\"100%\" border=\"0\" cellspacing=\"0\" cellpadding=\"0\">\r\n"
    L"<tr>\r\n";

// The menu column: its background on the inner block (scan) or on the cell itself
// (optimization).
constexpr std::wstring_view kScanMenuStart =
    L"<td width=\"187\" valign=\"top\"><div style=\"background-image: "
    L"url(leftmenu_bgSinglepx.jpg); background-repeat: repeat-y; height: 641px;\">\r\n";
constexpr std::wstring_view kOptimizationMenuStart =
    L"<td width=\"187\" valign=\"top\" BACKGROUND=\"leftmenu_bgSinglepx.jpg\"><div>\r\n";

// Spacers and the one menu entry, whose words follow.
constexpr std::wstring_view kMenuEntry =
    L"<div style=\"height: 20px;\"></div>\r\n"
    L"<table width=\"100%\" border=\"0\" cellspacing=\"0\" cellpadding=\"0\">\r\n"
    L"<tr><td height=\"27\"></td></tr>\r\n"
    L"<tr><td class=\"OrangeSmallTxt\"><div style=\"width: 176px; float: left; text-align: "
    L"right;\"><strong>";
constexpr std::wstring_view kMenuEntryEnd =
    L"</strong></div><div style=\"width: 11px; float: left;\"><img src=\"arrow_leftmenu.jpg\" "
    L"width=\"11\" height=\"11\" alt=\"\" /></div></td></tr>\r\n"
    L"</table>\r\n"
    L"</div></td>\r\n";

// The content column and its heading bar, whose words follow.
constexpr std::wstring_view kContentStart =
    L"<td valign=\"top\"><div style=\"width: 650px; margin-top: 20px; margin-left: 30px;\">\r\n"
    L"<div class=\"innerpage\">\r\n"
    L"<div style=\"height: 30px; background-image: url(heading_BG.jpg);\"><p class=\"rightMargin\" "
    L"style=\"margin-top: 0px; margin-bottom: 0px; padding-left: 10px; line-height: "
    L"30px;\"><strong class=\"pageHeading\">";
constexpr std::wstring_view kContentHeadingEnd = L"</strong></p></div>\r\n";

constexpr std::wstring_view kFoot =
    L"</div></div></td>\r\n"
    L"</tr>\r\n"
    L"</table></td>\r\n"
    L"</tr>\r\n"
    L"<tr>\r\n"
    L"<td colspan=\"3\"><div class=\"yui-u\" style=\"height: 25px; text-align: center; "
    L"background-image: url(footer_middle.jpg);\"><div class=\"whitetxt\"><strong>Copyright "
    L"&copy; Brenlow. All rights reserved.</strong></div></div></td>\r\n"
    L"</tr>\r\n"
    L"</table>\r\n"
    L"</body>\r\n";

std::wstring BuildHead(std::wstring_view title, std::wstring_view menuStart,
                       std::wstring_view words) {
    std::wstring head;
    head += kDocumentStart;
    head += L"<title>";
    head += title;
    head += L"</title>\r\n";
    head += kStyleSheet;
    head += kPageTop;
    head += menuStart;
    head += kMenuEntry;
    head += words;
    head += kMenuEntryEnd;
    head += kContentStart;
    head += words;
    head += kContentHeadingEnd;
    return head;
}

struct Labels {
    std::wstring_view scan;
    std::wstring_view optimization;  // empty: a row of the scan report only
};

// Both reports' labels in row order; an empty scan label is a row of the
// optimization report only.
constexpr Labels kLabels[kFigureCount] = {
    {L"Disk Size:", L"Disk Size:"},
    {L"Free Size:", L"Free Size:"},
    {L"Clusters:", L"Clusters:"},
    {L"Sectors per cluster:", L"Sectors per cluster:"},
    {L"Bytes per sector:", L"Bytes per sector:"},
    {L"Started Scanning at:", L"Started Optimization at:"},
    {L"Completed Scanning at:", L"Completed Optimization at:"},
    {L"Elapsed time:", L"Elapsed time:"},
    {L"Total Files:", L"Total Files:"},
    {L"Total Directories:", L"Total Directories:"},
    {L"Fragmented File Count:", L"Fragmented File Count:"},
    {L"", L"Defragmented File Count:"},
    {L"", L"Skipped File Count:"},
    {L"<strong><strong>Volume Fragmentation</strong>:</strong>",
     L"<strong><strong>Volume Fragmentation</strong>:</strong>"},
    {L"<strong><strong>Data Fragmentation</strong>:</strong>",
     L"<strong><strong>Data Fragmentation</strong>:</strong>"},
    {L"<strong><strong>Largest Continuous Free Space</strong>:</strong>",
     L"<strong><strong>Largest Continuous Free Space</strong>:</strong>"},
};

const Labels& LabelsOf(Figure figure) {
    return kLabels[static_cast<int>(figure) - 1];
}

}  // namespace

std::wstring_view Head(ReportKind kind) {
    static const std::wstring scan =
        BuildHead(L" Scanning Report ", kScanMenuStart, L"Scanning Summary");
    static const std::wstring optimization =
        BuildHead(L" Optimization Report ", kOptimizationMenuStart, L"Optimization Summary");
    return kind == ReportKind::Scan ? scan : optimization;
}

std::wstring_view HeadingIntro(ReportKind kind) {
    return kind == ReportKind::Scan
               ? L"<p><span class=\"note\"><strong >Last Scan Time: </strong>"
               : L"<p><span class=\"note\"><strong >Last Time Optimization: </strong>";
}

bool InReport(Figure figure, ReportKind kind) {
    return kind == ReportKind::Optimization || !LabelsOf(figure).scan.empty();
}

std::wstring_view FigureLabel(Figure figure, ReportKind kind) {
    const Labels& labels = LabelsOf(figure);
    return kind == ReportKind::Scan ? labels.scan : labels.optimization;
}

std::wstring_view ReasonText(std::int32_t resultCode) {
    static constexpr std::wstring_view kReasons[] = {
        L"OK",     L"No Free Space",     L"Can't Move Data", L"Stopped By User",
        L"Locked", L"Can't Move on FAT", L"Safe File",
    };
    if (resultCode < 0 || resultCode >= static_cast<std::int32_t>(std::size(kReasons))) {
        return L"Unknown";
    }
    return kReasons[resultCode];
}

std::wstring_view Foot() {
    return kFoot;
}

}  // namespace report_template
