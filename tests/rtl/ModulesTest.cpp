#include "platform/rtl/Modules.h"

#include "platform/rtl/Classes.h"
#include "platform/rtl/Properties.h"
#include "platform/rtl/SysPaths.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <string>
#include <vector>

namespace {

const char testPackage[] = "RtlTestPackage.bpl";

std::vector<std::string> finiCalls;

void RecordFini(const char* name) { finiCalls.emplace_back(name); }

template <class Fn> Fn Entry(HMODULE module, const char* name)
{
    void* address = rtl::GetProcAddress(module, name);
    EXPECT_NE(address, nullptr) << rtl::LastLibraryError();
    return reinterpret_cast<Fn>(address);
}

bool IsResident(const std::string& file)
{
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

bool HasPropertiesOf(const std::string& className)
{
    for (TClass c : rtl::ClassesWithPublishedProperties())
        if (c->ClassNameIs(className))
            return true;
    return false;
}

} // namespace

TEST(Modules, PackageNamesMapToSharedObjectsInTheProgramFolder)
{
    EXPECT_EQ(rtl::PackageFileName("Player.bpl"), rtl::ProgramDir() + "Player.so");
    EXPECT_EQ(rtl::PackageFileName("Player.BPL"), rtl::ProgramDir() + "Player.so");
    EXPECT_EQ(rtl::PackageFileName("/opt/x/Player.bpl"), "/opt/x/Player.so");
    EXPECT_EQ(rtl::PackageFileName("plugins/Extra.so"), "plugins/Extra.so");
}

TEST(Modules, LoadRegistersAndUnloadUndoesInReverseOrder)
{
    ASSERT_EQ(rtl::GetClass("TPackagedThing"), nullptr);
    HMODULE package = rtl::LoadPackage(testPackage);
    EXPECT_STREQ(Entry<const char* (*)()>(package, "InitLog")(), "classes;counter;");

    TClass thingClass = rtl::FindClass("tpackagedthing");
    std::unique_ptr<TObject> thing = thingClass->Create();
    EXPECT_EQ(thing->ClassName(), "TPackagedThing");
    rtl::SetOrdProp(*thing, "Size", 12);
    EXPECT_EQ(rtl::GetOrdProp(*thing, "Size"), 12);
    thing.reset();

    finiCalls.clear();
    Entry<void (*)(void (*)(const char*))>(package, "SetFiniObserver")(RecordFini);
    rtl::UnloadPackage(package);

    EXPECT_EQ(finiCalls, (std::vector<std::string>{"counter", "classes"}));
    EXPECT_EQ(rtl::GetClass("TPackagedThing"), nullptr);
    EXPECT_THROW(rtl::FindClass("TPackagedThing"), EClassNotFound);
    EXPECT_FALSE(HasPropertiesOf("TPackagedThing"));
    EXPECT_FALSE(IsResident(rtl::PackageFileName(testPackage)));
}

TEST(Modules, EveryLoadStartsFromFreshState)
{
    HMODULE first = rtl::LoadPackage(testPackage);
    auto bump = Entry<int (*)()>(first, "BumpCounter");
    bump();
    bump();
    EXPECT_EQ(bump(), 3);
    rtl::UnloadPackage(first);

    HMODULE second = rtl::LoadPackage(testPackage);
    EXPECT_EQ(Entry<int (*)()>(second, "BumpCounter")(), 1);
    EXPECT_STREQ(Entry<const char* (*)()>(second, "InitLog")(), "classes;counter;");
    rtl::UnloadPackage(second);
}

TEST(Modules, NestedLoadsCountUntilTheLastUnload)
{
    HMODULE outer = rtl::LoadPackage(testPackage);
    HMODULE inner = rtl::LoadPackage(testPackage);
    EXPECT_EQ(inner, outer);
    rtl::UnloadPackage(inner);
    EXPECT_NE(rtl::GetClass("TPackagedThing"), nullptr);
    rtl::UnloadPackage(outer);
    EXPECT_EQ(rtl::GetClass("TPackagedThing"), nullptr);
    EXPECT_THROW(rtl::UnloadPackage(outer), EPackageError);
}

TEST(Modules, MissingPackageRaisesWithFileNameAndLoaderMessage)
{
    try {
        rtl::LoadPackage("NoSuchPackage.bpl");
        FAIL() << "loaded a missing package";
    } catch (const EPackageError& e) {
        EXPECT_NE(e.Message.find(rtl::ProgramDir() + "NoSuchPackage.so"), std::string::npos) << e.Message;
        EXPECT_NE(e.Message.find("No such file"), std::string::npos) << e.Message;
    }
}

TEST(Modules, FailingInitUndoesTheLoad)
{
    try {
        rtl::LoadPackage("RtlFailingPackage.bpl");
        FAIL() << "a failing init went unnoticed";
    } catch (const EPackageError& e) {
        EXPECT_NE(e.Message.find("RtlFailingPackage.so"), std::string::npos) << e.Message;
        EXPECT_NE(e.Message.find("settings unreadable"), std::string::npos) << e.Message;
    }
    EXPECT_EQ(rtl::GetClass("TDoomedThing"), nullptr);
    EXPECT_FALSE(IsResident(rtl::PackageFileName("RtlFailingPackage.bpl")));
}

TEST(Modules, LibrariesLoadFromTheProgramFolderAndResolveEntries)
{
    HMODULE library = rtl::LoadLibrary("RtlTestPackage.so");
    ASSERT_NE(library, nullptr) << rtl::LastLibraryError();
    EXPECT_NE(rtl::GetClass("TPackagedThing"), nullptr);
    EXPECT_EQ(Entry<int (*)()>(library, "BumpCounter")(), 1);

    EXPECT_EQ(rtl::GetProcAddress(library, "NoSuchEntry"), nullptr);
    EXPECT_NE(rtl::LastLibraryError().find("NoSuchEntry"), std::string::npos);

    EXPECT_TRUE(rtl::FreeLibrary(library));
    EXPECT_EQ(rtl::GetClass("TPackagedThing"), nullptr);
    EXPECT_FALSE(rtl::FreeLibrary(library));

    EXPECT_EQ(rtl::LoadLibrary("no-such-library.so"), nullptr);
    EXPECT_NE(rtl::LastLibraryError().find("no-such-library.so"), std::string::npos);
}
