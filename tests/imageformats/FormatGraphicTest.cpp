// The format registry: the library's registrations as the picture loader
// sees them, registering and unregistering, dialog filters and the choice of
// a reader by extension and by content.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ImageTools.h"
#include "imageformats/FormatGraphic.h"
#include "imageformats/FormatRegistrations.h"
#include "imageformats/TargaGraphic.h"
#include "platform/graphics/Icon.h"
#include "platform/graphics/Jpeg.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/Resources.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"

// Two readers that know their files by a four-byte magic.
class TTestGraphicA : public TFormatGraphic {
    DECLARE_CLASS_META(TTestGraphicA, TFormatGraphic, TFormatGraphicMetaOf<TTestGraphicA>)
public:
    static bool CanLoad(TStream& stream)
    {
        char magic[4] = {};
        const bool found = stream.Read(magic, 4) == 4 && std::memcmp(magic, "AAAA", 4) == 0;
        stream.Seek(-4, soFromCurrent);
        return found;
    }
};
IMPLEMENT_CLASS(TTestGraphicA)

class TTestGraphicB : public TFormatGraphic {
    DECLARE_CLASS_META(TTestGraphicB, TFormatGraphic, TFormatGraphicMetaOf<TTestGraphicB>)
public:
    static bool CanLoad(TStream& stream)
    {
        char magic[4] = {};
        const std::int64_t at = stream.Position();
        const bool found = stream.Read(magic, 4) == 4 && std::memcmp(magic, "BBBB", 4) == 0;
        stream.SetPosition(at);
        return found;
    }
};
IMPLEMENT_CLASS(TTestGraphicB)

namespace {

std::string PlatformDescription(const std::string& extension)
{
    for (const gfx::TFileFormat& f : gfx::RegisteredFileFormats())
        if (f.Extension == extension)
            return f.Description;
    return "<none>";
}

TEST(FormatRegistry, LibraryRegistrationsReachThePictureLoader)
{
    ASSERT_NE(FileFormatList, nullptr);
    for (const char* ext : {"win", "vst", "vda", "tga", "icb"})
        EXPECT_EQ(gfx::GraphicClassOfExtension(ext), TTargaGraphic::StaticClass()) << ext;
    EXPECT_EQ(PlatformDescription("tga"), "Truevision Bilder");
    EXPECT_EQ(PlatformDescription("dib"), "Geräteunabhängige Windows bitmaps");
    EXPECT_EQ(PlatformDescription("rle"), "Run length encoded Windows bitmaps");
    EXPECT_EQ(PlatformDescription("emf"), "Windows erweiterte metafiles");
    EXPECT_EQ(PlatformDescription("jfif"), "JFIF Bilder");
    EXPECT_EQ(FileFormatList->GetDescription(TTargaGraphic::StaticClass()), "Truevision Bilder");
    EXPECT_EQ(FileFormatList->GetDescription(TJPEGImage::StaticClass()), "JPG Bilder");

    TStringList extensions;
    FileFormatList->GetExtensionList(extensions);
    ASSERT_GE(extensions.Count(), 15);
    EXPECT_EQ(extensions.Strings(0), "bmp");
    EXPECT_EQ(extensions.Strings(10), "win");
}

// The order decides which reader a content lookup asks first and how the
// dialog filters list the formats.
TEST(FormatRegistry, TheFortyRegistrationsInTheirFixedOrder)
{
    const std::vector<std::string> expected = {"bmp", "ico", "wmf", "emf", "jfif", "jpg",  "jpe", "jpeg", "rle", "dib",
                                               "win", "vst", "vda", "tga", "icb",  "tiff", "tif", "fax",  "eps", "pcx",
                                               "pcc", "scr", "rpf", "rla", "sgi",  "rgba", "rgb", "bw",   "psd", "pdd",
                                               "ppm", "pgm", "pbm", "cel", "pic",  "pcd",  "gif", "cut",  "psp", "png"};
    TStringList extensions;
    FileFormatList->GetExtensionList(extensions);
    std::vector<std::string> registered;
    for (int i = 0; i < extensions.Count(); ++i)
        registered.push_back(extensions.Strings(i));
    EXPECT_EQ(registered, expected);
    struct Description {
        const char* Extension;
        const char* Text;
    };
    for (const Description& d :
         {Description{"tiff", "Macintosh TIFF Bilder"}, Description{"tif", "PC TIF Bilder"},
          Description{"fax", "GFI FAX Dateien"}, Description{"pcd", "Kodak Photo-CD Bilder"},
          Description{"psp", "Paintshop Pro Bilder"}, Description{"png", "Portable network graphic Bilder"}})
        EXPECT_EQ(PlatformDescription(d.Extension), d.Text) << d.Extension;
}

TEST(FormatRegistry, PictureLoadsAnyTargaExtension)
{
    imagetest::ScratchDir dir;
    const std::vector<std::uint8_t> tga = {0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 8, 0, 77};
    imagetest::WriteFileBytes(dir / "bild.ICB", tga);
    TPicture picture;
    picture.LoadFromFile(dir / "bild.ICB");
    ASSERT_NE(dynamic_cast<TTargaGraphic*>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), 1);
}

TEST(FormatRegistry, GraphicFromExtensionDropsTextUpToTheFirstDot)
{
    struct Case {
        const char* Text;
        TGraphicClass Expected;
    };
    const Case cases[] = {
        {"tga", TTargaGraphic::StaticClass()},
        {".tga", TTargaGraphic::StaticClass()},
        {"TGA", TTargaGraphic::StaticClass()},
        {"bild.tga", TTargaGraphic::StaticClass()},
        {"my.pics.bild.tga", nullptr},
        {"jpe", TJPEGImage::StaticClass()},
        {"xyz", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileFormatList->GraphicFromExtension(c.Text), c.Expected) << c.Text;
    EXPECT_EQ(FileFormatList->FindExtension("TGA"), FileFormatList->FindExtension("tga"));
    EXPECT_EQ(FileFormatList->FindExtension(""), -1);
}

TEST(FormatRegistry, FiltersOfTheLibrary)
{
    EXPECT_EQ(FileFormatList->GetGraphicFilter({ftVector}, fstNone, {}, nullptr),
              "Windows metafiles|*.wmf|Windows erweiterte metafiles|*.emf|Paintshop Pro Bilder|*.psp");
    EXPECT_EQ(FileFormatList->GetGraphicFilter({ftVector}, fstNone, {foCompact, foIncludeAll}, nullptr),
              "Alle Bilder|*.wmf; *.emf; *.psp|Windows metafiles|*.wmf; *.emf|Paintshop Pro Bilder|*.psp");
    EXPECT_EQ(
        FileFormatList->GetGraphicFilter({}, fstBoth, {foCompact, foIncludeExtension}, TTargaGraphic::StaticClass()),
        "Truevision Bilder (*.icb; *.tga; *.vda; *.vst; *.win)|*.icb; *.tga; *.vda; *.vst; *.win");
}

TEST(FormatRegistry, RegisterReplaceAndUnregister)
{
    TFileFormatList list;
    const TGraphicClass a = TTestGraphicA::StaticClass(), b = TTestGraphicB::StaticClass();
    list.RegisterFileFormat("zza", "Testbilder A", "", {ftRaster}, false, a);
    list.RegisterFileFormat("zzb", "", "Einzeln", {ftRaster}, false, a);
    list.RegisterFileFormat("zzc", "Testbilder B", "", {ftVector}, false, b);
    EXPECT_EQ(gfx::GraphicClassOfExtension("zzb"), a);
    EXPECT_EQ(PlatformDescription("zzb"), "Einzeln");
    try {
        list.RegisterFileFormat("ZZA", "x", "", {ftRaster}, false, b);
        ADD_FAILURE();
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message, "Das Format ZZA ist schon registriert.");
    }

    // Replacing moves the extension to the other class; it keeps its own text.
    list.RegisterFileFormat("zzb", "", "", {ftVector}, true, b);
    EXPECT_EQ(list.GraphicFromExtension("zzb"), b);
    EXPECT_EQ(gfx::GraphicClassOfExtension("zzb"), b);
    EXPECT_EQ(PlatformDescription("zzb"), "Einzeln");

    // The last extension of a class takes the class out of the loader.
    list.UnregisterFileFormat("zza", a);
    EXPECT_EQ(list.FindGraphicClass(a), -1);
    EXPECT_EQ(gfx::GraphicClassOfExtension("zza"), nullptr);
    list.UnregisterFileFormat("", b);
    EXPECT_EQ(list.FindExtension("zzc"), -1);
    EXPECT_EQ(list.FindExtension("zzb"), -1);
    EXPECT_EQ(gfx::GraphicClassOfExtension("zzc"), nullptr);
    list.UnregisterFileFormat("nothing", b); // unknown: nothing happens
}

TEST(FormatRegistry, FilterSortingCompactingAndDuplicates)
{
    TFileFormatList list;
    const TGraphicClass a = TTestGraphicA::StaticClass(), b = TTestGraphicB::StaticClass();
    list.RegisterFileFormat("zzq", "Zeta Bilder", "", {ftRaster}, false, a);
    list.RegisterFileFormat("zzp", "", "", {ftRaster}, false, a);
    list.RegisterFileFormat("zzm", "Alpha Bilder", "Alpha Bilder", {ftRaster, ftLayered}, false, b);
    list.RegisterFileFormat("zzn", "", "Alpha Bilder", {ftRaster}, false, b);
    EXPECT_EQ(list.GetGraphicFilter({}, fstNone, {}, nullptr),
              "Zeta Bilder|*.zzq|Zeta Bilder|*.zzp|Alpha Bilder|*.zzm|Alpha Bilder|*.zzn");
    EXPECT_EQ(list.GetGraphicFilter({}, fstDescription, {}, nullptr), "Alpha Bilder|*.zzm|Zeta Bilder|*.zzq");
    EXPECT_EQ(list.GetGraphicFilter({ftLayered}, fstNone, {foIncludeAll, foIncludeExtension}, nullptr),
              "Alle Bilder|*.zzm|Alpha Bilder (*.zzm)|*.zzm");
    EXPECT_EQ(list.GetGraphicFilter({}, fstExtension, {foCompact, foIncludeAll}, nullptr),
              "Alle Bilder|*.zzm; *.zzn; *.zzp; *.zzq|Zeta Bilder|*.zzp; *.zzq|Alpha Bilder|*.zzm; *.zzn");
    EXPECT_EQ(list.GetGraphicFilter({ftVector}, fstNone, {foIncludeAll}, nullptr), "");
}

std::unique_ptr<TMemoryStream> StreamAt2(const std::string& content)
{
    auto stream = std::make_unique<TMemoryStream>();
    stream->WriteBuffer(content.data(), static_cast<std::int64_t>(content.size()));
    stream->SetPosition(2);
    return stream;
}

TEST(FormatRegistry, GraphicFromContentAsksTheReadersInOrder)
{
    TFileFormatList list;
    list.RegisterFileFormat("zza", "A", "", {ftRaster}, false, TTestGraphicA::StaticClass());
    list.RegisterFileFormat("zzb", "B", "", {ftRaster}, false, TTestGraphicB::StaticClass());
    for (const auto& [content, expected] :
         {std::pair<std::string, TGraphicClass>{"..BBBB", TTestGraphicB::StaticClass()},
          {"..AAAA", TTestGraphicA::StaticClass()},
          {"..BM..", nullptr}}) {
        auto stream = StreamAt2(content);
        EXPECT_EQ(list.GraphicFromContent(*stream), expected) << content;
        EXPECT_EQ(stream->Position(), 2);
    }
    // The platform's own classes are never chosen by content.
    TBitmap bitmap(3, 2, pf24bit);
    TMemoryStream bmp;
    bmp.WriteBuffer("..", 2);
    bitmap.SaveToStream(bmp);
    bmp.SetPosition(2);
    EXPECT_EQ(FileFormatList->GraphicFromContent(bmp), nullptr);
    auto tga = StreamAt2(std::string("..") + std::string("\0\0\2\0\0\0\0\x18\0\0\0\0\1\0\1\0\x18\0abc", 21));
    EXPECT_EQ(FileFormatList->GraphicFromContent(*tga), TTargaGraphic::StaticClass());
}

// Run in a child process: taking the registrations down affects the whole
// process.
TEST(FormatRegistryDeathTest, RegistrationsAreCountedAndUndoneByTheLastFinalisation)
{
    EXPECT_EXIT(
        {
            FormatRegistrations::Initialize();
            FormatRegistrations::Finalize();
            if (gfx::GraphicClassOfExtension("tga") != TTargaGraphic::StaticClass())
                std::exit(1);
            while (FileFormatList)
                FormatRegistrations::Finalize();
            if (gfx::GraphicClassOfExtension("tga") || gfx::GraphicClassOfExtension("bmp"))
                std::exit(2);
            FormatRegistrations::Initialize();
            if (gfx::GraphicClassOfExtension("tga") != TTargaGraphic::StaticClass() ||
                gfx::GraphicClassOfExtension("jpg") != TJPEGImage::StaticClass() ||
                gfx::GraphicClassOfExtension("ico") != TIcon::StaticClass())
                std::exit(3);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(FormatGraphic, AssignCopiesTheImageProperties)
{
    const std::vector<std::uint8_t> bytes = {0, 0, 11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 8, 0, 0x81, 9};
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream.SetPosition(0);
    TTargaGraphic source;
    source.LoadFromStream(stream);
    TTargaGraphic copy;
    copy.Assign(&source);
    EXPECT_EQ(copy.ImageProperties().Width, 2u);
    EXPECT_EQ(copy.ImageProperties().Compression, ctRLE);
    EXPECT_EQ(copy.ImageProperties().ColorScheme, csG);
    EXPECT_EQ(copy.ScanLine(0)[1], 9);
}

TEST(FormatGraphic, LoadsFromRawDataResources)
{
    static const std::uint8_t tga[] = {0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 8, 0x20, 5, 6};
    const rtl::ResourceRegistration resources(
        rtl::HInstance(), {{RT_RCDATA, "BILD", tga, sizeof tga}, {RT_RCDATA, "7", tga, sizeof tga}});
    TTargaGraphic byName;
    byName.LoadFromResourceName(rtl::HInstance(), "BILD");
    EXPECT_EQ(byName.ScanLine(0)[1], 6);
    TTargaGraphic byId;
    byId.LoadFromResourceID(rtl::HInstance(), 7);
    EXPECT_EQ(byId.Width(), 2);
    EXPECT_THROW(byId.LoadFromResourceName(rtl::HInstance(), "FEHLT"), EResNotFound);
}

} // namespace
