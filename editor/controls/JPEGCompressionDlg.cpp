#include "editor/controls/JPEGCompressionDlg.h"

#include "editor/controls/JPEGCompressionDlgForm.h"
#include "platform/graphics/Jpeg.h"

IMPLEMENT_CLASS(TJPEGCompressionDlg)

TJPEGCompressionDlg::TJPEGCompressionDlg(TComponent* AOwner) : TComponent(AOwner) { }

TJPEGCompressionDlg::~TJPEGCompressionDlg() { SetJPEG(nullptr); }

void TJPEGCompressionDlg::SetJPEG(TJPEGImage* Value)
{
    if (ownsJPEG_ && Value != jpeg_)
        delete jpeg_;
    ownsJPEG_ = ownsJPEG_ && Value == jpeg_;
    jpeg_ = Value;
    if (jpeg_ && AutoSetCompression)
        CompressionWord = JPEGCompressionWord::GetJPEGCompressionWord(*jpeg_);
}

bool TJPEGCompressionDlg::Execute()
{
    auto form = std::make_unique<TJPEGCompressPrefsForm>(nullptr);
    // The test picture made by an earlier call stays the component's own.
    if (!jpeg_) {
        jpeg_ = new TJPEGImage;
        ownsJPEG_ = true;
        JPEGCompressionDlgForm::MakeTestPicture(*jpeg_);
    }
    JPEGCompressionWord::SetJPEGCompressionWord(*jpeg_, CompressionWord);
    const TJPEGCompressionWord before = CompressionWord;
    form->SetSourceJPEG(jpeg_);
    form->SetPreviewVisible(Preview);
    form->AutoPreviewState = AutoPreview;
    if (form->ShowModal() != mrOk)
        return false;
    CompressionWord = JPEGCompressionWord::GetJPEGCompressionWord(*jpeg_);
    if (!AutoSetCompression)
        JPEGCompressionWord::SetJPEGCompressionWord(*jpeg_, before);
    AutoPreview = form->AutoPreviewState;
    return true;
}
