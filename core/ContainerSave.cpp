#include "core/ContainerSave.h"

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysPaths.h"

#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <unistd.h>

namespace ContainerSave {

namespace {

// A new empty file of its own in the temporary folder, removed again when
// this goes out of scope.
class ScratchFile {
public:
    ScratchFile()
    {
        std::string pattern = rtl::TempDir() + "vistelo-save-XXXXXX";
        const int fd = mkstemp(pattern.data());
        if (fd < 0)
            throw EFCreateError("Cannot create a temporary file in " + rtl::TempDir(), errno);
        close(fd);
        name_ = pattern;
    }
    ~ScratchFile() { unlink(name_.c_str()); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& Name() const { return name_; }

private:
    std::string name_;
};

} // namespace

void SaveContainer(const std::string& FileName, const TContainerKind& Kind,
                   const std::function<void(c_zofilewintypes& File)>& WriteChunks)
{
    ScratchFile scratch;
    {
        c_zofilewintypes file(scratch.Name(), zoCreate);
        file.header.headervalue = Kind.HeaderValue;
        file.set_format(Kind.Format);
        file.set_fileformatversion(Kind.FileFormatVersion);
        WriteChunks(file);
        file.close(); // rewrites the header with the chunk count
    }
    TMemoryStream bytes;
    bytes.LoadFromFile(scratch.Name());
    rtl::WriteFileAtomically(
        FileName, std::string_view(reinterpret_cast<const char*>(bytes.Memory()), static_cast<size_t>(bytes.Size())));
}

void WriteChunk(c_zofile& File, std::int32_t Id, const std::function<void()>& WriteFields)
{
    const std::int64_t start = File.write_dummy_chunk_header();
    WriteFields();
    const std::int32_t length = File.get_length(start);
    File.set_file_position(start);
    File.write_chunk_header(Id, length);
    File.write_chunk();
    File.set_file_position(File.get_file_size());
}

} // namespace ContainerSave
