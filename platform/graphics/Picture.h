#pragma once
// TPicture: a holder of one graphic of any registered class, loaded by the
// file's extension; and the process-wide registry of graphic classes by
// extension with their descriptions (a later registration of an extension
// replaces the earlier one). At start the registry knows bmp, dib and rle
// (TBitmap), jpg, jpeg, jpe and jfif (TJPEGImage), ico (TIcon) and wmf and
// emf (TMetafile).

#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/Graphic.h"

class TBitmap;

class TPicture : public TPersistent {
    DECLARE_CLASS(TPicture, TPersistent)

public:
    TPicture();
    ~TPicture() override;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    // The held graphic (owned by the picture), or nullptr.
    TGraphic* Graphic() const { return graphic_.get(); }
    // Holds a copy of the graphic (same class, assigned); nullptr empties.
    void SetGraphic(const TGraphic* graphic);
    // Holds the graphic itself, without a copy (large pictures); nullptr empties.
    void TakeGraphic(std::unique_ptr<TGraphic> graphic);
    // The held graphic as a bitmap; anything else is replaced by an empty bitmap.
    TBitmap& Bitmap();

    int Width() const;
    int Height() const;

    // Creates the graphic class registered for the extension and loads the
    // file; an unregistered extension raises EInvalidGraphic. The held graphic
    // is replaced only when the load succeeded.
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);

    // From a TPicture or a TGraphic (copied); nullptr empties.
    void Assign(const TPersistent* source) override;

    TNotifyEvent OnChange;
    // The held graphic's progress, passed on with the graphic as sender.
    TProgressEvent OnProgress;

    static void RegisterFileFormat(const std::string& extension, const std::string& description,
                                   TGraphicClass graphicClass);
    // Removes every extension of the class and of its descendants.
    static void UnregisterGraphicClass(TGraphicClass graphicClass);

protected:
    void AssignTo(TPersistent* dest) const override;
    virtual void Changed(TObject* sender);
    virtual void Progress(TObject* sender, TProgressStage stage, std::uint8_t percentDone, bool redrawNow,
                          const TRect& r, const std::string& msg);

private:
    void Hold(std::unique_ptr<TGraphic> graphic);

    std::unique_ptr<TGraphic> graphic_;
};

namespace gfx {

struct TFileFormat {
    std::string Extension; // lower case, without the dot
    std::string Description;
    TGraphicClass GraphicClass = nullptr;
};

// The registered formats in registration order.
std::vector<TFileFormat> RegisteredFileFormats();
// The class registered for an extension (with or without the dot, any case),
// or nullptr.
TGraphicClass GraphicClassOfExtension(const std::string& extension);

// An open-dialog filter of the formats whose class is graphicClass or one of
// its descendants: "Alle (*.a;*.b)|*.a;*.b|Description (*.a)|*.a|...".
std::string GraphicFilter(TGraphicClass graphicClass);
// The first registered extension of such a class ("bmp"), or empty.
std::string GraphicExtension(TGraphicClass graphicClass);
// Their patterns: "*.a;*.b".
std::string GraphicFileMask(TGraphicClass graphicClass);

} // namespace gfx
