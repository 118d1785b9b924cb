#pragma once
// The body shared by the fuzz targets of readers that take a file name: the
// bytes go into a file of their own under /tmp, the reader gets its name, and
// the file goes again. Nothing is read where the file cannot be made.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

template <class Read> void WithBytesInFile(const uint8_t* data, size_t size, const std::string& stem, Read read)
{
    std::string name = "/tmp/" + stem + "_XXXXXX";
    const int fd = mkstemp(name.data());
    if (fd < 0)
        return;
    if (std::FILE* file = fdopen(fd, "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
        read(name);
    } else {
        close(fd);
    }
    std::remove(name.c_str());
}
