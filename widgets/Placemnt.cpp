#include "widgets/Placemnt.h"

#include "platform/rtl/Files.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/Properties.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Threads.h"
#include "platform/ui/Forms.h"
#include "widgets/Apputils.h"
#include "widgets/KsHook.h"
#include "widgets/Strutils.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

IMPLEMENT_CLASS(TWinMinMaxInfo)
IMPLEMENT_CLASS(TIniLink)

using namespace Apputils;

namespace {

// Show commands of a stored window placement.
constexpr int32_t ShowNormal = 1;
constexpr int32_t ShowMinimized = 2;
constexpr int32_t ShowMaximized = 3;
// The placement flag of a minimised child window with its own position.
constexpr int32_t SetMinPosition = 1;
// Written for the minimised and maximised positions, which the window
// system here does not report: "no position".
constexpr const char* NoMinMaxPosition = "-1,-1,-1,-1";

// The n-th (1-based) number of a "a,b,c,d" value, or the fallback.
int32_t Word(const std::string& value, int n, int32_t fallback)
{
    static const TCharSet delimiters = Strutils::CharSet(" ,");
    return Placemnt::NumberOr(Strutils::ExtractWord(n, value, delimiters), fallback);
}

std::string FourNumbers(int a, int b, int c, int d)
{
    char text[64];
    std::snprintf(text, sizeof text, "%d,%d,%d,%d", a, b, c, d);
    return text;
}

std::string ReadPlacementValue(TObject* ini, const std::string& section, const std::string& ident)
{
    std::string value = IniReadString(ini, section, ident + Placemnt::ScreenSizeSuffix(), "");
    return value.empty() ? IniReadString(ini, section, ident, "") : value;
}

void WritePlacementValue(TObject* ini, const std::string& section, const std::string& ident, const std::string& value)
{
    IniWriteString(ini, section, ident + Placemnt::ScreenSizeSuffix(), value);
    IniWriteString(ini, section, ident, value);
}

bool IsMainFormOrNone(const TCustomForm* form)
{
    return !Application || !Application->MainForm() || Application->MainForm() == form;
}

int32_t ShowCommandOf(const TCustomForm* form)
{
    if (Application && Application->MainForm() == form && Application->IsMinimized())
        return ShowMinimized;
    switch (form->WindowState()) {
    case wsMinimized: return ShowMinimized;
    case wsMaximized: return ShowMaximized;
    default: return ShowNormal;
    }
}

void ReadPosition(TCustomForm* form, TObject* ini, const std::string& section)
{
    bool dataFound = false;
    if (!ReadPlacementValue(ini, section, "MinMaxPos").empty())
        dataFound = true; // the positions themselves have no use here
    TRect r = form->BoundsRect();
    std::string normPos = ReadPlacementValue(ini, section, "NormPos");
    if (!normPos.empty()) {
        r = Rect(Word(normPos, 1, r.Left), Word(normPos, 2, r.Top), Word(normPos, 3, r.Right),
                 Word(normPos, 4, r.Bottom));
        dataFound = true;
    }
    int ppi = Screen ? Screen->PixelsPerInch : 96;
    if (IniReadInteger(ini, section, "PixelsPerInch", ppi) != ppi || !dataFound)
        return;
    if (form->BorderStyle() != bsSizeable && form->BorderStyle() != bsSizeToolWin) {
        r.Right = r.Left + form->Width();
        r.Bottom = r.Top + form->Height();
    }
    if (r.Right <= r.Left)
        return;
    if ((form->Position() == poScreenCenter || form->Position() == poDesktopCenter) &&
        !(form->ComponentState() & csDesigning))
        form->SetPosition(poDesigned);
    form->SetBoundsRect(r);
}

// False when the state is left to the application (minimised main form).
bool ReadState(TCustomForm* form, TObject* ini, const std::string& section)
{
    TWindowState state = wsNormal;
    if (IsMainFormOrNone(form) &&
        (form->FormStyle() == fsMDIForm || (form->FormStyle() == fsNormal && form->Position() == poDefault)))
        state = wsMaximized;
    switch (IniReadInteger(ini, section, "ShowCmd", 0)) {
    case 1:
    case 5:
    case 9: state = wsNormal; break;
    case 2:
    case 6:
    case 7: state = wsMinimized; break;
    case 3: state = wsMaximized; break;
    default: break;
    }
    if (state == wsMinimized && IsMainFormOrNone(form)) {
        // The application goes to the task bar, not the form; once the
        // form is up, so the message loop does it.
        form->SetWindowState(wsNormal);
        TThread::Queue(nullptr, [] {
            if (Application)
                Application->Minimize();
        });
        return false;
    }
    form->SetWindowState(state);
    return true;
}

} // namespace

// ---------------------------------------------------------------------------
// The placement record

namespace Placemnt {

std::string ScreenSizeSuffix()
{
    int width = Screen ? Screen->Width() : 0;
    int height = Screen ? Screen->Height() : 0;
    return "(" + std::to_string(width) + "x" + std::to_string(height) + ")";
}

void WritePlacementRecord(TCustomForm* Form, TObject* IniObject, const std::string& Section)
{
    int32_t flags = 0;
    if (Form->FormStyle() == fsMDIChild && Form->WindowState() == wsMinimized)
        flags |= SetMinPosition;
    IniWriteInteger(IniObject, Section, "Flags", flags);
    IniWriteInteger(IniObject, Section, "ShowCmd", ShowCommandOf(Form));
    IniWriteInteger(IniObject, Section, "PixelsPerInch", Screen ? Screen->PixelsPerInch : 96);
    WritePlacementValue(IniObject, Section, "MinMaxPos", NoMinMaxPosition);
    TRect r = Form->BoundsRect();
    WritePlacementValue(IniObject, Section, "NormPos", FourNumbers(r.Left, r.Top, r.Right, r.Bottom));
}

void ReadPlacementRecord(TCustomForm* Form, TObject* IniObject, const std::string& Section, bool LoadState,
                         bool LoadPosition)
{
    if (!LoadState && !LoadPosition)
        return;
    if (LoadPosition)
        ReadPosition(Form, IniObject, Section);
    if (LoadState && !ReadState(Form, IniObject, Section))
        return;
    if (Form->HandleAllocated())
        Form->Update();
}

void SaveFormPlacement(TCustomForm* Form, const std::string& IniFileName, bool UseRegistry)
{
    std::unique_ptr<TObject> ini;
    if (UseRegistry)
        ini = std::make_unique<TRegIniFile>(IniFileName);
    else
        ini = std::make_unique<TIniFile>(IniFileName);
    WritePlacementRecord(Form, ini.get(), Form->ClassName());
    if (auto* file = dynamic_cast<TCustomIniFile*>(ini.get()))
        file->UpdateFile();
}

void RestoreFormPlacement(TCustomForm* Form, const std::string& IniFileName, bool UseRegistry)
{
    std::unique_ptr<TObject> ini;
    if (UseRegistry)
        ini = std::make_unique<TRegIniFile>(IniFileName, KEY_READ);
    else
        ini = std::make_unique<TIniFile>(IniFileName);
    ReadPlacementRecord(Form, ini.get(), Form->ClassName(), true, true);
}

int32_t NumberOr(const std::string& text, int32_t fallback)
{
    int32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty() ? value : fallback;
}

} // namespace Placemnt

// ---------------------------------------------------------------------------
// TWinMinMaxInfo

void TWinMinMaxInfo::Assign(const TPersistent* Source)
{
    auto* other = dynamic_cast<const TWinMinMaxInfo*>(Source);
    if (!other) {
        TPersistent::Assign(Source);
        return;
    }
    if (other->values_ == values_)
        return;
    values_ = other->values_;
    if (owner_)
        owner_->MinMaxInfoModified();
}

void TWinMinMaxInfo::SetMinMaxInfo(TIndex Index, int32_t Value)
{
    if (values_[Index] == Value)
        return;
    values_[Index] = Value;
    if (owner_)
        owner_->MinMaxInfoModified();
}

bool TWinMinMaxInfo::DefaultMinMaxInfo() const
{
    return std::all_of(values_.begin(), values_.end(), [](int32_t v) { return v == 0; });
}

// ---------------------------------------------------------------------------
// TIniLink

TIniLink::~TIniLink()
{
    OnSave = nullptr;
    OnLoad = nullptr;
    SetStorage(nullptr);
}

void TIniLink::SetStorage(TFormPlacement* Value)
{
    if (Value == storage_)
        return;
    if (storage_)
        storage_->RemoveLink(this);
    if (Value)
        Value->AddLink(this);
}

TObject* TIniLink::IniObject() const { return storage_ ? storage_->GetIniFile() : nullptr; }

std::string TIniLink::RootSection() const
{
    return storage_ && !storage_->IniSection.empty() ? storage_->IniSection + "\\" : std::string();
}

void TIniLink::SaveToIni()
{
    if (OnSave)
        OnSave(this);
}

void TIniLink::LoadFromIni()
{
    if (OnLoad)
        OnLoad(this);
}
