#include "player/ShowEnd.h"

#include "core/PictureLoading.h"
#include "core/Setup.h"
#include "core/ShowStepper.h"
#include "core/Tools.h"
#include "core/VisteloList.h"
#include "core/VisteloNPics.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Files.h"
#include "player/AskRepeat.h"
#include "player/ChooseVistelo.h"
#include "player/LogoForm.h"
#include "player/Show.h"

#include <memory>

using namespace Setup;
using PictureLoading::RelFileName;

TShowEnd::TShowEnd(TShowForm& Form, TShowStepper& Stepper) : form_(Form), stepper_(Stepper) { }

bool TShowEnd::VisteloEnd(bool Forward, bool Manual)
{
    std::int32_t action = stepper_.Show->EndAction;
    const int files = Tools::CountStrNr(ShowFiles);
    if (action == deAutoLoadNextVistelo && files <= 1)
        action = deAutoRepeat;
    if (action == deRepeatOrNextVistelo && files <= 1)
        action = deRepeatVistelo;
    for (;;) {
        switch (action) {
        case deAutoRepeat:
            // The step skips hidden slides in its own direction.
            return true;
        case deAutoLoadNextVistelo:
            if (LoadNextVistelo(Forward))
                return false;
            action = deRepeatOrLoadVistelo;
            break;
        case deExitImmediately: VisteloExit(Manual); return false;
        case deRepeatVistelo:
        case deRepeatOrLoadVistelo:
        case deRepeatOrNextVistelo: {
            bool result = true;
            if (AskEndQuestion(action, Manual, Forward, result))
                return result;
            break;
        }
        case deListChooseVistelo: return false;
        default: return true;
        }
    }
}

int TShowEnd::RunEndQuestion(std::int32_t Action, bool Manual, std::string& FileName)
{
    int answer = arEnd;
    form_.WithoutStayOnTop([&] {
        switch (Action) {
        case deRepeatVistelo: {
            const std::unique_ptr<TAskRepeatForm> form(new TAskRepeatForm(&form_));
            answer = form->Execute(Manual);
            break;
        }
        case deRepeatOrLoadVistelo: {
            const std::unique_ptr<TAskRepeatLoadForm> form(new TAskRepeatLoadForm(&form_));
            answer = form->Execute(Manual, FileName);
            break;
        }
        default: {
            const std::unique_ptr<TAskRepeatNextForm> form(new TAskRepeatNextForm(&form_));
            answer = form->Execute(Manual);
            break;
        }
        }
    });
    return answer;
}

bool TShowEnd::AskEndQuestion(std::int32_t& Action, bool Manual, bool Forward, bool& Result)
{
    std::string file;
    switch (RunEndQuestion(Action, Manual, file)) {
    case arEnd:
        stepper_.Show->EndAction = deExitImmediately;
        VisteloExit(Manual);
        Result = false;
        return true;
    case arDontAskMore:
        stepper_.Show->EndAction = deAutoRepeat;
        GoOnAfterQuestion(Result);
        return true;
    case arLoadOther:
        if (!ReloadVistelo(file))
            return false; // the same question again
        ScanDirectory(rtl::ExtractFilePath(rtl::ExpandFileName(file)));
        Result = false;
        return true;
    case arNextShow:
        if (LoadNextVistelo(Forward)) {
            Result = false;
            return true;
        }
        Action = deRepeatOrLoadVistelo;
        return false;
    default: GoOnAfterQuestion(Result); return true;
    }
}

void TShowEnd::GoOnAfterQuestion(bool& Result)
{
    // The question may have waited longer than a pause: the slide that
    // follows gets its whole pause from the answer on.
    stepper_.StepStart = GetTickCount();
    Result = true;
}

void TShowEnd::VisteloExit(bool Manual)
{
    stepper_.StopTimer();
    const bool wasChoosing = ListMode == lmQuit;
    if (stepper_.Show && stepper_.Show->ManualExitToo && stepper_.Show->EndAction > deExitImmediately)
        VisteloEnd(true, Manual);
    else
        stepper_.ExitRequested = true;
    // A question answered inside may have run the chooser already: it is not
    // offered a second time.
    if (ListMode != lmNone && ListMode != lmQuit && stepper_.ExitRequested && !wasChoosing) {
        stepper_.ExitRequested = false;
        stepper_.ExitRequested = !VisteloManager(stepper_.Show, List, -1);
    }
    FinishExit();
}

void TShowEnd::VisteloExitNow()
{
    stepper_.StopTimer();
    stepper_.ExitRequested = true;
    if (ListMode != lmNone && ListMode != lmQuit) {
        stepper_.ExitRequested = false;
        stepper_.ExitRequested = !VisteloManager(stepper_.Show, List, -1);
    }
    FinishExit();
}

void TShowEnd::FinishExit()
{
    if (stepper_.ExitRequested) {
        form_.Close();
        return;
    }
    stepper_.ContinueStepping();
}

void TShowEnd::ExitBtnClick()
{
    form_.ExitTimer->Tag = 1;
    form_.ExitTimer->SetEnabled(true);
}

void TShowEnd::ExitTimerTimer()
{
    form_.ExitTimer->SetEnabled(false);
    const bool manual = form_.ExitTimer->Tag == 1;
    form_.ExitTimer->Tag = 0;
    VisteloExit(manual);
}

void TShowEnd::ScanDirectory(const std::string& Folder)
{
    ShowFiles = Tools::ScanDirectory(Tools::DirName(Folder), "*.vsf\r\n", true);
}

bool TShowEnd::LoadNextVistelo(bool Forward)
{
    const int lines = Tools::CountStrNr(ShowFiles);
    if (lines == 0)
        return false;
    if (Forward)
        ListIndex = ListIndex + 1 >= lines ? 0 : ListIndex + 1;
    else
        ListIndex = ListIndex - 1 < 0 ? lines - 1 : ListIndex - 1;
    return ReloadVistelo(Tools::GetStrNr(ShowFiles, ListIndex));
}

bool TShowEnd::ReloadVistelo(const std::string& FileName)
{
    stepper_.StopTimer();
    if (!form_.CommentsBoxToggled)
        form_.CloseCommentsBox();
    form_.Sounds->SoundPlayer->Stop();
    // Read into a show of its own first: a file that does not load leaves
    // the show playing now intact, so the user may still repeat it.
    TVistelo loaded;
    if (FileName.empty() || loaded.LoadFromFile(FileName, false, false) != dlrOK)
        return false;
    stepper_.Show->Clear();
    stepper_.Show->Assign(&loaded);
    VisteloListVisteloEnd(*stepper_.Show);
    VisteloFilename = FileName;
    if (!stepper_.Show->DontBreakMusic)
        form_.Sounds->MusicPlayer->Stop();
    form_.InitVistelo(stepper_.Show, false, true);
    // The new show's first slide gets its whole pause.
    stepper_.StepNow();
    return true;
}

void TShowEnd::VisteloListVisteloEnd(TVistelo& AShow)
{
    if (!List)
        return;
    if (List->EndAction == deListAutoLoadNext) {
        AShow.EndAction = deAutoLoadNextVistelo;
        AShow.ManualExitToo = false;
    } else if (List->EndAction == deListChooseVistelo) {
        AShow.EndAction = deExitImmediately;
        AShow.ManualExitToo = true;
    }
}

bool TShowEnd::VisteloManager(TVistelo* AShow, TVisteloList* AList, std::int32_t StartIndex)
{
    List = AList;
    int choice = -1;
    std::string file;
    form_.WithoutStayOnTop([&] {
        // The chooser frees itself.
        auto* chooser = new TChooseVisteloForm(&form_, ShowFiles);
        choice = chooser->Execute(AList, StartIndex, ListIndex, file);
    });
    if (ListMode == lmNone)
        ListMode = lmFirstShow;
    else if (ListMode == lmFirstShow)
        ListMode = lmRunning;
    if (choice == -1) {
        ListMode = lmQuit;
        return false;
    }
    JumpToShow(AShow, choice, file);
    return true;
}

void TShowEnd::JumpToShow(TVistelo* AShow, std::int32_t Index, const std::string& FileName)
{
    const std::string file = FileName.empty() ? Tools::GetStrNr(ShowFiles, Index) : FileName;
    const std::string expanded = rtl::ExpandFileName(file);
    if (ListMode == lmFirstShow) {
        if (!file.empty() && AShow->LoadFromFile(file, false, false) == dlrOK) {
            VisteloListVisteloEnd(*AShow);
            VisteloFilename = expanded;
            VisteloLogo(AShow, expanded, false);
            form_.InitVistelo(AShow, true, false);
            stepper_.SetVisteloPos(-1, false);
        }
    } else {
        ReloadVistelo(file);
    }
    ListIndex = Index;
}

void TShowEnd::VisteloLogo(TVistelo* AShow, const std::string& FileName, bool FromObject)
{
    if (AShow->LogoPause == 0 || AShow->Logo == lNoLogo)
        return;
    if (AShow->Logo != lUserLogo && FromObject)
        return;
    const std::string file = AShow->Logo == lStdLogo ? HomeDir + "Vistelo.jpg"
                                                     : RelFileName(AShow->LogoFilename, FileName);
    // The logo window frees itself when it closes.
    auto* logo = new TLogoForm(Application);
    logo->Execute(file, AShow->LogoPause);
}

void TShowEnd::PlayVistelo(const std::string& FileName, std::int32_t StartPos)
{
    const std::string expanded = rtl::ExpandFileName(FileName);
    ScanDirectory(rtl::ExtractFilePath(expanded));
    if (!stepper_.Show || stepper_.Show->LoadFromFile(FileName, false, false) != dlrOK) {
        form_.Close();
        return;
    }
    VisteloListVisteloEnd(*stepper_.Show);
    VisteloFilename = expanded;
    VisteloLogo(stepper_.Show, expanded, false);
    form_.InitVistelo(stepper_.Show, true, false);
    stepper_.SetVisteloPos(StartPos, false);
    if (!form_.Modal())
        form_.ShowModal();
}
