#pragma once
// The body of the picture readers' fuzz targets: the reader must load the
// bytes or raise the picture error, never crash, hang or claim huge memory,
// and what it loads is a picture with a size. The outcome names the size or
// the refusal's reason.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzOutcome.h"
#include "imageformats/Refusal.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"

template <class Reader> int FuzzImageReader(const uint8_t* data, size_t size)
{
    TMemoryStream stream;
    stream.WriteBuffer(data, static_cast<int64_t>(size));
    stream.SetPosition(0);
    Reader::CanLoad(stream);
    Reader picture;
    try {
        picture.LoadFromStream(stream);
    } catch (const EImageRefused& e) {
        ReportFuzzOutcome(std::string("refused ") + RefusalReasonName(e.Reason));
        return 0;
    } catch (const EInvalidGraphic&) {
        ReportFuzzOutcome("picture error");
        return 0;
    } catch (const EOutOfMemory&) {
        ReportFuzzOutcome("out of memory");
        return 0;
    }
    if (picture.Width() <= 0 || picture.Height() <= 0)
        __builtin_trap();
    ReportFuzzOutcome("loaded " + std::to_string(picture.Width()) + " x " + std::to_string(picture.Height()));
    return 0;
}
