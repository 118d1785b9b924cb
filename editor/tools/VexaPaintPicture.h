#pragma once

// The picture the picture editor works on: the working bitmap, its one-step
// undo copy and every operation of the editor's buttons and menus. Each
// operation takes the undo copy first, tells the view to take its selection
// frame off, changes the bitmap and tells the view that the picture changed.
// The window (and the adjustment dialogs, as a preview target) drive it.

#include <functional>
#include <memory>

#include "editor/tools/PreviewTarget.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Types.h"

class TBitmap;

namespace VexaPaintTexts {

inline constexpr const char* NoMemoryForUndo =
    "Nicht genügend Arbeitsspeicher, um eine Sicherheitskopie des Bildes zu erstellen. Damit ist kein "
    "\"Rückgängig\" mehr möglich. Möchten Sie fortfahren?";
inline constexpr const char* NoMemoryForOperation = "Nicht genügend Arbeitsspeicher, um diese Operation auszuführen!";
inline constexpr const char* OperationFailed = "Fehler beim Ausführen der Operation!";

} // namespace VexaPaintTexts

// The editor's six filters, in menu order.
enum TPaintFilter : std::uint8_t { pfMedian, pfMedianStrong, pfGauss, pfBlur, pfBlurMedium, pfBlurStrong };

class TVexaPaintPicture : public TPreviewTarget {
public:
    TVexaPaintPicture();
    ~TVexaPaintPicture() override;

    TBitmap& Bitmap() { return *bitmap_; }
    // The undo copy; empty when there is nothing to undo.
    const TBitmap& UndoBitmap() const { return *undo_; }
    bool CanUndo() const;

    // Before a change: the view takes its selection frame off.
    std::function<void()> OnBeforeChange;
    // After a change: the view shows the new picture.
    std::function<void()> OnChanged;
    // The undo copy came or went (the undo button follows it).
    std::function<void(bool canUndo)> OnUndoChanged;

    // A new picture: a copy of the bitmap, no undo copy, undo on again.
    void Reset(const TBitmap& picture);

    // Takes the undo copy; false when the operation must not go on (the user
    // declined to go on without one).
    bool SaveUndo();

    // TPreviewTarget
    bool UndoEnabled() const override { return undoEnabled_; }
    void Undo() override;
    void DropUndo() override;
    void ApplyRGB(int red, int green, int blue) override;
    void ApplyBC(int brightness, int contrast) override;
    void ApplyGamma(double red, double green, double blue, bool invert) override;

    void Crop(const TRect& rect);
    void MirrorHorizontal();
    void MirrorVertical();
    void Rotate90();
    void Rotate180();
    void Rotate270();
    // Turns right by degrees about the middle; whole turns change nothing.
    void RotateFree(double degrees, TColor fillColor);
    // The rectangle inverted, or the whole picture when it is empty.
    void Invert(const TRect& rect);
    void GrayScale();
    void Filter(TPaintFilter filter);

private:
    // SaveUndo, the frame off, the change, the picture shown.
    void Run(const std::function<void(TBitmap&)>& change);
    // The same for changes that make a new bitmap: a failure (an exception
    // or no result) is reported and the picture and its undo copy stay.
    void RunReplacing(const std::function<std::unique_ptr<TBitmap>(TBitmap&)>& make);
    void SetUndo(std::unique_ptr<TBitmap> undo);

    std::unique_ptr<TBitmap> bitmap_;
    std::unique_ptr<TBitmap> undo_;
    bool undoEnabled_ = true;
};
