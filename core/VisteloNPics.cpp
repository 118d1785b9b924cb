#include "core/VisteloNPics.h"

#include "core/Blendings.h"
#include "core/PictureLoading.h"
#include "core/Setup.h"
#include "core/ZOFileWinTypes.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Math.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/WinPaths.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <utility>

IMPLEMENT_CLASS(TThumbnailJPEGImage)
IMPLEMENT_CLASS(TPicInfoObject)
IMPLEMENT_CLASS(TVistelo)

namespace VisteloNPics {

std::function<std::string(const std::string& StoredName, const std::string& ShowFile)> ResolvePictureName =
    &PictureLoading::RelFileName;
std::function<std::unique_ptr<TBitmap>(const TPicInfoObject& Entry, std::int32_t Width, std::int32_t Height)>
    DrawThumbnailPicture = &PictureLoading::DrawThumbnail;

std::array<std::uint8_t, 40> PlacementRectToBytes(const TPlacementRectExt& Rect)
{
    std::array<std::uint8_t, 40> bytes{};
    rtl::DoubleToExtended(Rect.Left, &bytes[0]);
    rtl::DoubleToExtended(Rect.Top, &bytes[10]);
    rtl::DoubleToExtended(Rect.Right, &bytes[20]);
    rtl::DoubleToExtended(Rect.Bottom, &bytes[30]);
    return bytes;
}

TPlacementRectExt PlacementRectFromBytes(const std::array<std::uint8_t, 40>& Bytes)
{
    return {rtl::ExtendedToDouble(&Bytes[0]), rtl::ExtendedToDouble(&Bytes[10]), rtl::ExtendedToDouble(&Bytes[20]),
            rtl::ExtendedToDouble(&Bytes[30])};
}

std::int32_t CompareText(const std::string& A, const std::string& B)
{
    const auto fold = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - ('a' - 'A') : int{c}; };
    const size_t common = std::min(A.size(), B.size());
    for (size_t i = 0; i < common; ++i) {
        const int difference = fold(static_cast<unsigned char>(A[i])) - fold(static_cast<unsigned char>(B[i]));
        if (difference != 0)
            return difference;
    }
    return static_cast<std::int32_t>(A.size()) - static_cast<std::int32_t>(B.size());
}

TStringList* NamedStringList(const TStringList& StringLists, int Index)
{
    return dynamic_cast<TStringList*>(StringLists.Objects(Index));
}

} // namespace VisteloNPics

namespace {

std::unique_ptr<TFont> DefaultCommentFont()
{
    auto font = std::make_unique<TFont>();
    font->SetName("Arial");
    font->SetSize(14);
    font->SetColor(clWhite);
    return font;
}

// A new outer list of named string lists holding copies of the source's.
std::unique_ptr<TStringList> CopyStringLists(const TStringList& Source)
{
    auto copy = std::make_unique<TStringList>();
    copy->OwnsObjects = true;
    for (int i = 0; i < Source.Count(); ++i) {
        std::unique_ptr<TStringList> lines;
        if (const TStringList* sourceLines = VisteloNPics::NamedStringList(Source, i)) {
            lines = std::make_unique<TStringList>();
            lines->Assign(sourceLines);
        }
        copy->AddObject(Source.Strings(i), lines.release());
    }
    return copy;
}

} // namespace

// ---------------------------------------------------------------------------
// TThumbNailData, TPicInfoObject

void TThumbNailData::ClearBitmapData()
{
    if (thumbnail_)
        thumbnail_->ClearDIB();
}

TPicInfoObject::TPicInfoObject()
    : ShowImage(Setup::stdShowImage), Stretch(Setup::stdStretch), Proportions(Setup::stdProportions),
      Center(Setup::stdCenter), ShowComments(Setup::stdShowComments), CommentFont(DefaultCommentFont()),
      BackgroundColor(Setup::stdBackgroundColor)
{ }

TPicInfoObject::~TPicInfoObject() { Thumbnail.ClearBitmapData(); }

void TPicInfoObject::Assign(const TPersistent* Source)
{
    const auto* source = dynamic_cast<const TPicInfoObject*>(Source);
    if (source == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (source == this)
        return;
    FileName = source->FileName;
    Comments = source->Comments;
    ShowImage = source->ShowImage;
    Stretch = source->Stretch;
    Proportions = source->Proportions;
    Center = source->Center;
    ShowComments = source->ShowComments;
    CommentAlignment = source->CommentAlignment;
    CommentPlacement = source->CommentPlacement;
    CommentUserPlacement = source->CommentUserPlacement;
    CommentEffects = source->CommentEffects;
    EffectColor1 = source->EffectColor1;
    EffectColor2 = source->EffectColor2;
    if (!source->CommentFont)
        CommentFont.reset();
    else if (CommentFont)
        CommentFont->Assign(*source->CommentFont);
    else
        CommentFont = std::make_unique<TFont>(*source->CommentFont);
    CommentFontHeight = source->CommentFontHeight;
    BackgroundColor = source->BackgroundColor;
    Pause = source->Pause;
    Blending = source->Blending;
    if (const TThumbnailJPEGImage* sourceThumbnail = source->Thumbnail.GetThumbnail()) {
        if (Thumbnail.GetThumbnail() == nullptr)
            Thumbnail.SetThumbnail(std::make_unique<TThumbnailJPEGImage>());
        Thumbnail.GetThumbnail()->Assign(sourceThumbnail);
    } else {
        Thumbnail.SetThumbnail(nullptr);
    }
    DateSum = source->DateSum;
    Keywords = source->Keywords;
    Sound = source->Sound;
    SynchronizeWithSound = source->SynchronizeWithSound;
    RepeatSound = source->RepeatSound;
    DontStopSound = source->DontStopSound;
    Placement = source->Placement;
    PicPlacement = source->PicPlacement;
    SizePercent = source->SizePercent;
    Flags = source->Flags;
}

bool TPicInfoObject::CreateThumbNail(std::int32_t Width, std::int32_t Height, bool CheckFresh, bool Rebuild)
{
    Flags |= pfThumbnailChecked;
    std::int32_t newSum = -1;
    if (DateSum == -1 || Thumbnail.GetThumbnail() == nullptr || CheckFresh || Rebuild) {
        const std::string resolved = VisteloNPics::ResolvePictureName
            ? VisteloNPics::ResolvePictureName(FileName, Setup::VisteloFilename)
            : std::string();
        newSum = Setup::CalcDateSum(resolved, true);
        Rebuild = Rebuild || newSum != DateSum;
    }
    if (Thumbnail.GetThumbnail() != nullptr && !Rebuild)
        return false;

    Thumbnail.SetThumbnail(nullptr);
    std::unique_ptr<TBitmap> bitmap;
    if (VisteloNPics::DrawThumbnailPicture)
        bitmap = VisteloNPics::DrawThumbnailPicture(*this, Width, Height);
    if (!bitmap)
        return true;

    auto thumbnail = std::make_unique<TThumbnailJPEGImage>();
    thumbnail->Assign(bitmap.get());
    thumbnail->JPEGNeeded();
    thumbnail->ClearDIB();
    Thumbnail.SetThumbnail(std::move(thumbnail));
    if (newSum != -1)
        DateSum = newSum;
    return true;
}

// ---------------------------------------------------------------------------
// TVistelo: entries, order and settings

TVistelo::TVistelo() { ClearConfig(); }

TVistelo::~TVistelo() = default;

void TVistelo::Clear()
{
    Pictures.clear();
    Order.clear();
    Count = 0;
    CurrentIndex = -1;
}

void TVistelo::ClearConfig()
{
    SetRandomOrder(Setup::stdRandomOrder);
    StringLists.reset();
    InfoPicture.reset();
    HasThumbnails = false;
    InfoText.clear();
    InfoTitle.clear();
    InfoValue = -1;
    AboutText.clear();
    Pause = Setup::stdPause;
    ShowFilenameInNavigationBar = Setup::stdShowFilenameInNavigationBar;
    ShowPleaseWait = true;
    ShowNoDescription = Setup::stdShowNoDescription;
    StartFullScreen = Setup::stdStartFullScreen;
    ShowNavigationBar = Setup::stdShowNavigationBar;
    ShowCommentsBox = Setup::stdShowCommentsBox;
    PlayMusic = false;
    MusicFileNames.clear();
    AutoRewind = true;
    AutoStartMusic = true;
    AutoStartSound = true;
    UseBlendings = true;
    LogoFilename.clear();
    Logo = lStdLogo;
    StartImmediately = true;
    EndAction = deAutoRepeat;
    ManualExitToo = false;
    DontBreakMusic = true;
    StopSoundBeforeBlending = false;
    LogoPause = 5000;
    ScaleFontToScreen = true;
    ReferenceWidth = -1;
    ReferenceHeight = -1;
}

TPicInfoObject* TVistelo::GetPicInfo(std::int32_t Index) const
{
    if (Index < 0 || Index >= Count)
        return nullptr;
    return Pictures[static_cast<size_t>(Index)].get();
}

std::int32_t TVistelo::GetOrder(std::int32_t Position) const
{
    if (Position < 0 || Position >= Count)
        return -1;
    return Order[static_cast<size_t>(Position)];
}

void TVistelo::SetOrder(std::int32_t Position, std::int32_t Value)
{
    if (Position >= 0 && Position < Count)
        Order[static_cast<size_t>(Position)] = Value;
}

TPicInfoObject* TVistelo::Dia() const { return GetPicInfo(GetOrder(CurrentIndex)); }

bool TVistelo::Next()
{
    if (CurrentIndex + 1 < Count) {
        ++CurrentIndex;
        return true;
    }
    CurrentIndex = 0;
    return false;
}

bool TVistelo::Prev()
{
    if (CurrentIndex - 1 >= 0) {
        --CurrentIndex;
        return true;
    }
    CurrentIndex = Count - 1;
    return false;
}

std::int32_t TVistelo::NextNr(std::int32_t Position) const { return Position + 1 < Count ? Position + 1 : 0; }

void TVistelo::SetRandomOrder(bool Value)
{
    RandomOrder = Value;
    Order.assign(static_cast<size_t>(Count), 0);
    if (!Value) {
        std::iota(Order.begin(), Order.end(), 0);
        return;
    }
    // Draw the remaining indices one by one: a uniform permutation, new on
    // every call.
    std::vector<std::int32_t> remainingIndices(static_cast<size_t>(Count));
    std::iota(remainingIndices.begin(), remainingIndices.end(), 0);
    for (std::int32_t remaining = Count, i = 0; remaining > 0; --remaining, ++i) {
        const auto k = static_cast<size_t>(rtl::Random(remaining));
        Order[static_cast<size_t>(i)] = remainingIndices[k];
        remainingIndices[k] = remainingIndices[static_cast<size_t>(remaining - 1)];
    }
}

void TVistelo::GrowTo(std::int32_t NewCount)
{
    Pictures.reserve(static_cast<size_t>(NewCount));
    while (Count < NewCount) {
        Pictures.push_back(std::make_unique<TPicInfoObject>());
        ++Count;
    }
    SetRandomOrder(RandomOrder);
}

void TVistelo::PutReadEntry(std::int32_t Index, std::unique_ptr<TPicInfoObject> Entry)
{
    // Readers store entries at index 0, 1, ... and rebuild the order once
    // when they are done, not for every new entry as SetPicInfo does.
    if (Index < Count) {
        Pictures[static_cast<size_t>(Index)]->Assign(Entry.get());
        return;
    }
    Pictures.push_back(std::move(Entry));
    Order.push_back(Count);
    ++Count;
}

TPicInfoObject* TVistelo::SetPicInfo(std::int32_t Index, const TPicInfoObject& Entry)
{
    if (Index < 0)
        return nullptr;
    if (Index >= Count)
        GrowTo(Index + 1);
    TPicInfoObject* stored = Pictures[static_cast<size_t>(Index)].get();
    stored->Assign(&Entry);
    return stored;
}

std::int32_t TVistelo::AddDia(const TPicInfoObject& Entry)
{
    const std::int32_t index = Count;
    SetPicInfo(index, Entry);
    return index;
}

void TVistelo::AssignConfig(const TVistelo& Other)
{
    if (&Other == this)
        return;
    SetRandomOrder(Other.RandomOrder);
    Pause = Other.Pause;
    ShowFilenameInNavigationBar = Other.ShowFilenameInNavigationBar;
    ShowPleaseWait = Other.ShowPleaseWait;
    ShowNoDescription = Other.ShowNoDescription;
    StartFullScreen = Other.StartFullScreen;
    ShowNavigationBar = Other.ShowNavigationBar;
    ShowCommentsBox = Other.ShowCommentsBox;
    PlayMusic = Other.PlayMusic;
    MusicFileNames = Other.MusicFileNames;
    AutoRewind = Other.AutoRewind;
    UseBlendings = Other.UseBlendings;
    AutoStartMusic = Other.AutoStartMusic;
    AutoStartSound = Other.AutoStartSound;
    LogoFilename = Other.LogoFilename;
    Logo = Other.Logo;
    LogoPause = Other.LogoPause;
    StopSoundBeforeBlending = Other.StopSoundBeforeBlending;
    StartImmediately = Other.StartImmediately;
    DontBreakMusic = Other.DontBreakMusic;
    EndAction = Other.EndAction;
    ManualExitToo = Other.ManualExitToo;
    // Only when the other show has lists: a show keeps its own otherwise.
    if (Other.StringLists)
        StringLists = CopyStringLists(*Other.StringLists);
    ScaleFontToScreen = Other.ScaleFontToScreen;
    ReferenceWidth = Other.ReferenceWidth;
    ReferenceHeight = Other.ReferenceHeight;
    InfoText = Other.InfoText;
    if (Other.InfoPicture) {
        if (!InfoPicture)
            InfoPicture = std::make_unique<TThumbnailJPEGImage>();
        InfoPicture->Assign(Other.InfoPicture.get());
    } else {
        InfoPicture.reset();
    }
    InfoTitle = Other.InfoTitle;
    InfoValue = Other.InfoValue;
    AboutText = Other.AboutText;
}

void TVistelo::Assign(const TPersistent* Source)
{
    const auto* source = dynamic_cast<const TVistelo*>(Source);
    if (source == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (source == this)
        return;
    AssignConfig(*source);
    // Appending one by one would rebuild the order for every entry; the
    // result is the same when the arrays grow once.
    const std::int32_t first = Count;
    GrowTo(Count + source->Count);
    for (std::int32_t i = 0; i < source->Count; ++i)
        Pictures[static_cast<size_t>(first + i)]->Assign(source->Pictures[static_cast<size_t>(i)].get());
}

void TVistelo::Sort(const TSortProc& Comparer)
{
    // All-pairs exchange. Entries are owned objects, so exchanging the
    // pointers gives the same arrangement as exchanging copies of them.
    for (size_t i = 0; i < Pictures.size(); ++i)
        for (size_t j = 0; j < Pictures.size(); ++j)
            if (Comparer(*Pictures[i], *Pictures[j]) < 0)
                std::swap(Pictures[i], Pictures[j]);
}

std::int32_t TVistelo::CompareNameUp(const TPicInfoObject& A, const TPicInfoObject& B)
{
    return VisteloNPics::CompareText(rtl::ExtractFileName(A.FileName), rtl::ExtractFileName(B.FileName));
}

std::int32_t TVistelo::CompareNameDown(const TPicInfoObject& A, const TPicInfoObject& B)
{
    return -CompareNameUp(A, B);
}

std::int32_t TVistelo::CompareExtUp(const TPicInfoObject& A, const TPicInfoObject& B)
{
    const std::int32_t byExtension = VisteloNPics::CompareText(rtl::ExtractFileExt(A.FileName),
                                                               rtl::ExtractFileExt(B.FileName));
    return byExtension != 0 ? byExtension : CompareNameUp(A, B);
}

std::int32_t TVistelo::CompareExtDown(const TPicInfoObject& A, const TPicInfoObject& B) { return -CompareExtUp(A, B); }
