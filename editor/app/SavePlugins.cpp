#include "editor/app/SavePlugins.h"

#include "core/Setup.h"
#include "editor/app/TargaCompressionForm.h"
#include "editor/controls/JPEGCompressionDlg.h"
#include "editor/controls/JPEGCompressionWord.h"
#include "imageformats/TargaGraphic.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Jpeg.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/StdCtrls.h"

IMPLEMENT_CLASS(TPicFormatSaveBMPPlugin)
IMPLEMENT_CLASS(TPicFormatSaveJPGPlugin)
IMPLEMENT_CLASS(TPicFormatSaveTGAPlugin)

namespace {

std::unique_ptr<TStringList> WithExtensions(std::unique_ptr<TStringList> list,
                                            std::initializer_list<const char*> extensions)
{
    for (const char* ext : extensions)
        list->Add(ext);
    return list;
}

} // namespace

std::string TPicFormatSaveBMPPluginMeta::Description() const { return "Windows Bitmaps (" + FileExtString() + ")"; }
std::unique_ptr<TStringList> TPicFormatSaveBMPPluginMeta::FileExt() const
{
    return WithExtensions(TPicFormatSavePluginMeta::FileExt(), {"BMP"});
}

bool TPicFormatSaveBMPPlugin::SaveBitmap(const std::string& fileName, TBitmap& bitmap)
{
    bitmap.SaveToFile(fileName);
    return true;
}

std::string TPicFormatSaveJPGPluginMeta::Description() const { return "JPEG (" + FileExtString() + ")"; }
std::unique_ptr<TStringList> TPicFormatSaveJPGPluginMeta::FileExt() const
{
    return WithExtensions(TPicFormatSavePluginMeta::FileExt(), {"JPG", "JPEG"});
}

void TPicFormatSaveJPGPlugin::ShowOptionsDialog(TComponent* owner)
{
    TJPEGCompressionDlg dialog(owner);
    dialog.CompressionWord = JPEGCompressionWord::MakeJPEGCompressionWord(Quality, Progressive != 0);
    dialog.AutoPreview = AutoPreview;
    if (!dialog.Execute())
        return;
    Quality = static_cast<std::uint8_t>(JPEGCompressionWord::QualityOf(dialog.CompressionWord));
    Progressive = JPEGCompressionWord::ProgressiveOf(dialog.CompressionWord) ? 1 : 0;
    AutoPreview = dialog.AutoPreview;
}

bool TPicFormatSaveJPGPlugin::SaveBitmap(const std::string& fileName, TBitmap& bitmap)
{
    try {
        TJPEGImage jpeg;
        jpeg.Assign(&bitmap);
        JPEGCompressionWord::SetJPEGCompressionWord(jpeg,
                                                    JPEGCompressionWord::MakeJPEGCompressionWord(Quality, Progressive));
        jpeg.Compress();
        jpeg.SaveToFile(fileName);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::string TPicFormatSaveTGAPluginMeta::Description() const { return "TrueVision Targa (" + FileExtString() + ")"; }
std::unique_ptr<TStringList> TPicFormatSaveTGAPluginMeta::FileExt() const
{
    return WithExtensions(TPicFormatSavePluginMeta::FileExt(), {"TGA"});
}

void TPicFormatSaveTGAPlugin::ShowOptionsDialog(TComponent* owner)
{
    TTargaCompressionForm form(owner);
    form.CompressionCheck->SetChecked(Compressed);
    if (form.ShowModal() == mrOk)
        Compressed = form.CompressionCheck->Checked();
}

bool TPicFormatSaveTGAPlugin::SaveBitmap(const std::string& fileName, TBitmap& bitmap)
{
    try {
        TTargaGraphic targa;
        targa.Assign(&bitmap);
        TFileStream stream(fileName, fmCreate);
        targa.SaveToStream(stream, Compressed);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

namespace SavePlugins {

void RegisterSavePlugins(TPlugins& Plugins)
{
    Plugins.RegisterPlugin(TPicFormatSaveBMPPlugin::StaticClass());
    Plugins.RegisterPlugin(TPicFormatSaveJPGPlugin::StaticClass());
    Plugins.RegisterPlugin(TPicFormatSaveTGAPlugin::StaticClass());
}

namespace {

// The editor's plug-ins join the registry when the editor starts; the shared
// settings unit has made the registry by then (it starts with the run-time
// library).
struct Registration {
    Registration()
    {
        if (Setup::MainPlugins)
            RegisterSavePlugins(*Setup::MainPlugins);
    }
} registration;

} // namespace

} // namespace SavePlugins
