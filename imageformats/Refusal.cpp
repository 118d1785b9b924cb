#include "imageformats/Refusal.h"

const char* RefusalReasonName(TRefusalReason reason)
{
    switch (reason) {
    case rrHeader: return "rrHeader";
    case rrTruncated: return "rrTruncated";
    case rrDataTooShort: return "rrDataTooShort";
    case rrPictureSize: return "rrPictureSize";
    case rrPixelFormat: return "rrPixelFormat";
    case rrColorFormat: return "rrColorFormat";
    case rrColorConversion: return "rrColorConversion";
    case rrPalette: return "rrPalette";
    case rrNoImage: return "rrNoImage";
    case rrCompression: return "rrCompression";
    case rrCompressedData: return "rrCompressedData";
    case rrExtraData: return "rrExtraData";
    case rrChecksum: return "rrChecksum";
    case rrCriticalChunk: return "rrCriticalChunk";
    case rrFilter: return "rrFilter";
    case rrNumber: return "rrNumber";
    case rrSampleRange: return "rrSampleRange";
    case rrCodeSize: return "rrCodeSize";
    case rrSeparatePlanes: return "rrSeparatePlanes";
    case rrPredictor: return "rrPredictor";
    case rrSubsampling: return "rrSubsampling";
    case rrTwoDimensionalFax: return "rrTwoDimensionalFax";
    case rrTiledJPEG: return "rrTiledJPEG";
    case rrStripTable: return "rrStripTable";
    case rrTileSize: return "rrTileSize";
    case rrTileTable: return "rrTileTable";
    case rrJPEGData: return "rrJPEGData";
    case rrJPEGTables: return "rrJPEGTables";
    case rrJPEGStripSize: return "rrJPEGStripSize";
    case rrJPEGComponents: return "rrJPEGComponents";
    case rrJPEGPrecision: return "rrJPEGPrecision";
    case rrJPEGSampling: return "rrJPEGSampling";
    case rrJPEGPartialRows: return "rrJPEGPartialRows";
    }
    return "?";
}
