#include "editor/app/VisteloSetup.h"

#include "core/Setup.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/Registry.h"

#include <array>
#include <type_traits>
#include <variant>
#include <vector>

namespace VisteloSetup {

bool ShowPreview = true;
bool KeepPreviewProportions = true;
bool ConfirmExit = true;
bool DoublePicsCheck = true;
bool AnimateLogo = true;
bool ConvertDescriptionsTags = true;
bool HTMLAddCopyright = true;
std::string PicDir;
std::string VisteloDir;
bool ScanAssistImportToVistelo = true;
TJPEGCompressionWord ScanAssistJPEGCompression = JPEGCompressionWord::MakeJPEGCompressionWord(100, false);
bool ScanAssistTargaCompression = true;
bool ScanAssistDontAskAnymore = false;
std::int32_t ScanAssistPicFormat = 0;
bool CatalogSaveThumbNailsInVistelo = true;
bool CatalogDropDropSorting = true;
TJPEGCompressionWord CatalogThumbnailJPEGCompression = JPEGCompressionWord::MakeJPEGCompressionWord(30, false);
std::int32_t SoundSampleRate = 22050;
std::int32_t SoundSampleSize = 16;
bool SoundStereo = false;
bool SoundUseUserDir = false;
std::string SoundUserDir;
bool VexaPaintAutoPreview = false;

namespace {

// A folder preference that keeps the home folder while no value is stored.
struct FolderPreference {
    std::string* Variable;
};

using PreferenceVariable = std::variant<bool*, std::int32_t*, std::string*, FolderPreference, TJPEGCompressionWord*>;

struct Preference {
    const char* Name;
    PreferenceVariable Variable;
};

// Every preference in the order it is read and written. The scanner's
// import switch is stored twice, as it always was.
std::vector<Preference> Preferences()
{
    using namespace Setup;
    return {
        {"ShowPreview", &ShowPreview},
        {"KeepPreviewProportions", &KeepPreviewProportions},
        {"SmoothScale", &SmoothScale},
        {"ConfirmExit", &ConfirmExit},
        {"DoublePicsCheck", &DoublePicsCheck},
        {"AnimateLogo", &AnimateLogo},
        {"HideMouseCursor", &HideMouseCursor},
        {"BackgroundVisteloPrefs", &BackgroundVisteloPrefs},
        {"BackgroundSaveChange", &BackgroundSaveChange},
        {"DragFilenames", &DragFilenames},
        {"ShowErrorInShow", &ShowErrorInShow},
        {"DragManyPicsUseFilenames", &DragManyPicsUseFilenames},
        {"ConvertDescriptionsTags", &ConvertDescriptionsTags},
        {"SpeedUpJPEGPreview", &SpeedUpJPEGPreview},
        {"HTMLAddCopyright", &HTMLAddCopyright},
        {"LowMemory", &LowMemory},
        {"PicDir", FolderPreference{&PicDir}},
        {"VisteloDir", FolderPreference{&VisteloDir}},
        {"ForceUseInternalMP3Player", &ForceUseInternalMP3Player},
        {"ScanAssistImportToVistelo", &ScanAssistImportToVistelo},
        {"ScanAssistJPEGCompression", &ScanAssistJPEGCompression},
        {"ScanAssistTargaCompression", &ScanAssistTargaCompression},
        {"ScanAssistImportToVistelo", &ScanAssistImportToVistelo},
        {"ScanAssistDontAskAnymore", &ScanAssistDontAskAnymore},
        {"ScanAssistPicFormat", &ScanAssistPicFormat},
        {"CatalogThumbWidth", &CatalogThumbWidth},
        {"CatalogThumbHeight", &CatalogThumbHeight},
        {"CatalogShowFilename", &CatalogShowFilename},
        {"CatalogSaveThumbNailsInVistelo", &CatalogSaveThumbNailsInVistelo},
        {"CatalogMarkDropTarget", &CatalogMarkDropTarget},
        {"CatalogDropDropSorting", &CatalogDropDropSorting},
        {"CatalogMarkDontShow", &CatalogMarkDontShow},
        {"CatalogThumbnailJPEGCompression", &CatalogThumbnailJPEGCompression},
        {"SoundSampleRate", &SoundSampleRate},
        {"SoundSampleSize", &SoundSampleSize},
        {"SoundStereo", &SoundStereo},
        {"SoundUseUserDir", &SoundUseUserDir},
        {"SoundUserDir", &SoundUserDir},
        {"VexaPaintAutoPreview", &VexaPaintAutoPreview},
        {"StdPause", &stdPause},
        {"StdRandomOrder", &stdRandomOrder},
        {"StdShowFilenameInNavigationBar", &stdShowFilenameInNavigationBar},
        {"StdShowNoDescription", &stdShowNoDescription},
        {"StdStartFullScreen", &stdStartFullScreen},
        {"StdShowNavigationBar", &stdShowNavigationBar},
        {"StdShowCommentsBox", &stdShowCommentsBox},
    };
}

// A settings word is stored as two bytes: the progressive switch, then the
// quality.
TJPEGCompressionWord ReadWord(TRegistry& registry, const char* name)
{
    if (registry.GetDataType(name) != rdBinary || registry.GetDataSize(name) != 2)
        throw ERegistryException(std::string("Not a settings word: ") + name);
    std::array<std::uint8_t, 2> bytes{};
    registry.ReadBinaryData(name, bytes.data(), 2);
    return static_cast<TJPEGCompressionWord>(bytes[1] << 8 | bytes[0]);
}

void WriteWord(TRegistry& registry, const char* name, TJPEGCompressionWord word)
{
    const std::array<std::uint8_t, 2> bytes{static_cast<std::uint8_t>(word & 0xFF),
                                            static_cast<std::uint8_t>(word >> 8)};
    registry.WriteBinaryData(name, bytes.data(), 2);
}

// Reads one value into its variable; raises (and leaves the variable) when
// the value is missing or of another type.
void ReadPreference(TRegistry& registry, const Preference& preference)
{
    const char* name = preference.Name;
    std::visit(
        [&](auto variable) {
            using T = decltype(variable);
            if constexpr (std::is_same_v<T, bool*>)
                *variable = registry.ReadBool(name);
            else if constexpr (std::is_same_v<T, std::int32_t*>)
                *variable = registry.ReadInteger(name);
            else if constexpr (std::is_same_v<T, std::string*>)
                *variable = registry.ReadString(name);
            else if constexpr (std::is_same_v<T, FolderPreference>) {
                if (registry.ValueExists(name))
                    *variable.Variable = registry.ReadString(name);
            } else
                *variable = ReadWord(registry, name);
        },
        preference.Variable);
}

void WritePreference(TRegistry& registry, const Preference& preference)
{
    const char* name = preference.Name;
    std::visit(
        [&](auto variable) {
            using T = decltype(variable);
            if constexpr (std::is_same_v<T, bool*>)
                registry.WriteBool(name, *variable);
            else if constexpr (std::is_same_v<T, std::int32_t*>)
                registry.WriteInteger(name, *variable);
            else if constexpr (std::is_same_v<T, std::string*>)
                registry.WriteString(name, *variable);
            else if constexpr (std::is_same_v<T, FolderPreference>)
                registry.WriteString(name, *variable.Variable);
            else
                WriteWord(registry, name, *variable);
        },
        preference.Variable);
}

// The folders start at the home folder, which is known only once the
// shared settings have started.
void DefaultFoldersToHome()
{
    if (PicDir.empty())
        PicDir = Setup::HomeDir;
    if (VisteloDir.empty())
        VisteloDir = Setup::HomeDir;
}

// Opens the editor's key and hands every preference to the step; a value that
// fails (missing, of another type, not writable) is passed over alone.
void ForEachPreference(void (*step)(TRegistry&, const Preference&))
{
    DefaultFoldersToHome();
    TRegistry registry;
    registry.SetRootKey(HKEY_CURRENT_USER);
    try {
        if (!registry.OpenKey(VisteloRegistryKey, true))
            return;
    } catch (const std::exception&) {
        return;
    }
    for (const Preference& preference : Preferences()) {
        try {
            step(registry, preference);
        } catch (const std::exception&) {
            // Read: the variable keeps its value. Written: the others still are.
        }
    }
    registry.CloseKey();
}

} // namespace

void LoadPreferences()
{
    ForEachPreference(ReadPreference);
}

void SavePreferences()
{
    ForEachPreference(WritePreference);
}

void WritePlayerIni(const std::string& FileName)
{
    try {
        TIniFile ini(FileName);
        ini.WriteBool(PlayerIniSection, "SmoothScale", Setup::SmoothScale);
        ini.WriteBool(PlayerIniSection, "ShowErrorInShow", Setup::ShowErrorInShow);
        ini.WriteBool(PlayerIniSection, "DontShowInfoBtn", Setup::DontShowInfoBtn);
        ini.WriteBool(PlayerIniSection, "ForceUseInternalMP3Player", Setup::ForceUseInternalMP3Player);
    } catch (const std::exception&) {
        // The player then keeps its previous switches.
    }
}

} // namespace VisteloSetup
