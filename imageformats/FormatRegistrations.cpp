#include "imageformats/FormatRegistrations.h"

#include "imageformats/AutodeskGraphic.h"
#include "imageformats/CUTGraphic.h"
#include "imageformats/FormatGraphic.h"
#include "imageformats/GIFGraphic.h"
#include "imageformats/GraphicStrings.h"
#include "imageformats/PCDGraphic.h"
#include "imageformats/PCXGraphic.h"
#include "imageformats/PNGGraphic.h"
#include "imageformats/PPMGraphic.h"
#include "imageformats/PSDGraphic.h"
#include "imageformats/PSPGraphic.h"
#include "imageformats/RLAGraphic.h"
#include "imageformats/SGIGraphic.h"
#include "imageformats/TIFFGraphic.h"
#include "imageformats/TargaGraphic.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Icon.h"
#include "platform/graphics/Jpeg.h"
#include "platform/rtl/Modules.h"

using namespace GraphicStrings;

namespace FormatRegistrations {

namespace {

struct Registration {
    const char* Extension;
    const char* CommonDescription;
    const char* IndividualDescription;
    TFormatTypes FormatTypes;
    TGraphicClass (*GraphicClass)();
};

template <class T> TGraphicClass ClassOf() { return T::StaticClass(); }

const TFormatTypes kRaster{ftRaster};
const TFormatTypes kVector{ftVector};

const TFormatTypes kMultiImage{ftMultiImage, ftRaster};

// The registrations in their fixed order; content lookup asks the readers in
// this order too.
const Registration kRegistrations[] = {
    {"bmp", gesBitmaps, "", kRaster, ClassOf<TBitmap>},
    {"ico", gesIcons, "", kRaster, ClassOf<TIcon>},
    {"wmf", gesMetaFiles, "", kVector, ClassOf<TMetafile>},
    {"emf", gesMetaFiles, gesEnhancedMetaFiles, kVector, ClassOf<TMetafile>},
    {"jfif", gesJPGImages, gesJFIFImages, kRaster, ClassOf<TJPEGImage>},
    {"jpg", "", gesJPGImages, kRaster, ClassOf<TJPEGImage>},
    {"jpe", "", gesJPEImages, kRaster, ClassOf<TJPEGImage>},
    {"jpeg", "", gesJPEGImages, kRaster, ClassOf<TJPEGImage>},
    {"rle", gesBitmaps, gesRLEBitmaps, kRaster, ClassOf<TBitmap>},
    {"dib", "", gesDIBs, kRaster, ClassOf<TBitmap>},
    {"win", gesTruevision, "", kRaster, ClassOf<TTargaGraphic>},
    {"vst", "", "", kRaster, ClassOf<TTargaGraphic>},
    {"vda", "", "", kRaster, ClassOf<TTargaGraphic>},
    {"tga", "", "", kRaster, ClassOf<TTargaGraphic>},
    {"icb", "", "", kRaster, ClassOf<TTargaGraphic>},
    {"tiff", gesTIFF, gesMacTIFF, kMultiImage, ClassOf<TTIFFGraphic>},
    {"tif", "", gesPCTIF, kMultiImage, ClassOf<TTIFFGraphic>},
    {"fax", "", gesGFIFax, kMultiImage, ClassOf<TTIFFGraphic>},
    {"eps", gesEPS, "", kRaster, ClassOf<TEPSGraphic>},
    {"pcx", gesZSoft, "", kRaster, ClassOf<TPCXGraphic>},
    {"pcc", "", "", kRaster, ClassOf<TPCXGraphic>},
    {"scr", "", gesZSoftWord, kRaster, ClassOf<TPCXGraphic>},
    {"rpf", gesAliasWaveFront, "", kRaster, ClassOf<TRLAGraphic>},
    {"rla", "", "", kRaster, ClassOf<TRLAGraphic>},
    {"sgi", gesSGI, gesSGITrueColor, kRaster, ClassOf<TSGIGraphic>},
    {"rgba", "", gesSGITrueColorAlpha, kRaster, ClassOf<TSGIGraphic>},
    {"rgb", "", gesSGITrueColor, kRaster, ClassOf<TSGIGraphic>},
    {"bw", "", gesSGIMono, kRaster, ClassOf<TSGIGraphic>},
    {"psd", gesPhotoshop, "", TFormatTypes{ftLayered, ftRaster}, ClassOf<TPSDGraphic>},
    {"pdd", "", "", TFormatTypes{ftLayered, ftRaster}, ClassOf<TPSDGraphic>},
    {"ppm", gesPortable, gesPortablePixel, kRaster, ClassOf<TPPMGraphic>},
    {"pgm", "", gesPortableGray, kRaster, ClassOf<TPPMGraphic>},
    {"pbm", "", gesPortableMono, kRaster, ClassOf<TPPMGraphic>},
    {"cel", gesAutoDesk, "", kRaster, ClassOf<TAutodeskGraphic>},
    {"pic", gesAutoDesk, "", kRaster, ClassOf<TAutodeskGraphic>},
    {"pcd", gesKodakPhotoCD, "", kRaster, ClassOf<TPCDGraphic>},
    {"gif", gesCompuserve, "", TFormatTypes{ftAnimation, ftMultiImage, ftRaster}, ClassOf<TGIFGraphic>},
    {"cut", gesHalo, "", kRaster, ClassOf<TCUTGraphic>},
    {"psp", gesPaintShopPro, "", TFormatTypes{ftRaster, ftVector}, ClassOf<TPSPGraphic>},
    {"png", gesPortableNetworkGraphic, "", kRaster, ClassOf<TPNGGraphic>},
};

int initCount = 0;

// Registers when the library is loaded and undoes it when a loaded library
// is unloaded; linked to the program, the registrations last to its end.
const bool moduleInit = (rtl::RegisterModuleInit(&Initialize, &Finalize), true);

} // namespace

void Initialize()
{
    if (initCount++ > 0)
        return;
    FileFormatList = new TFileFormatList();
    for (const Registration& r : kRegistrations)
        FileFormatList->RegisterFileFormat(r.Extension, r.CommonDescription, r.IndividualDescription, r.FormatTypes,
                                           false, r.GraphicClass());
}

void Finalize()
{
    if (initCount == 0 || --initCount > 0)
        return;
    // The readers first (by class), then the bitmap's extra extensions; the
    // list's own clean-up takes the platform's classes out last.
    for (const Registration& r : kRegistrations) {
        const TGraphicClass graphicClass = r.GraphicClass();
        if (graphicClass->InheritsFrom(TFormatGraphic::StaticClass()) &&
            FileFormatList->FindGraphicClass(graphicClass) >= 0)
            FileFormatList->UnregisterFileFormat("", graphicClass);
    }
    FileFormatList->UnregisterFileFormat("rle", TBitmap::StaticClass());
    FileFormatList->UnregisterFileFormat("dib", TBitmap::StaticClass());
    delete FileFormatList;
    FileFormatList = nullptr;
}

} // namespace FormatRegistrations
