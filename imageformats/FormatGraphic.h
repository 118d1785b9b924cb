#pragma once
// TFormatGraphic: the bitmap every picture reader of the library derives
// from, with its colour manager, the properties its header gave and the
// progress reports of a load. TFileFormatList: the registry of extensions,
// descriptions and reader classes that feeds the platform's picture loader,
// builds dialog filters and picks a reader by content.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "imageformats/GraphicColor.h"
#include "imageformats/Refusal.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/EnumSet.h"

class TStream;

enum TImageOption : std::uint8_t { ioTiled, ioBigEndian, ioMinIsWhite, ioReversed, ioUseGamma };
using TImageOptions = TEnumSet<TImageOption, std::uint8_t>;

enum TCompressionType : std::uint8_t {
    ctUnknown,
    ctNone,
    ctRLE,
    ctPackedBits,
    ctLZW,
    ctFax3,
    ctFaxRLE,
    ctFax4,
    ctFaxRLEW,
    ctLZ77,
    ctJPEG,
    ctOJPEG,
    ctThunderscan,
    ctNext,
    ctIT8CTPAD,
    ctIT8LW,
    ctIT8MP,
    ctIT8BL,
    ctPixarFilm,
    ctPixarLog,
    ctDCS,
    ctJBIG,
    ctPCDHuffmann
};

using TCardinalArray = std::vector<std::uint32_t>;
using TByteArray = std::vector<std::uint8_t>;
using TFloatArray = std::vector<float>;

// What a reader's header says about the picture.
struct TImageProperties {
    std::uint32_t Version = 0;
    TImageOptions Options;
    std::uint32_t Width = 0, Height = 0;
    TColorScheme ColorScheme = csUnknown;
    std::uint8_t BitsPerSample = 0;
    std::uint8_t SamplesPerPixel = 0;
    std::uint8_t BitsPerPixel = 0;
    TCompressionType Compression = ctUnknown;
    float Gamma = 1.0f;
    float XResolution = 0, YResolution = 0;
    bool Interlaced = false;
    bool HasAlpha = false;
    std::uint32_t FirstIFD = 0;
    std::uint32_t PlanarConfig = 0;
    std::uint32_t CurrentRow = 0;
    std::uint32_t TileWidth = 0, TileLength = 0;
    std::uint32_t BytesPerLine = 0;
    TCardinalArray RowsPerStrip;
    TByteArray SubSampling;
    TByteArray JPEGTables;
    std::uint32_t JPEGColorMode = 0, JPEGTablesMode = 0;
    std::uint32_t CurrentStrip = 0, StripCount = 0;
    std::uint32_t Predictor = 0;
    bool OverviewPack = false;
    std::uint8_t Orientation = 0;
    std::uint16_t PCDVersion = 0;
    bool LocalColorTable = false;
    bool BottomUp = false;
    std::uint8_t ChannelCount = 0;
    std::uint8_t FilterMethod = 0;
};

// The class functions of the readers: whether a stream holds their format.
class TFormatGraphicMeta : public TBitmap::Meta {
public:
    // Checks the header at the stream's position and sets the position back.
    virtual bool CanLoad(TStream& stream) const;
    // Opens the file read-only, deny-write; a file that cannot be opened is
    // not loadable.
    bool CanLoad(const std::string& fileName) const;
};

// The metaclass of reader T: dispatches to T's static CanLoad(TStream&).
template <class T> class TFormatGraphicMetaOf : public TFormatGraphicMeta {
public:
    using TFormatGraphicMeta::CanLoad;
    bool CanLoad(TStream& stream) const override { return T::CanLoad(stream); }
};

class TFormatGraphic : public TBitmap {
    DECLARE_CLASS_META(TFormatGraphic, TBitmap, TFormatGraphicMeta)

public:
    // The most pixel bytes a reader allocates for one picture; a header that
    // asks for more is refused before anything is allocated.
    static constexpr std::int64_t MaxPixelBytes = std::int64_t{1} << 30;

    TFormatGraphic();
    ~TFormatGraphic() override;

    static bool CanLoad(TStream&) { return false; }

    // The base resets the properties and returns false; readers read their
    // header from the stream's position and return true when it is usable.
    virtual bool ReadImageProperties(TStream& stream, int imageIndex);
    const TImageProperties& ImageProperties() const { return FProperties; }

    void Assign(const TPersistent* source) override;

    // A raw-data resource of the module holding a picture of this format.
    void LoadFromResourceName(HMODULE instance, const std::string& name);
    void LoadFromResourceID(HMODULE instance, int id);

    TColorManager& Converter() { return *FConverter; }

protected:
    // Step 1 of every load: empty the picture, remember where the data starts.
    void BeginLoad(TStream& stream);
    // The picture's size and pixel format, after the budget check.
    void SetupBitmap(std::uint32_t width, std::uint32_t height, TPixelFormat format, const std::string& formatName);
    void ProgressStart(const char* message);
    // After row `row` (0-based) of `rows` was delivered.
    void ProgressRow(std::uint32_t row, std::uint32_t rows);
    void ProgressEnd();

    // Reads exactly `count` bytes or raises the stream read error of the format
    // (rrTruncated).
    static void ReadOrFail(TStream& stream, void* buffer, std::int64_t count, const std::string& formatName);
    // Refuses the file: EImageRefused with the reason and a message of the
    // table filled with `formatName`.
    [[noreturn]] static void RaiseError(TRefusalReason reason, const char* message, const std::string& formatName);

    std::unique_ptr<TColorManager> FConverter;
    TImageProperties FProperties;
    std::int64_t FStartPosition = 0;
    TStream* FSource = nullptr;
    TRect FProgressArea;
};

// ---- the format registry ---------------------------------------------------

enum TFormatType : std::uint8_t { ftAnimation, ftLayered, ftMultiImage, ftRaster, ftVector };
using TFormatTypes = TEnumSet<TFormatType, std::uint8_t>;

enum TFilterSortType : std::uint8_t { fstNone, fstBoth, fstDescription, fstExtension };
enum TFilterOption : std::uint8_t { foCompact, foIncludeAll, foIncludeExtension };
using TFilterOptions = TEnumSet<TFilterOption, std::uint8_t>;

class TStringList;

class TFileFormatList : public TObject {
public:
    TFileFormatList();
    ~TFileFormatList() override;
    TFileFormatList(const TFileFormatList&) = delete;
    TFileFormatList& operator=(const TFileFormatList&) = delete;

    // Maps the extension (without dot) to the class and passes it on to the
    // platform's picture loader. A known extension raises EInvalidGraphic
    // unless `replace` is set.
    void RegisterFileFormat(const std::string& extension, const std::string& commonDescription,
                            const std::string& individualDescription, TFormatTypes formatTypes, bool replace,
                            TGraphicClass graphicClass);
    // An empty extension removes every extension of the class.
    void UnregisterFileFormat(const std::string& extension, TGraphicClass graphicClass);
    void Clear();

    int FindExtension(const std::string& extension) const;
    int FindGraphicClass(TGraphicClass graphicClass) const;
    std::string GetDescription(TGraphicClass graphicClass) const;
    void GetExtensionList(TStringList& list) const;
    std::string GetGraphicFilter(TFormatTypes formatTypes, TFilterSortType sortType, TFilterOptions options,
                                 TGraphicClass graphicClass) const;
    // The text after its first '.' (or all of it when there is none).
    TGraphicClass GraphicFromExtension(const std::string& text) const;
    // The first registered reader whose CanLoad holds; the stream position is
    // kept. The platform's own classes are never chosen this way.
    TGraphicClass GraphicFromContent(TStream& stream) const;
    TGraphicClass GraphicFromContent(const std::string& fileName) const;

private:
    struct ClassRecord {
        TGraphicClass GraphicClass = nullptr;
        std::string Description;
        int Count = 0;
    };
    struct ExtensionRecord {
        std::string Extension;
        std::string Description;
        TFormatTypes FormatTypes;
        ClassRecord* Class = nullptr;
    };

    ClassRecord& ClassRecordOf(TGraphicClass graphicClass);
    void Release(ClassRecord* record);

    std::vector<std::unique_ptr<ClassRecord>> classes_;
    std::vector<std::unique_ptr<ExtensionRecord>> extensions_;
};

// The process-wide registry (see FormatRegistrations.h); nullptr before the
// library's registrations ran and after they were undone.
extern TFileFormatList* FileFormatList;
