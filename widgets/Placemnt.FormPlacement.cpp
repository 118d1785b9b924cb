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

IMPLEMENT_CLASS(TFormPlacement)

using namespace Apputils;
using Placemnt::NumberOr;

namespace {

HKEY RootKeyOf(TPlacementRegRoot root)
{
    switch (root) {
    case prLocalMachine: return HKEY_LOCAL_MACHINE;
    case prCurrentConfig: return HKEY_CURRENT_CONFIG;
    case prClassesRoot: return HKEY_CLASSES_ROOT;
    case prUsers: return HKEY_USERS;
    case prDynData: return HKEY_DYN_DATA;
    default: return HKEY_CURRENT_USER;
    }
}

void PublishPlacementProperties()
{
    static const bool published = [] {
        rtl::RegisterPublishedProperty<TFormPlacement>(
            "IniFileName", tkLString, [](const TFormPlacement& p) { return TPropValue(p.IniFileName); },
            [](TFormPlacement& p, const TPropValue& v) { p.IniFileName = std::get<std::string>(v); });
        rtl::RegisterPublishedProperty<TFormPlacement>(
            "IniSection", tkLString, [](const TFormPlacement& p) { return TPropValue(p.IniSection); },
            [](TFormPlacement& p, const TPropValue& v) { p.IniSection = std::get<std::string>(v); });
        return true;
    }();
    (void)published;
}

} // namespace

TFormPlacement::TFormPlacement(TComponent* AOwner)
    : TComponent(AOwner), minMaxInfo_(std::make_unique<TWinMinMaxInfo>(this)),
      winHook_(std::make_unique<TKsWindowHook>(nullptr))
{
    PublishPlacementProperties();
    if (GetForm())
        Options = {fpState, fpPosition};
    winHook_->AfterMessage = [this](TObject* Sender, TMessage& Msg, bool& Handled) {
        WndMessage(Sender, Msg, Handled);
    };
    winHook_->SetActive(false);
    if (!(ComponentState() & csLoading))
        SetEvents();
}

TFormPlacement::~TFormPlacement()
{
    IniFree();
    while (!links_.empty())
        RemoveLink(links_.back());
    if (!Designing()) {
        winHook_->SetWinControl(nullptr);
        RestoreFormEvents();
    }
}

TCustomForm* TFormPlacement::GetForm() const { return dynamic_cast<TCustomForm*>(Owner()); }

void TFormPlacement::Loaded()
{
    bool loading = ComponentState() & csLoading;
    TComponent::Loaded();
    if (Designing())
        return;
    if (loading)
        SetEvents();
    CheckToggleHook();
}

struct TFormPlacement::ShowHandler {
    TFormPlacement* Placement;
    void operator()(TObject* Sender) const { Placement->FormShow(Sender); }
};
struct TFormPlacement::CloseQueryHandler {
    TFormPlacement* Placement;
    void operator()(TObject* Sender, bool& CanClose) const { Placement->FormCloseQuery(Sender, CanClose); }
};
struct TFormPlacement::DestroyHandler {
    TFormPlacement* Placement;
    void operator()(TObject* Sender) const { Placement->FormDestroy(Sender); }
};

void TFormPlacement::SetEvents()
{
    TCustomForm* form = GetForm();
    if (!form)
        return;
    // Handlers the form got since the last call become the form's own.
    if (!form->OnShow.target<ShowHandler>()) {
        saveFormShow_ = form->OnShow;
        form->OnShow = ShowHandler{this};
    }
    if (!form->OnCloseQuery.target<CloseQueryHandler>()) {
        saveFormCloseQuery_ = form->OnCloseQuery;
        form->OnCloseQuery = CloseQueryHandler{this};
    }
    if (!form->OnDestroy.target<DestroyHandler>()) {
        saveFormDestroy_ = form->OnDestroy;
        form->OnDestroy = DestroyHandler{this};
    }
    eventsSet_ = true;
    defaultMaximize_ = form->BorderIcons().Contains(biMaximize);
    if (preventResize_)
        UpdatePreventResize();
}

void TFormPlacement::RestoreFormEvents()
{
    TCustomForm* form = GetForm();
    // A form on its way out has no handlers left to give back.
    if (!form || !eventsSet_ || (form->ComponentState() & csDestroying))
        return;
    form->OnShow = saveFormShow_;
    form->OnCloseQuery = saveFormCloseQuery_;
    form->OnDestroy = saveFormDestroy_;
    eventsSet_ = false;
}

void TFormPlacement::FormShow(TObject* Sender)
{
    if (Active) {
        try {
            RestoreFormPlacement();
        } catch (...) {
            ui::HandleException(this);
        }
    }
    if (saveFormShow_)
        saveFormShow_(Sender);
}

void TFormPlacement::FormCloseQuery(TObject* Sender, bool& CanClose)
{
    if (saveFormCloseQuery_)
        saveFormCloseQuery_(Sender, CanClose);
    TCustomForm* form = GetForm();
    if (!CanClose || !Active || !form || !form->HandleAllocated())
        return;
    try {
        SaveFormPlacement();
    } catch (...) {
        ui::HandleException(this);
    }
}

void TFormPlacement::FormDestroy(TObject* Sender)
{
    if (Active && !saved_) {
        destroying_ = true;
        try {
            SaveFormPlacement();
        } catch (...) {
            ui::HandleException(this);
        }
        destroying_ = false;
    }
    if (saveFormDestroy_)
        saveFormDestroy_(Sender);
}

std::string TFormPlacement::StorageName() const
{
    if (!IniFileName.empty())
        return IniFileName;
    return UseRegistry ? GetDefaultIniRegKey() : GetDefaultIniName();
}

std::string TFormPlacement::StorageSection() const
{
    return IniSection.empty() ? GetDefaultSection(Owner()) : IniSection;
}

void TFormPlacement::IniNeeded(bool ReadOnly)
{
    if (iniObject_)
        return;
    if (UseRegistry) {
        auto reg = std::make_unique<TRegIniFile>(StorageName(), ReadOnly ? KEY_READ : KEY_ALL_ACCESS);
        if (RegistryRoot != prCurrentUser)
            reg->SetRootKey(RootKeyOf(RegistryRoot));
        iniObject_ = std::move(reg);
    } else {
        // The default file lives in the configuration folder, which a first
        // run has not made yet.
        const std::string folder = rtl::ExtractFilePath(StorageName());
        if (!ReadOnly && !folder.empty())
            rtl::ForceDirectories(folder);
        iniObject_ = std::make_unique<TIniFile>(StorageName());
    }
}

void TFormPlacement::IniFree()
{
    std::unique_ptr<TObject> ini = std::move(iniObject_);
    if (auto* file = dynamic_cast<TCustomIniFile*>(ini.get()))
        file->UpdateFile();
}

void TFormPlacement::WithStorage(bool ReadOnly, const std::function<void()>& Access)
{
    if (iniObject_) {
        Access();
        return;
    }
    IniNeeded(ReadOnly);
    try {
        Access();
    } catch (...) {
        iniObject_.reset();
        throw;
    }
    if (ReadOnly)
        iniObject_.reset();
    else
        IniFree();
}

void TFormPlacement::SaveFormPlacement()
{
    // An active placement that never restored keeps the stored record.
    if (!restored_ && Active)
        return;
    WithStorage(false, [this] {
        IniWriteInteger(iniObject_.get(), StorageSection(), "FormVersion", Version);
        SavePlacement();
        Save();
        saved_ = true;
    });
}

void TFormPlacement::SavePlacement()
{
    TCustomForm* form = GetForm();
    if (!form)
        return;
    const std::string section = StorageSection();
    Placemnt::WritePlacementRecord(form, iniObject_.get(), section);
    if (Options.Contains(fpActiveControl) && form->ActiveControl())
        IniWriteString(iniObject_.get(), section, "ActiveControl", form->ActiveControl()->Name());
    IniWriteBool(iniObject_.get(), section, "Visible", destroying_);
    NotifyLinks(poSave);
}

void TFormPlacement::RestoreFormPlacement()
{
    saved_ = false;
    try {
        WithStorage(true, [this] {
            const std::string section = StorageSection();
            if (IniReadInteger(iniObject_.get(), section, "FormVersion", 0) < Version)
                return;
            RestorePlacement();
            restored_ = true;
            Restore();
            RestoreActiveControl(section);
        });
    } catch (...) {
        restored_ = true;
        throw;
    }
    restored_ = true;
}

void TFormPlacement::RestoreActiveControl(const std::string& Section)
{
    TCustomForm* form = GetForm();
    if (!Options.Contains(fpActiveControl) || !form)
        return;
    std::string name = IniReadString(iniObject_.get(), Section, "ActiveControl", "");
    auto* control = dynamic_cast<TWinControl*>(name.empty() ? nullptr : form->FindComponent(name));
    if (control && control->CanFocus())
        form->SetActiveControl(control);
}

void TFormPlacement::RestorePlacement()
{
    if (TCustomForm* form = GetForm()) {
        Placemnt::ReadPlacementRecord(form, iniObject_.get(), StorageSection(), Options.Contains(fpState),
                                      Options.Contains(fpPosition));
        NotifyLinks(poRestore);
    }
}

void TFormPlacement::Save()
{
    if (OnSavePlacement)
        OnSavePlacement(this);
}

void TFormPlacement::Restore()
{
    if (OnRestorePlacement)
        OnRestorePlacement(this);
}

std::string TFormPlacement::DoReadString(const std::string& Section, const std::string& Ident,
                                         const std::string& Default)
{
    std::string value;
    WithStorage(true, [&] { value = IniReadString(iniObject_.get(), Section, Ident, Default); });
    return value;
}

void TFormPlacement::DoWriteString(const std::string& Section, const std::string& Ident, const std::string& Value)
{
    WithStorage(false, [&] { IniWriteString(iniObject_.get(), Section, Ident, Value); });
}

std::string TFormPlacement::ReadString(const std::string& Ident, const std::string& Default)
{
    return DoReadString(StorageSection(), Ident, Default);
}

void TFormPlacement::WriteString(const std::string& Ident, const std::string& Value)
{
    DoWriteString(StorageSection(), Ident, Value);
}

int32_t TFormPlacement::ReadInteger(const std::string& Ident, int32_t Default)
{
    return NumberOr(ReadString(Ident, std::to_string(Default)), Default);
}

void TFormPlacement::WriteInteger(const std::string& Ident, int32_t Value)
{
    WriteString(Ident, std::to_string(Value));
}

void TFormPlacement::EraseSections()
{
    if (iniObject_)
        return;
    WithStorage(false, [this] {
        TStringList sections;
        IniReadSections(iniObject_.get(), sections);
        const std::string section = StorageSection();
        for (int i = 0; i < sections.Count(); ++i) {
            const std::string name = sections.Strings(i);
            if (name == section || Strutils::IsWild(name, section + ".*", false) ||
                Strutils::IsWild(name, section + "\\*", false))
                IniEraseSection(iniObject_.get(), name);
        }
    });
}

void TFormPlacement::AddLink(TIniLink* Link)
{
    if (Link->storage_ && Link->storage_ != this)
        Link->storage_->RemoveLink(Link);
    if (std::find(links_.begin(), links_.end(), Link) == links_.end())
        links_.push_back(Link);
    Link->storage_ = this;
}

void TFormPlacement::RemoveLink(TIniLink* Link)
{
    std::erase(links_, Link);
    if (Link->storage_ == this)
        Link->storage_ = nullptr;
}

void TFormPlacement::NotifyLinks(TPlacementOperation Operation)
{
    const std::vector<TIniLink*> links = links_;
    for (TIniLink* link : links) {
        if (Operation == poSave)
            link->SaveToIni();
        else
            link->LoadFromIni();
    }
}

void TFormPlacement::SetPreventResize(bool Value)
{
    if (!GetForm() || Value == preventResize_)
        return;
    preventResize_ = Value;
    UpdatePreventResize();
}

void TFormPlacement::UpdatePreventResize()
{
    TCustomForm* form = GetForm();
    if (Designing() || !form)
        return;
    if (preventResize_)
        defaultMaximize_ = form->BorderIcons().Contains(biMaximize);
    bool wasActive = Active;
    Active = false;
    TBorderIcons icons = form->BorderIcons();
    if (preventResize_ || !defaultMaximize_ || form->BorderStyle() == bsDialog)
        icons.Exclude(biMaximize);
    else
        icons.Include(biMaximize);
    form->SetBorderIcons(icons);
    Active = wasActive;
    if (!(ComponentState() & csLoading))
        CheckToggleHook();
}

void TFormPlacement::MinMaxInfoModified()
{
    if (!(ComponentState() & csLoading))
        CheckToggleHook();
}

void TFormPlacement::CheckToggleHook()
{
    TCustomForm* form = GetForm();
    bool wanted = form && (preventResize_ || !minMaxInfo_->DefaultMinMaxInfo());
    winHook_->SetWinControl(wanted ? form : nullptr);
    winHook_->SetActive(wanted);
    if (form)
        form->UpdateSizeLimits();
}

void TFormPlacement::WndMessage(TObject*, TMessage& Msg, bool&)
{
    if (Msg.Msg != WM_GETMINMAXINFO || !Msg.LParam)
        return;
    auto* info = reinterpret_cast<MINMAXINFO*>(Msg.LParam);
    TCustomForm* form = GetForm();
    if (preventResize_ && form) {
        if (form->HandleAllocated() && form->Visible()) {
            info->ptMinTrackSize = Point(form->Width(), form->Height());
            info->ptMaxTrackSize = info->ptMinTrackSize;
            Msg.Result = 1;
        }
        return;
    }
    const TWinMinMaxInfo& m = *minMaxInfo_;
    if (m.DefaultMinMaxInfo()) {
        info->ptMaxPosition = Point(0, 0);
    } else {
        auto replace = [](int32_t& field, int32_t value) {
            if (value != 0)
                field = value;
        };
        replace(info->ptMinTrackSize.X, m.MinTrackWidth());
        replace(info->ptMinTrackSize.Y, m.MinTrackHeight());
        replace(info->ptMaxTrackSize.X, m.MaxTrackWidth());
        replace(info->ptMaxTrackSize.Y, m.MaxTrackHeight());
        replace(info->ptMaxSize.X, m.MaxSizeWidth());
        replace(info->ptMaxSize.Y, m.MaxSizeHeight());
        replace(info->ptMaxPosition.X, m.MaxPosLeft());
        replace(info->ptMaxPosition.Y, m.MaxPosTop());
    }
    Msg.Result = 1;
}
