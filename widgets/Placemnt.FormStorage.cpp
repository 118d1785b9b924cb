#include "widgets/Placemnt.h"

#include "platform/rtl/StringList.h"
#include "widgets/Apputils.h"
#include "widgets/Ksprops.h"

IMPLEMENT_CLASS(TFormStorage)

using namespace Apputils;

TFormStorage::TFormStorage(TComponent* AOwner)
    : TFormPlacement(AOwner), storedProps_(std::make_unique<TStringList>()),
      storedValues_(std::make_unique<TStoredValues>())
{ }

TFormStorage::~TFormStorage()
{
    // The components need not tell a storage that is gone.
    for (int i = 0; i < storedProps_->Count(); ++i)
        if (auto* component = dynamic_cast<TComponent*>(storedProps_->Objects(i)))
            component->RemoveFreeNotification(this);
}

TStrings& TFormStorage::StoredProps() { return *storedProps_; }

void TFormStorage::SetStoredProps(const TStrings& Value)
{
    storedProps_->Assign(&Value);
    if (!(ComponentState() & csLoading))
        AttachComponents();
}

void TFormStorage::AttachComponents()
{
    Ksprops::UpdateStoredList(Owner(), *storedProps_, true);
    for (int i = 0; i < storedProps_->Count(); ++i)
        if (auto* component = dynamic_cast<TComponent*>(storedProps_->Objects(i)))
            component->FreeNotification(this);
}

void TFormStorage::Loaded()
{
    TFormPlacement::Loaded();
    AttachComponents();
}

void TFormStorage::Notification(TComponent* AComponent, TOperation Operation)
{
    TFormPlacement::Notification(AComponent, Operation);
    if (Operation != opRemove || (ComponentState() & csDestroying) || !storedProps_)
        return;
    for (int i = storedProps_->Count() - 1; i >= 0; --i)
        if (storedProps_->Objects(i) == AComponent)
            storedProps_->Delete(i);
}

std::unique_ptr<TPropsStorage> TFormStorage::ValueStorage()
{
    auto storage = std::make_unique<TPropsStorage>();
    storage->Section = StorageSection();
    storage->OnReadString = [this](const std::string& section, const std::string& item, const std::string& def) {
        return DoReadString(section, item, def);
    };
    storage->OnWriteString = [this](const std::string& section, const std::string& item, const std::string& value) {
        DoWriteString(section, item, value);
    };
    storage->OnEraseSection = [this](const std::string& section) { IniEraseSection(GetIniFile(), section); };
    return storage;
}

void TFormStorage::SaveProperties()
{
    std::unique_ptr<TPropsStorage> storage = ValueStorage();
    storage->OnReadString = nullptr;
    storage->StoreObjectsProps(Owner(), *storedProps_);
}

void TFormStorage::RestoreProperties()
{
    std::unique_ptr<TPropsStorage> storage = ValueStorage();
    storage->OnWriteString = nullptr;
    storage->OnEraseSection = nullptr;
    try {
        storage->LoadObjectsProps(Owner(), *storedProps_);
    } catch (const std::exception&) {
        // A property that cannot be restored keeps its value.
    }
}

void TFormStorage::SavePlacement()
{
    TFormPlacement::SavePlacement();
    SaveProperties();
    std::unique_ptr<TPropsStorage> storage = ValueStorage();
    storedValues_->SaveValues(*storage);
}

void TFormStorage::RestorePlacement()
{
    TFormPlacement::RestorePlacement();
    RestoreProperties();
    std::unique_ptr<TPropsStorage> storage = ValueStorage();
    storedValues_->RestoreValues(*storage);
}
