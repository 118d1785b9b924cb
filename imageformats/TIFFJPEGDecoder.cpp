#include "imageformats/TIFFJPEGDecoder.h"

#include <algorithm>

#include "imageformats/FormatGraphic.h"
#include "imageformats/GraphicStrings.h"
#include "imageformats/Jpg.h"

using namespace GraphicStrings;
using GraphicCompression::RaiseCompressionError;

// The library's records and the callbacks of the memory source. The source
// manager comes first, so that libjpeg's pointer to it leads back here.
struct TTIFFJPEGDecoder::Library {
  jpeg_source_mgr Source{};
  jpeg_decompress_struct Info{};
  Jpg::TJPEGErrorManager Errors;
  TTIFFJPEGDecoder* Owner = nullptr;
  const std::uint8_t* Data = nullptr;  // the tables or the strip being read
  std::size_t Size = 0;
  bool Created = false;
  int HeaderResult = 0;
  std::uint8_t* Rows = nullptr;  // the strip buffer, Stride bytes a row
  int Stride = 0, RowCount = 0, RowsRead = 0;

  static Library& Of(j_decompress_ptr cinfo) { return *reinterpret_cast<Library*>(cinfo->src); }

  static void InitSource(j_decompress_ptr cinfo) {
    Library& l = Of(cinfo);
    l.Source.next_input_byte = l.Data;
    l.Source.bytes_in_buffer = l.Size;
  }
  // Past the strip's end: tell, then end the image.
  static boolean FillInputBuffer(j_decompress_ptr cinfo) {
    Library& l = Of(cinfo);
    if (l.Owner->OnWarning) l.Owner->OnWarning(gesWarning, gesJPEGEOI);
    static const JOCTET endOfImage[2] = {0xFF, JPEG_EOI};
    l.Source.next_input_byte = endOfImage;
    l.Source.bytes_in_buffer = 2;
    return TRUE;
  }
  static void SkipInputData(j_decompress_ptr cinfo, long count) {
    Library& l = Of(cinfo);
    if (count <= 0) return;
    if (static_cast<std::size_t>(count) > l.Source.bytes_in_buffer) {
      FillInputBuffer(cinfo);
      return;
    }
    l.Source.next_input_byte += count;
    l.Source.bytes_in_buffer -= static_cast<std::size_t>(count);
  }
  static void TermSource(j_decompress_ptr) {}

  // The library calls, each run under the error guard.
  static void Create(void* context) {
    auto& l = *static_cast<Library*>(context);
    jpeg_create_decompress(&l.Info);
    l.Created = true;
    l.Info.src = &l.Source;
  }
  static void ReadTables(void* context) {
    auto& l = *static_cast<Library*>(context);
    l.HeaderResult = jpeg_read_header(&l.Info, FALSE);
  }
  static void ReadHeader(void* context) {
    auto& l = *static_cast<Library*>(context);
    jpeg_abort(reinterpret_cast<j_common_ptr>(&l.Info));
    l.HeaderResult = jpeg_read_header(&l.Info, TRUE);
  }
  static void ReadRows(void* context) {
    auto& l = *static_cast<Library*>(context);
    jpeg_start_decompress(&l.Info);
    l.RowsRead = 0;
    while (l.RowsRead < l.RowCount && l.Info.output_scanline < l.Info.output_height) {
      JSAMPROW row = l.Rows + static_cast<std::size_t>(l.RowsRead) * l.Stride;
      if (jpeg_read_scanlines(&l.Info, &row, 1) != 1) break;
      ++l.RowsRead;
    }
    if (l.Info.output_scanline == l.Info.output_height)
      jpeg_finish_decompress(&l.Info);
    else
      jpeg_abort(reinterpret_cast<j_common_ptr>(&l.Info));
  }
};

TTIFFJPEGDecoder::TTIFFJPEGDecoder(TImageProperties* Properties)
    : library_(std::make_unique<Library>()), properties_(Properties) {
  library_->Owner = this;
}

TTIFFJPEGDecoder::~TTIFFJPEGDecoder() { DecodeEnd(); }

void TTIFFJPEGDecoder::DecodeInit() {
  Library& l = *library_;
  DecodeEnd();
  l.Info.err = Jpg::jpeg_std_error(l.Errors);
  l.Source.init_source = Library::InitSource;
  l.Source.fill_input_buffer = Library::FillInputBuffer;
  l.Source.skip_input_data = Library::SkipInputData;
  l.Source.resync_to_restart = jpeg_resync_to_restart;
  l.Source.term_source = Library::TermSource;
  Jpg::Guarded(l.Errors, Library::Create, &l);
  const TByteArray& tables = properties_->JPEGTables;
  if (tables.empty()) return;
  l.Data = tables.data();
  l.Size = tables.size();
  Jpg::Guarded(l.Errors, Library::ReadTables, &l);
  if (l.HeaderResult != JPEG_HEADER_TABLES_ONLY) RaiseCompressionError(gesJPEGBogusTableField);
}

int TTIFFJPEGDecoder::Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize) {
  Library& l = *library_;
  if (!l.Created) DecodeInit();
  const TImageProperties& p = *properties_;
  l.Data = Source;
  l.Size = static_cast<std::size_t>(std::max(PackedSize, 0));
  Jpg::Guarded(l.Errors, Library::ReadHeader, &l);
  const jpeg_decompress_struct& info = l.Info;

  const std::uint32_t rowsPerStrip = p.RowsPerStrip.empty() ? p.Height : p.RowsPerStrip[0];
  std::uint32_t width = p.Width;
  std::uint32_t height = std::min(p.Height - std::min(p.CurrentRow, p.Height), rowsPerStrip);
  const std::uint32_t hSub = p.SubSampling.size() >= 2 ? std::max<std::uint8_t>(p.SubSampling[0], 1) : 1;
  const std::uint32_t vSub = p.SubSampling.size() >= 2 ? std::max<std::uint8_t>(p.SubSampling[1], 1) : 1;
  const bool interleaved = p.PlanarConfig != 2;
  if (!interleaved && p.CurrentStrip == p.StripCount) {
    width = (width + hSub - 1) / hSub;
    height = (height + vSub - 1) / vSub;
  }
  if (info.image_width != width || info.image_height != height) RaiseCompressionError(gesJPEGStripSize);
  if (info.num_components != (interleaved ? p.SamplesPerPixel : 1)) RaiseCompressionError(gesJPEGComponentCount);
  if (info.data_precision != p.BitsPerSample) RaiseCompressionError(gesJPEGDataPrecision);
  for (int c = 0; c < info.num_components; ++c) {
    const bool first = c == 0 && interleaved;
    const int h = first ? static_cast<int>(hSub) : 1, v = first ? static_cast<int>(vSub) : 1;
    if (info.comp_info[c].h_samp_factor != h || info.comp_info[c].v_samp_factor != v)
      RaiseCompressionError(gesJPEGSamplingFactors);
  }
  // Colour comes out blue first, as the reader's bitmap rows want it.
  if (info.num_components == 3) {
    l.Info.jpeg_color_space = p.ColorScheme == csYCbCr ? JCS_YCbCr : JCS_RGB;
    l.Info.out_color_space = JCS_EXT_BGR;
  } else {
    l.Info.jpeg_color_space = JCS_GRAYSCALE;
    l.Info.out_color_space = JCS_GRAYSCALE;
  }
  l.Info.raw_data_out = FALSE;

  l.Stride = static_cast<int>(p.BytesPerLine);
  if (l.Stride <= 0 || UnpackedSize % l.Stride != 0) RaiseCompressionError(gesJPEGFractionalLine);
  // A row of the JPEG data must fit the stride it is written to.
  if (static_cast<std::int64_t>(info.image_width) * info.num_components > l.Stride)
    RaiseCompressionError(gesJPEGStripSize);
  l.Rows = Dest;
  l.RowCount = UnpackedSize / l.Stride;
  Jpg::Guarded(l.Errors, Library::ReadRows, &l);
  return l.RowsRead * l.Stride;
}

void TTIFFJPEGDecoder::DecodeEnd() {
  Library& l = *library_;
  if (!l.Created) return;
  jpeg_destroy_decompress(&l.Info);
  l.Created = false;
}
