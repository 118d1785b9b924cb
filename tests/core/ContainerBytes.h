#pragma once

// Test support: file contents written byte by byte (never through the
// system's own writers), and a scratch folder to put them in.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/ByteOrder.h"

namespace ContainerBytes {

class Bytes {
public:
    Bytes& Raw(std::string_view text)
    {
        data.insert(data.end(), text.begin(), text.end());
        return *this;
    }
    Bytes& Raw(std::initializer_list<std::uint8_t> bytes)
    {
        data.insert(data.end(), bytes);
        return *this;
    }
    Bytes& Raw(const std::vector<std::uint8_t>& bytes)
    {
        data.insert(data.end(), bytes.begin(), bytes.end());
        return *this;
    }
    Bytes& I32(std::int32_t value)
    {
        rtl::AppendLE32(data, static_cast<std::uint32_t>(value));
        return *this;
    }
    Bytes& U16(std::uint16_t value)
    {
        rtl::AppendLE16(data, value);
        return *this;
    }
    Bytes& U8(std::uint8_t value)
    {
        data.push_back(value);
        return *this;
    }
    // A stored string: its byte count, then the bytes as given.
    Bytes& Str(std::string_view stored)
    {
        I32(static_cast<std::int32_t>(stored.size()));
        return Raw(stored);
    }
    // The 32-byte container header.
    Bytes& Header(std::int32_t headerValue, std::int32_t format, std::int32_t chunkCount, std::int32_t version)
    {
        Raw("ZOSF").I32(0).I32(headerValue).I32(format).I32(chunkCount).I32(version);
        return I32(0).I32(0);
    }
    // A chunk whose length word counts its 12 header bytes.
    Bytes& Chunk(std::int32_t id, const Bytes& payload)
    {
        Raw("CHNK").I32(id).I32(12 + static_cast<std::int32_t>(payload.data.size()));
        return Raw(payload.data);
    }

    std::vector<std::uint8_t> data;
};

inline std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A fresh folder per test, removed afterwards.
class ScratchFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = std::filesystem::temp_directory_path() /
            ("vistelo-core-" + std::string(info->test_suite_name()) + "-" + info->name() + "-" +
             std::to_string(::getpid()));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string PathOf(const std::string& name) const { return (folder / name).string(); }

    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const
    {
        std::ofstream out(folder / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return PathOf(name);
    }
    std::string Write(const std::string& name, const Bytes& bytes) const { return Write(name, bytes.data); }

    std::vector<std::uint8_t> Read(const std::string& name) const { return ReadFileBytes(folder / name); }

    std::filesystem::path folder;
};

} // namespace ContainerBytes
