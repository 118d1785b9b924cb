#include "editor/tools/MusicPreviewForm.h"

#include "core/PictureLoading.h"
#include "core/Setup.h"
#include "core/SoundPlayerUnit.h"
#include "editor/tools/ToolResources.h"
#include "platform/graphics/Bitmap.h"
#include "platform/media/MediaPlayer.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"

IMPLEMENT_CLASS(TMusicPreview)

namespace {

std::string Replace(std::string text, const std::string& value)
{
    const auto at = text.find("%s");
    return at == std::string::npos ? text : text.replace(at, 2, value);
}

} // namespace

TMusicPreview::TMusicPreview(TComponent* AOwner) : TForm(AOwner)
{
    SetCaption("Musikwiedergabe");
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetClientWidth(360);
    SetClientHeight(140);

    Image = new TImage(this);
    Image->SetParent(this);
    Image->SetBounds(12, 12, 48, 48);
    try {
        ToolResources::LoadBitmap(Image->Picture().Bitmap(), "MusicPreview");
    } catch (const EResNotFound&) {
        // The window shows its texts alone.
    }

    FilenameLabel = new TLabel(this);
    FilenameLabel->SetParent(this);
    FilenameLabel->SetBounds(72, 12, 276, 16);

    InfoLabel = new TLabel(this);
    InfoLabel->SetParent(this);
    InfoLabel->SetWordWrap(true);
    InfoLabel->SetCaption("Musik spielt und wird automatisch wiederholt.\n\nKlicken Sie auf \"Schließen\", um die "
                          "Wiedergabe zu beenden.");
    InfoLabel->SetBounds(72, 36, 276, 60);

    CloseButton = new TButton(this);
    CloseButton->SetParent(this);
    CloseButton->SetCaption("Schließen");
    CloseButton->SetBounds(135, 104, 90, 25);
    CloseButton->Default = true;
    CloseButton->Cancel = true;
    CloseButton->OnClick = [this](TObject*) { Close(); };

    Timer = new TTimer(this);
    Timer->SetEnabled(false);
    Timer->SetInterval(10);
    Timer->OnTimer = [this](TObject* Sender) { TimerTimer(Sender); };

    MediaPlayer = new TMediaPlayer(this);
    SoundTimer = new TSoundPlayerTimer(this);
    SoundTimer->SetInterval(1);

    DecoderPlayer = std::make_unique<TmyElPlayer>();
    DecoderPlayer->PathToDLL = Setup::HomeDir + "elamp.esp";
    try {
        DecoderPlayer->Init();
        DecoderPlayer->SetPriority(15);
    } catch (const Exception&) {
        // Without the decoder module MPEG files go to the media player alone.
        DecoderPlayer.reset();
    }
    SoundPlayer = std::make_unique<TSoundPlayer>(MediaPlayer, DecoderPlayer.get(), SoundTimer);

    OnActivate = [this](TObject* Sender) { FormActivate(Sender); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
}

TMusicPreview::~TMusicPreview()
{
    SoundPlayer.reset();
    if (DecoderPlayer) {
        try {
            DecoderPlayer->Deinit();
        } catch (const Exception&) {
        }
        DecoderPlayer.reset();
    }
}

// Starts once: the window coming back to the front does not start the
// file again.
void TMusicPreview::FormActivate(TObject*)
{
    if (started_)
        return;
    started_ = true;
    const std::string resolved = PictureLoading::RelFileName(FileName, Setup::VisteloFilename);
    FilenameLabel->SetCaption(resolved.empty() ? FileName : resolved);
    if (!resolved.empty() && SoundPlayer->LoadFromFile(resolved, true, Setup::ForceUseInternalMP3Player)) {
        SoundPlayer->Play();
        return;
    }
    ui::ShowMessage(Replace(PlayFailedMessage, resolved.empty() ? FileName : resolved));
    Timer->SetEnabled(true);
}

void TMusicPreview::TimerTimer(TObject*)
{
    Timer->SetEnabled(false);
    Close();
}

void TMusicPreview::FormClose(TObject*, TCloseAction& Action)
{
    SoundPlayer->Stop();
    Action = caFree;
}
