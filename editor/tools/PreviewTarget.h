#pragma once

// What the adjustment dialogs need of the picture they preview on: its
// one-step undo and the three adjustments. The picture editor provides it;
// the dialogs know nothing else of the editor.

class TPreviewTarget {
public:
    virtual ~TPreviewTarget() = default;

    // False once the picture can no longer keep an undo copy: previews would
    // not be taken back, so the dialogs offer none.
    virtual bool UndoEnabled() const = 0;
    // Back to the undo copy, which is used up.
    virtual void Undo() = 0;
    // Forgets the undo copy.
    virtual void DropUndo() = 0;
    // Each takes an undo copy first, then changes the picture.
    virtual void ApplyRGB(int red, int green, int blue) = 0;
    virtual void ApplyBC(int brightness, int contrast) = 0;
    virtual void ApplyGamma(double red, double green, double blue, bool invert) = 0;
};
