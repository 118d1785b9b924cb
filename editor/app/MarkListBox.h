#pragma once

// A list box that shows each item's text between two marks of an image
// list: image 0 at the left of every item and, when the list holds two or
// more images, image 1 at the right. The text may be centred and shortened
// to fit, at its end or in the middle of a path.

#include <cstdint>

#include "platform/ui/StdCtrls.h"

class TImageList;

enum TTextEllipsis : std::uint8_t { teNone, teEnd, tePath };

class TMarkListBox : public TListBox {
    DECLARE_CLASS(TMarkListBox, TListBox)
public:
    explicit TMarkListBox(TComponent* AOwner);

    TImageList* Images() const { return images_; }
    void SetImages(TImageList* Value);
    bool CenterText() const { return centerText_; }
    void SetCenterText(bool Value);
    TTextEllipsis Ellipsis = teNone;

    // The flags the item text is drawn with.
    unsigned TextFlags() const;

protected:
    void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;
    void Resize() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TImageList* images_ = nullptr;
    bool centerText_ = false;
};
