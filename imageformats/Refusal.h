#pragma once
// Why a picture reader refused a file. Every refusal of the library's readers
// raises EImageRefused: an EInvalidGraphic with the message the user sees and
// the reason, which tells callers and tests which check failed where several
// checks share one message.

#include <cstdint>
#include <string>
#include <utility>

#include "platform/rtl/Exceptions.h"

enum TRefusalReason : std::uint8_t {
    rrHeader,            // no header of the format where the data starts
    rrTruncated,         // the data ends before the picture or a table does
    rrDataTooShort,      // the header asks for more pixels than the data could ever hold
    rrPictureSize,       // no side, or more pixels than a picture may have
    rrPixelFormat,       // no bitmap format for the pixels
    rrColorFormat,       // bits, samples and colour scheme the reader does not decode
    rrColorConversion,   // the colour manager has no conversion for the pair
    rrPalette,           // a palette that is missing, too large or unreadable
    rrNoImage,           // a file of the format that holds no picture
    rrCompression,       // a compression scheme the reader does not decode
    rrCompressedData,    // compressed data that cannot be decoded
    rrExtraData,         // data behind the end of a compressed stream
    rrChecksum,          // a chunk whose checksum does not match
    rrCriticalChunk,     // an unknown chunk the picture cannot be read without
    rrFilter,            // a row filter or interlace method the format does not define
    rrNumber,            // a number in a text header that is too large
    rrSampleRange,       // a largest sample value of 0 or beyond 16 bits
    rrCodeSize,          // an LZW code size outside 1..8
    rrSeparatePlanes,    // colour planes stored one after another (TIFF)
    rrPredictor,         // a predictor with samples it does not apply to (TIFF)
    rrSubsampling,       // subsampled YCbCr outside JPEG (TIFF)
    rrTwoDimensionalFax, // two-dimensional group 3 rows (TIFF)
    rrTiledJPEG,         // JPEG data in tiles (TIFF)
    rrStripTable,        // strip offsets or byte counts missing (TIFF)
    rrTileSize,          // tiles of a size TIFF does not allow, or too large (TIFF)
    rrTileTable,         // fewer tile offsets or byte counts than tiles (TIFF)
    rrJPEGData,          // JPEG data libjpeg refuses ("JPEG error #n")
    rrJPEGTables,        // shared JPEG tables that are not a tables-only stream
    rrJPEGStripSize,     // a JPEG strip whose size does not fit the strip
    rrJPEGComponents,    // a JPEG strip with other components than the picture
    rrJPEGPrecision,     // a JPEG strip with another sample precision
    rrJPEGSampling,      // a JPEG strip with other sampling factors
    rrJPEGPartialRows,   // JPEG rows that do not fill whole picture rows
};

// The reason's name as the enumeration spells it ("rrTruncated"), for test
// output and fuzz replay records.
const char* RefusalReasonName(TRefusalReason reason);

class EImageRefused : public EInvalidGraphic {
public:
    EImageRefused(TRefusalReason reason, std::string message) : EInvalidGraphic(std::move(message)), Reason(reason) { }
    TRefusalReason Reason;
};
