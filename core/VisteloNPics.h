#pragma once

// The show model: one picture entry (TPicInfoObject) and the show
// (TVistelo) that owns an array of them, its play order, its current play
// position and the show-wide settings, read from show files by
// TVistelo::LoadFromFile. The enumerations below are stored as single bytes
// in show files; their ordinals are part of the file format.
//
// Sources: VisteloNPics.cpp (entries, order, settings), .Reading (show
// files), .OldFormat (the old flat show files).

#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Jpeg.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/StringList.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TBitmap;
class c_zofilewintypes;

enum TCommentEffects : std::uint8_t { ceNone, ceBorder, ceShadow, ce3DBorder };
enum TCommentAlignment : std::uint8_t { caCenter, caLeft, caRight };
enum TCommentPlacement : std::uint8_t {
    cpPictureTop,
    cpPictureMiddle,
    cpPictureBottom,
    cpNavBar,
    cpPictureCaption,
    cpUser
};
enum TSpecialPlacement : std::uint8_t {
    spCenter,
    spTopLeft,
    spTopCenter,
    spTopRight,
    spRightCenter,
    spBottomRight,
    spBottomCenter,
    spBottomLeft,
    spLeftCenter,
    spUser
};
enum TSizePercent : std::uint8_t { pNone, pPicture, pWindow };
enum TSoundSync : std::uint8_t { ssNoSync, ssSyncExact, ssSync };

enum TLogo : std::uint8_t { lNoLogo, lStdLogo, lUserLogo };
// A show uses 0-5; 6-8 are the end actions of a show list.
enum TWhatToDoWhenVisteloEnds : std::uint8_t {
    deAutoRepeat,
    deAutoLoadNextVistelo,
    deExitImmediately,
    deRepeatVistelo,
    deRepeatOrLoadVistelo,
    deRepeatOrNextVistelo,
    deListLikeShow,
    deListAutoLoadNext,
    deListChooseVistelo,
    deOK
};
enum TWhatToDoWhenVisteloListStarts : std::uint8_t { dlsShowList, dlsPlayFirstVistelo };
enum TVisteloLoadResult : std::uint8_t { dlrOK, dlrNoVSF };

// Container format and layout version of show files.
constexpr std::int32_t VisteloFileFormat = 1281;
constexpr std::int32_t VisteloFileVersion = 513;

// Chunk ids of show files.
constexpr std::int32_t VisteloConfigChunk = 256;
constexpr std::int32_t VisteloPictureListChunk = 257;
constexpr std::int32_t VisteloPictureDetailsChunk = 258;
constexpr std::int32_t VisteloThumbnailChunk = 272;
constexpr std::int32_t VisteloStringListsChunk = 273;
constexpr std::int32_t VisteloInfoChunk = 274;
constexpr std::int32_t VisteloAboutChunk = 275;

// Flags bit set by every CreateThumbNail call.
constexpr std::uint32_t pfThumbnailChecked = 2;

// A rectangle as fractions of an output area (0 = left/top edge, 1 =
// right/bottom edge). Stored as four 80-bit extended floats.
struct TPlacementRectExt {
    double Left = 0;
    double Top = 0;
    double Right = 0;
    double Bottom = 0;

    friend bool operator==(const TPlacementRectExt&, const TPlacementRectExt&) = default;
};

// A JPEG that can drop its decoded pixels and keep only the compressed bytes.
class TThumbnailJPEGImage : public TJPEGImage {
    DECLARE_CLASS(TThumbnailJPEGImage, TJPEGImage)
public:
    void ClearDIB() { FreeBitmap(); }
};

// Holder of an entry's thumbnail (owned, or none).
class TThumbNailData {
public:
    TThumbnailJPEGImage* GetThumbnail() const { return thumbnail_.get(); }
    // Replaces the thumbnail; the previous one is freed.
    void SetThumbnail(std::unique_ptr<TThumbnailJPEGImage> Thumbnail) { thumbnail_ = std::move(Thumbnail); }
    void ClearBitmapData();

private:
    std::unique_ptr<TThumbnailJPEGImage> thumbnail_;
};

// One picture of a show. New entries take their defaults from the std...
// settings of unit Setup at the moment they are created.
class TPicInfoObject : public TPersistent {
    DECLARE_CLASS(TPicInfoObject, TPersistent)
public:
    TPicInfoObject();
    ~TPicInfoObject() override;
    TPicInfoObject(const TPicInfoObject&) = delete;
    TPicInfoObject& operator=(const TPicInfoObject&) = delete;

    // Copies every field from another entry: the font and the thumbnail
    // deeply. Any other source raises EConvertError.
    void Assign(const TPersistent* Source) override;

    // Makes or refreshes the thumbnail within Width x Height. Returns true
    // when it tried to load the picture (whether or not that worked), false
    // when the existing thumbnail was still fresh.
    bool CreateThumbNail(std::int32_t Width, std::int32_t Height, bool CheckFresh, bool Rebuild);

    std::string FileName; // as stored: absolute, or relative to the show file
    std::string Comments;
    bool ShowImage;
    bool Stretch;
    bool Proportions;
    bool Center;
    bool ShowComments;
    TCommentAlignment CommentAlignment = caLeft;
    TCommentPlacement CommentPlacement = cpPictureBottom;
    TPlacementRectExt CommentUserPlacement{0, 0, 1, 1};
    TCommentEffects CommentEffects = ceBorder;
    TColor EffectColor1 = 0;
    TColor EffectColor2 = 0;
    std::unique_ptr<TFont> CommentFont;  // none only when a file stored none
    std::int32_t CommentFontHeight = -1; // -1: the font's own size
    TColor BackgroundColor;
    std::int32_t Pause = -1;   // ms; -1: the show's pause
    std::int32_t Blending = 1; // transition number; 1: a random enabled one
    TThumbNailData Thumbnail;
    std::int32_t DateSum = -1; // freshness stamp of the thumbnail; -1: none
    std::string Keywords;
    std::string Sound;
    TSoundSync SynchronizeWithSound = ssSync;
    bool RepeatSound = false;
    bool DontStopSound = false;
    TSpecialPlacement Placement = spCenter;
    TPlacementRectExt PicPlacement{0, 0, 1, 1};
    TSizePercent SizePercent = pNone;
    std::uint32_t Flags = 0; // bit value 2: CreateThumbNail ran; 1: the editor's thumbnail loader
};

// Compares two entries; negative when A belongs before B.
using TSortProc = std::function<std::int32_t(const TPicInfoObject& A, const TPicInfoObject& B)>;

class TVistelo : public TPersistent {
    DECLARE_CLASS(TVistelo, TPersistent)
public:
    TVistelo();
    ~TVistelo() override;
    TVistelo(const TVistelo&) = delete;
    TVistelo& operator=(const TVistelo&) = delete;

    // Frees every entry; Count 0, CurrentIndex -1. The settings stay.
    void Clear();
    // Every setting to its default (the std... settings of unit Setup at
    // this moment); the entries stay.
    void ClearConfig();

    // The show's own entry at Index, or nullptr outside 0..Count-1.
    TPicInfoObject* GetPicInfo(std::int32_t Index) const;
    // The picture index at a play position, or -1 outside 0..Count-1.
    std::int32_t GetOrder(std::int32_t Position) const;
    void SetOrder(std::int32_t Position, std::int32_t Value);
    // The entry at the current play position, or nullptr.
    TPicInfoObject* Dia() const;
    // Next play position; false (and position 0) when the show wrapped.
    bool Next();
    // Previous play position; false (and the last position) when it wrapped.
    bool Prev();
    // The position after Position, wrapping to 0.
    std::int32_t NextNr(std::int32_t Position) const;
    // Sets RandomOrder and rebuilds Order: a fresh shuffle, or the identity.
    void SetRandomOrder(bool Value);
    // Stores a copy of Entry at Index, growing the show with default entries
    // when Index >= Count (the order is rebuilt then). Returns the stored
    // entry; nullptr for a negative Index.
    TPicInfoObject* SetPicInfo(std::int32_t Index, const TPicInfoObject& Entry);
    // Appends a copy of Entry; returns its index.
    std::int32_t AddDia(const TPicInfoObject& Entry);
    // Copies every setting of Other, not the entries. The named string
    // lists are copied deeply, so each show owns its own.
    void AssignConfig(const TVistelo& Other);
    // From another show: its settings, then copies of its entries appended.
    void Assign(const TPersistent* Source) override;
    // Reorders Pictures ascending by Comparer (all-pairs exchange, quadratic);
    // Order is left as it is.
    void Sort(const TSortProc& Comparer);

    static std::int32_t CompareNameUp(const TPicInfoObject& A, const TPicInfoObject& B);
    static std::int32_t CompareNameDown(const TPicInfoObject& A, const TPicInfoObject& B);
    static std::int32_t CompareExtUp(const TPicInfoObject& A, const TPicInfoObject& B);
    static std::int32_t CompareExtDown(const TPicInfoObject& A, const TPicInfoObject& B);

    // Reads a show file (or, when it is no container, the old "KWTB"
    // format). Never raises: a file that cannot be read gives dlrNoVSF.
    TVisteloLoadResult LoadFromFile(const std::string& FileName, bool OnlyInfo, bool NoThumbnails);
    // Reads the old flat show format; false when the file is not one.
    bool LoadFromFileOld(const std::string& FileName);

    std::vector<std::int32_t> Order; // play position -> index into Pictures
    std::int32_t Count = 0;
    std::vector<std::unique_ptr<TPicInfoObject>> Pictures;
    bool RandomOrder = false;
    std::int32_t CurrentIndex = -1;
    bool HasThumbnails = false;
    std::string InfoText;
    std::unique_ptr<TJPEGImage> InfoPicture;
    std::string InfoTitle;
    std::int32_t InfoValue = -1;
    std::string AboutText;
    std::int32_t Pause = 0;
    bool ShowFilenameInNavigationBar = false;
    bool ShowPleaseWait = true;
    bool ShowNoDescription = false;
    bool StartFullScreen = false;
    bool ShowNavigationBar = false;
    bool ShowCommentsBox = false;
    bool PlayMusic = false;
    std::string MusicFileNames; // one file per line, lines ended by CR LF
    bool AutoRewind = true;
    bool AutoStartMusic = true;
    bool AutoStartSound = true;
    bool UseBlendings = true;
    std::string LogoFilename;
    TLogo Logo = lStdLogo;
    bool StartImmediately = true;
    TWhatToDoWhenVisteloEnds EndAction = deAutoRepeat;
    bool ManualExitToo = false;
    bool DontBreakMusic = true;
    bool StopSoundBeforeBlending = false;
    std::int32_t LogoPause = 5000;
    // Named string lists: item text = name, item object = its TStringList
    // (owned by the outer list, or none). None until set or read.
    std::unique_ptr<TStringList> StringLists;
    bool ScaleFontToScreen = true;
    std::int32_t ReferenceWidth = -1;
    std::int32_t ReferenceHeight = -1;

private:
    void GrowTo(std::int32_t NewCount);
    void PutReadEntry(std::int32_t Index, std::unique_ptr<TPicInfoObject> Entry);
    void ReadChunks(c_zofilewintypes& File, bool OnlyInfo, bool NoThumbnails);
    void ReadConfigChunk(c_zofilewintypes& File);
    void ReadPictureListChunk(c_zofilewintypes& File);
    void ReadPictureDetailsChunk(c_zofilewintypes& File);
    void ReadThumbnailChunk(c_zofilewintypes& File, std::int32_t ChunkLength);
    void ReadStringListsChunk(c_zofilewintypes& File);
    void ReadInfoChunk(c_zofilewintypes& File);
    void ReadAboutChunk(c_zofilewintypes& File);
};

namespace VisteloNPics {

// How thumbnails find and draw their pictures: the picture-loading unit's
// routines, replaceable (tests put stand-ins here).
//
// The existing file that a stored picture name refers to, given the show file
// it belongs to; "" when there is none.
extern std::function<std::string(const std::string& StoredName, const std::string& ShowFile)> ResolvePictureName;
// The entry's picture loaded (no larger than Width x Height needs) and drawn
// proportionally fitted and centred into a new 24-bit bitmap of at most
// Width x Height; nullptr when it cannot be loaded.
extern std::function<std::unique_ptr<TBitmap>(const TPicInfoObject& Entry, std::int32_t Width, std::int32_t Height)>
    DrawThumbnailPicture;

// The 40 bytes of a placement rectangle in a show file and back.
std::array<std::uint8_t, 40> PlacementRectToBytes(const TPlacementRectExt& Rect);
TPlacementRectExt PlacementRectFromBytes(const std::array<std::uint8_t, 40>& Bytes);

// An enumeration byte read from a container; an ordinal the type does not
// have gives Fallback.
template <typename TEnum, typename TFile> TEnum ReadEnum(TFile& File, TEnum Last, TEnum Fallback)
{
    std::uint8_t ordinal = 0;
    File.read_data(&ordinal, 1);
    return ordinal <= Last ? static_cast<TEnum>(ordinal) : Fallback;
}

// Text comparison that folds only the letters A-Z; the signed difference of
// the first differing bytes (or of the lengths).
std::int32_t CompareText(const std::string& A, const std::string& B);

// A named string list of a show: the inner list of item Index, or nullptr.
TStringList* NamedStringList(const TStringList& StringLists, int Index);

} // namespace VisteloNPics
