#pragma once

// A registry of plug-in classes. A plug-in describes itself through class
// functions (texts, version, identifier) that can be asked without an
// instance; an instance is made only when somebody asks for it, at most once
// per registry entry.

#include "core/Tools.h"
#include "platform/rtl/Classes.h"

#include <memory>
#include <string>
#include <vector>

struct TPluginVersion {
    std::string Version;
    std::string Build;
};

// The class functions of plug-ins.
class TPluginMeta : public TPersistent::Meta {
public:
    virtual std::string Caption() const { return {}; }
    virtual std::string Copyright() const { return {}; }
    virtual std::string Description() const { return {}; }
    virtual TPluginVersion Version() const { return {}; }
    virtual TGUID GUID() const;
};

class TPlugin : public TPersistent {
    DECLARE_CLASS_META(TPlugin, TPersistent, TPluginMeta)
public:
    TPlugin() = default;
};

using TPluginClass = const TPluginMeta*;

// The plug-in class of a class reference, or nullptr when it is none.
TPluginClass AsPluginClass(TClass aClass);

// One registry entry: the class, registered with the class registry while
// the entry lives, and its instance once asked for.
class TPluginListItem : public TPersistent {
    DECLARE_CLASS(TPluginListItem, TPersistent)
public:
    TPluginListItem(TPluginClass pluginClass, bool unregisterOnFree);
    ~TPluginListItem() override;
    TPluginListItem(const TPluginListItem&) = delete;
    TPluginListItem& operator=(const TPluginListItem&) = delete;

    bool UnregisterOnFree = false;
    TPluginClass PluginClass() const { return pluginClass_; }

    TPlugin* GetPlugin();
    void FreePlugin();
    bool PluginCreated() const { return plugin_ != nullptr; }

private:
    TPluginClass pluginClass_;
    std::unique_ptr<TPlugin> plugin_;
};

// The entries in registration order; owning or not.
class TPluginList {
public:
    explicit TPluginList(bool ownsObjects = true) : ownsObjects_(ownsObjects) { }
    ~TPluginList();
    TPluginList(const TPluginList&) = delete;
    TPluginList& operator=(const TPluginList&) = delete;

    int Count() const { return static_cast<int>(items_.size()); }
    bool OwnsObjects() const { return ownsObjects_; }
    void SetOwnsObjects(bool owns) { ownsObjects_ = owns; }
    // Index errors raise EListError.
    TPluginListItem* GetListItem(int index) const;
    void SetListItem(int index, TPluginListItem* item);
    void Add(TPluginListItem* item);
    // Removes entry index, freeing it when the list owns its entries.
    void Delete(int index);

private:
    void CheckIndex(int index) const;

    std::vector<TPluginListItem*> items_;
    bool ownsObjects_;
};

// The class functions of registries.
class TPluginsMeta : public TPersistent::Meta {
public:
    // Whether a registry of this class admits the plug-in class.
    virtual bool AcceptPlugin(TPluginClass) const { return true; }
};

class TPlugins : public TPersistent {
    DECLARE_CLASS_META(TPlugins, TPersistent, TPluginsMeta)
public:
    TPlugins() = default;

    TPluginList PluginList;

    // Adds the class unless it or a descendant is registered already.
    void RegisterPlugin(TPluginClass pluginClass);
    // The same; the class leaves the class registry with its entry.
    void RegisterPluginAndClass(TPluginClass pluginClass);
    // Removes every entry of exactly this class.
    void UnregisterPlugin(TPluginClass pluginClass);
    bool PluginExists(TPluginClass pluginClass) const;
    // Letter case ignored; nullptr when none.
    TPluginClass FindClass(const std::string& className) const;
    TPluginClass FindClassGUID(const TGUID& guid) const;
    int GetItemCount() const { return PluginList.Count(); }
    TPluginListItem* GetListItem(int index) const { return PluginList.GetListItem(index); }

    // A new registry sharing (not owning) the entries of the class and its
    // descendants; nullptr when there are none.
    std::unique_ptr<TPlugins> GetPlugins(TPluginClass pluginClass) const;
    std::unique_ptr<TPlugins> GetPluginsWithSpecialPluginsClass(TPluginClass pluginClass, TClass pluginsClass,
                                                                bool flag) const;

private:
    void Register(TPluginClass pluginClass, bool unregisterOnFree);
};
