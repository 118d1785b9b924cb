#include "editor/app/VisteloSetup.h"

namespace VisteloSetup {

bool CatalogSaveThumbNailsInVistelo = true;

} // namespace VisteloSetup
