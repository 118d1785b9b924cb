#include "platform/rtl/Resources.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string FileBytes(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string StreamBytes(TStream& stream)
{
    std::string bytes(static_cast<size_t>(stream.Size()), '\0');
    stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    return bytes;
}

TEST(Resources, EmbeddedFileReadsBackWithTypeAndNameInAnyCase)
{
    const std::string expected = FileBytes(RTL_RESOURCE_TEXT_DATA);
    ASSERT_FALSE(expected.empty());
    TResourceStream stream(rtl::HInstance(), "sample_text", RT_RCDATA);
    EXPECT_EQ(StreamBytes(stream), expected);

    TResourceStream again(nullptr, "SAMPLE_TEXT", "rcdata"); // nullptr: the program
    EXPECT_EQ(StreamBytes(again), expected);

    TResourceStream empty(rtl::HInstance(), "empty.entry", "CUSTOM_TYPE");
    EXPECT_EQ(empty.Size(), 0);
}

TEST(Resources, MissingResourcesRaiseResNotFound)
{
    EXPECT_THROW(TResourceStream(rtl::HInstance(), "NO_SUCH_NAME", RT_RCDATA), EResNotFound);
    EXPECT_THROW(TResourceStream(rtl::HInstance(), "SAMPLE_TEXT", RT_BITMAP), EResNotFound);
    EXPECT_FALSE(rtl::FindResource(rtl::HInstance(), RT_RCDATA, "SAMPLE"));
}

TEST(Resources, ResourceStreamsAreReadOnly)
{
    TResourceStream stream(rtl::HInstance(), "SAMPLE_TEXT", RT_RCDATA);
    EXPECT_THROW(stream.Write("x", 1), EWriteError);
    EXPECT_THROW(stream.SetSize(0), EInOutError);
    stream.Seek(-4, soFromEnd);
    char tail[8] = {};
    EXPECT_EQ(stream.Read(tail, 8), 4);
    EXPECT_EQ(std::string(tail), "ende");
}

// Each module has its own resources: the module's SAMPLE_TEXT is another
// file than the program's, found only through the module's handle, and a
// second load registers it afresh.
TEST(Resources, ModulesKeepTheirOwnResources)
{
    const std::string moduleBytes = FileBytes(RTL_RESOURCE_MODULE_DATA);
    for (int load = 0; load < 2; ++load) {
        void* module = dlopen(RTL_RESOURCE_MODULE, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(module, nullptr) << dlerror();
        auto instanceOf = reinterpret_cast<HMODULE (*)()>(dlsym(module, "RtlResourceModuleInstance"));
        ASSERT_NE(instanceOf, nullptr);

        TResourceStream byHandle(module, "SAMPLE_TEXT", RT_RCDATA);
        EXPECT_EQ(StreamBytes(byHandle), moduleBytes);
        TResourceStream byInstance(instanceOf(), "SAMPLE_TEXT", RT_RCDATA);
        EXPECT_EQ(StreamBytes(byInstance), moduleBytes);
        EXPECT_NE(instanceOf(), rtl::HInstance());
        EXPECT_EQ(rtl::ModuleOfAddress(reinterpret_cast<const void*>(instanceOf)), instanceOf());

        TResourceStream own(rtl::HInstance(), "SAMPLE_TEXT", RT_RCDATA);
        EXPECT_EQ(StreamBytes(own), FileBytes(RTL_RESOURCE_TEXT_DATA));
        dlclose(module);
    }
}

} // namespace
