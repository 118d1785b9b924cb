#pragma once

// Writing container files: one chunk by the container's chunk steps, and a
// whole file saved so that a failure never destroys the file it replaces
// (the container is written in full elsewhere first and only then put in
// place by an atomic rename, rtl::WriteFileAtomically).

#include "core/ZOFileWinTypes.h"

#include <cstdint>
#include <functional>
#include <string>

namespace ContainerSave {

// The header fields a file kind sets before its chunks are written.
struct TContainerKind {
    std::int32_t HeaderValue; // the word at offset 8
    std::int32_t Format;
    std::int32_t FileFormatVersion;
};

// Writes a container of that kind through WriteChunks and replaces FileName
// with it once it is complete. Any failure raises (EZOFileError, EInOutError
// or what WriteChunks raises) and leaves FileName as it was.
void SaveContainer(const std::string& FileName, const TContainerKind& Kind,
                   const std::function<void(c_zofilewintypes& File)>& WriteChunks);

// Writes one chunk: a placeholder header, the fields (WriteFields), then the
// real header with the length, the chunk counted, and the position at the
// end of the file again.
void WriteChunk(c_zofile& File, std::int32_t Id, const std::function<void()>& WriteFields);

} // namespace ContainerSave
