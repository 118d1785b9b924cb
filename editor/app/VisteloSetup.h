#pragma once

// The editor's own preferences (those that are not shared settings of unit
// Setup), loaded at start and saved on close.

namespace VisteloSetup {

// Keep the catalog's thumbnails in saved shows.
extern bool CatalogSaveThumbNailsInVistelo;

} // namespace VisteloSetup
