#pragma once

// The zoomable preview of one picture entry, as the player's catalog opens
// it: the picture at its own size in a scroll box, zoomed in and out in
// quarter steps, drawn smoothly unless the fast preview is chosen. This
// build has no printing.

#include "platform/ui/Forms.h"

#include <memory>

class TImage;
class TKsSpeedButton;
class TPanel;
class TPicInfoObject;
class TPicture;
class TScrollBox;

// The current zoom and the step of one zoom in or out.
extern double ZoomFaktor;
extern double ZoomSteps;

class TPreviewForm : public TForm {
    DECLARE_CLASS(TPreviewForm, TForm)
public:
    explicit TPreviewForm(TComponent* AOwner);
    ~TPreviewForm() override;

    // Loads Entry's picture against the playing show file and shows it
    // modally; a picture that cannot be loaded is reported and nothing opens.
    // The form frees itself on close.
    void Execute(TPicInfoObject* Entry);
    // Fits the window to the picture and centres it in the work area.
    void SetSize();
    // Draws the picture at the current zoom into the image.
    void SetImageSize();

    void ZoomIn();
    void ZoomOut();
    void ActualSize();

    TPanel* ToolPanel = nullptr;
    TKsSpeedButton* ZoomInBtn = nullptr;
    TKsSpeedButton* ZoomOutBtn = nullptr;
    TKsSpeedButton* OriginalSizeBtn = nullptr;
    TKsSpeedButton* SmoothBtn = nullptr;
    TKsSpeedButton* CloseBtn = nullptr;
    TScrollBox* ScrollBox = nullptr;
    TImage* PreviewImage = nullptr;

    TPicture& Picture() { return *picture_; }

private:
    void SmoothBtnClick(TObject* Sender);
    void FormKeyPress(TObject* Sender, char32_t& Key);
    void FormKeyUp(TObject* Sender, WORD& Key, TShiftState Shift);
    void FormClose(TObject* Sender, TCloseAction& Action);
    TKsSpeedButton* AddToolButton(const std::string& Caption, const std::string& Hint, int Left);

    std::unique_ptr<TPicture> picture_;
};
