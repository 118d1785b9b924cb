#pragma once

// The picture editor "Bild bearbeiten": one picture as a 24-bit bitmap,
// zoomed from 1:16 to 16:1, a rectangular selection dragged with the mouse,
// the turns, colour adjustments and filters of its four menus, one step of
// undo, and saving as BMP, JPEG or TGA. It edits a picture file of the show
// (file mode) or a bitmap of its caller (bitmap mode).

#include <memory>
#include <string>

#include "editor/controls/JPEGCompressionWord.h"
#include "editor/tools/VexaPaintPicture.h"
#include "platform/ui/Forms.h"

class TBitmap;
class TButton;
class TFormPlacement;
class TImageList;
class TPaintBox;
class TPanel;
class TPicInfoObject;
class TPopupMenu;
class TProgressBar;
class TScrollBox;
class TStatusBar;
class TToolBar;
class TToolButton;

namespace VexaPaintTexts {

inline constexpr const char* PlacementKey = "\\Software\\Ostrelind\\Vistelo\\3.5 (Shareware)\\VexaPaintPlacement";
inline constexpr const char* CannotLoad =
    "Bild kann nicht geladen werden, evtl. ist zu wenig Arbeitsspeicher frei, oder die Datei ist beschädigt.";
inline constexpr const char* NoMemoryToEdit = "Es ist zu wenig Arbeitspeicher frei, um das Bild bearbeiten zu können.";
inline constexpr const char* MarkFirst =
    "Sie müssen erst einen Bereich markieren! Klicken Sie dazu mit der Linken Maustaste auf das Bild und ziehen Sie "
    "mit gedrückter Maustaste den Rahmen auf die gewünscht Größe.";
inline constexpr const char* SaveFilter =
    "Bitmap (*.BMP)|*.BMP|Jpeg (*.JPG)|*.JPG;*.JPEG|TrueVision Targa (*.TGA)|*.TGA";

} // namespace VexaPaintTexts

// The selection's states.
enum TSelectionState : std::uint8_t { ssNone, ssDragging, ssMarked };

// The four menus, in button order.
enum TVexaPaintMenu : std::uint8_t { vmTurn, vmColour, vmBrightness, vmFilter };

class TVexaPaintForm : public TForm {
    DECLARE_CLASS(TVexaPaintForm, TForm)
public:
    explicit TVexaPaintForm(TComponent* AOwner);
    ~TVexaPaintForm() override;

    // Edits the entry's picture file (no bitmap) or a copy of the bitmap,
    // modally; true when it ended with OK. In file mode a new name is
    // written back into the entry.
    bool EditPicture(TPicInfoObject* Entry, TBitmap* Bitmap);
    // The name "Speichern unter..." proposes in bitmap mode.
    void SetBitmapFileName(const std::string& Name) { fileName_ = Name; }

    TVexaPaintPicture& Picture() { return picture_; }
    int ZoomStep() const { return zoomStep_; }
    double Zoom() const;
    TSelectionState SelectionState() const { return selectionState_; }
    const TRect& PictureSelection() const { return pictureSelection_; }
    const std::string& FileName() const { return fileName_; }
    int Result() const { return result_; }

    // The handlers of the buttons, keys and menus.
    void SetZoomStep(int Step);
    void CropClick();
    void UndoClick();
    void MenuItemClick(TVexaPaintMenu Menu, int Index);
    void PaintBoxMouseMove(TShiftState Shift, int X, int Y);
    void PaintBoxMouseUp(TMouseButton Button, int X, int Y);
    // Saves under a name the user confirms; false when cancelled.
    bool SaveAs(bool FromOK);
    void OKClick();
    void CancelClick();

    TPanel* PreviewPanel = nullptr;
    TPaintBox* PreviewBox = nullptr;
    TButton* CropButton = nullptr;
    TButton* TurnButton = nullptr;
    TButton* ColourButton = nullptr;
    TButton* BrightnessButton = nullptr;
    TButton* FilterButton = nullptr;
    TButton* UndoButton = nullptr;
    TToolBar* ZoomToolBar = nullptr;
    TImageList* ZoomImages = nullptr;
    TToolButton* ZoomInButton = nullptr;
    TToolButton* ZoomOutButton = nullptr;
    TToolButton* ZoomOneButton = nullptr;
    TProgressBar* ProgressBar = nullptr;
    TScrollBox* ScrollBox = nullptr;
    TPaintBox* PaintBox = nullptr;
    TButton* OKButton = nullptr;
    TButton* SaveAsButton = nullptr;
    TButton* CancelButton = nullptr;
    TStatusBar* StatusBar = nullptr;
    TPopupMenu* Menus[4] = {};
    // Each menu's pictures; an entry shows the picture at its own index.
    TImageList* MenuImages[4] = {};
    TFormPlacement* FormPlacement = nullptr;

private:
    void BuildLeftColumn();
    void BuildZoomToolBar();
    void BuildCentre();
    void BuildMenus();
    void ShowMenu(TVexaPaintMenu Menu, TButton* Button);
    void UpdateView();
    void PictureChanged();
    void PaintPicture(TPaintBox* Box);
    void DrawFrame();
    void EraseFrame();
    void ClearSelection();
    void BitmapProgress();
    void FreeRotation();
    void ColourCorrection();
    void BrightnessContrast();
    void GammaCorrection();

    TVexaPaintPicture picture_;
    TBitmap* callerBitmap_ = nullptr;
    bool fileMode_ = true;
    int result_ = 0;
    int zoomStep_ = 1;
    TSelectionState selectionState_ = ssNone;
    TRect screenSelection_{};
    TRect frameRect_{};
    TRect pictureSelection_{};
    std::string fileName_;
    double rotationAngle_ = 45;
    TColor fillColour_ = clBlack;
    int red_ = 0, green_ = 0, blue_ = 0;
    int brightness_ = 0, contrast_ = 0;
    double redGamma_ = 4.0, greenGamma_ = 4.0, blueGamma_ = 4.0;
    bool gammaInvert_ = false;
    TJPEGCompressionWord jpegSettings_ = 0;
    bool targaCompression_ = false;
    std::int64_t lastProgress_ = 0;
};
