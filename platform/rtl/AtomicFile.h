#pragma once

// Saving a file without ever leaving a half-written one behind: the bytes go
// into a temporary file in the same folder, are flushed to the disk, and only
// then replace the old file by a rename. A failure at any step raises and
// leaves the previous file as it was.

#include <string>
#include <string_view>

namespace rtl {

// Replaces the file at path with bytes (creating it when missing). A symbolic
// link is followed, so the file it points at is replaced and the link stays.
// An existing file keeps its permission bits. Raises EFCreateError when the
// temporary file cannot be made and EWriteError when writing, flushing or the
// rename fails; the temporary file is removed in both cases.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

} // namespace rtl
