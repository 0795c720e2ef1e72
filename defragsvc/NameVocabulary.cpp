#include "defragsvc/NameVocabulary.h"

#include <array>
#include <cwchar>
#include <span>
#include <string_view>

namespace vantrel::defragsvc {
namespace {

using Words = std::span<const std::wstring_view>;

// How a file name is put together from the kind's stems.
enum class Style {
    Compound,  // two stems, sometimes "32": "netsvc32.dll"
    Titled,    // a stem and a year, a copy number or a suffix: "Budget 2019.xlsx"
    Numbered,  // a stem and a counter: "IMG_0412.jpg"
    Hex,       // a stem and hex digits: "~tmp3fa9c1.tmp"
    Fixed,     // the stem alone, the extension regardless of size: "SOFTWARE.LOG1"
};

struct Vocabulary {
    Words folders;
    Words stems;
    Style style;
    Words small;
    Words medium;
    Words large;
    bool datedFolders;
};

// --- the words of each kind ---------------------------------------------------

constexpr std::wstring_view kSystemFolders[] = {
    L"wbem",  L"spool",          L"catroot2",    L"Tasks",    L"oobe",          L"Speech",
    L"ras",   L"winevt",         L"LogFiles",    L"Sysprep",  L"CodeIntegrity", L"DriverStore",
    L"IME",   L"Boot",           L"Setup",       L"Recovery", L"en-US",         L"de-DE",
    L"fr-FR", L"FileRepository", L"GroupPolicy", L"migration"};
constexpr std::wstring_view kSystemStems[] = {
    L"net", L"shell", L"crypt", L"user", L"gdi",  L"win",   L"svc",   L"host",  L"core",  L"mgr",
    L"ui",  L"api",   L"cfg",   L"srv",  L"auth", L"print", L"audio", L"video", L"input", L"power",
    L"dx",  L"ole",   L"com",   L"sec",  L"wlan", L"usb",   L"disk",  L"font",  L"time",  L"task"};
constexpr std::wstring_view kSystemSmall[] = {L".dll", L".mui", L".inf", L".cat", L".xml", L".dat"};
constexpr std::wstring_view kSystemMedium[] = {L".dll", L".exe", L".sys", L".dll", L".cpl"};
constexpr std::wstring_view kSystemLarge[] = {L".dll", L".dat", L".cab", L".etl"};

constexpr std::wstring_view kHiveStems[] = {L"SYSTEM",  L"SOFTWARE",   L"SAM",     L"SECURITY",
                                            L"DEFAULT", L"COMPONENTS", L"DRIVERS", L"BBI"};
constexpr std::wstring_view kHiveEndings[] = {L"", L".LOG1", L".LOG2"};

constexpr std::wstring_view kProgramFolders[] = {
    L"Studio",    L"Editor", L"Viewer",  L"Player",     L"Tools",     L"Runtime", L"Plugins",
    L"Resources", L"Shared", L"Modules", L"bin",        L"lib",       L"locales", L"Updates",
    L"Help",      L"Data",   L"Assets",  L"Extensions", L"Templates", L"Samples"};
constexpr std::wstring_view kBrands[] = {L"Blue",   L"Bright", L"Cloud", L"Delta",
                                         L"Echo",   L"Nova",   L"Pixel", L"Quick",
                                         L"Silver", L"Swift",  L"Terra", L"Vector"};
constexpr std::wstring_view kProgramStems[] = {
    L"app",  L"core",   L"render", L"update", L"sync",  L"media", L"codec",  L"plugin",
    L"net",  L"ui",     L"data",   L"crash",  L"help",  L"setup", L"launch", L"engine",
    L"font", L"report", L"print",  L"locale", L"cache", L"view"};
constexpr std::wstring_view kProgramSmall[] = {L".dll", L".json", L".xml", L".ini",
                                               L".png", L".qm",   L".js",  L".css"};
constexpr std::wstring_view kProgramMedium[] = {L".dll", L".exe", L".pak", L".dat", L".bin"};
constexpr std::wstring_view kProgramLarge[] = {L".pak", L".dat", L".bin", L".dll", L".cab"};

constexpr std::wstring_view kGameFolders[] = {L"Saves",  L"Maps",   L"Textures", L"Sounds",
                                              L"Levels", L"Mods",   L"Shaders",  L"Movies",
                                              L"Config", L"Engine", L"Content",  L"Localization"};
constexpr std::wstring_view kGameStems[] = {L"level", L"world", L"sound", L"music", L"texture",
                                            L"model", L"intro", L"patch", L"save",  L"shader",
                                            L"voice", L"map",   L"data",  L"game",  L"ui"};
constexpr std::wstring_view kGameSmall[] = {L".cfg", L".ini", L".sav", L".json", L".lua"};
constexpr std::wstring_view kGameMedium[] = {L".dll", L".exe", L".ogg", L".bnk", L".pak"};
constexpr std::wstring_view kGameLarge[] = {L".pak", L".bnk", L".arc", L".big", L".dat"};

constexpr std::wstring_view kDocumentFolders[] = {
    L"Invoices", L"Taxes",     L"Letters", L"Reports",   L"School", L"Recipes",
    L"Travel",   L"Work",      L"Archive", L"Insurance", L"Car",    L"House",
    L"Bank",     L"Contracts", L"Manuals", L"Club",      L"Health", L"Notes"};
constexpr std::wstring_view kDocumentStems[] = {
    L"Invoice",   L"Budget",  L"Report",       L"Letter",    L"Notes",  L"Summary",
    L"Draft",     L"Minutes", L"Resume",       L"Plan",      L"Offer",  L"Contract",
    L"Statement", L"Receipt", L"Presentation", L"Checklist", L"Agenda", L"Timetable"};
constexpr std::wstring_view kDocumentSmall[] = {L".txt", L".docx", L".odt", L".rtf", L".csv"};
constexpr std::wstring_view kDocumentMedium[] = {L".pdf", L".docx", L".xlsx", L".pptx"};
constexpr std::wstring_view kDocumentLarge[] = {L".pdf", L".pptx", L".zip", L".pst"};

constexpr std::wstring_view kPictureFolders[] = {
    L"Holiday", L"Family",    L"Camera Roll", L"Screenshots", L"Wedding", L"Birthday",
    L"Garden",  L"Christmas", L"Summer",      L"Trip",        L"Scans",   L"Friends"};
constexpr std::wstring_view kPictureStems[] = {L"IMG_",        L"DSC",   L"PXL_",
                                               L"Screenshot ", L"Scan ", L"P"};
constexpr std::wstring_view kPictureSmall[] = {L".png", L".jpg", L".ini"};
constexpr std::wstring_view kPictureMedium[] = {L".jpg", L".png", L".heic", L".jpg"};
constexpr std::wstring_view kPictureLarge[] = {L".mp4", L".mov", L".raw", L".tif"};

constexpr std::wstring_view kMusicFolders[] = {
    L"Album",    L"Live", L"Collection", L"Favourites", L"Podcasts", L"Soundtracks",
    L"Classics", L"Jazz", L"Rock",       L"Audiobooks", L"Singles",  L"Playlists"};
constexpr std::wstring_view kMusicStems[] = {L"Track ", L"Episode ", L"Chapter ", L"Side "};
constexpr std::wstring_view kMusicSmall[] = {L".m3u", L".jpg", L".txt", L".cue"};
constexpr std::wstring_view kMusicMedium[] = {L".mp3", L".m4a", L".flac", L".ogg"};
constexpr std::wstring_view kMusicLarge[] = {L".flac", L".wav", L".mp3", L".m4b"};

constexpr std::wstring_view kVideoFolders[] = {L"Holiday",    L"Family",    L"Clips",
                                               L"Recordings", L"Movies",    L"Series",
                                               L"Lectures",   L"Tutorials", L"Concerts"};
constexpr std::wstring_view kVideoStems[] = {L"Clip ", L"Recording ", L"Episode ", L"VID_",
                                             L"Part "};
constexpr std::wstring_view kVideoSmall[] = {L".srt", L".jpg", L".nfo"};
constexpr std::wstring_view kVideoMedium[] = {L".mp4", L".mov", L".avi"};
constexpr std::wstring_view kVideoLarge[] = {L".mp4", L".mkv", L".avi", L".mov"};

constexpr std::wstring_view kDownloadFolders[] = {L"Software", L"Drivers", L"Archives", L"Manuals",
                                                  L"Wallpapers"};
constexpr std::wstring_view kDownloadStems[] = {L"setup",   L"installer", L"archive", L"document",
                                                L"driver",  L"update",    L"manual",  L"photo",
                                                L"invoice", L"tools"};
constexpr std::wstring_view kDownloadSmall[] = {L".pdf", L".txt", L".jpg", L".torrent"};
constexpr std::wstring_view kDownloadMedium[] = {L".exe", L".msi", L".zip", L".pdf"};
constexpr std::wstring_view kDownloadLarge[] = {L".iso", L".zip", L".exe", L".7z"};

constexpr std::wstring_view kAppDataFolders[] = {
    L"Cache",         L"Logs",      L"Settings",  L"Profiles",      L"Packages",
    L"Crash Reports", L"IndexedDB", L"GPUCache",  L"Local Storage", L"Sessions",
    L"Extensions",    L"Default",   L"User Data", L"databases",     L"Thumbnails"};
constexpr std::wstring_view kAppDataStems[] = {L"data",    L"index",    L"cache",      L"settings",
                                               L"history", L"cookies",  L"state",      L"session",
                                               L"journal", L"metadata", L"thumbcache", L"store"};
constexpr std::wstring_view kAppDataSmall[] = {L".json", L".log", L".ldb", L".tmp", L".dat"};
constexpr std::wstring_view kAppDataMedium[] = {L".db", L".sqlite", L".dat", L".pack"};
constexpr std::wstring_view kAppDataLarge[] = {L".db", L".dat", L".pack", L".edb"};

constexpr std::wstring_view kTempFolders[] = {L"tmp", L"Low", L"Diagnostics", L"Setup"};
constexpr std::wstring_view kTempStems[] = {L"~tmp", L"~DF", L"tmp", L"setup_"};
constexpr std::wstring_view kTempSmall[] = {L".tmp", L".log", L".etl"};
constexpr std::wstring_view kTempMedium[] = {L".tmp", L".cab", L".msi"};
constexpr std::wstring_view kTempLarge[] = {L".tmp", L".cab", L".zip"};

constexpr std::wstring_view kFontStems[] = {L"sans",    L"serif",     L"mono",  L"script",
                                            L"display", L"condensed", L"round", L"slab"};
constexpr std::wstring_view kFontExtensions[] = {L".ttf", L".otf", L".ttf", L".fon"};

constexpr std::wstring_view kInstallerStems[] = {L""};
constexpr std::wstring_view kInstallerSmall[] = {L".msp", L".ico"};
constexpr std::wstring_view kInstallerMedium[] = {L".msi", L".msp"};

constexpr std::wstring_view kLogFolders[] = {L"Setup", L"Update", L"Servicing", L"Restore",
                                             L"Diagnostics"};
constexpr std::wstring_view kLogStems[] = {L"setup",   L"update", L"servicing", L"system",
                                           L"install", L"trace",  L"diag",      L"boot"};
constexpr std::wstring_view kLogSmall[] = {L".log", L".txt", L".etl"};
constexpr std::wstring_view kLogLarge[] = {L".log", L".etl", L".cab"};

constexpr std::wstring_view kBackupFolders[] = {L"Full",  L"Incremental", L"Phone",   L"Laptop",
                                                L"Daily", L"Weekly",      L"Monthly", L"Photos"};
constexpr std::wstring_view kBackupStems[] = {L"Backup", L"Image", L"Export", L"Snapshot"};
constexpr std::wstring_view kBackupSmall[] = {L".txt", L".xml", L".log"};
constexpr std::wstring_view kBackupMedium[] = {L".zip", L".7z", L".bak"};
constexpr std::wstring_view kBackupLarge[] = {L".bak", L".img", L".vhdx", L".zip"};

const Vocabulary& VocabularyOf(FolderKind kind) {
    static const Vocabulary kSystem{kSystemFolders, kSystemStems,  Style::Compound,
                                    kSystemSmall,   kSystemMedium, kSystemLarge,
                                    false};
    static const Vocabulary kHives{kSystemFolders, kHiveStems,   Style::Fixed, kHiveEndings,
                                   kHiveEndings,   kHiveEndings, false};
    static const Vocabulary kPrograms{
        kProgramFolders, kProgramStems, Style::Compound, kProgramSmall, kProgramMedium,
        kProgramLarge,   false};
    static const Vocabulary kGames{
        kGameFolders, kGameStems, Style::Compound, kGameSmall, kGameMedium, kGameLarge, false};
    static const Vocabulary kDocuments{
        kDocumentFolders, kDocumentStems, Style::Titled, kDocumentSmall,
        kDocumentMedium,  kDocumentLarge, true};
    static const Vocabulary kPictures{
        kPictureFolders, kPictureStems, Style::Numbered, kPictureSmall, kPictureMedium,
        kPictureLarge,   true};
    static const Vocabulary kMusic{
        kMusicFolders, kMusicStems, Style::Numbered, kMusicSmall, kMusicMedium, kMusicLarge, false};
    static const Vocabulary kVideos{
        kVideoFolders, kVideoStems, Style::Numbered, kVideoSmall, kVideoMedium, kVideoLarge, true};
    static const Vocabulary kDownloads{
        kDownloadFolders, kDownloadStems, Style::Titled, kDownloadSmall,
        kDownloadMedium,  kDownloadLarge, false};
    static const Vocabulary kAppData{kAppDataFolders, kAppDataStems, Style::Hex, kAppDataSmall,
                                     kAppDataMedium,  kAppDataLarge, false};
    static const Vocabulary kTemp{kTempFolders, kTempStems, Style::Hex, kTempSmall,
                                  kTempMedium,  kTempLarge, false};
    static const Vocabulary kFonts{
        kSystemFolders,  kFontStems, Style::Compound, kFontExtensions, kFontExtensions,
        kFontExtensions, false};
    static const Vocabulary kInstaller{
        kTempFolders,     kInstallerStems,  Style::Hex, kInstallerSmall,
        kInstallerMedium, kInstallerMedium, false};
    static const Vocabulary kLogs{kLogFolders, kLogStems, Style::Titled, kLogSmall,
                                  kLogSmall,   kLogLarge, false};
    static const Vocabulary kBackup{kBackupFolders, kBackupStems, Style::Titled, kBackupSmall,
                                    kBackupMedium,  kBackupLarge, true};
    switch (kind) {
        case FolderKind::System:
            return kSystem;
        case FolderKind::Hives:
            return kHives;
        case FolderKind::Programs:
            return kPrograms;
        case FolderKind::Games:
            return kGames;
        case FolderKind::Pictures:
            return kPictures;
        case FolderKind::Music:
            return kMusic;
        case FolderKind::Videos:
            return kVideos;
        case FolderKind::Downloads:
            return kDownloads;
        case FolderKind::AppData:
            return kAppData;
        case FolderKind::Temp:
            return kTemp;
        case FolderKind::Fonts:
            return kFonts;
        case FolderKind::Installer:
            return kInstaller;
        case FolderKind::Logs:
            return kLogs;
        case FolderKind::Backup:
            return kBackup;
        case FolderKind::Root:
        case FolderKind::Users:
        case FolderKind::UserHome:
        case FolderKind::Documents:
            break;
    }
    return kDocuments;
}

std::wstring_view Pick(Words words, std::uint32_t seed) {
    return words[seed % words.size()];
}

std::wstring Digits(std::uint32_t value, int width) {
    wchar_t text[16] = {};
    std::swprintf(text, 16, L"%0*u", width, value);
    return text;
}

std::wstring HexDigits(std::uint32_t value, int width) {
    wchar_t text[16] = {};
    std::swprintf(text, 16, L"%0*x", width, value);
    return text;
}

std::uint32_t Year(std::uint32_t seed) {
    return 2008 + seed % 17;
}

}  // namespace

std::wstring FolderName(FolderKind kind, std::uint32_t seed) {
    const Vocabulary& vocabulary = VocabularyOf(kind);
    if (kind == FolderKind::Installer || kind == FolderKind::Temp) {
        if ((seed >> 12) % 2 == 0) {
            return L"{" + HexDigits(seed, 8) + L"}";
        }
    }
    std::wstring name(Pick(vocabulary.folders, seed));
    if ((kind == FolderKind::Programs || kind == FolderKind::Games) && (seed >> 12) % 2 == 0) {
        return std::wstring(Pick(kBrands, seed >> 16)) + L" " + name;
    }
    if (vocabulary.datedFolders && (seed >> 12) % 3 != 0) {
        name += L" " + std::to_wstring(Year(seed >> 16));
    }
    return name;
}

std::wstring FileName(FolderKind kind, std::uint32_t seed, std::uint64_t sizeBytes) {
    const Vocabulary& vocabulary = VocabularyOf(kind);
    const Words extensions = sizeBytes < 64 * 1024         ? vocabulary.small
                             : sizeBytes < 8 * 1024 * 1024 ? vocabulary.medium
                                                           : vocabulary.large;
    const std::wstring_view extension = Pick(extensions, seed >> 24);
    std::wstring name(Pick(vocabulary.stems, seed));
    switch (vocabulary.style) {
        case Style::Compound:
            name += Pick(vocabulary.stems, seed >> 8);
            if ((seed >> 16) % 3 == 0) {
                name += L"32";
            }
            break;
        case Style::Titled:
            switch ((seed >> 8) % 5) {
                case 0:
                    name += L" " + std::to_wstring(Year(seed >> 12));
                    break;
                case 1:
                    name += L" (" + std::to_wstring(2 + (seed >> 12) % 7) + L")";
                    break;
                case 2:
                    name += L"_final";
                    break;
                case 3:
                    name += L" " + Digits((seed >> 12) % 1000, 3);
                    break;
                default:
                    break;
            }
            break;
        case Style::Numbered:
            name += Digits((seed >> 8) % 10000, 4);
            break;
        case Style::Hex:
            name += HexDigits((seed >> 8) & 0xFFFFFF, 6);
            break;
        case Style::Fixed:
            break;
    }
    name += extension;
    return name;
}

}  // namespace vantrel::defragsvc
