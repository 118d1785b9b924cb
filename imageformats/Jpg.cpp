#include "imageformats/Jpg.h"

#include <cstring>
#include <exception>

#include <jerror.h>

#include "imageformats/GraphicStrings.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"

namespace Jpg {

namespace {

constexpr std::size_t kBufferSize = 4096;

TJPEGErrorManager& ManagerOf(j_common_ptr cinfo) {
  // The library's record is the first member of ours.
  return *reinterpret_cast<TJPEGErrorManager*>(cinfo->err);
}

void ErrorExit(j_common_ptr cinfo) { std::longjmp(ManagerOf(cinfo).Jump, 1); }
void EmitMessage(j_common_ptr, int) {}
void OutputMessage(j_common_ptr) {}
void FormatMessage(j_common_ptr, char* buffer) { buffer[0] = '\0'; }
void ResetErrorManager(j_common_ptr cinfo) {
  cinfo->err->num_warnings = 0;
  cinfo->err->msg_code = 0;
}

// Raises the library error `code` from inside a callback.
void Fail(j_common_ptr cinfo, int code) {
  cinfo->err->msg_code = code;
  cinfo->err->error_exit(cinfo);
}

struct StreamSource {
  jpeg_source_mgr Manager;
  TStream* Stream;
  JOCTET* Buffer;
  bool StartOfFile;
};

StreamSource& SourceOf(j_decompress_ptr cinfo) { return *reinterpret_cast<StreamSource*>(cinfo->src); }

void InitSource(j_decompress_ptr cinfo) { SourceOf(cinfo).StartOfFile = true; }

boolean FillInputBuffer(j_decompress_ptr cinfo) {
  StreamSource& source = SourceOf(cinfo);
  std::int64_t count = 0;
  try {
    count = source.Stream->Read(source.Buffer, kBufferSize);
  } catch (const std::exception&) {
    Fail(reinterpret_cast<j_common_ptr>(cinfo), JERR_FILE_READ);
  }
  if (count <= 0) {
    if (source.StartOfFile) Fail(reinterpret_cast<j_common_ptr>(cinfo), JERR_INPUT_EMPTY);
    WARNMS(cinfo, JWRN_JPEG_EOF);
    source.Buffer[0] = 0xFF;
    source.Buffer[1] = JPEG_EOI;
    count = 2;
  }
  source.Manager.next_input_byte = source.Buffer;
  source.Manager.bytes_in_buffer = static_cast<std::size_t>(count);
  source.StartOfFile = false;
  return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
  if (count <= 0) return;
  jpeg_source_mgr& manager = SourceOf(cinfo).Manager;
  while (static_cast<std::size_t>(count) > manager.bytes_in_buffer) {
    count -= static_cast<long>(manager.bytes_in_buffer);
    FillInputBuffer(cinfo);
  }
  manager.next_input_byte += count;
  manager.bytes_in_buffer -= static_cast<std::size_t>(count);
}

void TermSource(j_decompress_ptr) {}

struct StreamDestination {
  jpeg_destination_mgr Manager;
  TStream* Stream;
  JOCTET* Buffer;
};

StreamDestination& DestinationOf(j_compress_ptr cinfo) {
  return *reinterpret_cast<StreamDestination*>(cinfo->dest);
}

void WriteOrFail(j_compress_ptr cinfo, std::size_t count) {
  StreamDestination& destination = DestinationOf(cinfo);
  std::int64_t written = -1;
  try {
    written = destination.Stream->Write(destination.Buffer, static_cast<std::int64_t>(count));
  } catch (const std::exception&) {
  }
  if (written != static_cast<std::int64_t>(count)) Fail(reinterpret_cast<j_common_ptr>(cinfo), JERR_FILE_WRITE);
}

void InitDestination(j_compress_ptr cinfo) {
  StreamDestination& destination = DestinationOf(cinfo);
  destination.Buffer = static_cast<JOCTET*>(
      (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE, kBufferSize));
  destination.Manager.next_output_byte = destination.Buffer;
  destination.Manager.free_in_buffer = kBufferSize;
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
  WriteOrFail(cinfo, kBufferSize);
  StreamDestination& destination = DestinationOf(cinfo);
  destination.Manager.next_output_byte = destination.Buffer;
  destination.Manager.free_in_buffer = kBufferSize;
  return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
  const std::size_t left = kBufferSize - DestinationOf(cinfo).Manager.free_in_buffer;
  if (left > 0) WriteOrFail(cinfo, left);
}

struct InfoJob {
  jpeg_decompress_struct* Info;
  TStream* Stream;
};

void ReadInfo(void* context) {
  auto* job = static_cast<InfoJob*>(context);
  jpeg_create_decompress(job->Info);
  jpeg_stdio_src(job->Info, *job->Stream);
  jpeg_read_header(job->Info, FALSE);
}

}  // namespace

jpeg_error_mgr* jpeg_std_error(TJPEGErrorManager& errorManager) {
  std::memset(&errorManager.Manager, 0, sizeof errorManager.Manager);
  errorManager.Manager.error_exit = ErrorExit;
  errorManager.Manager.emit_message = EmitMessage;
  errorManager.Manager.output_message = OutputMessage;
  errorManager.Manager.format_message = FormatMessage;
  errorManager.Manager.reset_error_mgr = ResetErrorManager;
  return &errorManager.Manager;
}

void RaiseJPEGError(int code) {
  std::string text = GraphicStrings::gesJPEGError;
  text.replace(text.find("%d"), 2, std::to_string(code));
  throw EInvalidGraphic(text);
}

void Guarded(TJPEGErrorManager& errorManager, void (*body)(void*), void* context) {
  if (setjmp(errorManager.Jump) != 0) RaiseJPEGError(errorManager.Manager.msg_code);
  body(context);
}

void jpeg_stdio_src(j_decompress_ptr cinfo, TStream& stream) {
  if (cinfo->src == nullptr) {
    auto* source = static_cast<StreamSource*>((*cinfo->mem->alloc_small)(
        reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(StreamSource)));
    source->Buffer = static_cast<JOCTET*>(
        (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, kBufferSize));
    cinfo->src = &source->Manager;
  }
  StreamSource& source = SourceOf(cinfo);
  source.Manager.init_source = InitSource;
  source.Manager.fill_input_buffer = FillInputBuffer;
  source.Manager.skip_input_data = SkipInputData;
  source.Manager.resync_to_restart = jpeg_resync_to_restart;
  source.Manager.term_source = TermSource;
  source.Stream = &stream;
  source.Manager.bytes_in_buffer = 0;
  source.Manager.next_input_byte = nullptr;
}

void jpeg_stdio_dest(j_compress_ptr cinfo, TStream& stream) {
  if (cinfo->dest == nullptr)
    cinfo->dest = static_cast<jpeg_destination_mgr*>((*cinfo->mem->alloc_small)(
        reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(StreamDestination)));
  StreamDestination& destination = DestinationOf(cinfo);
  destination.Manager.init_destination = InitDestination;
  destination.Manager.empty_output_buffer = EmptyOutputBuffer;
  destination.Manager.term_destination = TermDestination;
  destination.Stream = &stream;
}

void GetJPEGInfo(TStream& stream, std::uint32_t& width, std::uint32_t& height) {
  jpeg_decompress_struct info{};
  TJPEGErrorManager errorManager;
  info.err = jpeg_std_error(errorManager);
  InfoJob job{&info, &stream};
  try {
    Guarded(errorManager, ReadInfo, &job);
  } catch (...) {
    jpeg_destroy_decompress(&info);
    throw;
  }
  width = info.image_width;
  height = info.image_height;
  jpeg_destroy_decompress(&info);
}

void GetJPEGInfo(const std::string& fileName, std::uint32_t& width, std::uint32_t& height) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyNone);
  GetJPEGInfo(stream, width, height);
}

}  // namespace Jpg
