#include "core/Plugins.h"
#include "core/FileFormatPlugins.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Jpeg.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringList.h"

#include <gtest/gtest.h>

namespace {

class TTestBase : public TPlugin {
    DECLARE_CLASS(TTestBase, TPlugin)
};
class TTestDerived : public TTestBase {
    DECLARE_CLASS(TTestDerived, TTestBase)
};
class TTestOther : public TPlugin {
    DECLARE_CLASS(TTestOther, TPlugin)
};

class TBmpSaveMeta : public TPicFormatSavePluginMeta {
public:
    std::string Description() const override { return "Windows-Bitmap"; }
    std::unique_ptr<TStringList> FileExt() const override
    {
        auto list = TPicFormatSavePluginMeta::FileExt();
        list->Add("BMP");
        list->Add("DIB");
        return list;
    }
};

// Records what it is asked to save.
class TBmpSave : public TPicFormatSavePlugin {
    DECLARE_CLASS_META(TBmpSave, TPicFormatSavePlugin, TBmpSaveMeta)
public:
    bool SaveBitmap(const std::string& fileName, TBitmap& bitmap) override
    {
        savedName = fileName;
        savedWidth = bitmap.Width();
        return true;
    }
    std::string savedName;
    int savedWidth = 0;
};

class TJpgSaveMeta : public TPicFormatSavePluginMeta {
public:
    std::unique_ptr<TStringList> FileExt() const override
    {
        auto list = TPicFormatSavePluginMeta::FileExt();
        list->Add("JPG");
        list->Add("BMP");
        return list;
    }
};
class TJpgSave : public TPicFormatSavePlugin {
    DECLARE_CLASS_META(TJpgSave, TPicFormatSavePlugin, TJpgSaveMeta)
};

IMPLEMENT_CLASS(TTestBase)
IMPLEMENT_CLASS(TTestDerived)
IMPLEMENT_CLASS(TTestOther)
IMPLEMENT_CLASS(TBmpSave)
IMPLEMENT_CLASS(TJpgSave)

TEST(PluginsTest, RegistrationByInheritance)
{
    TPlugins plugins;
    plugins.RegisterPlugin(TTestDerived::StaticClass());
    plugins.RegisterPlugin(TTestDerived::StaticClass());
    plugins.RegisterPlugin(TTestBase::StaticClass()); // a descendant is there: ignored
    EXPECT_EQ(plugins.GetItemCount(), 1);
    plugins.RegisterPlugin(TTestOther::StaticClass());
    EXPECT_EQ(plugins.GetItemCount(), 2);
    EXPECT_TRUE(plugins.PluginExists(TTestBase::StaticClass()));
    EXPECT_TRUE(plugins.PluginExists(TPlugin::StaticClass()));
    EXPECT_EQ(rtl::GetClass("TTestDerived"), TTestDerived::StaticClass());

    const auto bases = plugins.GetPlugins(TTestBase::StaticClass());
    ASSERT_NE(bases, nullptr);
    ASSERT_EQ(bases->GetItemCount(), 1);
    EXPECT_EQ(bases->GetListItem(0)->PluginClass(), TTestDerived::StaticClass());
    EXPECT_EQ(plugins.GetPlugins(TBmpSave::StaticClass()), nullptr);

    EXPECT_EQ(plugins.FindClass("ttestother"), TTestOther::StaticClass());
    EXPECT_EQ(plugins.FindClass("TTestMissing"), nullptr);
    EXPECT_EQ(plugins.FindClassGUID(TGUID{}), TTestDerived::StaticClass()); // every plug-in has the zero GUID
    TGUID other;
    other.D1 = 1;
    EXPECT_EQ(plugins.FindClassGUID(other), nullptr);
    EXPECT_THROW(plugins.GetListItem(2), EListError);
    EXPECT_THROW(plugins.GetListItem(-1), EListError);

    plugins.UnregisterPlugin(TTestBase::StaticClass()); // exact class only
    EXPECT_EQ(plugins.GetItemCount(), 2);
    plugins.UnregisterPlugin(TTestDerived::StaticClass());
    EXPECT_EQ(plugins.GetItemCount(), 1);
}

TEST(PluginsTest, InstancesAreMadeOnceAndSurviveSubRegistries)
{
    TPlugins plugins;
    plugins.RegisterPlugin(TTestDerived::StaticClass());
    TPluginListItem* item = plugins.GetListItem(0);
    EXPECT_FALSE(item->PluginCreated());
    TPlugin* first = item->GetPlugin();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->ClassType(), TTestDerived::StaticClass());
    EXPECT_EQ(item->GetPlugin(), first);
    {
        const auto sub = plugins.GetPlugins(TPlugin::StaticClass());
        ASSERT_NE(sub, nullptr);
        EXPECT_EQ(sub->GetListItem(0), item);
    }
    EXPECT_TRUE(item->PluginCreated()); // freeing the sub-registry left the entry alone
    item->FreePlugin();
    EXPECT_FALSE(item->PluginCreated());
    EXPECT_NE(item->GetPlugin(), nullptr);
}

TEST(PluginsTest, UnregisterOnFreeTakesTheClassOutOfTheClassRegistry)
{
    {
        TPlugins plugins;
        plugins.RegisterPluginAndClass(TTestOther::StaticClass());
        EXPECT_EQ(rtl::GetClass("TTestOther"), TTestOther::StaticClass());
    }
    EXPECT_EQ(rtl::GetClass("TTestOther"), nullptr);
}

TEST(FileFormatPluginsTest, ExtensionsAndFilters)
{
    const auto* bmp = TBmpSave::StaticClass();
    EXPECT_EQ(bmp->FileExtString(), "*.BMP;*.DIB");
    EXPECT_EQ(bmp->FileFilter(), "Windows-Bitmap|*.BMP;*.DIB");
    EXPECT_EQ(TFileFormatPlugin::StaticClass()->FileExtString(), "");
    for (const char* yes : {"bmp", ".BMP", ".bmp", "dib"})
        EXPECT_TRUE(bmp->ContainsExt(yes)) << yes;
    for (const char* no : {"BM", "*.BMP", "", "..BMP"})
        EXPECT_FALSE(bmp->ContainsExt(no)) << no;
    EXPECT_EQ(bmp->SaveExt(), "BMP");
    EXPECT_FALSE(bmp->HasOptions());
    EXPECT_THROW(TPicFormatSavePlugin::StaticClass()->SaveExt(), EListError);

    TJpgSave jpg;
    EXPECT_EQ(jpg.CorrectFileExt("/bilder/urlaub.jpeg"), "/bilder/urlaub.JPG");
}

TEST(FileFormatPluginsTest, RegistryFindsTheFirstPluginForAnExtension)
{
    EXPECT_TRUE(TFileFormatPluginList::StaticClass()->AcceptPlugin(TPicFormatLoadPlugin::StaticClass()));
    EXPECT_FALSE(TFileFormatPluginList::StaticClass()->AcceptPlugin(TTestOther::StaticClass()));
    EXPECT_TRUE(TPlugins::StaticClass()->AcceptPlugin(TTestOther::StaticClass()));

    TPlugins plugins;
    plugins.RegisterPlugin(TTestOther::StaticClass());
    plugins.RegisterPlugin(TJpgSave::StaticClass());
    plugins.RegisterPlugin(TBmpSave::StaticClass());
    const auto formats = plugins.GetPluginsWithSpecialPluginsClass(TFileFormatPlugin::StaticClass(),
                                                                   TFileFormatPluginList::StaticClass(), false);
    auto* list = dynamic_cast<TFileFormatPluginList*>(formats.get());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetItemCount(), 2);
    EXPECT_EQ(list->FindFileExt(".bmp")->PluginClass(), TJpgSave::StaticClass()); // the earlier one
    EXPECT_EQ(list->FindFileExt("dib")->PluginClass(), TBmpSave::StaticClass());
    EXPECT_EQ(list->FindFileExt("png"), nullptr);
}

TEST(FileFormatPluginsTest, SavePictureHandsOverABitmap)
{
    TBmpSave saver;
    TPicture picture;
    EXPECT_FALSE(saver.SavePicture("leer.bmp", picture)); // nothing to make a bitmap of

    TBitmap bitmap(12, 5);
    picture.SetGraphic(&bitmap);
    EXPECT_TRUE(saver.SavePicture("a.bmp", picture));
    EXPECT_EQ(saver.savedName, "a.bmp");
    EXPECT_EQ(saver.savedWidth, 12);

    TJPEGImage jpeg;
    jpeg.Assign(&bitmap);
    picture.SetGraphic(&jpeg);
    saver.savedWidth = 0;
    EXPECT_TRUE(saver.SavePicture("b.bmp", picture));
    EXPECT_EQ(saver.savedWidth, 12);
    EXPECT_FALSE(TPicFormatSavePlugin().SaveBitmap("c.bmp", bitmap));
}

} // namespace
