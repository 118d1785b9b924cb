#pragma once

// What the playback window shows: each slide drawn into a back buffer with
// its picture placed as its entry asks, its background and its comment (in
// the picture or in the navigation bar), brought on screen through its
// transition, while the following slide is rendered ahead into a one-slot
// cache; the loading message and the file name in the navigation bar. Which
// slide is on is the stepper's; what goes with a new slide (its sound, the
// comments box) is told through the events.

#include "core/PictureLoading.h"
#include "core/ShowStepper.h"
#include "core/SmoothBitmap.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>

class TFileLabel;
class TLabel;
class TPaintBox;
class TPicInfoObject;
class TPicture;
class TPictureAhead;
class TScrollBox;
class TVistelo;

class TSlideDisplay {
public:
    // The picture area is Image inside ScrollBox; the labels are the
    // navigation bar's.
    TSlideDisplay(TShowStepper& Stepper, TScrollBox& ScrollBox, TPaintBox& Image, TFileLabel& FilenameLabel,
                  TLabel& MessageLabel);
    ~TSlideDisplay();
    TSlideDisplay(const TSlideDisplay&) = delete;
    TSlideDisplay& operator=(const TSlideDisplay&) = delete;

    std::unique_ptr<TSmoothBitmap> SlideBitmap; // the slide on screen
    bool FirstSlide = true;                     // the first transition starts from black
    std::unique_ptr<TBitmap> NextBitmap;        // the next slide rendered ahead
    std::int32_t NextBitmapIndex = -1;

    // A new slide is about to come through its transition.
    std::function<void(const TPicInfoObject& Pic)> OnBeforeTransition;
    // A new slide is on screen.
    std::function<void(const TPicInfoObject& Pic)> OnSlideShown;
    // Every slide the show may show failed to load, one after another, since
    // the last picture that loaded; FirstFile is the first that failed.
    // Without a handler the failed slide waits its pause before the next
    // pass, so a show without pictures does not step through them at once.
    std::function<void(const std::string& FirstFile)> OnNoPictureLoads;

    // Draws the slide at the play position: loaded anew (or taken from the
    // cache) when Draw, else the slide on screen placed again; NewStep when
    // the slide came by a step, with its transition. Then renders the next
    // slide ahead.
    void ShowPicture(bool Draw, bool NewStep);
    // Starts loading the picture of the slide the next step shows on a
    // worker thread, for the time the window takes to come up, unless the
    // load adopted before is that picture. The step takes it over if a load
    // for its area would decode it alike.
    void LoadFirstPictureAhead();
    // A load ahead started before the window existed.
    void AdoptPictureAhead(std::unique_ptr<TPictureAhead> Ahead);
    void InvalidateNextBitmap();
    // A show was taken over: the pictures that failed before count no more.
    void ForgetMissingPictures();
    // Redraws a stretched slide at the picture area's new size.
    void RedrawStretchedSlide();
    // The picture area changed its size.
    void Resize();

    // Paints the picture area from the back buffer.
    void Paint();
    void SetDiaImageSize(const TPicInfoObject& Pic, const TBitmap& Bitmap);

private:
    struct TSlideRender;
    bool LoadSlidePicture(const TPicInfoObject& Pic, const std::string& File, TSlideRender& Render);
    void ShowLoadingMessage(const TPicInfoObject& Pic, const std::string& File);
    void ShowFileLabels(const TPicInfoObject& Pic, const std::string& File);
    void PlaceSlidePicture(const TPicInfoObject& Pic, TPicture* Picture, TBitmap& Bitmap, TRect& Rect, bool CacheOnly,
                           bool Render, TSlideRender* Slide);
    void BlendSlide(const TPicInfoObject& Pic, int Left, int Top, int RH, int RW, TSlideRender& Slide);
    void DrawSlidePicture(const TPicInfoObject& Pic, int Left, int Top, TBitmap& Bitmap, TPicture* Picture, int H,
                          int W, bool WithComment);
    void DrawSlideComment(const TPicInfoObject& Pic, TBitmap& Bitmap, const TRect& PictureRect);
    void ShowNavBarComment(const TPicInfoObject& Pic);
    bool CacheHolds(std::int32_t PictureIndex) const;
    // The slide's picture did not load and is skipped; true when no slide
    // of the show has loaded since the last picture that did.
    bool NoteMissingPicture(const std::string& File);
    int VisibleSlides() const;
    void PreloadNextPicture();
    void TakePictureAhead(std::int32_t PictureIndex, const std::string& Name, const TPictureLoadOptions& Options,
                          std::unique_ptr<TPicture>& Picture);
    void SetAside(std::unique_ptr<TPictureAhead> Ahead);
    const TVistelo& Show() const { return *stepper_.Show; }

    TShowStepper& stepper_;
    TScrollBox& scrollBox_;
    TPaintBox& image_;
    TFileLabel& filenameLabel_;
    TLabel& messageLabel_;
    bool drawFlag_ = true;    // ShowPicture's Draw while it runs
    bool newStepFlag_ = true; // ShowPicture's NewStep while it runs
    std::set<std::int32_t> missingPictures_; // failed since the last picture that loaded
    std::string firstMissingFile_;
    std::unique_ptr<TPictureAhead> pictureAhead_; // the first slide's picture, loading on a worker
    std::unique_ptr<TPictureAhead> spentAhead_;   // one not taken, perhaps still running
};

// The picture area's client size at the first picture; -1 until then.
extern std::int32_t OrigWidth;
extern std::int32_t OrigHeight;
