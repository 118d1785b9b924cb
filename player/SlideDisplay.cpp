#include "player/SlideDisplay.h"

#include "core/Blendings.h"
#include "core/CommentText.h"
#include "core/PictureAhead.h"
#include "core/PictureLoading.h"
#include "core/Setup.h"
#include "core/ShowStepper.h"
#include "core/VisteloNPics.h"
#include "platform/graphics/CanvasText.h"
#include "platform/graphics/Picture.h"
#include "platform/graphics/TextEngine.h"
#include "platform/rtl/Files.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/ScrollBox.h"
#include "platform/ui/StdLabel.h"
#include "widgets/FileLbl.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>

std::int32_t OrigWidth = -1;
std::int32_t OrigHeight = -1;

using namespace Setup;
using PictureLoading::RelFileName;

namespace {

unsigned CommentFormat(TCommentAlignment alignment)
{
    switch (alignment) {
    case caCenter: return DT_WORDBREAK | DT_NOPREFIX | DT_CENTER;
    case caRight: return DT_WORDBREAK | DT_NOPREFIX | DT_RIGHT;
    default: return DT_WORDBREAK | DT_NOPREFIX | DT_LEFT;
    }
}

TAlignment LabelAlignment(TCommentAlignment alignment)
{
    switch (alignment) {
    case caCenter: return taCenter;
    case caRight: return taRightJustify;
    default: return taLeftJustify;
    }
}

void FillBitmap(TBitmap& bitmap, TColor colour)
{
    bitmap.Canvas().Brush.Color = colour;
    bitmap.Canvas().Brush.Style = bsSolid;
    bitmap.Canvas().FillRect(Rect(0, 0, bitmap.Width(), bitmap.Height()));
}

// The file name to load for a slide (its resolved file, else the name its
// entry stores).
const std::string& SlideFileName(const TPicInfoObject& entry, const std::string& file)
{
    return file.empty() ? entry.FileName : file;
}

// A picture scaled into its placement box never shows more pixels than the
// box has, so the loader may decode a JPEG at the coarsest scale that still
// covers the box: a large photo then costs a fraction of the decode time and
// memory. A picture shown at its own size, or sized relative to itself,
// keeps every pixel.
TLoadError LoadSlideSource(const TPicInfoObject& entry, const std::string& file, int areaWidth, int areaHeight,
                           TPicture& picture)
{
    return PictureLoading::LoadPicture(SlideFileName(entry, file), VisteloFilename, picture,
                                       PictureLoading::SlideLoadOptions(entry, areaWidth, areaHeight));
}

// The font files a show carries for a comment font: the named string list
// "1" + font name, whose lines starting with "1" name the files. Installed
// for the time of one comment.
class TShowFonts {
public:
    TShowFonts(const TVistelo& show, const TFont* font)
    {
        if (!show.StringLists || !font)
            return;
        const int index = show.StringLists->IndexOf("1" + font->Name());
        const TStringList* files = index < 0 ? nullptr : VisteloNPics::NamedStringList(*show.StringLists, index);
        if (!files)
            return;
        for (int i = 0; i < files->Count(); ++i) {
            const std::string& line = files->Strings(i);
            if (line.empty() || line[0] != '1')
                continue;
            const std::string file = RelFileName(line.substr(1), VisteloFilename);
            if (!file.empty() && gfx::AddFontFileToEngine(file))
                installed_ = true;
        }
    }
    ~TShowFonts()
    {
        if (installed_)
            gfx::RemoveAddedFontFiles();
    }
    TShowFonts(const TShowFonts&) = delete;
    TShowFonts& operator=(const TShowFonts&) = delete;

private:
    bool installed_ = false;
};

} // namespace

// The picture a slide is drawn from: loaded, made up, or none because the
// cache already holds the finished slide.
struct TSlideDisplay::TSlideRender {
    std::unique_ptr<TPicture> Picture;
    bool FromCache = false;
};

TSlideDisplay::~TSlideDisplay() = default;

TSlideDisplay::TSlideDisplay(TShowStepper& Stepper, TScrollBox& ScrollBox, TPaintBox& Image, TFileLabel& FilenameLabel,
                             TLabel& MessageLabel)
    : stepper_(Stepper), scrollBox_(ScrollBox), image_(Image), filenameLabel_(FilenameLabel),
      messageLabel_(MessageLabel)
{
    SlideBitmap = std::make_unique<TSmoothBitmap>(0, 0, pf24bit);
    SlideBitmap->Smooth = SmoothScale;
    scrollBox_.HandleNeeded();
    TCanvas& screen = *image_.Canvas();
    screen.Brush.Color = clBlack;
    screen.FillRect(image_.ClientRect());
}

void TSlideDisplay::Paint() { image_.Canvas()->Draw(0, 0, *SlideBitmap); }

void TSlideDisplay::Resize()
{
    if (!stepper_.Show)
        return;
    InvalidateNextBitmap();
    const TPicInfoObject* pic = stepper_.Show->Dia();
    if (!pic)
        return;
    SetDiaImageSize(*pic, *SlideBitmap);
    if (pic->Stretch && !FirstSlide)
        ShowPicture(false, false);
}

void TSlideDisplay::RedrawStretchedSlide()
{
    const TPicInfoObject* pic = stepper_.Show ? stepper_.Show->Dia() : nullptr;
    if (pic && pic->Stretch)
        ShowPicture(true, false);
}

void TSlideDisplay::SetDiaImageSize(const TPicInfoObject& Pic, const TBitmap& Bitmap)
{
    const TRect client = scrollBox_.ClientRect();
    scrollBox_.SetAutoScroll(!Pic.Stretch && (Bitmap.Width() > client.Width() || Bitmap.Height() > client.Height()));
    scrollBox_.HorzScrollBar().SetPosition(0);
    scrollBox_.VertScrollBar().SetPosition(0);
    image_.SetAlign(alClient);
    if (!Pic.Stretch)
        image_.SetAlign(alNone);
    image_.SetWidth(std::max(Bitmap.Width(), client.Width()));
    image_.SetHeight(std::max(Bitmap.Height(), client.Height()));
}

bool TSlideDisplay::CacheHolds(std::int32_t PictureIndex) const
{
    return NextBitmap && NextBitmapIndex == PictureIndex && NextBitmap->Width() == SlideBitmap->Width() &&
        NextBitmap->Height() == SlideBitmap->Height();
}

void TSlideDisplay::InvalidateNextBitmap()
{
    NextBitmap.reset();
    NextBitmapIndex = -1;
}

void TSlideDisplay::ForgetMissingPictures()
{
    missingPictures_.clear();
    firstMissingFile_.clear();
}

int TSlideDisplay::VisibleSlides() const
{
    int visible = 0;
    for (std::int32_t index = 0; index < Show().Count; ++index) {
        const TPicInfoObject* pic = Show().GetPicInfo(index);
        if (pic && pic->ShowImage)
            ++visible;
    }
    return visible;
}

bool TSlideDisplay::NoteMissingPicture(const std::string& File)
{
    if (missingPictures_.empty())
        firstMissingFile_ = File;
    missingPictures_.insert(stepper_.PictureOnScreen());
    return static_cast<int>(missingPictures_.size()) >= VisibleSlides();
}

void TSlideDisplay::ShowLoadingMessage(const TPicInfoObject& Pic, const std::string& File)
{
    filenameLabel_.SetFileName("");
    if (Pic.CommentPlacement != cpNavBar) {
        messageLabel_.SetAlignment(taRightJustify);
        if (Show().ShowFilenameInNavigationBar)
            messageLabel_.SetCaption(rtl::ExtractFileName(File) + " wird geladen... ");
        else if (Show().ShowPleaseWait)
            messageLabel_.SetCaption("Bitte warten, Bild wird geladen... ");
        else
            messageLabel_.SetCaption("");
    }
    filenameLabel_.Repaint();
    messageLabel_.Repaint();
}

void TSlideDisplay::ShowFileLabels(const TPicInfoObject& Pic, const std::string& File)
{
    if (Pic.CommentPlacement != cpNavBar)
        messageLabel_.SetCaption("");
    const bool commentInBar = Pic.CommentPlacement == cpNavBar && !Pic.Comments.empty();
    filenameLabel_.SetFileName(Show().ShowFilenameInNavigationBar && !commentInBar ? File : std::string());
}

bool TSlideDisplay::LoadSlidePicture(const TPicInfoObject& Pic, const std::string& File, TSlideRender& Render)
{
    Render.Picture = std::make_unique<TPicture>();
    if (Pic.FileName.empty()) {
        ForgetMissingPictures();
        TBitmap& plain = Render.Picture->Bitmap();
        plain.SetPixelFormat(pf24bit);
        plain.SetSize(image_.Width(), image_.Height());
        FillBitmap(plain, Pic.BackgroundColor);
        return true;
    }
    if (CacheHolds(stepper_.PictureOnScreen())) {
        ForgetMissingPictures();
        Render.Picture.reset();
        Render.FromCache = true;
        return true;
    }
    const TRect area = scrollBox_.ClientRect();
    TakePictureAhead(stepper_.PictureOnScreen(), SlideFileName(Pic, File),
                     PictureLoading::SlideLoadOptions(Pic, area.Width(), area.Height()), Render.Picture);
    TLoadError error = leOK;
    if (!Render.Picture) {
        Render.Picture = std::make_unique<TPicture>();
        error = LoadSlideSource(Pic, File, area.Width(), area.Height(), *Render.Picture);
    }
    // A reader that gives up without complaint leaves an empty picture.
    if (error == leOK && (Render.Picture->Width() <= 0 || Render.Picture->Height() <= 0))
        error = leInvalidGraphic;
    if (error == leOK) {
        ForgetMissingPictures();
        return true;
    }
    if (!ShowErrorInShow) {
        Render.Picture.reset();
        if (NoteMissingPicture(File.empty() ? Pic.FileName : File)) {
            // A show copied without its pictures would otherwise step through
            // nothing for ever. One that goes on after the report gets a
            // whole pass again.
            const std::string first = firstMissingFile_;
            ForgetMissingPictures();
            if (OnNoPictureLoads)
                OnNoPictureLoads(first);
            return false;
        }
        // The next tick moves on at once.
        stepper_.NextStepAtOnce();
        return false;
    }
    Render.Picture = std::make_unique<TPicture>();
    PictureLoading::PicLoadError(*Render.Picture, image_.Width(), image_.Height(), error);
    return true;
}

void TSlideDisplay::ShowPicture(bool Draw, bool NewStep)
{
    if (::OrigWidth == -1)
        ::OrigWidth = scrollBox_.ClientWidth();
    if (::OrigHeight == -1)
        ::OrigHeight = scrollBox_.ClientHeight();
    if (stepper_.ExitRequested || !stepper_.Show)
        return;
    const TPicInfoObject* pic = stepper_.Show->Dia();
    if (!pic)
        return;
    drawFlag_ = Draw;
    newStepFlag_ = NewStep;
    const std::string resolved = RelFileName(pic->FileName, VisteloFilename);
    const std::string& file = resolved.empty() ? pic->FileName : resolved;
    TSlideRender render;
    if (Draw) {
        ShowLoadingMessage(*pic, file);
        try {
            image_.SetBounds(0, 0, scrollBox_.ClientWidth(), scrollBox_.ClientHeight());
        } catch (const std::bad_alloc&) {
            ui::ShowMessage("Nicht genügend Arbeitsspeicher!");
        } catch (const EOutOfMemory&) {
            ui::ShowMessage("Nicht genügend Arbeitsspeicher!");
        }
        if (!LoadSlidePicture(*pic, resolved, render))
            return;
    } else {
        TSmoothBitmap copy;
        copy.Smooth = SmoothScale;
        copy.Assign(SlideBitmap.get());
        render.Picture = std::make_unique<TPicture>();
        render.Picture->SetGraphic(&copy);
    }
    if (Draw && NewStep && OnBeforeTransition)
        OnBeforeTransition(*pic);
    TRect rect;
    PlaceSlidePicture(*pic, render.Picture.get(), *SlideBitmap, rect, false, true, &render);
    if (Draw)
        ShowNavBarComment(*pic);
    if (Draw && NewStep) {
        if (OnSlideShown)
            OnSlideShown(*pic);
        ShowFileLabels(*pic, file);
    }
    render.Picture.reset();
    PreloadNextPicture();
}

void TSlideDisplay::PlaceSlidePicture(const TPicInfoObject& Pic, TPicture* Picture, TBitmap& Bitmap, TRect& Rect,
                                      bool CacheOnly, bool Render, TSlideRender* Slide)
{
    const int sourceWidth = Picture ? Picture->Width() : Bitmap.Width();
    const int sourceHeight = Picture ? Picture->Height() : Bitmap.Height();
    const TRect client = scrollBox_.ClientRect();
    if (!CacheOnly) {
        scrollBox_.SetAutoScroll(!Pic.Stretch && (sourceWidth > client.Width() || sourceHeight > client.Height()));
        scrollBox_.HorzScrollBar().SetPosition(0);
        scrollBox_.VertScrollBar().SetPosition(0);
        image_.SetAlign(alClient);
        if (!Pic.Stretch)
            image_.SetAlign(alNone);
    }
    const int areaWidth = Pic.Stretch ? client.Width() : std::max(sourceWidth, client.Width());
    const int areaHeight = Pic.Stretch ? client.Height() : std::max(sourceHeight, client.Height());
    // A redraw of the slide on screen copies it whole; a slide rendered ahead
    // is always placed as its picture asks.
    if (!drawFlag_ && !CacheOnly)
        Rect = ::Rect(0, 0, areaWidth, areaHeight);
    else
        Rect = PictureLoading::PicPos(sourceWidth, sourceHeight, Pic, areaWidth, areaHeight);
    const int rw = Rect.Width();
    const int rh = Rect.Height();
    const int width = std::max(rw, client.Width());
    const int height = std::max(rh, client.Height());
    if (CacheOnly) {
        if (Bitmap.Width() != width || Bitmap.Height() != height)
            Bitmap.SetSize(width, height);
    } else {
        if (image_.Width() != width || image_.Height() != height)
            image_.SetBounds(image_.Left(), image_.Top(), width, height);
        if (Bitmap.Width() != image_.Width() || Bitmap.Height() != image_.Height())
            Bitmap.SetSize(image_.Width(), image_.Height());
    }
    if (Render && Slide)
        BlendSlide(Pic, Rect.Left, Rect.Top, rh, rw, *Slide);
}

void TSlideDisplay::BlendSlide(const TPicInfoObject& Pic, int Left, int Top, int RH, int RW, TSlideRender& Slide)
{
    const int effect = Show().UseBlendings && drawFlag_ && newStepFlag_ ? Blendings::GetBlending(Pic.Blending) : 0;
    std::unique_ptr<TBitmap> old;
    if (Blendings::NeedOldBitmap(effect)) {
        if (FirstSlide) {
            old = std::make_unique<TBitmap>(image_.ClientWidth(), image_.ClientHeight(), pf24bit);
            FillBitmap(*old, clBlack);
        } else {
            old = std::make_unique<TBitmap>();
            old->Assign(SlideBitmap.get());
        }
    }
    FirstSlide = false;
    if (Slide.FromCache && CacheHolds(stepper_.PictureOnScreen())) {
        SlideBitmap->Assign(NextBitmap.get());
        SetDiaImageSize(Pic, *SlideBitmap);
    } else {
        DrawSlidePicture(Pic, Left, Top, *SlideBitmap, Slide.Picture.get(), RH, RW, drawFlag_);
    }
    Slide.Picture.reset();
    auto flush = [](TCanvas& screen) { ui::FlushCanvas(screen); };
    Blendings::BlendNr(*SlideBitmap, old.get(), *image_.Canvas(), effect, flush);
}

void TSlideDisplay::DrawSlidePicture(const TPicInfoObject& Pic, int Left, int Top, TBitmap& Bitmap, TPicture* Picture,
                                     int H, int W, bool WithComment)
{
    FillBitmap(Bitmap, Pic.BackgroundColor);
    const TRect pictureRect = Rect(Left, Top, Left + W, Top + H);
    if (Picture && Picture->Graphic())
        Bitmap.Canvas().StretchDraw(pictureRect, *Picture->Graphic());
    if (WithComment)
        DrawSlideComment(Pic, Bitmap, pictureRect);
}

void TSlideDisplay::DrawSlideComment(const TPicInfoObject& Pic, TBitmap& Bitmap, const TRect& PictureRect)
{
    if (!Pic.ShowComments || Show().ShowNoDescription || Pic.CommentPlacement == cpNavBar || Pic.Comments.empty())
        return;
    const int bw = Bitmap.Width();
    const int bh = Bitmap.Height();
    TRect rect;
    switch (Pic.CommentPlacement) {
    case cpPictureCaption: rect = Rect(PictureRect.Left, 1, PictureRect.Right, 1 + bh - 3); break;
    case cpUser: rect = PictureLoading::GetNormalRect(Pic.CommentUserPlacement, bw, bh); break;
    default: rect = Rect(1, 1, 1 + bw - 3, 1 + bh - 3); break;
    }
    const TShowFonts fonts(Show(), Pic.CommentFont.get());
    TCanvas& canvas = Bitmap.Canvas();
    if (Pic.CommentFont)
        canvas.Font.Assign(*Pic.CommentFont);
    if (Pic.CommentFontHeight != -1)
        canvas.Font.SetHeight(std::abs(Pic.CommentFontHeight));
    const int scaledHeight = CommentText::ScaledFontHeight(Show(), canvas.Font.Height(), image_.ClientWidth(),
                                                           image_.ClientHeight());
    if (scaledHeight != canvas.Font.Height())
        canvas.Font.SetHeight(scaledHeight);
    const unsigned format = CommentFormat(Pic.CommentAlignment);
    TRect measured = rect;
    gfx::DrawText(canvas, Pic.Comments, measured, format | DT_CALCRECT);
    int textHeight = measured.Height();
    if (Pic.CommentEffects != ceNone)
        textHeight += 2;
    int top = rect.Top;
    switch (Pic.CommentPlacement) {
    case cpPictureTop: top = 0; break;
    case cpPictureMiddle: top = (bh - textHeight) / 2; break;
    case cpPictureBottom: top = bh - textHeight; break;
    case cpPictureCaption:
        top = bh - (PictureRect.Bottom + 2) < textHeight ? bh - textHeight : PictureRect.Bottom + 2;
        break;
    default: break;
    }
    rect = Rect(rect.Left, top, rect.Right, top + textHeight);
    const TColor colour = Pic.CommentFont ? Pic.CommentFont->Color() : canvas.Font.Color();
    CommentText::DrawCommentText(canvas, rect, -1, Pic.Comments, format, Pic.CommentEffects, colour, Pic.EffectColor1,
                                 Pic.EffectColor2);
}

void TSlideDisplay::ShowNavBarComment(const TPicInfoObject& Pic)
{
    if (Pic.CommentPlacement != cpNavBar)
        return;
    messageLabel_.SetAlignment(LabelAlignment(Pic.CommentAlignment));
    if (!Pic.Comments.empty())
        filenameLabel_.SetFileName("");
    messageLabel_.SetCaption(Pic.Comments);
}

void TSlideDisplay::AdoptPictureAhead(std::unique_ptr<TPictureAhead> Ahead) { pictureAhead_ = std::move(Ahead); }

void TSlideDisplay::LoadFirstPictureAhead()
{
    if (!stepper_.Show)
        return;
    // The step that comes shows the position set from outside, else the next
    // slide the show may show.
    const std::int32_t index = stepper_.PositionSet ? stepper_.PictureOnScreen() : stepper_.FindNextPicNr();
    const TPicInfoObject* entry = Show().GetPicInfo(index);
    if (!entry)
        return;
    if (pictureAhead_ && pictureAhead_->IsFor(index, SlidePictureFile(*entry, VisteloFilename)))
        return; // already on its way
    SetAside(std::move(pictureAhead_));
    const TRect area = scrollBox_.ClientRect();
    pictureAhead_ = TPictureAhead::StartForSlide(Show(), index, VisteloFilename, area.Width(), area.Height());
}

// A load ahead that was not taken may still be running: it is kept until the
// playback ends, so the step does not wait for a picture it does not show.
void TSlideDisplay::SetAside(std::unique_ptr<TPictureAhead> Ahead)
{
    if (Ahead)
        spentAhead_ = std::move(Ahead);
}

void TSlideDisplay::TakePictureAhead(std::int32_t PictureIndex, const std::string& Name,
                                     const TPictureLoadOptions& Options, std::unique_ptr<TPicture>& Picture)
{
    Picture.reset();
    if (!pictureAhead_)
        return;
    pictureAhead_->Take(PictureIndex, Name, Options, Picture);
    SetAside(std::move(pictureAhead_));
}

void TSlideDisplay::PreloadNextPicture()
{
    const std::int32_t next = stepper_.FindNextPicNr();
    if (next == -1 || next == NextBitmapIndex)
        return;
    const TPicInfoObject* entry = Show().GetPicInfo(next);
    if (!entry) {
        InvalidateNextBitmap();
        return;
    }
    auto picture = std::make_unique<TPicture>();
    const std::string file = RelFileName(entry->FileName, VisteloFilename);
    const TRect area = scrollBox_.ClientRect();
    const TLoadError error = LoadSlideSource(*entry, file, area.Width(), area.Height(), *picture);
    if (error != leOK || picture->Width() <= 0 || picture->Height() <= 0) {
        InvalidateNextBitmap();
        return;
    }
    if (!NextBitmap)
        NextBitmap = std::make_unique<TBitmap>();
    NextBitmap->SetPixelFormat(SlideBitmap->PixelFormat());
    NextBitmap->SetSize(SlideBitmap->Width(), SlideBitmap->Height());
    TRect rect;
    PlaceSlidePicture(*entry, picture.get(), *NextBitmap, rect, true, false, nullptr);
    // The slide rendered ahead is complete, comment included.
    DrawSlidePicture(*entry, rect.Left, rect.Top, *NextBitmap, picture.get(), rect.Height(), rect.Width(), true);
    NextBitmapIndex = next;
}
