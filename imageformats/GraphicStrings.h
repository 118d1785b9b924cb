#pragma once
// The German texts of the image-format library: progress stage texts, reader
// and converter errors, and the format descriptions of the registry. Texts are
// kept exactly as the product ships them, typos included.

#include <string>

namespace GraphicStrings {

// Progress stages.
inline constexpr const char* gesPreparing = "Vorbereitung...";
inline constexpr const char* gesLoadingData = "Daten werden geladen...";
inline constexpr const char* gesUpsampling = "Upsampling...";
inline constexpr const char* gesTransfering = "Übertragung...";

// Decoder errors.
inline constexpr const char* gesLZ77Error = "LZ77 Dekompressionsfehler.";
inline constexpr const char* gesJPEGEOI = "JPEG Dekompressionsfehler. Unerwartetes Ende der Eingabedaten.";
inline constexpr const char* gesJPEGStripSize = "Unpassende JPEG Strip oder Tile Größe.";
inline constexpr const char* gesJPEGComponentCount = "Unpassende JPEG Komponentenanzahl";
inline constexpr const char* gesJPEGDataPrecision = "Unpassende JPEG Datengenauigkeit.";
inline constexpr const char* gesJPEGSamplingFactors = "Unpassende JPEG Samplingfaktoren.";
inline constexpr const char* gesJPEGBogusTableField = "Falsches JPEG Tabellenfeld gefunden.";
inline constexpr const char* gesJPEGFractionalLine = "Unvollständige JPEG Bildzeilen werden nicht understützt.";
inline constexpr const char* gesWarning = "Warnung";

// Reader errors; %s is the format name (or the feature, then the format).
inline constexpr const char* gesUnsupportedImage =
    "Bild konnte nicht geladen werden. Nicht unterstütztes %s Bildformat.";
inline constexpr const char* gesUnsupportedFeature =
    "Bild konnte nicht geladen werden. %s nicht unterstützt für %s Dateien.";
inline constexpr const char* gesInvalidCRC =
    "Bild konnte nicht geladen werden. Ein CRC Fehler ist in der %s Datei aufgetreten.";
inline constexpr const char* gesCompression =
    "Bild konnte nicht geladen werden. Kompressionsfehler in %s Datei gefunden.";
inline constexpr const char* gesExtraCompressedData =
    "Bild konnte nicht geladen werden. Zuviele komprimierte Daten in %s Datei gefunden.";
inline constexpr const char* gesInvalidPalette = "Bild konnte nicht geladen werden. Palette in %s Datei ist ungültig.";
inline constexpr const char* gesUnknownCriticalChunk =
    "PNG Bild konnte nicht geladen werden. Unerwarteter, aber als kritisch markierter Chunk gefunden.";
inline constexpr const char* gesCompressionScheme = "Das Kompressionsformat ist";
inline constexpr const char* gesRLAPixelFormat = "Andere Bildformat, als RGB und RGBA werden";
inline constexpr const char* gesPSPFileType = "Andere Dateiversionen als 3 or 4 werden";
inline constexpr const char* gesInvalidImage =
    "Bild konnte nicht geladen werden. Ungültiges oder unerwartetes %s Bildformat.";
inline constexpr const char* gesInvalidColorFormat = "Ungültiges Farbformat in %s Bild.";
inline constexpr const char* gesStreamReadError = "Stream Lesefehler in %s Datei.";

// Colour manager errors.
inline constexpr const char* gesIndexedNotSupported =
    "Konvertierung zwischen indizierten und nicht-indizierten Formaten wird nicht unterstützt.";
inline constexpr const char* gesConversionUnsupported =
    "Farbkonvertierung schlug fehl. Es konnte keine passende Konvertierungsmethode gefunden werden.";
inline constexpr const char* gesInvalidSampleDepth =
    "Farbtiefe ist nicht gültig. Bits pro Sample muss 1, 2, 4, 8 oder 16 sein.";
inline constexpr const char* gesInvalidPixelDepth =
    "Sampleanzahl pro Pixel korrespondiert nicht zum angegebenen Farbschema.";
inline constexpr const char* gesInvalidSubSampling = "Subsampling Wert ist ungültig. Erlaubt sind 1, 2 und 4.";
inline constexpr const char* gesVerticalSubSamplingError =
    "Der vertikale Subsampling Wert muss kleiner oder gleich dem horizontalen Wert sein.";

// Registry.
inline constexpr const char* gesAllImages = "Alle Bilder";
inline constexpr const char* gesRegistration = "Das Format %s ist schon registriert.";

// Format descriptions.
inline constexpr const char* gesSGITrueColorAlpha = "SGI True Color Bilder mit Transparenz";
inline constexpr const char* gesSGIMono = "SGI schwarz/weiss Bilder";
inline constexpr const char* gesPhotoshop = "Photoshop Bilder";
inline constexpr const char* gesPortable = "Portable map Bilder";
inline constexpr const char* gesPortablePixel = "Portable pixel map Bilder";
inline constexpr const char* gesPortableGray = "Portable gray map Bilder";
inline constexpr const char* gesPortableMono = "Portable bitmap Bilder";
inline constexpr const char* gesAutoDesk = "Autodesk Bilder";
inline constexpr const char* gesKodakPhotoCD = "Kodak Photo-CD Bilder";
inline constexpr const char* gesCompuserve = "CompuServe Bilder";
inline constexpr const char* gesHalo = "Dr. Halo Bilder";
inline constexpr const char* gesPaintShopPro = "Paintshop Pro Bilder";
inline constexpr const char* gesPortableNetworkGraphic = "Portable network graphic Bilder";
inline constexpr const char* gesMetaFiles = "Windows metafiles";
inline constexpr const char* gesEnhancedMetaFiles = "Windows erweiterte metafiles";
inline constexpr const char* gesJPGImages = "JPG Bilder";
inline constexpr const char* gesJPEGImages = "JPEG Bilder";
inline constexpr const char* gesJPEImages = "JPE Bilder";
inline constexpr const char* gesJFIFImages = "JFIF Bilder";
inline constexpr const char* gesTruevision = "Truevision Bilder";
inline constexpr const char* gesTIFF = "Tagged image file format";
inline constexpr const char* gesMacTIFF = "Macintosh TIFF Bilder";
inline constexpr const char* gesPCTIF = "PC TIF Bilder";
inline constexpr const char* gesGFIFax = "GFI FAX Dateien";
inline constexpr const char* gesSGI = "SGI Bilder";
inline constexpr const char* gesSGITrueColor = "SGI True Color Bilder";
inline constexpr const char* gesZSoft = "ZSoft Paintbrush Bilder";
inline constexpr const char* gesZSoftWord = "Word 5.x Snapschuss Bilder";
inline constexpr const char* gesAliasWaveFront = "Alias/Wavefront Bilder";
inline constexpr const char* gesBitmaps = "Windows bitmaps";
inline constexpr const char* gesRLEBitmaps = "Run length encoded Windows bitmaps";
inline constexpr const char* gesDIBs = "Geräteunabhängige Windows bitmaps";
inline constexpr const char* gesEPS = "Encapsulated Postscript Bilder";
inline constexpr const char* gesIcons = "Windows icons";

// The JPEG glue's own text; %d is libjpeg's message code.
inline constexpr const char* gesJPEGError = "JPEG error #%d";

// The text with each %s replaced in turn by the arguments.
std::string Format(const char* text, const std::string& first, const std::string& second = {});

} // namespace GraphicStrings
