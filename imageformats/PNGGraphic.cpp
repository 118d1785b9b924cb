#include "imageformats/PNGGraphic.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "imageformats/GraphicStrings.h"
#include "imageformats/LZ77Decoder.h"
#include "platform/rtl/Streams.h"

using namespace GraphicStrings;

IMPLEMENT_CLASS(TPNGGraphic)

namespace {

const char* const kFormatName = "PNG";
const std::uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
constexpr std::uint32_t kMaxChunkLength = 0x7FFFFFFF;

std::uint32_t BigEndian32(const std::uint8_t* b) {
  return std::uint32_t{b[0]} << 24 | std::uint32_t{b[1]} << 16 | std::uint32_t{b[2]} << 8 | b[3];
}
std::uint16_t BigEndian16(const std::uint8_t* b) { return static_cast<std::uint16_t>(b[0] << 8 | b[1]); }

struct Header {
  std::uint32_t Width = 0, Height = 0;
  std::uint8_t BitDepth = 0, ColorType = 0, CompressionMethod = 0, FilterMethod = 0, InterlaceMethod = 0;

  static Header Parse(const std::uint8_t* b) {
    return {BigEndian32(b), BigEndian32(b + 4), b[8], b[9], b[10], b[11], b[12]};
  }
};

std::uint8_t Paeth(int a, int b, int c) {
  const int e = a + b - c;
  const int da = std::abs(e - a), db = std::abs(e - b), dc = std::abs(e - c);
  if (da <= db && da <= dc) return static_cast<std::uint8_t>(a);
  return static_cast<std::uint8_t>(db <= dc ? b : c);
}

struct Adam7Pass {
  std::uint32_t StartRow, StartColumn, RowStep, ColumnStep;
  std::uint8_t Mask;
};
constexpr Adam7Pass kAdam7[7] = {{0, 0, 8, 8, 0x80}, {0, 4, 8, 8, 0x08}, {4, 0, 8, 4, 0x88}, {0, 2, 4, 4, 0x22},
                                 {2, 0, 4, 2, 0xAA}, {0, 1, 2, 2, 0x55}, {1, 0, 2, 1, 0xFF}};


}  // namespace

TPNGGraphic::TPNGGraphic() = default;
TPNGGraphic::~TPNGGraphic() = default;

bool TPNGGraphic::CanLoad(TStream& stream) {
  const std::int64_t position = stream.Position();
  std::uint8_t bytes[8];
  const bool ok = stream.Size() - position >= 9 && stream.Read(bytes, 8) == 8 &&
                  std::memcmp(bytes, kSignature, 8) == 0;
  stream.SetPosition(position);
  return ok;
}

bool TPNGGraphic::ReadImageProperties(TStream& stream, int imageIndex) {
  TFormatGraphic::ReadImageProperties(stream, imageIndex);
  std::uint8_t start[8 + 8 + 13 + 4];
  if (stream.Read(start, sizeof start) != sizeof start || std::memcmp(start, kSignature, 8) != 0) return false;
  FChunkLength = BigEndian32(start + 8);
  std::memcpy(FChunkType, start + 12, 4);
  if (!IsChunk("IHDR") || FChunkLength != 13) return false;
  const Header h = Header::Parse(start + 16);
  if (h.Width == 0 || h.Height == 0) return false;
  TImageProperties& p = FProperties;
  p.Options.Include(ioBigEndian);
  p.Width = h.Width;
  p.Height = h.Height;
  p.Compression = h.CompressionMethod == 0 ? ctLZ77 : ctUnknown;
  p.BitsPerSample = h.BitDepth;
  p.SamplesPerPixel = h.ColorType == 2 ? 3 : h.ColorType == 6 ? 4 : 1;
  switch (h.ColorType) {
    case 0: p.ColorScheme = csG; break;
    case 2: p.ColorScheme = csRGB; break;
    case 3: p.ColorScheme = csIndexed; break;
    case 4: p.ColorScheme = csGA; break;
    case 6: p.ColorScheme = csRGBA; break;
    default: p.ColorScheme = csUnknown; break;
  }
  p.BitsPerPixel = static_cast<std::uint8_t>(p.SamplesPerPixel * p.BitsPerSample);
  p.FilterMethod = h.FilterMethod;
  p.Interlaced = h.InterlaceMethod != 0;
  p.HasAlpha = p.ColorScheme == csGA || p.ColorScheme == csRGBA;
  // The file gamma, when a gAMA chunk comes before the image data.
  std::uint8_t chunk[8];
  while (stream.Read(chunk, 8) == 8) {
    const std::uint32_t length = BigEndian32(chunk);
    std::memcpy(FChunkType, chunk + 4, 4);
    if (IsChunk("IEND") || IsChunk("IDAT") || length > kMaxChunkLength) break;
    std::uint8_t gamma[4];
    if (IsChunk("gAMA") && length == 4 && stream.Read(gamma, 4) == 4) {
      p.Gamma = static_cast<float>(BigEndian32(gamma)) / 100000.0f;
      break;
    }
    stream.Seek(std::int64_t{length} + 4, soFromCurrent);
  }
  return true;
}

// ---- chunks -----------------------------------------------------------------

bool TPNGGraphic::IsChunk(const char* type) const {
  for (int i = 0; i < 4; ++i)
    if ((FChunkType[i] & ~0x20) != (type[i] & ~0x20)) return false;
  return true;
}

void TPNGGraphic::LoadAndSwapHeader(TStream& stream) {
  std::uint8_t header[8];
  ReadOrFail(stream, header, 8, kFormatName);
  FChunkLength = BigEndian32(header);
  std::memcpy(FChunkType, header + 4, 4);
  // A length the file cannot hold is damage, not a reason to allocate.
  if (FChunkLength > kMaxChunkLength || FChunkLength > stream.Size() - stream.Position())
    RaiseError(gesStreamReadError, kFormatName);
  FRunningCRC = static_cast<std::uint32_t>(crc32(0, header + 4, 4));
}

void TPNGGraphic::LoadHeaderIfAny(TStream& stream) {
  FNoMoreChunks = stream.Position() >= stream.Size();
  if (FNoMoreChunks)
    std::memset(FChunkType, 0, sizeof FChunkType);
  else
    LoadAndSwapHeader(stream);
}

void TPNGGraphic::ReadDataAndCheckCRC(TStream& stream) {
  FChunkData.resize(FChunkLength);
  ReadOrFail(stream, FChunkData.data(), FChunkLength, kFormatName);
  std::uint8_t stored[4];
  ReadOrFail(stream, stored, 4, kFormatName);
  FRunningCRC = static_cast<std::uint32_t>(crc32(FRunningCRC, FChunkData.data(), FChunkLength));
  if (FRunningCRC != BigEndian32(stored)) RaiseError(gesInvalidCRC, kFormatName);
}

void TPNGGraphic::SkipChunk(TStream& stream) {
  if (IsCritical()) throw EInvalidGraphic(gesUnknownCriticalChunk);
  ReadDataAndCheckCRC(stream);
}

// ---- loading ------------------------------------------------------------------

void TPNGGraphic::LoadFromStream(TStream& stream) {
  BeginLoad(stream);
  if (!ReadImageProperties(stream, 0)) RaiseError(gesInvalidImage, kFormatName);
  stream.SetPosition(FStartPosition + 8);
  ProgressStart(gesPreparing);
  FStream = &stream;
  FPalette.clear();
  FHavePalette = FColorDepthSet = FHasTransparentColor = FDataEnded = FNoMoreChunks = false;
  FBackgroundColor = 0xFFFFFF;
  FChunkDataLeft = 0;
  FChunkCursor = nullptr;
  // Decoder and buffers go on every path.
  struct Cleanup {
    TPNGGraphic& Self;
    ~Cleanup() {
      Self.FInflater.reset();
      Self.FChunkData = {};
      Self.FRows[0] = Self.FRows[1] = {};
      Self.FStream = nullptr;
    }
  } cleanup{*this};
  try {
    LoadAndSwapHeader(stream);
    ReadDataAndCheckCRC(stream);
    const Header h = Header::Parse(FChunkData.data());
    FColorType = h.ColorType;
    FBitDepth = h.BitDepth;
    FConverter->SourceOptions = TConvertOptions{coNeedByteSwap};
    FConverter->TargetOptions = {};
    if (FProperties.Compression != ctLZ77)
      throw EInvalidGraphic(Format(gesUnsupportedFeature, gesCompressionScheme, kFormatName));
    if (h.FilterMethod != 0 || h.InterlaceMethod > 1) RaiseError(gesInvalidImage, kFormatName);
    FInflater = std::make_unique<TLZ77Decoder>(Z_PARTIAL_FLUSH, false);
    FInflater->DecodeInit();
    ReadChunks(stream);
    FInflater->DecodeEnd();
  } catch (...) {
    ProgressEnd();
    throw;
  }
  ProgressEnd();
}

void TPNGGraphic::ReadChunks(TStream& stream) {
  bool imageRead = false;
  bool headerLoaded = false;  // the chunk after the image data is already current
  for (;;) {
    if (!headerLoaded) {
      // A file cut after complete image data still shows its picture.
      if (imageRead && stream.Position() >= stream.Size()) break;
      LoadAndSwapHeader(stream);
    }
    headerLoaded = false;
    if (IsChunk("IDAT") && !imageRead) {
      ProgressEnd();
      LoadIDAT();
      imageRead = true;
      if (FNoMoreChunks) break;
      headerLoaded = true;
      continue;
    }
    if (IsChunk("PLTE") && !imageRead) {
      LoadPalette();
    } else if (IsChunk("gAMA")) {
      ReadDataAndCheckCRC(stream);
      if (FChunkLength == 4 && !imageRead) {
        FConverter->SetGamma(static_cast<float>(BigEndian32(FChunkData.data())) / 100000.0f, 2.2f);
        FConverter->TargetOptions.Include(coApplyGamma);
        FProperties.Options.Include(ioUseGamma);
      }
    } else if (IsChunk("bKGD") && !imageRead) {
      LoadBackgroundColor();
    } else if (IsChunk("tRNS") && !imageRead) {
      LoadTransparency();
    } else if (IsChunk("IEND")) {
      break;
    } else {
      SkipChunk(stream);
    }
  }
  if (!imageRead) RaiseError(gesInvalidImage, kFormatName);
}

void TPNGGraphic::LoadPalette() {
  if (FChunkLength % 3 != 0 || FChunkLength / 3 > 256 || FChunkLength == 0)
    RaiseError(gesInvalidPalette, kFormatName);
  ReadDataAndCheckCRC(*FStream);
  if (FColorType != 3) return;  // a suggestion for true-colour displays
  SetupColorDepth(FColorType, FBitDepth);
  const std::uint32_t count = FChunkLength / 3;
  FFilePalette.assign(count, 0);
  for (std::uint32_t i = 0; i < count; ++i)
    FFilePalette[i] = static_cast<TColor>(RGB(FChunkData[3 * i], FChunkData[3 * i + 1], FChunkData[3 * i + 2]));
  FPalette = FConverter->CreateColorPalette({FChunkData.data()}, pfInterlaced8Triple, count, false);
  FHavePalette = true;
}

std::uint8_t TPNGGraphic::ScaledSample(const std::uint8_t* sample) const {
  const std::uint32_t value = BigEndian16(sample);
  if (FBitDepth == 16) return static_cast<std::uint8_t>(value * 255 / 65535);
  if (FBitDepth == 8) return static_cast<std::uint8_t>(value);
  // Grey samples of 1, 2 and 4 bits stretch over 0..255 like the grey palette.
  const std::uint32_t maximum = (1u << FBitDepth) - 1;
  return static_cast<std::uint8_t>(std::min(value, maximum) * 255 / maximum);
}

void TPNGGraphic::LoadBackgroundColor() {
  ReadDataAndCheckCRC(*FStream);
  const std::uint8_t* d = FChunkData.data();
  if ((FColorType == 0 || FColorType == 4) && FChunkLength >= 2) {
    const int grey = ScaledSample(d);
    FBackgroundColor = RGB(grey, grey, grey);
  } else if ((FColorType == 2 || FColorType == 6) && FChunkLength >= 6) {
    FBackgroundColor = RGB(ScaledSample(d), ScaledSample(d + 2), ScaledSample(d + 4));
  } else if (FColorType == 3 && FChunkLength >= 1 && d[0] < FFilePalette.size()) {
    // The index names a colour of the file's palette.
    FBackgroundColor = FFilePalette[d[0]];
  }
}

void TPNGGraphic::LoadTransparency() {
  ReadDataAndCheckCRC(*FStream);
  const std::uint8_t* d = FChunkData.data();
  if (FColorType == 0 && FChunkLength >= 2) {
    const int grey = ScaledSample(d);
    FTransparentColor = RGB(grey, grey, grey);
    FHasTransparentColor = true;
  } else if (FColorType == 2 && FChunkLength >= 6) {
    FTransparentColor = RGB(ScaledSample(d), ScaledSample(d + 2), ScaledSample(d + 4));
    FHasTransparentColor = true;
  }
}

int TPNGGraphic::SetupColorDepth(int colorType, int bitDepth) {
  TColorManager& c = *FConverter;
  auto packed = [](int d) { return d == 1 || d == 2 || d == 4 || d == 8; };
  struct Setup {
    TColorScheme Source, Target;
    std::uint8_t Samples, TargetBits;
    int PixelBytes;
  };
  Setup s{};
  bool valid = false;
  switch (colorType) {
    case 0:
      valid = packed(bitDepth) || bitDepth == 16;
      s = {csG, csG, 1, static_cast<std::uint8_t>(bitDepth == 2 ? 4 : bitDepth == 16 ? 8 : bitDepth),
           (bitDepth + 7) / 8};
      break;
    case 2:
      valid = bitDepth == 8 || bitDepth == 16;
      s = {csRGB, csBGR, 3, 8, bitDepth * 3 / 8};
      break;
    case 3:
      valid = packed(bitDepth);
      s = {csIndexed, csIndexed, 1, static_cast<std::uint8_t>(bitDepth == 2 ? 4 : bitDepth), 1};
      break;
    case 4:
      valid = bitDepth == 8 || bitDepth == 16;
      s = {csGA, csIndexed, 1, 8, bitDepth * 2 / 8};
      break;
    case 6:
      valid = bitDepth == 8 || bitDepth == 16;
      s = {csRGBA, csBGRA, 4, 8, bitDepth * 4 / 8};
      break;
    default:
      break;
  }
  if (!valid) RaiseError(gesInvalidColorFormat, kFormatName);
  c.SetSourceColorScheme(s.Source);
  c.SetTargetColorScheme(s.Target);
  c.SetSourceSamplesPerPixel(s.Samples);
  c.SetTargetSamplesPerPixel(s.Samples);
  c.SetSourceBitsPerSample(static_cast<std::uint8_t>(bitDepth));
  c.SetTargetBitsPerSample(s.TargetBits);
  FPixelBytes = s.PixelBytes;
  FColorDepthSet = true;
  return s.PixelBytes;
}

// ---- image data ---------------------------------------------------------------

void TPNGGraphic::LoadIDAT() {
  ProgressStart(gesTransfering);
  if (FColorType == 3 && !FHavePalette) RaiseError(gesInvalidPalette, kFormatName);
  if (!FColorDepthSet) SetupColorDepth(FColorType, FBitDepth);
  const std::uint32_t width = FProperties.Width, height = FProperties.Height;
  // Deflate packs at most 1032 bytes into one: a picture the rest of the file
  // could never fill is damage, not a reason to allocate.
  const std::uint64_t imageBytes =
      (std::uint64_t{width} * FBitDepth * (FPixelBytes * 8 / std::max(FBitDepth, 8)) + 7) / 8 * height;
  const std::uint64_t left = static_cast<std::uint64_t>(std::max<std::int64_t>(FStream->Size() - FStream->Position(), 0));
  if (imageBytes / 1032 > left + FChunkLength) RaiseError(gesInvalidImage, kFormatName);
  SetupBitmap(width, height, FConverter->GetPixelFormat(1), kFormatName);
  if (FColorType == 3)
    SetPalette(FPalette);
  else if (FColorType == 0 || FColorType == 4)
    SetPalette(FConverter->CreateGrayscalePalette(false));
  // Interlaced passes leave holes until the last one: fill first. Plain
  // rows get the background only where the data does not reach.
  if (FProperties.Interlaced) FillBackground(0);
  if (FHasTransparentColor) {
    SetTransparentColor(FTransparentColor);
    SetTransparent(true);
  }

  // The current chunk is the first IDAT; ReadRow takes its data.
  FChunkDataLeft = 0;
  FDataEnded = false;
  const std::uint64_t sampleBytes = static_cast<std::uint64_t>(FBitDepth == 16 ? FPixelBytes / 2 : FPixelBytes);
  auto rowBytesOf = [&](std::uint64_t pixels) {
    return static_cast<std::uint32_t>((pixels * static_cast<std::uint64_t>(FBitDepth) + 7) / 8 * sampleBytes);
  };
  const std::uint32_t rowBytes = rowBytesOf(width);
  FRows[0].assign(std::size_t{rowBytes} + 1, 0);
  FRows[1].assign(std::size_t{rowBytes} + 1, 0);

  if (!FProperties.Interlaced) {
    FillBackground(ReadPassRows(0, 1, rowBytes, 0xFF, true));
  } else {
    for (int pass = 0; pass < 7; ++pass) {
      const Adam7Pass& a = kAdam7[pass];
      if (a.StartColumn >= width || a.StartRow >= height) continue;
      const std::uint32_t passBytes = rowBytesOf((width + a.ColumnStep - a.StartColumn - 1) / a.ColumnStep);
      std::fill(FRows[0].begin(), FRows[0].end(), 0);
      std::fill(FRows[1].begin(), FRows[1].end(), 0);
      ReadPassRows(a.StartRow, a.RowStep, passBytes, a.Mask, pass == 6);
    }
  }

  // The rest of the image data still passes the CRC test.
  while (!FNoMoreChunks && IsChunk("IDAT")) {
    ReadDataAndCheckCRC(*FStream);
    LoadHeaderIfAny(*FStream);
  }
}

std::uint32_t TPNGGraphic::ReadPassRows(std::uint32_t startRow, std::uint32_t rowStep, std::uint32_t rowBytes,
                                        std::uint8_t mask, bool reportProgress) {
  const std::uint32_t height = FProperties.Height, width = FProperties.Width;
  int current = 0;
  for (std::uint32_t row = startRow; row < height; row += rowStep) {
    std::uint8_t* line = FRows[current].data();
    const std::uint8_t* previous = FRows[1 - current].data();
    // Rows the data does not reach keep the background.
    if (!ReadRow(line, rowBytes + 1)) return row;
    ApplyFilter(line[0], line + 1, previous + 1, rowBytes);
    FConverter->ConvertRow({line + 1}, ScanLine(static_cast<int>(row)), width, mask);
    current = 1 - current;
    if (reportProgress) ProgressRow(row, height);
  }
  return height;
}

bool TPNGGraphic::ReadRow(std::uint8_t* buffer, std::uint32_t count) {
  std::uint8_t* dest = buffer;
  std::uint32_t remaining = count;
  while (remaining > 0) {
    if (FDataEnded) return false;
    if (FChunkDataLeft == 0) {
      if (FNoMoreChunks || !IsChunk("IDAT")) {
        FDataEnded = true;
        return false;
      }
      ReadDataAndCheckCRC(*FStream);
      FChunkCursor = FChunkData.data();
      FChunkDataLeft = FChunkLength;
      LoadHeaderIfAny(*FStream);
      continue;
    }
    const std::uint8_t* source = FChunkCursor;
    std::uint8_t* out = dest;
    FInflater->Decode(source, out, static_cast<int>(FChunkDataLeft), static_cast<int>(remaining));
    const bool progressed = source != FChunkCursor || out != dest;
    FChunkDataLeft -= source - FChunkCursor;
    FChunkCursor = source;
    remaining -= static_cast<std::uint32_t>(out - dest);
    dest = out;
    const int result = FInflater->ZLibResult();
    if (result == Z_STREAM_END) {
      // Data behind the end of the stream in the same chunk is damage; a
      // stream that ends inside a row ends the picture there.
      if (remaining == 0 && FChunkDataLeft > 0) RaiseError(gesExtraCompressedData, kFormatName);
      FDataEnded = true;
      return remaining == 0;
    }
    if (result != Z_OK || !progressed) RaiseError(gesCompression, kFormatName);
  }
  return true;
}

void TPNGGraphic::ApplyFilter(std::uint8_t filter, std::uint8_t* row, const std::uint8_t* previous,
                              std::uint32_t count) {
  const std::uint32_t d = static_cast<std::uint32_t>(FPixelBytes);
  switch (filter) {
    case 0:
      break;
    case 1:
      for (std::uint32_t i = d; i < count; ++i) row[i] = static_cast<std::uint8_t>(row[i] + row[i - d]);
      break;
    case 2:
      for (std::uint32_t i = 0; i < count; ++i) row[i] = static_cast<std::uint8_t>(row[i] + previous[i]);
      break;
    case 3:
      for (std::uint32_t i = 0; i < count; ++i) {
        const int left = i >= d ? row[i - d] : 0;
        row[i] = static_cast<std::uint8_t>(row[i] + ((left + previous[i]) >> 1));
      }
      break;
    case 4:
      for (std::uint32_t i = 0; i < count; ++i) {
        const int left = i >= d ? row[i - d] : 0, upperLeft = i >= d ? previous[i - d] : 0;
        row[i] = static_cast<std::uint8_t>(row[i] + Paeth(left, previous[i], upperLeft));
      }
      break;
    default:
      // No such filter: the data is damaged.
      RaiseError(gesCompression, kFormatName);
  }
}

// Rows from firstRow on in the background colour; palette pictures take the
// nearest palette entry.
void TPNGGraphic::FillBackground(std::uint32_t firstRow) {
  const int r = GetRValue(FBackgroundColor), g = GetGValue(FBackgroundColor), b = GetBValue(FBackgroundColor);
  const int width = Width(), height = Height();
  if (firstRow >= static_cast<std::uint32_t>(height)) return;
  const TPixelFormat format = PixelFormat();
  std::vector<std::uint8_t> row;
  if (format == pf24bit || format == pf32bit) {
    const int bytes = format == pf24bit ? 3 : 4;
    row.resize(static_cast<std::size_t>(width) * bytes);
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = &row[static_cast<std::size_t>(x) * bytes];
      p[0] = static_cast<std::uint8_t>(b);
      p[1] = static_cast<std::uint8_t>(g);
      p[2] = static_cast<std::uint8_t>(r);
      if (bytes == 4) p[3] = 255;
    }
  } else {
    const TPaletteEntries& palette = Palette();
    int best = 0, bestDistance = 1 << 30;
    for (std::size_t i = 0; i < palette.size(); ++i) {
      const int dr = static_cast<int>(palette[i] >> 16 & 0xFF) - r, dg = static_cast<int>(palette[i] >> 8 & 0xFF) - g,
                db = static_cast<int>(palette[i] & 0xFF) - b;
      const int distance = dr * dr + dg * dg + db * db;
      if (distance < bestDistance) bestDistance = distance, best = static_cast<int>(i);
    }
    const int bits = format == pf1bit ? 1 : format == pf4bit ? 4 : 8;
    std::uint8_t pattern = 0;
    for (int shift = 0; shift < 8; shift += bits) pattern = static_cast<std::uint8_t>(pattern | best << shift);
    row.assign((static_cast<std::size_t>(width) * bits + 7) / 8, pattern);
  }
  for (int y = static_cast<int>(firstRow); y < height; ++y) std::memcpy(ScanLine(y), row.data(), row.size());
}
