#include "engine/sim/NameVocabulary.h"

#include <array>
#include <span>
#include <string_view>

namespace vantrel::engine::sim {
namespace {

using Words = std::span<const std::u16string_view>;

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

constexpr std::u16string_view kSystemFolders[] = {
    u"wbem",  u"spool",          u"catroot2",    u"Tasks",    u"oobe",          u"Speech",
    u"ras",   u"winevt",         u"LogFiles",    u"Sysprep",  u"CodeIntegrity", u"DriverStore",
    u"IME",   u"Boot",           u"Setup",       u"Recovery", u"en-US",         u"de-DE",
    u"fr-FR", u"FileRepository", u"GroupPolicy", u"migration"};
constexpr std::u16string_view kSystemStems[] = {
    u"net", u"shell", u"crypt", u"user", u"gdi",  u"win",   u"svc",   u"host",  u"core",  u"mgr",
    u"ui",  u"api",   u"cfg",   u"srv",  u"auth", u"print", u"audio", u"video", u"input", u"power",
    u"dx",  u"ole",   u"com",   u"sec",  u"wlan", u"usb",   u"disk",  u"font",  u"time",  u"task"};
constexpr std::u16string_view kSystemSmall[] = {u".dll", u".mui", u".inf",
                                                u".cat", u".xml", u".dat"};
constexpr std::u16string_view kSystemMedium[] = {u".dll", u".exe", u".sys", u".dll", u".cpl"};
constexpr std::u16string_view kSystemLarge[] = {u".dll", u".dat", u".cab", u".etl"};

constexpr std::u16string_view kHiveStems[] = {u"SYSTEM",  u"SOFTWARE",   u"SAM",     u"SECURITY",
                                              u"DEFAULT", u"COMPONENTS", u"DRIVERS", u"BBI"};
constexpr std::u16string_view kHiveEndings[] = {u"", u".LOG1", u".LOG2"};

constexpr std::u16string_view kProgramFolders[] = {
    u"Studio",    u"Editor", u"Viewer",  u"Player",     u"Tools",     u"Runtime", u"Plugins",
    u"Resources", u"Shared", u"Modules", u"bin",        u"lib",       u"locales", u"Updates",
    u"Help",      u"Data",   u"Assets",  u"Extensions", u"Templates", u"Samples"};
constexpr std::u16string_view kBrands[] = {u"Blue",   u"Bright", u"Cloud", u"Delta",
                                           u"Echo",   u"Nova",   u"Pixel", u"Quick",
                                           u"Silver", u"Swift",  u"Terra", u"Vector"};
constexpr std::u16string_view kProgramStems[] = {
    u"app",  u"core",   u"render", u"update", u"sync",  u"media", u"codec",  u"plugin",
    u"net",  u"ui",     u"data",   u"crash",  u"help",  u"setup", u"launch", u"engine",
    u"font", u"report", u"print",  u"locale", u"cache", u"view"};
constexpr std::u16string_view kProgramSmall[] = {u".dll", u".json", u".xml", u".ini",
                                                 u".png", u".qm",   u".js",  u".css"};
constexpr std::u16string_view kProgramMedium[] = {u".dll", u".exe", u".pak", u".dat", u".bin"};
constexpr std::u16string_view kProgramLarge[] = {u".pak", u".dat", u".bin", u".dll", u".cab"};

constexpr std::u16string_view kGameFolders[] = {u"Saves",  u"Maps",   u"Textures", u"Sounds",
                                                u"Levels", u"Mods",   u"Shaders",  u"Movies",
                                                u"Config", u"Engine", u"Content",  u"Localization"};
constexpr std::u16string_view kGameStems[] = {u"level", u"world", u"sound", u"music", u"texture",
                                              u"model", u"intro", u"patch", u"save",  u"shader",
                                              u"voice", u"map",   u"data",  u"game",  u"ui"};
constexpr std::u16string_view kGameSmall[] = {u".cfg", u".ini", u".sav", u".json", u".lua"};
constexpr std::u16string_view kGameMedium[] = {u".dll", u".exe", u".ogg", u".bnk", u".pak"};
constexpr std::u16string_view kGameLarge[] = {u".pak", u".bnk", u".arc", u".big", u".dat"};

constexpr std::u16string_view kDocumentFolders[] = {
    u"Invoices", u"Taxes",     u"Letters", u"Reports",   u"School", u"Recipes",
    u"Travel",   u"Work",      u"Archive", u"Insurance", u"Car",    u"House",
    u"Bank",     u"Contracts", u"Manuals", u"Club",      u"Health", u"Notes"};
constexpr std::u16string_view kDocumentStems[] = {
    u"Invoice",   u"Budget",  u"Report",       u"Letter",    u"Notes",  u"Summary",
    u"Draft",     u"Minutes", u"Resume",       u"Plan",      u"Offer",  u"Contract",
    u"Statement", u"Receipt", u"Presentation", u"Checklist", u"Agenda", u"Timetable"};
constexpr std::u16string_view kDocumentSmall[] = {u".txt", u".docx", u".odt", u".rtf", u".csv"};
constexpr std::u16string_view kDocumentMedium[] = {u".pdf", u".docx", u".xlsx", u".pptx"};
constexpr std::u16string_view kDocumentLarge[] = {u".pdf", u".pptx", u".zip", u".pst"};

constexpr std::u16string_view kPictureFolders[] = {
    u"Holiday", u"Family",    u"Camera Roll", u"Screenshots", u"Wedding", u"Birthday",
    u"Garden",  u"Christmas", u"Summer",      u"Trip",        u"Scans",   u"Friends"};
constexpr std::u16string_view kPictureStems[] = {u"IMG_",        u"DSC",   u"PXL_",
                                                 u"Screenshot ", u"Scan ", u"P"};
constexpr std::u16string_view kPictureSmall[] = {u".png", u".jpg", u".ini"};
constexpr std::u16string_view kPictureMedium[] = {u".jpg", u".png", u".heic", u".jpg"};
constexpr std::u16string_view kPictureLarge[] = {u".mp4", u".mov", u".raw", u".tif"};

constexpr std::u16string_view kMusicFolders[] = {
    u"Album",    u"Live", u"Collection", u"Favourites", u"Podcasts", u"Soundtracks",
    u"Classics", u"Jazz", u"Rock",       u"Audiobooks", u"Singles",  u"Playlists"};
constexpr std::u16string_view kMusicStems[] = {u"Track ", u"Episode ", u"Chapter ", u"Side "};
constexpr std::u16string_view kMusicSmall[] = {u".m3u", u".jpg", u".txt", u".cue"};
constexpr std::u16string_view kMusicMedium[] = {u".mp3", u".m4a", u".flac", u".ogg"};
constexpr std::u16string_view kMusicLarge[] = {u".flac", u".wav", u".mp3", u".m4b"};

constexpr std::u16string_view kVideoFolders[] = {u"Holiday",    u"Family",    u"Clips",
                                                 u"Recordings", u"Movies",    u"Series",
                                                 u"Lectures",   u"Tutorials", u"Concerts"};
constexpr std::u16string_view kVideoStems[] = {u"Clip ", u"Recording ", u"Episode ", u"VID_",
                                               u"Part "};
constexpr std::u16string_view kVideoSmall[] = {u".srt", u".jpg", u".nfo"};
constexpr std::u16string_view kVideoMedium[] = {u".mp4", u".mov", u".avi"};
constexpr std::u16string_view kVideoLarge[] = {u".mp4", u".mkv", u".avi", u".mov"};

constexpr std::u16string_view kDownloadFolders[] = {u"Software", u"Drivers", u"Archives",
                                                    u"Manuals", u"Wallpapers"};
constexpr std::u16string_view kDownloadStems[] = {u"setup",   u"installer", u"archive", u"document",
                                                  u"driver",  u"update",    u"manual",  u"photo",
                                                  u"invoice", u"tools"};
constexpr std::u16string_view kDownloadSmall[] = {u".pdf", u".txt", u".jpg", u".torrent"};
constexpr std::u16string_view kDownloadMedium[] = {u".exe", u".msi", u".zip", u".pdf"};
constexpr std::u16string_view kDownloadLarge[] = {u".iso", u".zip", u".exe", u".7z"};

constexpr std::u16string_view kAppDataFolders[] = {
    u"Cache",         u"Logs",      u"Settings",  u"Profiles",      u"Packages",
    u"Crash Reports", u"IndexedDB", u"GPUCache",  u"Local Storage", u"Sessions",
    u"Extensions",    u"Default",   u"User Data", u"databases",     u"Thumbnails"};
constexpr std::u16string_view kAppDataStems[] = {
    u"data",  u"index",   u"cache",   u"settings", u"history",    u"cookies",
    u"state", u"session", u"journal", u"metadata", u"thumbcache", u"store"};
constexpr std::u16string_view kAppDataSmall[] = {u".json", u".log", u".ldb", u".tmp", u".dat"};
constexpr std::u16string_view kAppDataMedium[] = {u".db", u".sqlite", u".dat", u".pack"};
constexpr std::u16string_view kAppDataLarge[] = {u".db", u".dat", u".pack", u".edb"};

constexpr std::u16string_view kTempFolders[] = {u"tmp", u"Low", u"Diagnostics", u"Setup"};
constexpr std::u16string_view kTempStems[] = {u"~tmp", u"~DF", u"tmp", u"setup_"};
constexpr std::u16string_view kTempSmall[] = {u".tmp", u".log", u".etl"};
constexpr std::u16string_view kTempMedium[] = {u".tmp", u".cab", u".msi"};
constexpr std::u16string_view kTempLarge[] = {u".tmp", u".cab", u".zip"};

constexpr std::u16string_view kFontStems[] = {u"sans",    u"serif",     u"mono",  u"script",
                                              u"display", u"condensed", u"round", u"slab"};
constexpr std::u16string_view kFontExtensions[] = {u".ttf", u".otf", u".ttf", u".fon"};

constexpr std::u16string_view kInstallerStems[] = {u""};
constexpr std::u16string_view kInstallerSmall[] = {u".msp", u".ico"};
constexpr std::u16string_view kInstallerMedium[] = {u".msi", u".msp"};

constexpr std::u16string_view kLogFolders[] = {u"Setup", u"Update", u"Servicing", u"Restore",
                                               u"Diagnostics"};
constexpr std::u16string_view kLogStems[] = {u"setup",   u"update", u"servicing", u"system",
                                             u"install", u"trace",  u"diag",      u"boot"};
constexpr std::u16string_view kLogSmall[] = {u".log", u".txt", u".etl"};
constexpr std::u16string_view kLogLarge[] = {u".log", u".etl", u".cab"};

constexpr std::u16string_view kBackupFolders[] = {u"Full",  u"Incremental", u"Phone",   u"Laptop",
                                                  u"Daily", u"Weekly",      u"Monthly", u"Photos"};
constexpr std::u16string_view kBackupStems[] = {u"Backup", u"Image", u"Export", u"Snapshot"};
constexpr std::u16string_view kBackupSmall[] = {u".txt", u".xml", u".log"};
constexpr std::u16string_view kBackupMedium[] = {u".zip", u".7z", u".bak"};
constexpr std::u16string_view kBackupLarge[] = {u".bak", u".img", u".vhdx", u".zip"};

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

std::u16string_view Pick(Words words, std::uint32_t seed) {
    return words[seed % words.size()];
}

// The value in `base` with at least `width` digits, zero-padded.
std::u16string Digits(std::uint32_t value, int width, std::uint32_t base = 10) {
    std::u16string text;
    do {
        text.insert(text.begin(), u"0123456789abcdef"[value % base]);
        value /= base;
    } while (value != 0);
    while (static_cast<int>(text.size()) < width) {
        text.insert(text.begin(), u'0');
    }
    return text;
}

std::u16string HexDigits(std::uint32_t value, int width) {
    return Digits(value, width, 16);
}

std::u16string Number(std::uint32_t value) {
    return Digits(value, 1);
}

std::uint32_t Year(std::uint32_t seed) {
    return 2008 + seed % 17;
}

}  // namespace

std::u16string FolderName(FolderKind kind, std::uint32_t seed) {
    const Vocabulary& vocabulary = VocabularyOf(kind);
    if (kind == FolderKind::Installer || kind == FolderKind::Temp) {
        if ((seed >> 12) % 2 == 0) {
            return u"{" + HexDigits(seed, 8) + u"}";
        }
    }
    std::u16string name(Pick(vocabulary.folders, seed));
    if ((kind == FolderKind::Programs || kind == FolderKind::Games) && (seed >> 12) % 2 == 0) {
        return std::u16string(Pick(kBrands, seed >> 16)) + u" " + name;
    }
    if (vocabulary.datedFolders && (seed >> 12) % 3 != 0) {
        name += u" " + Number(Year(seed >> 16));
    }
    return name;
}

std::u16string FileName(FolderKind kind, std::uint32_t seed, std::uint64_t sizeBytes) {
    const Vocabulary& vocabulary = VocabularyOf(kind);
    const Words extensions = sizeBytes < 64 * 1024         ? vocabulary.small
                             : sizeBytes < 8 * 1024 * 1024 ? vocabulary.medium
                                                           : vocabulary.large;
    const std::u16string_view extension = Pick(extensions, seed >> 24);
    std::u16string name(Pick(vocabulary.stems, seed));
    switch (vocabulary.style) {
        case Style::Compound:
            name += Pick(vocabulary.stems, seed >> 8);
            if ((seed >> 16) % 3 == 0) {
                name += u"32";
            }
            break;
        case Style::Titled:
            switch ((seed >> 8) % 5) {
                case 0:
                    name += u" " + Number(Year(seed >> 12));
                    break;
                case 1:
                    name += u" (" + Number(2 + (seed >> 12) % 7) + u")";
                    break;
                case 2:
                    name += u"_final";
                    break;
                case 3:
                    name += u" " + Digits((seed >> 12) % 1000, 3);
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

}  // namespace vantrel::engine::sim
