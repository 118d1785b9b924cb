// TVistelo: reading show files, chunk by chunk.

#include "core/VisteloNPics.h"

#include "core/Blendings.h"
#include "core/ZOFileWinTypes.h"
#include "platform/rtl/Streams.h"

#include <algorithm>
#include <array>

namespace {

// Smallest stored size of one entry of the picture list chunk: two empty
// strings, five bools and a colour.
constexpr std::int64_t MinPictureListEntrySize = 4 + 4 + 5 + 4;
// Size of the placement rectangle and of the random-transition set.
constexpr std::int32_t PlacementRectSize = 40;
constexpr std::int32_t RandomBlendingCount = 32;
// Header of a thumbnail chunk before the JPEG bytes: chunk header, index, DateSum.
constexpr std::int32_t ThumbnailChunkHeaderSize = 12 + 4 + 4;

TPlacementRectExt ReadPlacementRect(c_zofilewintypes& File)
{
    std::array<std::uint8_t, PlacementRectSize> bytes{};
    File.read_data(bytes.data(), PlacementRectSize);
    return VisteloNPics::PlacementRectFromBytes(bytes);
}

// A count that announces items of at least MinItemSize bytes each; more than
// the rest of the file can hold is damage.
std::int32_t ReadCount(c_zofilewintypes& File, std::int64_t MinItemSize)
{
    const std::int32_t count = File.read_int();
    if (count > 0 && count > File.bytes_left() / MinItemSize)
        File.error(zoErrRead);
    return count;
}

} // namespace

TVisteloLoadResult TVistelo::LoadFromFile(const std::string& FileName, bool OnlyInfo, bool NoThumbnails)
{
    Clear();
    try {
        c_zofilewintypes file(FileName, zoRead);
        if (file.header.format != VisteloFileFormat)
            return dlrNoVSF;
        Clear();
        ClearConfig();
        ReadChunks(file, OnlyInfo, NoThumbnails);
        return dlrOK;
    } catch (const EZOFileError&) {
        ClearConfig();
        return LoadFromFileOld(FileName) ? dlrOK : dlrNoVSF;
    } catch (const std::exception&) {
        // Anything else (no memory, a picture that cannot be kept) still
        // leaves a usable empty show and a result instead of an exception.
        Clear();
        ClearConfig();
        return dlrNoVSF;
    }
}

void TVistelo::ReadChunks(c_zofilewintypes& File, bool OnlyInfo, bool NoThumbnails)
{
    for (std::int32_t i = 0; i < File.chunkcount; ++i) {
        const std::int64_t start = File.get_file_position();
        s_chunk_header chunk;
        File.read_chunk_header(chunk);
        if (OnlyInfo) {
            if (chunk.id == VisteloInfoChunk)
                ReadInfoChunk(File);
        } else {
            switch (chunk.id) {
            case VisteloConfigChunk: ReadConfigChunk(File); break;
            case VisteloPictureListChunk: ReadPictureListChunk(File); break;
            case VisteloPictureDetailsChunk: ReadPictureDetailsChunk(File); break;
            case VisteloThumbnailChunk:
                if (!NoThumbnails)
                    ReadThumbnailChunk(File, chunk.length);
                break;
            case VisteloStringListsChunk: ReadStringListsChunk(File); break;
            case VisteloInfoChunk: ReadInfoChunk(File); break;
            case VisteloAboutChunk: ReadAboutChunk(File); break;
            default: break;
            }
        }
        File.set_file_position(start + chunk.length);
    }
}

void TVistelo::ReadConfigChunk(c_zofilewintypes& File)
{
    Pause = File.read_int();
    RandomOrder = File.read_bool(); // the order is rebuilt when the entries arrive
    ShowFilenameInNavigationBar = File.read_bool();
    ShowNoDescription = File.read_bool();
    StartFullScreen = File.read_bool();
    ShowNavigationBar = File.read_bool();
    ShowCommentsBox = File.read_bool();
    PlayMusic = File.read_bool();
    MusicFileNames = File.read_string();
    AutoRewind = File.read_bool();
    UseBlendings = File.read_bool();
    // Every show replaces the process-wide set; files before 512 allow all.
    Blendings::RandomAll();
    const std::int32_t version = File.header.fileformatversion;
    if (version < 512)
        return;

    const std::int32_t stored = File.read_int();
    if (stored < 0)
        File.error(zoErrRead);
    std::array<std::uint8_t, RandomBlendingCount> flags{};
    const std::int32_t used = std::min(stored, RandomBlendingCount);
    File.read_data(flags.data(), used);
    for (std::int32_t i = 0; i < used; ++i)
        Blendings::RandomBlendings[static_cast<size_t>(i)] = flags[static_cast<size_t>(i)] != 0;
    File.Skip(stored - used);

    AutoStartMusic = File.read_bool();
    AutoStartSound = File.read_bool();
    DontBreakMusic = File.read_bool();
    LogoFilename = File.read_string();
    Logo = VisteloNPics::ReadEnum(File, lUserLogo, lStdLogo);
    StartImmediately = File.read_bool();
    EndAction = VisteloNPics::ReadEnum(File, deOK, deAutoRepeat);
    StopSoundBeforeBlending = File.read_bool();
    LogoPause = File.read_int();
    File.read_int(); // the editor's catalog thumbnail width and height
    File.read_int();
    ManualExitToo = File.read_bool();
    ScaleFontToScreen = File.read_bool();
    ReferenceWidth = File.read_int();
    ReferenceHeight = File.read_int();
    ShowPleaseWait = File.read_bool();
    if (version > 512)
        File.read_bool(); // reserved
}

void TVistelo::ReadPictureListChunk(c_zofilewintypes& File)
{
    const std::int32_t count = ReadCount(File, MinPictureListEntrySize);
    Pictures.reserve(static_cast<size_t>(std::max(count, Count)));
    for (std::int32_t i = 0; i < count; ++i) {
        auto entry = std::make_unique<TPicInfoObject>();
        entry->FileName = File.read_string();
        entry->Comments = File.read_string();
        entry->ShowImage = File.read_bool();
        entry->Stretch = File.read_bool();
        entry->Proportions = File.read_bool();
        entry->Center = File.read_bool();
        entry->ShowComments = File.read_bool();
        File.read_TColor(entry->BackgroundColor);
        PutReadEntry(i, std::move(entry));
    }
    if (count > 0)
        SetRandomOrder(RandomOrder);
}

void TVistelo::ReadPictureDetailsChunk(c_zofilewintypes& File)
{
    // Only entries of the picture list can take details; records beyond them
    // are stepped over with the rest of the chunk.
    const std::int32_t count = std::min(File.read_int(), Count);
    for (std::int32_t i = 0; i < count; ++i) {
        TPicInfoObject& entry = *Pictures[static_cast<size_t>(i)];
        entry.CommentAlignment = VisteloNPics::ReadEnum(File, caRight, caLeft);
        entry.CommentPlacement = VisteloNPics::ReadEnum(File, cpUser, cpPictureBottom);
        entry.CommentUserPlacement = ReadPlacementRect(File);
        entry.CommentEffects = VisteloNPics::ReadEnum(File, ce3DBorder, ceBorder);
        File.read_TColor(entry.EffectColor1);
        File.read_TColor(entry.EffectColor2);
        File.read_TFont(entry.CommentFont);
        entry.CommentFontHeight = File.read_int();
        entry.Pause = File.read_int();
        entry.Blending = File.read_int();
        entry.Keywords = File.read_string();
        entry.Sound = File.read_string();
        entry.SynchronizeWithSound = VisteloNPics::ReadEnum(File, ssSync, ssSync);
        entry.RepeatSound = File.read_bool();
        entry.DontStopSound = File.read_bool();
        entry.Placement = VisteloNPics::ReadEnum(File, spUser, spCenter);
        entry.PicPlacement = ReadPlacementRect(File);
        entry.SizePercent = VisteloNPics::ReadEnum(File, pWindow, pNone);
    }
}

void TVistelo::ReadThumbnailChunk(c_zofilewintypes& File, std::int32_t ChunkLength)
{
    const std::int32_t index = File.read_int();
    const std::int32_t dateSum = File.read_int();
    if (ChunkLength < ThumbnailChunkHeaderSize)
        File.error(zoErrRead);
    TPicInfoObject* entry = GetPicInfo(index);
    if (entry == nullptr)
        return; // a thumbnail of an entry the show does not have
    entry->DateSum = dateSum;
    entry->Thumbnail.SetThumbnail(nullptr);
    const std::vector<std::uint8_t> bytes = File.read_bytes(ChunkLength - ThumbnailChunkHeaderSize);
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.SetPosition(0);
    auto thumbnail = std::make_unique<TThumbnailJPEGImage>();
    thumbnail->LoadFromStream(stream);
    entry->Thumbnail.SetThumbnail(std::move(thumbnail));
    HasThumbnails = true;
}

void TVistelo::ReadStringListsChunk(c_zofilewintypes& File)
{
    if (StringLists)
        StringLists->Clear();
    else
        StringLists = std::make_unique<TStringList>();
    StringLists->OwnsObjects = true;
    // Each entry holds at least its line count and its name's length.
    const std::int32_t count = ReadCount(File, 8);
    for (std::int32_t i = 0; i < count; ++i) {
        auto lines = std::make_unique<TStringList>();
        const std::int32_t lineCount = ReadCount(File, 4);
        for (std::int32_t k = 0; k < lineCount; ++k)
            lines->Add(File.read_string());
        const std::string name = File.read_string();
        StringLists->AddObject(name, lines.release());
    }
}

void TVistelo::ReadInfoChunk(c_zofilewintypes& File)
{
    InfoTitle = File.read_string();
    InfoText = File.read_string();
    InfoValue = File.read_int();
    File.read_JPEG(InfoPicture);
}

void TVistelo::ReadAboutChunk(c_zofilewintypes& File) { AboutText = File.read_string(); }
