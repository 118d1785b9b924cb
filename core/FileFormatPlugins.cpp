#include "core/FileFormatPlugins.h"

#include "core/BitmapTools.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/StringList.h"

IMPLEMENT_CLASS(TFileFormatPlugin)
IMPLEMENT_CLASS(TPicFormatPlugin)
IMPLEMENT_CLASS(TPicFormatLoadPlugin)
IMPLEMENT_CLASS(TPicFormatSavePlugin)
IMPLEMENT_CLASS(TFileFormatPluginList)

std::unique_ptr<TStringList> TFileFormatPluginMeta::FileExt() const { return std::make_unique<TStringList>(); }

std::string TFileFormatPluginMeta::FileExtString() const
{
    const auto extensions = FileExt();
    std::string text;
    for (int i = 0; i < extensions->Count(); ++i)
        text += (i > 0 ? ";*." : "*.") + extensions->Strings(i);
    return text;
}

std::string TFileFormatPluginMeta::FileFilter() const { return Description() + "|" + FileExtString(); }

bool TFileFormatPluginMeta::ContainsExt(const std::string& ext) const
{
    const std::string wanted = rtl::AnsiUpperCase(ext);
    const auto extensions = FileExt();
    for (int i = 0; i < extensions->Count(); ++i) {
        const std::string listed = rtl::AnsiUpperCase(extensions->Strings(i));
        if (listed == wanted || "." + listed == wanted)
            return true;
    }
    return false;
}

std::string TPicFormatSavePluginMeta::SaveExt() const { return FileExt()->Strings(0); }

void TPicFormatSavePlugin::ShowOptionsDialog(TComponent*) { }

bool TPicFormatSavePlugin::SavePicture(const std::string& fileName, TPicture& picture)
{
    if (auto* bitmap = dynamic_cast<TBitmap*>(picture.Graphic()))
        return SaveBitmap(fileName, *bitmap);
    const std::unique_ptr<TBitmap> copy = BitmapTools::PicToBMP(picture);
    return copy && SaveBitmap(fileName, *copy);
}

bool TPicFormatSavePlugin::SaveBitmap(const std::string&, TBitmap&) { return false; }

std::string TPicFormatSavePlugin::CorrectFileExt(const std::string& fileName) const
{
    const std::string ext = static_cast<const TPicFormatSavePluginMeta*>(ClassType())->SaveExt();
    return ext.empty() ? fileName : rtl::ChangeFileExt(fileName, "." + ext);
}

bool TFileFormatPluginListMeta::AcceptPlugin(TPluginClass pluginClass) const
{
    return pluginClass && pluginClass->InheritsFrom(TFileFormatPlugin::StaticClass());
}

TPluginListItem* TFileFormatPluginList::FindFileExt(const std::string& ext) const
{
    for (int i = 0; i < GetItemCount(); ++i) {
        TPluginListItem* item = GetListItem(i);
        const auto* format = dynamic_cast<const TFileFormatPluginMeta*>(item->PluginClass());
        if (format && format->ContainsExt(ext))
            return item;
    }
    return nullptr;
}
