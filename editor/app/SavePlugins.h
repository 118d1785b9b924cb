#pragma once

// The editor's picture-saving plug-ins (BMP, JPEG, TGA), registered in the
// program-wide plug-in registry in that order when the editor starts.

#include "core/FileFormatPlugins.h"

#include <cstdint>

class TPicFormatSaveBMPPluginMeta : public TPicFormatSavePluginMeta {
public:
    std::string Description() const override;
    std::unique_ptr<TStringList> FileExt() const override;
};

class TPicFormatSaveBMPPlugin : public TPicFormatSavePlugin {
    DECLARE_CLASS_META(TPicFormatSaveBMPPlugin, TPicFormatSavePlugin, TPicFormatSaveBMPPluginMeta)
public:
    bool SaveBitmap(const std::string& fileName, TBitmap& bitmap) override;
};

class TPicFormatSaveJPGPluginMeta : public TPicFormatSavePluginMeta {
public:
    std::string Description() const override;
    std::unique_ptr<TStringList> FileExt() const override;
    bool HasOptions() const override { return true; }
};

class TPicFormatSaveJPGPlugin : public TPicFormatSavePlugin {
    DECLARE_CLASS_META(TPicFormatSaveJPGPlugin, TPicFormatSavePlugin, TPicFormatSaveJPGPluginMeta)
public:
    // Together the JPEG settings word: quality high, progressive low.
    std::uint8_t Progressive = 0;
    std::uint8_t Quality = 80;
    bool AutoPreview = false;

    // The JPEG compression dialog with the settings word and automatic
    // preview; OK takes both back.
    void ShowOptionsDialog(TComponent* owner) override;
    bool SaveBitmap(const std::string& fileName, TBitmap& bitmap) override;
};

class TPicFormatSaveTGAPluginMeta : public TPicFormatSavePluginMeta {
public:
    std::string Description() const override;
    std::unique_ptr<TStringList> FileExt() const override;
    bool HasOptions() const override { return true; }
};

class TPicFormatSaveTGAPlugin : public TPicFormatSavePlugin {
    DECLARE_CLASS_META(TPicFormatSaveTGAPlugin, TPicFormatSavePlugin, TPicFormatSaveTGAPluginMeta)
public:
    bool Compressed = true; // run-length compression

    // The TGA compression dialog; OK takes its check box.
    void ShowOptionsDialog(TComponent* owner) override;
    bool SaveBitmap(const std::string& fileName, TBitmap& bitmap) override;
};

namespace SavePlugins {

// Registers the three classes, BMP, JPG, TGA, in Plugins.
void RegisterSavePlugins(TPlugins& Plugins);

} // namespace SavePlugins
