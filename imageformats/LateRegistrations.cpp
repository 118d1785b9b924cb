// The readers of this part of the library register with the shared format
// registry after its fixed table, so their extensions reach the picture
// loader whatever order the units start in.
#include "imageformats/FormatGraphic.h"
#include "imageformats/FormatRegistrations.h"
#include "imageformats/GIFGraphic.h"
#include "imageformats/GraphicStrings.h"
#include "imageformats/PNGGraphic.h"
#include "imageformats/TIFFGraphic.h"
#include "platform/rtl/Modules.h"

using namespace GraphicStrings;

namespace {

struct LateRegistration {
  const char* Extension;
  const char* CommonDescription;
  TGraphicClass (*GraphicClass)();
};

template <class T>
TGraphicClass ClassOf() {
  return T::StaticClass();
}

const LateRegistration kLateRegistrations[] = {
    {"tiff", gesTIFF, ClassOf<TTIFFGraphic>},
    {"tif", "", ClassOf<TTIFFGraphic>},
    {"fax", "", ClassOf<TTIFFGraphic>},
    {"eps", gesEPS, ClassOf<TEPSGraphic>},
    {"gif", gesCompuserve, ClassOf<TGIFGraphic>},
    {"png", gesPortableNetworkGraphic, ClassOf<TPNGGraphic>},
};

void Register() {
  FormatRegistrations::Initialize();
  for (const LateRegistration& r : kLateRegistrations)
    FileFormatList->RegisterFileFormat(r.Extension, r.CommonDescription, "", TFormatTypes{ftRaster}, true,
                                       r.GraphicClass());
}

void Unregister() {
  if (FileFormatList != nullptr)
    for (const LateRegistration& r : kLateRegistrations) FileFormatList->UnregisterFileFormat("", r.GraphicClass());
  FormatRegistrations::Finalize();
}

const bool moduleInit = (rtl::RegisterModuleInit(&Register, &Unregister), true);

}  // namespace
