// Feeds arbitrary bytes to the Photoshop reader: it must load them or raise the
// picture error, never crash, hang or claim huge memory.
#include <cstddef>
#include <cstdint>

#include "imageformats/PSDGraphic.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream stream;
  stream.WriteBuffer(data, static_cast<int64_t>(size));
  stream.SetPosition(0);
  TPSDGraphic::CanLoad(stream);
  TPSDGraphic graphic;
  try {
    graphic.LoadFromStream(stream);
  } catch (const EInvalidGraphic&) {
    return 0;
  }
  if (graphic.Width() <= 0 || graphic.Height() <= 0) __builtin_trap();
  return 0;
}
