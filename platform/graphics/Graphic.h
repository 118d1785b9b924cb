#pragma once
// TGraphic: the abstract picture every format class derives from, with its
// change and progress events and the class references that create pictures
// by class.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/graphics/Types.h"
#include "platform/rtl/Classes.h"

class TCanvas;
class TStream;

enum TProgressStage { psStarting, psRunning, psEnding };

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TProgressEvent = std::function<void(TObject* Sender, TProgressStage Stage, std::uint8_t PercentDone,
                                          bool RedrawNow, const TRect& R, const std::string& Msg)>;

class TGraphic : public TPersistent {
    DECLARE_CLASS(TGraphic, TPersistent)

public:
    TGraphic() = default;
    ~TGraphic() override = default;

    // Paints the picture scaled into `rect` (logical coordinates of `canvas`).
    virtual void Draw(TCanvas& canvas, const TRect& rect) = 0;

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int value) = 0;
    virtual void SetHeight(int value) = 0;
    virtual bool Empty() const = 0;

    bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool value);

    bool Modified() const { return modified_; }
    void SetModified(bool value);

    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) = 0;
    // Raise EFOpenError/EFCreateError for the file, EInvalidGraphic for content.
    virtual void LoadFromFile(const std::string& fileName);
    virtual void SaveToFile(const std::string& fileName);

    TNotifyEvent OnChange;
    TProgressEvent OnProgress;

protected:
    // Any picture can become a bitmap by drawing itself on a white one.
    void AssignTo(TPersistent* dest) const override;
    void SetTransparentQuietly(bool value) { transparent_ = value; }
    // Marks the picture modified and fires OnChange.
    virtual void Changed(TObject* sender);
    virtual void Progress(TObject* sender, TProgressStage stage, std::uint8_t percentDone, bool redrawNow,
                          const TRect& r, const std::string& msg);

private:
    bool transparent_ = false;
    bool modified_ = false;
};

// A class reference of a TGraphic descendant: `cls->CreateAs<TGraphic>()`.
using TGraphicClass = TClass;
