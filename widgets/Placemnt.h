#pragma once
// Window placement of forms kept in an ini file or the registry: the
// placement record of one form in one section, and TFormPlacement, which a
// form carries to get its placement back when it is shown and to store it
// when it closes, with a version stamp, size limits and links through which
// other components keep their own state in the same storage; TFormStorage,
// which also keeps chosen published properties of the form's components and
// named values there.
//
// Sources: Placemnt.cpp (the placement record, size limits, links),
// Placemnt.FormPlacement.cpp, Placemnt.FormStorage.cpp.

#include "platform/rtl/Classes.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Messages.h"
#include "widgets/Ksprops.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TCustomForm;
class TKsWindowHook;
class TFormPlacement;
class TStringList;

enum TPlacementRegRoot : std::uint8_t {
    prCurrentUser,
    prLocalMachine,
    prCurrentConfig,
    prClassesRoot,
    prUsers,
    prDynData
};
enum TPlacementOption : std::uint8_t { fpState, fpPosition, fpActiveControl };
using TPlacementOptions = TEnumSet<TPlacementOption>;
enum TPlacementOperation : std::uint8_t { poSave, poRestore };

namespace Placemnt {

// "(WxH)" of the primary screen, the suffix of the per-resolution keys.
std::string ScreenSizeSuffix();

// One form's placement record in a section of an ini file object or a
// registry ini object (any other object reads defaults and writes nothing).
void WritePlacementRecord(TCustomForm* Form, TObject* IniObject, const std::string& Section);
void ReadPlacementRecord(TCustomForm* Form, TObject* IniObject, const std::string& Section, bool LoadState,
                         bool LoadPosition);

// The record in the section named by the form's class, in the ini file or
// the current user's registry key of that name.
void SaveFormPlacement(TCustomForm* Form, const std::string& IniFileName, bool UseRegistry);
void RestoreFormPlacement(TCustomForm* Form, const std::string& IniFileName, bool UseRegistry);

// The stored number the whole text spells, else the fallback.
int32_t NumberOr(const std::string& text, int32_t fallback);

} // namespace Placemnt

// Eight limits, 0 = not set: maximised position and size, and the track sizes.
class TWinMinMaxInfo : public TPersistent {
    DECLARE_CLASS(TWinMinMaxInfo, TPersistent)
public:
    enum TIndex {
        MaxPosLeftIndex,
        MaxPosTopIndex,
        MaxSizeHeightIndex,
        MaxSizeWidthIndex,
        MaxTrackHeightIndex,
        MaxTrackWidthIndex,
        MinTrackHeightIndex,
        MinTrackWidthIndex
    };

    explicit TWinMinMaxInfo(TFormPlacement* AOwner = nullptr) : owner_(AOwner) { }
    void Assign(const TPersistent* Source) override;

    int32_t GetMinMaxInfo(TIndex Index) const { return values_[Index]; }
    void SetMinMaxInfo(TIndex Index, int32_t Value);
    bool DefaultMinMaxInfo() const;

    int32_t MaxPosLeft() const { return values_[MaxPosLeftIndex]; }
    void SetMaxPosLeft(int32_t v) { SetMinMaxInfo(MaxPosLeftIndex, v); }
    int32_t MaxPosTop() const { return values_[MaxPosTopIndex]; }
    void SetMaxPosTop(int32_t v) { SetMinMaxInfo(MaxPosTopIndex, v); }
    int32_t MaxSizeHeight() const { return values_[MaxSizeHeightIndex]; }
    void SetMaxSizeHeight(int32_t v) { SetMinMaxInfo(MaxSizeHeightIndex, v); }
    int32_t MaxSizeWidth() const { return values_[MaxSizeWidthIndex]; }
    void SetMaxSizeWidth(int32_t v) { SetMinMaxInfo(MaxSizeWidthIndex, v); }
    int32_t MaxTrackHeight() const { return values_[MaxTrackHeightIndex]; }
    void SetMaxTrackHeight(int32_t v) { SetMinMaxInfo(MaxTrackHeightIndex, v); }
    int32_t MaxTrackWidth() const { return values_[MaxTrackWidthIndex]; }
    void SetMaxTrackWidth(int32_t v) { SetMinMaxInfo(MaxTrackWidthIndex, v); }
    int32_t MinTrackHeight() const { return values_[MinTrackHeightIndex]; }
    void SetMinTrackHeight(int32_t v) { SetMinMaxInfo(MinTrackHeightIndex, v); }
    int32_t MinTrackWidth() const { return values_[MinTrackWidthIndex]; }
    void SetMinTrackWidth(int32_t v) { SetMinMaxInfo(MinTrackWidthIndex, v); }

private:
    TFormPlacement* owner_;
    std::array<int32_t, 8> values_{};
};

// Lets another component save and load its state through a placement.
class TIniLink : public TPersistent {
    DECLARE_CLASS(TIniLink, TPersistent)
public:
    TIniLink() = default;
    ~TIniLink() override;

    TFormPlacement* Storage() const { return storage_; }
    void SetStorage(TFormPlacement* Value);
    // The placement's open storage object, or nullptr.
    TObject* IniObject() const;
    // The placement's IniSection as set, followed by "\"; empty without one.
    std::string RootSection() const;

    TNotifyEvent OnSave;
    TNotifyEvent OnLoad;

    virtual void SaveToIni();
    virtual void LoadFromIni();

private:
    friend class TFormPlacement;
    TFormPlacement* storage_ = nullptr;
};

class TFormPlacement : public TComponent {
    DECLARE_CLASS(TFormPlacement, TComponent)
public:
    explicit TFormPlacement(TComponent* AOwner);
    ~TFormPlacement() override;

    bool Active = true;
    // As set; empty means the default name or section.
    std::string IniFileName;
    std::string IniSection;
    TPlacementOptions Options;
    TPlacementRegRoot RegistryRoot = prCurrentUser;
    bool UseRegistry = false;
    int32_t Version = 0;
    TNotifyEvent OnSavePlacement;
    TNotifyEvent OnRestorePlacement;

    TWinMinMaxInfo& MinMaxInfo() { return *minMaxInfo_; }
    void SetMinMaxInfo(const TWinMinMaxInfo& Value) { minMaxInfo_->Assign(&Value); }
    bool PreventResize() const { return preventResize_; }
    void SetPreventResize(bool Value);

    // The storage name and section in use (defaults filled in).
    std::string StorageName() const;
    std::string StorageSection() const;

    void SaveFormPlacement();
    void RestoreFormPlacement();
    std::string ReadString(const std::string& Ident, const std::string& Default);
    void WriteString(const std::string& Ident, const std::string& Value);
    int32_t ReadInteger(const std::string& Ident, int32_t Default);
    void WriteInteger(const std::string& Ident, int32_t Value);
    virtual std::string DoReadString(const std::string& Section, const std::string& Ident, const std::string& Default);
    virtual void DoWriteString(const std::string& Section, const std::string& Ident, const std::string& Value);
    // Erases the section and its sub-sections ("Section.x", "Section\y").
    void EraseSections();
    // The storage object while a save, restore or access runs, else nullptr.
    TObject* GetIniFile() const { return iniObject_.get(); }

    void AddLink(TIniLink* Link);
    void RemoveLink(TIniLink* Link);
    void NotifyLinks(TPlacementOperation Operation);
    TCustomForm* GetForm() const;

    // Puts the component between the form and its OnShow, OnCloseQuery and
    // OnDestroy handlers. Done at construction (or after loading); a form
    // that assigns those handlers later calls it again.
    void SetEvents();
    void MinMaxInfoModified();

    bool Saved() const { return saved_; }
    bool Restored() const { return restored_; }

protected:
    void Loaded() override;
    virtual void SavePlacement();
    virtual void RestorePlacement();
    virtual void Save();
    virtual void Restore();
    void WndMessage(TObject* Sender, TMessage& Msg, bool& Handled);

private:
    void IniNeeded(bool ReadOnly);
    void IniFree();
    // Runs Access with a storage object: the open one, or one opened for
    // this access alone and freed after it.
    void WithStorage(bool ReadOnly, const std::function<void()>& Access);
    void RestoreActiveControl(const std::string& Section);
    void CheckToggleHook();
    void UpdatePreventResize();
    void RestoreFormEvents();
    void FormShow(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormDestroy(TObject* Sender);
    bool Designing() const { return (ComponentState() & csDesigning) != 0; }
    // The handlers put into the form, told apart from the form's own.
    struct ShowHandler;
    struct CloseQueryHandler;
    struct DestroyHandler;

    std::unique_ptr<TObject> iniObject_;
    std::vector<TIniLink*> links_;
    bool saved_ = false;
    bool restored_ = false;
    bool destroying_ = false;
    bool preventResize_ = false;
    bool defaultMaximize_ = true;
    bool eventsSet_ = false;
    std::unique_ptr<TWinMinMaxInfo> minMaxInfo_;
    std::unique_ptr<TKsWindowHook> winHook_;
    TNotifyEvent saveFormShow_;
    TNotifyEvent saveFormDestroy_;
    std::function<void(TObject*, bool&)> saveFormCloseQuery_;
};

// A form placement that also stores published properties of the form's
// components ("Component.Property" items of StoredProps) and named values
// (StoredValues) in the placement's section, at the same moments.
class TFormStorage : public TFormPlacement {
    DECLARE_CLASS(TFormStorage, TFormPlacement)
public:
    explicit TFormStorage(TComponent* AOwner);
    ~TFormStorage() override;

    TStrings& StoredProps();
    // Copies the items; on a form already built each gets its component
    // (items naming none are dropped).
    void SetStoredProps(const TStrings& Value);
    TStoredValues& StoredValues() { return *storedValues_; }

    virtual void SaveProperties();
    // Errors leave the properties as they were.
    virtual void RestoreProperties();

protected:
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void SavePlacement() override;
    void RestorePlacement() override;

private:
    void AttachComponents();
    std::unique_ptr<TPropsStorage> ValueStorage();

    std::unique_ptr<TStringList> storedProps_;
    std::unique_ptr<TStoredValues> storedValues_;
};
