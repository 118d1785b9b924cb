#pragma once

// "Bild(er) plazieren": places a picture or a comment on a 4:3 miniature of
// the playback screen with the size rectangle. The placement travels as
// fractions of the screen area.

#include "core/VisteloNPics.h"
#include "platform/ui/Forms.h"

class TButton;
class TImage;
class TLabel;
class TPaintBox;
class TPanel;
class TSizeRect;
class TSizeRectDoubleBuffer;

namespace PicPlacementUnit {

// The control bounds of a placement on an area of Width x Height, and back.
// Fractions that are no numbers count as the whole area.
TRect PlacementToBounds(const TPlacementRectExt& Placement, int Width, int Height);
TPlacementRectExt BoundsToPlacement(const TRect& Bounds, int Width, int Height);

} // namespace PicPlacementUnit

class TPicPlacementDlg : public TForm {
    DECLARE_CLASS(TPicPlacementDlg, TForm)
public:
    explicit TPicPlacementDlg(TComponent* AOwner);
    ~TPicPlacementDlg() override;

    // Runs the dialog on Placement; true (and Placement read back) on OK.
    // Set the caption, TextLabel, Placement, UseDoubleBuffer and the
    // picture of SizeRectDoubleBuffer or Image before.
    bool Execute();

    TPlacementRectExt Placement{0, 0, 1, 1};
    // The rectangle shows the picture itself (picture placement); otherwise
    // it lies transparent over Image (comment placement).
    bool UseDoubleBuffer = false;

    TLabel* TextLabel = nullptr;
    TPanel* Panel3 = nullptr;
    TPaintBox* ComputerPaintBox = nullptr;
    TPanel* ScreenPanel = nullptr;
    TPanel* ImagePanel = nullptr;
    TImage* Image = nullptr;
    TSizeRect* SizeRect = nullptr;                         // none once Execute chose the other
    TSizeRectDoubleBuffer* SizeRectDoubleBuffer = nullptr; // none once Execute chose the other
    TButton* OKBtn = nullptr;
    TButton* CancelBtn = nullptr;
    TButton* HelpBtn = nullptr;

    // The rectangle in use.
    TControl* PlacementControl() const;

private:
    void ComputerPaintBoxPaint();
};
