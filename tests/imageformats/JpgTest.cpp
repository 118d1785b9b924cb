// The libjpeg glue: header reading, the stream source and destination, and
// library errors turned into picture errors.
#include <gtest/gtest.h>

#include <jerror.h>

#include "ImageTools.h"
#include "imageformats/Jpg.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Jpeg.h"
#include "platform/rtl/Streams.h"

namespace {

std::vector<std::uint8_t> SmallJpeg(int width, int height) {
  TBitmap bitmap(width, height, pf24bit);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width * 3; ++x) bitmap.ScanLine(y)[x] = static_cast<std::uint8_t>(x * 5 + y * 9);
  TJPEGImage jpeg;
  jpeg.Assign(&bitmap);
  return jpeg.Data();
}

void Fill(TMemoryStream& stream, const std::vector<std::uint8_t>& bytes, const std::string& prefix = {}) {
  stream.WriteBuffer(prefix.data(), static_cast<std::int64_t>(prefix.size()));
  stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  stream.SetPosition(static_cast<std::int64_t>(prefix.size()));
}

std::string JpegError(int code) { return "JPEG error #" + std::to_string(code); }

TEST(Jpg, GetJPEGInfoReadsTheSizeAtTheStreamPosition) {
  TMemoryStream stream;
  Fill(stream, SmallJpeg(13, 7), "junk");
  std::uint32_t width = 0, height = 0;
  Jpg::GetJPEGInfo(stream, width, height);
  EXPECT_EQ(width, 13u);
  EXPECT_EQ(height, 7u);

  imagetest::ScratchDir dir;
  imagetest::WriteFileBytes(dir / "a.jpg", SmallJpeg(3, 5));
  Jpg::GetJPEGInfo(dir / "a.jpg", width, height);
  EXPECT_EQ(width, 3u);
  EXPECT_EQ(height, 5u);
}

TEST(Jpg, LibraryErrorsBecomePictureErrors) {
  std::uint32_t width = 0, height = 0;
  TMemoryStream empty;
  try {
    Jpg::GetJPEGInfo(empty, width, height);
    ADD_FAILURE();
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message, JpegError(JERR_INPUT_EMPTY));
  }
  TMemoryStream garbage;
  Fill(garbage, {'B', 'M', 1, 2, 3, 4, 5, 6});
  try {
    Jpg::GetJPEGInfo(garbage, width, height);
    ADD_FAILURE();
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message, JpegError(JERR_NO_SOI));
  }
}

struct DecodeJob {
  jpeg_decompress_struct* Info;
  TStream* Stream;
  std::uint8_t* Row;
  int Rows;
};

void DecodeAll(void* context) {
  auto* job = static_cast<DecodeJob*>(context);
  Jpg::jpeg_stdio_src(job->Info, *job->Stream);
  jpeg_read_header(job->Info, TRUE);
  jpeg_start_decompress(job->Info);
  while (job->Info->output_scanline < job->Info->output_height) {
    JSAMPROW row = job->Row;
    job->Rows += static_cast<int>(jpeg_read_scanlines(job->Info, &row, 1));
  }
  jpeg_finish_decompress(job->Info);
}

TEST(Jpg, StreamThatEndsEarlyIsCompletedWithAnEndMarker) {
  std::vector<std::uint8_t> bytes = SmallJpeg(64, 48);
  bytes.resize(bytes.size() * 2 / 3);
  TMemoryStream stream;
  Fill(stream, bytes);
  jpeg_decompress_struct info{};
  Jpg::TJPEGErrorManager errors;
  info.err = Jpg::jpeg_std_error(errors);
  jpeg_create_decompress(&info);
  std::vector<std::uint8_t> row(64 * 3);
  DecodeJob job{&info, &stream, row.data(), 0};
  EXPECT_NO_THROW(Jpg::Guarded(errors, DecodeAll, &job));
  EXPECT_EQ(job.Rows, 48);

  // Installing the source again keeps the first record.
  jpeg_source_mgr* first = info.src;
  Jpg::jpeg_stdio_src(&info, stream);
  EXPECT_EQ(info.src, first);
  jpeg_destroy_decompress(&info);
}

// A stream that takes only `room` bytes.
class ShortStream : public TMemoryStream {
 public:
  explicit ShortStream(std::int64_t room) : room_(room) {}
  std::int64_t Write(const void* buffer, std::int64_t count) override {
    const std::int64_t n = std::min(count, room_);
    room_ -= n;
    return TMemoryStream::Write(buffer, n);
  }

 private:
  std::int64_t room_;
};

struct EncodeJob {
  jpeg_compress_struct* Info;
  TStream* Stream;
  std::uint8_t* Row;
};

void EncodeGrey(void* context) {
  auto* job = static_cast<EncodeJob*>(context);
  Jpg::jpeg_stdio_dest(job->Info, *job->Stream);
  job->Info->image_width = 200;
  job->Info->image_height = 100;
  job->Info->input_components = 1;
  job->Info->in_color_space = JCS_GRAYSCALE;
  jpeg_set_defaults(job->Info);
  jpeg_start_compress(job->Info, TRUE);
  while (job->Info->next_scanline < job->Info->image_height) {
    JSAMPROW row = job->Row;
    jpeg_write_scanlines(job->Info, &row, 1);
  }
  jpeg_finish_compress(job->Info);
}

bool Encode(TStream& stream) {
  jpeg_compress_struct info{};
  Jpg::TJPEGErrorManager errors;
  info.err = Jpg::jpeg_std_error(errors);
  jpeg_create_compress(&info);
  std::vector<std::uint8_t> row(200);
  for (std::size_t i = 0; i < row.size(); ++i) row[i] = static_cast<std::uint8_t>(i * 37);
  EncodeJob job{&info, &stream, row.data()};
  try {
    Jpg::Guarded(errors, EncodeGrey, &job);
  } catch (const EInvalidGraphic& e) {
    jpeg_destroy_compress(&info);
    EXPECT_EQ(e.Message, JpegError(JERR_FILE_WRITE));
    return false;
  }
  jpeg_destroy_compress(&info);
  return true;
}

TEST(Jpg, DestinationWritesTheStreamAndReportsShortWrites) {
  TMemoryStream stream;
  ASSERT_TRUE(Encode(stream));
  EXPECT_GT(stream.Size(), 4096);  // more than one buffer went out
  stream.SetPosition(0);
  std::uint32_t width = 0, height = 0;
  Jpg::GetJPEGInfo(stream, width, height);
  EXPECT_EQ(width, 200u);
  EXPECT_EQ(height, 100u);

  ShortStream full(4000);  // the first full buffer does not fit
  EXPECT_FALSE(Encode(full));
  ShortStream tail(static_cast<std::int64_t>(stream.Size()) - 1);
  EXPECT_FALSE(Encode(tail));
}

}  // namespace
