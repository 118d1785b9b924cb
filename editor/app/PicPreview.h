#pragma once

// "Vorschau": one picture at its own size in a window of its own, zoomed in
// and out in quarter steps around the middle of what is seen, drawn smoothly
// or quickly, and printed.

#include <memory>
#include <string>

#include "platform/graphics/Types.h"
#include "platform/ui/Forms.h"

class TImage;
class TKsSpeedButton;
class TPanel;
class TPicInfoObject;
class TPicture;
class TScrollBox;

namespace PicPreview {

// The zoom of the picture shown (1.0 when a picture comes up) and its step.
extern double ZoomFaktor;
inline constexpr double ZoomSteps = 0.25;
// Zooming in stops where the picture would grow past this many pixels a side.
inline constexpr int LargestZoomedSide = 16384;

double ZoomedIn(double Zoom, int PictureWidth, int PictureHeight);
// Never below one step.
double ZoomedOut(double Zoom);
// The picture's size at a zoom, rounded.
TSize ZoomedSize(int Width, int Height, double Zoom);
// The scroll position that keeps the middle of the view on the same part of
// the picture when its size goes from OldRange to NewRange.
int CentredPosition(int Position, int View, int OldRange, int NewRange);
// Where the window goes: centred in the work area, or the whole work area
// when it does not fit.
TRect PlaceInWorkArea(TSize WindowSize, const TRect& WorkArea);

} // namespace PicPreview

class TPicPreviewForm : public TForm {
    DECLARE_CLASS(TPicPreviewForm, TForm)
public:
    explicit TPicPreviewForm(TComponent* AOwner);
    ~TPicPreviewForm() override;

    // Shows the entry's picture modally; false (after a message) when it
    // does not load.
    bool Execute(TPicInfoObject& Entry);
    // The image at the picture's size times the zoom.
    void SetImageSize();
    // The window around the picture, within the work area.
    void SetSize();

    void ZoomIn();
    void ZoomOut();
    void OriginalSize();
    void SmoothBtnClick();
    void PrintBtnClick();

    TPicture& Picture() { return *picture_; }

    TPanel* ToolBar = nullptr;
    TKsSpeedButton* ZoomInBtn = nullptr;
    TKsSpeedButton* ZoomOutBtn = nullptr;
    TKsSpeedButton* OriginalSizeBtn = nullptr;
    TKsSpeedButton* SmoothBtn = nullptr;
    TKsSpeedButton* PrintBtn = nullptr;
    TKsSpeedButton* CloseBtn = nullptr;
    TScrollBox* ScrollBox = nullptr;
    TImage* PreviewImage = nullptr;

    static std::string CannotLoadMessage(const std::string& FileName)
    {
        return "Das Bild \"" + FileName + "\" kann nicht geladen werden.";
    }

private:
    void Zoom(double NewZoom);

    std::unique_ptr<TPicture> picture_;
    TPicInfoObject* entry_ = nullptr;
};
