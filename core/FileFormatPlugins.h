#pragma once

// Plug-ins for file formats: a format described by its extensions (for the
// filter of a file dialog), picture readers and writers, and a registry that
// admits only file-format plug-ins and finds the one for an extension.

#include "core/Plugins.h"

#include <memory>
#include <string>

class TBitmap;
class TPicture;
class TStringList;

class TFileFormatPluginMeta : public TPluginMeta {
public:
    // The extensions without the dot; a descendant calls the inherited one
    // and adds its own.
    virtual std::unique_ptr<TStringList> FileExt() const;
    // "*.A;*.B"; "" without extensions.
    virtual std::string FileExtString() const;
    // Description + "|" + FileExtString.
    virtual std::string FileFilter() const;
    // Whether ext ("jpg" or ".jpg", any case) is one of the extensions.
    virtual bool ContainsExt(const std::string& ext) const;
};

class TFileFormatPlugin : public TPlugin {
    DECLARE_CLASS_META(TFileFormatPlugin, TPlugin, TFileFormatPluginMeta)
};

class TPicFormatPlugin : public TFileFormatPlugin {
    DECLARE_CLASS(TPicFormatPlugin, TFileFormatPlugin)
};

class TPicFormatLoadPlugin : public TPicFormatPlugin {
    DECLARE_CLASS(TPicFormatLoadPlugin, TPicFormatPlugin)
};

class TPicFormatSavePluginMeta : public TFileFormatPluginMeta {
public:
    virtual bool HasOptions() const { return false; }
    // The first extension; EStringListError style index error without one.
    virtual std::string SaveExt() const;
};

class TPicFormatSavePlugin : public TPicFormatPlugin {
    DECLARE_CLASS_META(TPicFormatSavePlugin, TPicFormatPlugin, TPicFormatSavePluginMeta)
public:
    virtual void ShowOptionsDialog(TComponent* owner);
    // Saves the picture's bitmap, or a bitmap made of it; false when none
    // could be made or SaveBitmap failed.
    virtual bool SavePicture(const std::string& fileName, TPicture& picture);
    virtual bool SaveBitmap(const std::string& fileName, TBitmap& bitmap);
    // fileName with the extension "." + SaveExt (unchanged when it is "").
    std::string CorrectFileExt(const std::string& fileName) const;
};

class TFileFormatPluginListMeta : public TPluginsMeta {
public:
    bool AcceptPlugin(TPluginClass pluginClass) const override;
};

class TFileFormatPluginList : public TPlugins {
    DECLARE_CLASS_META(TFileFormatPluginList, TPlugins, TFileFormatPluginListMeta)
public:
    // The first entry of a file-format plug-in accepting ext, or nullptr.
    TPluginListItem* FindFileExt(const std::string& ext) const;
};
