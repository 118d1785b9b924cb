#pragma once

// The form "JPEG-Kompression": a track bar for the JPEG quality (the left
// end is quality 100), the progressive switch, and a preview of the picture
// before and after compression with how much smaller it gets.

#include <memory>

#include "platform/graphics/Jpeg.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"

class TGraphic;

namespace JPEGCompressionDlgForm {
// Track-bar position and quality: quality = 101 - position.
constexpr int QualityOfPosition(int Position) { return 101 - Position; }
constexpr int PositionOfQuality(int Quality) { return 101 - Quality; }
// The generated test picture: a colour fan and the outlined text "Testbild".
void MakeTestPicture(TGraphic& Target);
} // namespace JPEGCompressionDlgForm

class TJPEGCompressPrefsForm : public TForm {
    DECLARE_CLASS(TJPEGCompressPrefsForm, TForm)
public:
    explicit TJPEGCompressPrefsForm(TComponent* AOwner);
    ~TJPEGCompressPrefsForm() override;

    TPanel* CompressionPanel;
    TTrackBar* TrackBar;
    TLabel* HighQualityLabel;
    TLabel* LowQualityLabel;
    TLabel* PercentLabel;
    TCheckBox* ProgressiveCheck;
    TPanel* PreviewPanel;
    TCheckBox* PreviewCheck;
    TButton* PreviewBtn;
    TLabel* OrgLabel;
    TImage* OrgImage;
    TLabel* JPEGLabel;
    TImage* JPEGImage;
    TLabel* KBLabel;
    TPanel* ButtonPanel;
    TButton* OKBtn;
    TButton* CancelBtn;

    // The JPEG whose settings are edited (not owned); its picture is shown
    // small, and the controls take its settings.
    void SetSourceJPEG(TJPEGImage* JPEG);
    // Shows or hides the preview part; the form's height follows.
    void SetPreviewVisible(bool Visible);
    bool PreviewShown() const { return previewShown_; }
    // The automatic-preview choice handed in and, after OK, handed back.
    bool AutoPreviewState = false;

    void TrackBarChange(TObject* Sender);
    void ProgressiveCheckClick(TObject* Sender);
    void PreviewCheckClick(TObject* Sender);
    void PreviewBtnClick(TObject* Sender);
    void FormActivate(TObject* Sender);
    void OKBtnClick(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);

private:
    void UpdateSizePreview();

    TJPEGImage* targetJPEG_ = nullptr;
    std::unique_ptr<TJPEGImage> workJPEG_;
    bool previewShown_ = true;
    bool updating_ = false;
    bool forcePreview_ = false;
};
