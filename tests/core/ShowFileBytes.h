#pragma once

// Test support: show files (".vsf") and old "KWTB" show files written byte by
// byte, field by field in the editor's layout, never through the system's
// own writer. Every value differs from the model's defaults, so a field that
// is read into the wrong place or not at all shows.

#include "ContainerBytes.h"
#include "core/VisteloNPics.h"
#include "platform/graphics/Bitmap.h"

#include <sys/resource.h>

#include <csignal>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ShowFileBytes {

using ContainerBytes::Bytes;

// 80-bit extended floats, little-endian.
inline const std::vector<std::uint8_t> ExtZero(10, 0);
inline const std::vector<std::uint8_t> ExtQuarter{0, 0, 0, 0, 0, 0, 0, 0x80, 0xFD, 0x3F};
inline const std::vector<std::uint8_t> ExtHalf{0, 0, 0, 0, 0, 0, 0, 0x80, 0xFE, 0x3F};
inline const std::vector<std::uint8_t> ExtThreeQuarters{0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFE, 0x3F};
inline const std::vector<std::uint8_t> ExtOne{0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F};
inline const std::vector<std::uint8_t> ExtMinusTwo{0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0};

inline std::vector<std::uint8_t> Rect(const std::vector<std::uint8_t>& left, const std::vector<std::uint8_t>& top,
                                      const std::vector<std::uint8_t>& right, const std::vector<std::uint8_t>& bottom)
{
    std::vector<std::uint8_t> bytes;
    for (const auto* part : {&left, &top, &right, &bottom})
        bytes.insert(bytes.end(), part->begin(), part->end());
    return bytes;
}

// The font field for Arial 14 pt, white, bold and italic.
inline Bytes ArialFontField() { return Bytes().I32(22).I32(22).I32(0xFFFFFF).I32(5).Raw("Arial").I32(14).U8(3); }

// Values of chunk 256. RandomBlendings: effect n allowed when n is a multiple of 3.
struct Settings {
    std::int32_t Pause = 3000;
    bool RandomOrder = false;
    bool ShowFilenameInNavigationBar = false;
    bool ShowNoDescription = true;
    bool StartFullScreen = false;
    bool ShowNavigationBar = false;
    bool ShowCommentsBox = true;
    bool PlayMusic = true;
    std::string MusicFileNames = "a.mp3\r\nb.mid\r\n";
    bool AutoRewind = false;
    bool UseBlendings = false;
    std::array<std::uint8_t, 32> RandomBlendings = [] {
        std::array<std::uint8_t, 32> flags{};
        for (size_t i = 0; i < flags.size(); ++i)
            flags[i] = i % 3 == 0 ? 1 : 0;
        return flags;
    }();
    bool AutoStartMusic = false;
    bool AutoStartSound = false;
    bool DontBreakMusic = false;
    std::string LogoFilename = "logo.bmp";
    std::uint8_t Logo = 2;
    bool StartImmediately = false;
    std::uint8_t EndAction = 3;
    bool StopSoundBeforeBlending = true;
    std::int32_t LogoPause = 7000;
    std::int32_t ThumbWidth = 111;
    std::int32_t ThumbHeight = 222;
    bool ManualExitToo = true;
    bool ScaleFontToScreen = false;
    std::int32_t ReferenceWidth = 800;
    std::int32_t ReferenceHeight = 600;
    bool ShowPleaseWait = false;
};

// How the end of chunk 256 is laid out.
enum class ConfigTail {
    Editor,      // reserved byte and 16 reserved words (the editor's layout)
    OneByteOnly, // just one further byte
    None,        // nothing after ShowPleaseWait
};

// Chunk 256 for a file of `version`; blendingCount is the announced size of
// the random-transition set (bytes beyond 32 are 0xEE).
inline Bytes ConfigPayload(const Settings& s, std::int32_t version, std::int32_t blendingCount = 32,
                           ConfigTail tail = ConfigTail::Editor)
{
    Bytes b;
    b.I32(s.Pause).U8(s.RandomOrder).U8(s.ShowFilenameInNavigationBar).U8(s.ShowNoDescription);
    b.U8(s.StartFullScreen).U8(s.ShowNavigationBar).U8(s.ShowCommentsBox).U8(s.PlayMusic);
    b.Str(s.MusicFileNames).U8(s.AutoRewind).U8(s.UseBlendings);
    if (version < 512)
        return b;
    b.I32(blendingCount);
    for (std::int32_t i = 0; i < blendingCount; ++i)
        b.U8(i < 32 ? s.RandomBlendings[static_cast<size_t>(i)] : 0xEE);
    b.U8(s.AutoStartMusic).U8(s.AutoStartSound).U8(s.DontBreakMusic).Str(s.LogoFilename).U8(s.Logo);
    b.U8(s.StartImmediately).U8(s.EndAction).U8(s.StopSoundBeforeBlending).I32(s.LogoPause);
    b.I32(s.ThumbWidth).I32(s.ThumbHeight).U8(s.ManualExitToo).U8(s.ScaleFontToScreen);
    b.I32(s.ReferenceWidth).I32(s.ReferenceHeight).U8(s.ShowPleaseWait);
    if (tail != ConfigTail::None)
        b.U8(0);
    if (tail == ConfigTail::Editor)
        for (int i = 0; i < 16; ++i)
            b.I32(0);
    return b;
}

// One picture entry, for chunks 257 and 258.
struct Entry {
    std::string FileName = "Bilder\\b.jpg";
    std::string Comments = "Gr\xFC\xDF"
                           "e"; // "Grüße" in Windows-1252
    bool ShowImage = false;
    bool Stretch = false;
    bool Proportions = false;
    bool Center = false;
    bool ShowComments = false;
    std::int32_t BackgroundColor = 0x123456;
    std::uint8_t CommentAlignment = 2;
    std::uint8_t CommentPlacement = 5;
    std::vector<std::uint8_t> CommentUserPlacement = Rect(ExtQuarter, ExtHalf, ExtThreeQuarters, ExtOne);
    std::uint8_t CommentEffects = 3;
    std::int32_t EffectColor1 = 0x0000FF;
    std::int32_t EffectColor2 = static_cast<std::int32_t>(0x80000005);
    Bytes Font = ArialFontField();
    std::int32_t CommentFontHeight = 20;
    std::int32_t Pause = 1500;
    std::int32_t Blending = 17;
    std::string Keywords = "Urlaub Meer";
    std::string Sound = "ton.wav";
    std::uint8_t SynchronizeWithSound = 1;
    bool RepeatSound = true;
    bool DontStopSound = true;
    std::uint8_t Placement = 9;
    std::vector<std::uint8_t> PicPlacement = Rect(ExtZero, ExtQuarter, ExtMinusTwo, ExtHalf);
    std::uint8_t SizePercent = 2;
};

inline Bytes PictureListPayload(const std::vector<Entry>& entries)
{
    Bytes b;
    b.I32(static_cast<std::int32_t>(entries.size()));
    for (const Entry& e : entries) {
        b.Str(e.FileName).Str(e.Comments).U8(e.ShowImage).U8(e.Stretch).U8(e.Proportions).U8(e.Center);
        b.U8(e.ShowComments).I32(e.BackgroundColor);
    }
    return b;
}

inline Bytes DetailsRecord(const Entry& e)
{
    Bytes b;
    b.U8(e.CommentAlignment).U8(e.CommentPlacement).Raw(e.CommentUserPlacement).U8(e.CommentEffects);
    b.I32(e.EffectColor1).I32(e.EffectColor2).Raw(e.Font.data).I32(e.CommentFontHeight).I32(e.Pause);
    b.I32(e.Blending).Str(e.Keywords).Str(e.Sound).U8(e.SynchronizeWithSound).U8(e.RepeatSound);
    b.U8(e.DontStopSound).U8(e.Placement).Raw(e.PicPlacement).U8(e.SizePercent);
    return b;
}

inline Bytes DetailsPayload(const std::vector<Entry>& entries)
{
    Bytes b;
    b.I32(static_cast<std::int32_t>(entries.size()));
    for (const Entry& e : entries)
        b.Raw(DetailsRecord(e).data);
    return b;
}

inline Bytes InfoPayload(const std::string& title, const std::string& text, std::int32_t value,
                         const std::vector<std::uint8_t>& jpeg)
{
    return Bytes().Str(title).Str(text).I32(value).I32(static_cast<std::int32_t>(jpeg.size())).Raw(jpeg);
}

inline Bytes ThumbnailPayload(std::int32_t index, std::int32_t dateSum, const std::vector<std::uint8_t>& jpeg)
{
    return Bytes().I32(index).I32(dateSum).Raw(jpeg);
}

// Chunk 273 with the lists {"Farben": rot, grün} and {"Leer": none}.
inline Bytes StringListsPayload()
{
    return Bytes().I32(2).I32(2).Str("rot").Str("gr\xFCn").Str("Farben").I32(0).Str("Leer");
}

// A container of the show-file kind holding the given chunks, in order.
inline Bytes ShowFile(std::int32_t version, const std::vector<std::pair<std::int32_t, Bytes>>& chunks,
                      std::int32_t format = 1281)
{
    Bytes file;
    file.Header(version, format, static_cast<std::int32_t>(chunks.size()), version);
    for (const auto& [id, payload] : chunks)
        file.Chunk(id, payload);
    return file;
}

// Bytes standing in for JPEG streams: the readers keep them as stored.
inline std::vector<std::uint8_t> FakeJpeg(std::uint8_t seed, size_t length)
{
    std::vector<std::uint8_t> bytes{0xFF, 0xD8, 0xFF, 0xE0};
    while (bytes.size() < length)
        bytes.push_back(static_cast<std::uint8_t>(seed + bytes.size()));
    return bytes;
}

// A complete version-513 show of two entries as the editor writes it, with
// string lists and a thumbnail for entry 1 only.
inline Bytes FullShowFile()
{
    Entry first;
    Entry second;
    second.FileName = "C:\\Fotos\\a.JPG";
    second.Comments = "";
    second.ShowImage = true;
    second.Font = Bytes().I32(-1);
    second.Placement = 0;
    return ShowFile(513,
                    {{275, Bytes().Str("\xA9 2001 Ostrelind")},
                     {256, ConfigPayload(Settings(), 513)},
                     {274, InfoPayload("Ferien", "Sommer am Meer", 2, FakeJpeg(1, 40))},
                     {257, PictureListPayload({first, second})},
                     {258, DetailsPayload({first, second})},
                     {273, StringListsPayload()},
                     {272, ThumbnailPayload(1, 4711, FakeJpeg(2, 30))}});
}

// A real thumbnail of a black picture, compressed by the graphics layer.
inline std::unique_ptr<TThumbnailJPEGImage> SmallJpeg(int width, int height)
{
    TBitmap bitmap(width, height);
    auto jpeg = std::make_unique<TThumbnailJPEGImage>();
    jpeg->Assign(&bitmap);
    jpeg->JPEGNeeded();
    return jpeg;
}

// An old-format show: "KWTB", version, pause, six flags, the count, records.
inline Bytes KwtbFile(std::uint16_t version = 258)
{
    Bytes b;
    b.Raw("KWTB").U16(version);
    b.I32(3000).U8(1).U8(0).U8(1).U8(0).U8(0).U8(1).I32(2);
    b.Str("eins.jpg").Str("Erstes Bild").U8(1).U8(0).U8(1).U8(0).U8(1).I32(0x00FF00);
    b.Str("D:\\zwei.bmp").Str("").U8(0).U8(1).U8(0).U8(1).U8(0).I32(0x0000FF);
    return b;
}

// Runs body while this process may write files of at most limit bytes: a
// write beyond fails (EFBIG) instead of raising SIGXFSZ. Saves that fail
// half-way are made this way, which binds root too.
template <typename Body> void WithFileSizeLimit(rlim_t limit, Body body)
{
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &limited);
    body();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler);
}

} // namespace ShowFileBytes
