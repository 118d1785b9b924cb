#include "core/Plugins.h"

#include "core/Setup.h"

#include "platform/rtl/Exceptions.h"

IMPLEMENT_CLASS(TPlugin)
IMPLEMENT_CLASS(TPluginListItem)
IMPLEMENT_CLASS(TPlugins)

namespace Setup {

std::unique_ptr<TPlugins> MainPlugins;

} // namespace Setup

TGUID TPluginMeta::GUID() const { return Tools::StringToGUID("00000000-0000-0000-0000-000000000000"); }

TPluginClass AsPluginClass(TClass aClass) { return dynamic_cast<TPluginClass>(aClass); }

TPluginListItem::TPluginListItem(TPluginClass pluginClass, bool unregisterOnFree)
    : UnregisterOnFree(unregisterOnFree), pluginClass_(pluginClass)
{
    rtl::RegisterClass(pluginClass_);
}

TPluginListItem::~TPluginListItem()
{
    plugin_.reset();
    if (UnregisterOnFree)
        rtl::UnRegisterClass(pluginClass_);
}

TPlugin* TPluginListItem::GetPlugin()
{
    if (!plugin_)
        plugin_ = pluginClass_->CreateAs<TPlugin>();
    return plugin_.get();
}

void TPluginListItem::FreePlugin() { plugin_.reset(); }

TPluginList::~TPluginList()
{
    if (ownsObjects_)
        for (TPluginListItem* item : items_)
            delete item;
}

void TPluginList::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

TPluginListItem* TPluginList::GetListItem(int index) const
{
    CheckIndex(index);
    return items_[static_cast<std::size_t>(index)];
}

void TPluginList::SetListItem(int index, TPluginListItem* item)
{
    CheckIndex(index);
    TPluginListItem*& slot = items_[static_cast<std::size_t>(index)];
    if (ownsObjects_ && slot != item)
        delete slot;
    slot = item;
}

void TPluginList::Add(TPluginListItem* item) { items_.push_back(item); }

void TPluginList::Delete(int index)
{
    CheckIndex(index);
    TPluginListItem* item = items_[static_cast<std::size_t>(index)];
    items_.erase(items_.begin() + index);
    if (ownsObjects_)
        delete item;
}

void TPlugins::Register(TPluginClass pluginClass, bool unregisterOnFree)
{
    if (!pluginClass || PluginExists(pluginClass))
        return;
    auto item = std::make_unique<TPluginListItem>(pluginClass, unregisterOnFree);
    PluginList.Add(item.get());
    item.release();
}

void TPlugins::RegisterPlugin(TPluginClass pluginClass) { Register(pluginClass, false); }

void TPlugins::RegisterPluginAndClass(TPluginClass pluginClass) { Register(pluginClass, true); }

void TPlugins::UnregisterPlugin(TPluginClass pluginClass)
{
    for (int i = PluginList.Count() - 1; i >= 0; --i)
        if (PluginList.GetListItem(i)->PluginClass() == pluginClass)
            PluginList.Delete(i);
}

bool TPlugins::PluginExists(TPluginClass pluginClass) const
{
    for (int i = 0; i < PluginList.Count(); ++i)
        if (PluginList.GetListItem(i)->PluginClass()->InheritsFrom(pluginClass))
            return true;
    return false;
}

TPluginClass TPlugins::FindClass(const std::string& className) const
{
    for (int i = 0; i < PluginList.Count(); ++i)
        if (PluginList.GetListItem(i)->PluginClass()->ClassNameIs(className))
            return PluginList.GetListItem(i)->PluginClass();
    return nullptr;
}

TPluginClass TPlugins::FindClassGUID(const TGUID& guid) const
{
    for (int i = 0; i < PluginList.Count(); ++i)
        if (Tools::CompareGUID(PluginList.GetListItem(i)->PluginClass()->GUID(), guid))
            return PluginList.GetListItem(i)->PluginClass();
    return nullptr;
}

std::unique_ptr<TPlugins> TPlugins::GetPlugins(TPluginClass pluginClass) const
{
    return GetPluginsWithSpecialPluginsClass(pluginClass, TPlugins::StaticClass(), false);
}

std::unique_ptr<TPlugins> TPlugins::GetPluginsWithSpecialPluginsClass(TPluginClass pluginClass, TClass pluginsClass,
                                                                      bool) const
{
    std::unique_ptr<TPlugins> found;
    for (int i = 0; i < PluginList.Count(); ++i) {
        TPluginListItem* item = PluginList.GetListItem(i);
        if (!item->PluginClass()->InheritsFrom(pluginClass))
            continue;
        if (!found) {
            found = pluginsClass->CreateAs<TPlugins>();
            found->PluginList.SetOwnsObjects(false);
        }
        found->PluginList.Add(item);
    }
    return found;
}
