#pragma once

// The JPEG settings of the editor's JPEG output, edited in the form
// "JPEG-Kompression". Callers write CompressionWord (and AutoPreview) from
// their settings, call Execute, and copy them back only when it returns
// true.

#include <memory>

#include "editor/controls/JPEGCompressionWord.h"
#include "platform/rtl/Classes.h"

class TJPEGImage;

class TJPEGCompressionDlg : public TComponent {
    DECLARE_CLASS(TJPEGCompressionDlg, TComponent)
public:
    explicit TJPEGCompressionDlg(TComponent* AOwner);
    ~TJPEGCompressionDlg() override;

    // The form computes previews by itself.
    bool AutoPreview = false;
    // On OK the JPEG keeps the chosen settings; else it gets its own back.
    bool AutoSetCompression = true;
    // The form shows its preview part.
    bool Preview = true;
    TJPEGCompressionWord CompressionWord = JPEGCompressionWord::DefaultJPEGCompressionWord;

    // The picture whose settings are edited. Setting it lets go of a test
    // picture the component made; with AutoSetCompression the word takes
    // the new JPEG's settings.
    TJPEGImage* JPEG() const { return jpeg_; }
    void SetJPEG(TJPEGImage* Value);
    // The current JPEG is the component's own test picture.
    bool OwnsJPEG() const { return ownsJPEG_; }

    // Runs the form modally; true when it was closed with OK.
    bool Execute();

private:
    TJPEGImage* jpeg_ = nullptr;
    bool ownsJPEG_ = false;
};
