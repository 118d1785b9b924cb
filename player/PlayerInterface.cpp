#include "player/PlayerInterface.h"

#include "core/PictureAhead.h"
#include "core/Setup.h"
#include "core/ShowStartAhead.h"
#include "core/Tools.h"
#include "core/VisteloList.h"
#include "core/VisteloNPics.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Modules.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Forms.h"
#include "player/Show.h"

#include <memory>
#include <optional>

IMPLEMENT_CLASS(TMainPlayer)

namespace {

// The index of the list's first enabled entry, counted over all entries;
// -1 when none is enabled.
std::int32_t FirstEnabledEntry(const TVisteloList& List)
{
    std::int32_t index = 0;
    for (const TListItem* node = List.Items->Head; node; node = node->NextItem, ++index)
        if (static_cast<const TVisteloListItem*>(node)->Active)
            return index;
    return -1;
}

// One playback's frame: the playback window exists and the shared settings
// are kept from its creation (the player ini read) to its end, when they are
// put back and the window is freed, also when playback raises. Objects the
// playback creates are declared after the frame and so freed before it.
class TPlayback {
public:
    TPlayback()
    {
        OrigWidth = -1;
        OrigHeight = -1;
        Tools::CreateOwnerForm(Application, ShowForm);
        Setup::SaveSharedData(saved_);
    }
    ~TPlayback()
    {
        Setup::RestoreSharedData(saved_);
        delete ShowForm;
        ShowForm = nullptr;
    }
    TPlayback(const TPlayback&) = delete;
    TPlayback& operator=(const TPlayback&) = delete;

    TShowForm& Form() { return *ShowForm; }

    // Takes the show over, positions it and runs the window until it closes.
    void Play(TVistelo& Show, const std::string& ShowFile, std::int32_t StartPos)
    {
        Form().InitVistelo(&Show, true, false);
        // A show without a file of its own has no folder of shows beside it.
        if (ShowFile.empty())
            Form().End->ShowFiles.clear();
        else
            Form().End->ScanDirectory(rtl::ExtractFilePath(ShowFile));
        Form().Stepper.SetVisteloPos(StartPos, false);
        Form().ShowModal();
        Form().Stepper.Show = nullptr;
    }

    // Lets the user choose from List and plays the choice; a choice whose
    // show does not load is reported and ends the playback at once (false).
    bool PlayList(TVisteloList& List, std::int32_t StartIndex)
    {
        auto show = std::make_unique<TVistelo>();
        // The first show the list plays, not a disabled entry before it.
        if (StartIndex == -1 && List.StartAction == dlsPlayFirstVistelo)
            StartIndex = FirstEnabledEntry(List);
        bool loaded = true; // also when the user leaves the chooser
        if (Form().End->VisteloManager(show.get(), &List, StartIndex)) {
            if (Form().Stepper.Show) {
                Form().ShowModal();
            } else {
                ReportNotLoaded(Tools::GetStrNr(Form().End->ShowFiles, Form().End->ListIndex));
                loaded = false;
            }
        }
        Form().Stepper.Show = nullptr;
        return loaded;
    }

    // The loaders say nothing of a show that does not load: the start says it
    // once, in the words the show list's loader uses.
    static void ReportNotLoaded(const std::string& FileName)
    {
        ui::ShowMessage("Fehler beim Laden der Datei \"" + FileName + "\".");
    }

private:
    TSharedData saved_;
};

// The show file read and, for a playback from its start, its first picture
// loading while the window is still to be built: prepared by the stand-alone
// player before its toolkit started, else done here. Show stays empty when
// the file does not read.
std::unique_ptr<TShowStartAhead> ReadShowFile(const std::string& FileName, bool FromStart)
{
    if (std::unique_ptr<TShowStartAhead> prepared = ShowStartAhead::Claim(FileName); prepared && FromStart)
        return prepared;
    std::optional<TSize> screen;
    if (FromStart)
        screen = TSize{Screen->Width(), Screen->Height()};
    return ShowStartAhead::Read(FileName, screen);
}

} // namespace

bool TMainPlayer::VisteloStartFilename(const std::string& FileName, std::int32_t StartPos)
{
    const std::string expanded = rtl::ExpandFileName(FileName);
    const std::unique_ptr<TShowStartAhead> start = ReadShowFile(FileName, StartPos == -1);
    TPlayback playback;
    if (!start->Show) {
        TPlayback::ReportNotLoaded(expanded);
        return false;
    }
    Setup::VisteloFilename = expanded;
    playback.Form().Display->AdoptPictureAhead(std::move(start->FirstPicture));
    playback.Form().End->VisteloLogo(start->Show.get(), expanded, false);
    playback.Play(*start->Show, expanded, StartPos);
    return true;
}

void TMainPlayer::VisteloStart(TVistelo& Show, std::int32_t StartPos)
{
    TPlayback playback;
    auto copy = std::make_unique<TVistelo>();
    copy->Assign(&Show);
    playback.Form().End->VisteloLogo(copy.get(), Setup::VisteloFilename, true);
    playback.Play(*copy, Setup::VisteloFilename, StartPos);
    if (Show.ReferenceWidth == -1)
        Show.ReferenceWidth = OrigWidth;
    if (Show.ReferenceHeight == -1)
        Show.ReferenceHeight = OrigHeight;
}

bool TMainPlayer::VisteloListStartFilename(const std::string& FileName, std::int32_t StartIndex, std::int32_t&)
{
    TPlayback playback;
    auto list = std::make_unique<TVisteloList>();
    // The list's loader reports a list that does not load itself.
    if (!list->LoadFromFile(rtl::ExpandFileName(FileName)))
        return false;
    return playback.PlayList(*list, StartIndex);
}

bool TMainPlayer::VisteloListStart(TVisteloList& List, std::int32_t StartIndex, std::int32_t& LastIndex)
{
    TPlayback playback;
    auto copy = std::make_unique<TVisteloList>();
    copy->Assign(&List);
    const bool loaded = playback.PlayList(*copy, StartIndex);
    LastIndex = playback.Form().End->ListIndex;
    return loaded;
}

namespace {

const bool registered = (rtl::RegisterModuleInit([] { rtl::RegisterClass(TMainPlayer::StaticClass()); },
                                                 [] { rtl::UnRegisterClass(TMainPlayer::StaticClass()); }),
                         true);

} // namespace
