#pragma once

// "Bild importiert": what becomes of one scanned picture: added to the
// show, only saved, edited first, or discarded.

#include <functional>
#include <string>

#include "platform/ui/Forms.h"

class TBitmap;
class TButton;
class TCheckBox;
class TFilenameEdit;
class TImage;
class TPaintBox;

// The dialog's answers.
enum TGotPictureDecision : int { gdDiscard = 0, gdAddToShow = 1, gdOnlySave = 2 };

class TAskGotPictureForm : public TForm {
    DECLARE_CLASS(TAskGotPictureForm, TForm)
public:
    explicit TAskGotPictureForm(TComponent* AOwner);

    // The file-name filter of the chosen format (0 BMP, 1 JPEG, 2 TGA).
    static std::string FilterOfFormat(int Format);

    // Shows the picture under the proposed name; the name and the
    // apply-to-all box are read back. The result is the decision.
    int Execute(TBitmap& Bitmap, std::string& FileName, bool& ApplyToAll);

    // "Bearbeiten": edits the picture in place; true when it changed.
    std::function<bool(TBitmap& bitmap, const std::string& fileName)> OnEdit;

    // The monitor drawn around the preview.
    TPaintBox* MonitorBox = nullptr;
    TImage* PreviewImage = nullptr;
    TFilenameEdit* FileNameEdit = nullptr;
    TButton* AddButton = nullptr;
    TButton* SaveButton = nullptr;
    TButton* EditButton = nullptr;
    TButton* DiscardButton = nullptr;
    TCheckBox* ApplyToAllCheck = nullptr;
    int Format = 0;

private:
    void DrawPreview(const TBitmap& Bitmap);
    int decision_ = gdDiscard;
};
