#pragma once

// Data-exchange formats as MIME types, so data moves between this program and
// others: text as "text/plain", file lists as "text/uri-list", bitmaps as
// "image/bmp" (and "image/png" for readers of pictures), shell item lists
// as file lists, formats registered by name under their own MIME type.

#include <cstdint>
#include <vector>

#include "platform/ui/Ole.h"

class QMimeData;

namespace ui {

// Adds the block of a format to the MIME data, in the types other programs
// read. Blocks that do not parse are left out.
void PutFormat(QMimeData& mime, UINT format, const std::vector<std::uint8_t>& block);
// The block of a format that the MIME data can give; false when it holds
// nothing from which the format can be made.
bool GetFormat(const QMimeData& mime, UINT format, std::vector<std::uint8_t>& block);
bool HasFormat(const QMimeData& mime, UINT format);

// A data object over MIME data another program offers (reference count 1).
// It reads the data on request, and finds nothing once the MIME data is gone.
IDataObject* CreateMimeDataObject(const QMimeData* mime);

// New MIME data holding every global-memory format the object lists.
QMimeData* MimeDataOfObject(IDataObject* object);

} // namespace ui
