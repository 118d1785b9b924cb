#include "editor/app/PicInfoUnit.h"

#include "core/Blendings.h"
#include "core/ContainerSave.h"
#include "core/Setup.h"
#include "core/ZOFileWinTypes.h"
#include "editor/app/VisteloSetup.h"

#include <array>

IMPLEMENT_CLASS(TConfigVistelo)

namespace {

// Reserved bytes at the end of the settings chunk: one byte, then 16 words.
constexpr int ReservedConfigWords = 16;

void WriteByte(c_zofilewintypes& File, std::uint8_t Value) { File.write_data(&Value, 1); }

void WritePlacementRect(c_zofilewintypes& File, const TPlacementRectExt& Rect)
{
    const std::array<std::uint8_t, 40> bytes = VisteloNPics::PlacementRectToBytes(Rect);
    File.write_data(bytes.data(), static_cast<std::int32_t>(bytes.size()));
}

// A thumbnail's bytes as saved shows keep them: compressed with the editor's
// thumbnail settings. Bytes that were compressed so already are taken as
// they are, so saving a loaded show again loses nothing more.
std::vector<std::uint8_t> ThumbnailBytes(TThumbnailJPEGImage& Thumbnail)
{
    const TJPEGCompressionWord word = VisteloSetup::CatalogThumbnailJPEGCompression;
    const std::vector<std::uint8_t>& stored = Thumbnail.Data();
    if (JPEGCompressionWord::IsCompressedWith(stored.data(), stored.size(), word))
        return stored;
    try {
        TJPEGImage recompressed;
        recompressed.Assign(&Thumbnail);
        JPEGCompressionWord::SetJPEGCompressionWord(recompressed, word);
        recompressed.Compress();
        return recompressed.Data();
    } catch (const EInvalidGraphic&) {
        // Bytes that do not decode cannot be compressed again; they are kept
        // as they came, rather than failing the whole save.
        return stored;
    }
}

} // namespace

bool TConfigVistelo::SaveToFile(const std::string& FileName) const
{
    try {
        ContainerSave::SaveContainer(FileName, {VisteloFileVersion, VisteloFileFormat, VisteloFileVersion},
                                     [this](c_zofilewintypes& file) {
                                         WriteAboutChunk(file);
                                         WriteConfigChunk(file);
                                         WriteInfoChunk(file);
                                         WritePictureListChunk(file);
                                         WritePictureDetailsChunk(file);
                                         if (StringLists && StringLists->Count() > 0)
                                             WriteStringListsChunk(file);
                                         if (VisteloSetup::CatalogSaveThumbNailsInVistelo)
                                             WriteThumbnailChunks(file);
                                     });
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void TConfigVistelo::WriteAboutChunk(c_zofilewintypes& File) const
{
    ContainerSave::WriteChunk(File, VisteloAboutChunk, [&] { File.write_string(AboutText); });
}

void TConfigVistelo::WriteConfigChunk(c_zofilewintypes& File) const
{
    ContainerSave::WriteChunk(File, VisteloConfigChunk, [&] {
        File.write_int(Pause);
        File.write_bool(RandomOrder);
        File.write_bool(ShowFilenameInNavigationBar);
        File.write_bool(ShowNoDescription);
        File.write_bool(StartFullScreen);
        File.write_bool(ShowNavigationBar);
        File.write_bool(ShowCommentsBox);
        File.write_bool(PlayMusic);
        File.write_string(MusicFileNames);
        File.write_bool(AutoRewind);
        File.write_bool(UseBlendings);
        const auto& randomBlendings = Blendings::RandomBlendings;
        File.write_int(static_cast<std::int32_t>(randomBlendings.size()));
        for (bool allowed : randomBlendings)
            File.write_bool(allowed);
        File.write_bool(AutoStartMusic);
        File.write_bool(AutoStartSound);
        File.write_bool(DontBreakMusic);
        File.write_string(LogoFilename);
        WriteByte(File, Logo);
        File.write_bool(StartImmediately);
        WriteByte(File, EndAction);
        File.write_bool(StopSoundBeforeBlending);
        File.write_int(LogoPause);
        File.write_int(Setup::CatalogThumbWidth);
        File.write_int(Setup::CatalogThumbHeight);
        File.write_bool(ManualExitToo);
        File.write_bool(ScaleFontToScreen);
        File.write_int(ReferenceWidth);
        File.write_int(ReferenceHeight);
        File.write_bool(ShowPleaseWait);
        WriteByte(File, 0);
        for (int i = 0; i < ReservedConfigWords; ++i)
            File.write_int(0);
    });
}

void TConfigVistelo::WriteInfoChunk(c_zofilewintypes& File) const
{
    ContainerSave::WriteChunk(File, VisteloInfoChunk, [&] {
        File.write_string(InfoTitle);
        File.write_string(InfoText);
        File.write_int(Count);
        File.write_JPEG(InfoPicture.get());
    });
}

void TConfigVistelo::WritePictureListChunk(c_zofilewintypes& File) const
{
    ContainerSave::WriteChunk(File, VisteloPictureListChunk, [&] {
        File.write_int(Count);
        for (const auto& entry : Pictures) {
            File.write_string(entry->FileName);
            File.write_string(entry->Comments);
            File.write_bool(entry->ShowImage);
            File.write_bool(entry->Stretch);
            File.write_bool(entry->Proportions);
            File.write_bool(entry->Center);
            File.write_bool(entry->ShowComments);
            File.write_TColor(entry->BackgroundColor);
        }
    });
}

void TConfigVistelo::WritePictureDetailsChunk(c_zofilewintypes& File) const
{
    ContainerSave::WriteChunk(File, VisteloPictureDetailsChunk, [&] {
        File.write_int(Count);
        for (const auto& entry : Pictures) {
            WriteByte(File, entry->CommentAlignment);
            WriteByte(File, entry->CommentPlacement);
            WritePlacementRect(File, entry->CommentUserPlacement);
            WriteByte(File, entry->CommentEffects);
            File.write_TColor(entry->EffectColor1);
            File.write_TColor(entry->EffectColor2);
            File.write_TFont(entry->CommentFont.get());
            File.write_int(entry->CommentFontHeight);
            File.write_int(entry->Pause);
            File.write_int(entry->Blending);
            File.write_string(entry->Keywords);
            File.write_string(entry->Sound);
            WriteByte(File, entry->SynchronizeWithSound);
            File.write_bool(entry->RepeatSound);
            File.write_bool(entry->DontStopSound);
            WriteByte(File, entry->Placement);
            WritePlacementRect(File, entry->PicPlacement);
            WriteByte(File, entry->SizePercent);
        }
    });
}

void TConfigVistelo::WriteStringListsChunk(c_zofilewintypes& File) const
{
    ContainerSave::WriteChunk(File, VisteloStringListsChunk, [&] {
        File.write_int(StringLists->Count());
        for (int i = 0; i < StringLists->Count(); ++i) {
            const TStringList* lines = VisteloNPics::NamedStringList(*StringLists, i);
            const int lineCount = lines ? lines->Count() : 0;
            File.write_int(lineCount);
            for (int k = 0; k < lineCount; ++k)
                File.write_string(lines->Strings(k));
            File.write_string(StringLists->Strings(i));
        }
    });
}

void TConfigVistelo::WriteThumbnailChunks(c_zofilewintypes& File) const
{
    for (std::int32_t i = 0; i < Count; ++i)
        if (Pictures[static_cast<size_t>(i)]->Thumbnail.GetThumbnail() != nullptr)
            WriteThumbnailChunk(File, i);
}

void TConfigVistelo::WriteThumbnailChunk(c_zofilewintypes& File, std::int32_t Index) const
{
    const TPicInfoObject& entry = *Pictures[static_cast<size_t>(Index)];
    const std::vector<std::uint8_t> jpeg = ThumbnailBytes(*entry.Thumbnail.GetThumbnail());
    ContainerSave::WriteChunk(File, VisteloThumbnailChunk, [&] {
        File.write_int(Index);
        File.write_int(entry.DateSum);
        File.write_data(jpeg.data(), static_cast<std::int32_t>(jpeg.size()));
    });
}
