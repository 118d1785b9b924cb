// The catalog's thumbnail loader: pictures are taken in order, thumbnails
// made off the main thread and handed over; a restart or a stop drops what
// is still under way and never waits for a main thread that waits for it.

#include "editor/app/CatalogLoader.h"

#include "core/Setup.h"
#include "editor/app/CatalogGrid.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Jpeg.h"
#include "tests/editor/EditorScratch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// The main thread stood in for by a lock: a handed-over call runs on the
// loader's thread while it holds the lock, so the test can look at the
// pictures between two calls, exactly as the main thread would.
class FakeHandOver : public TThumbHandOver {
public:
    void Run(TThread&, const std::function<void()>& call) override
    {
        std::lock_guard guard(MainThread);
        ++Calls;
        call();
    }
    std::mutex MainThread;
    int Calls = 0;
};

class FakeCatalog : public TThumbCatalog {
public:
    int PicCount() override { return static_cast<int>(Pictures.size()); }
    TPicInfoObject* Picture(int index) override { return Pictures.at(index).get(); }
    void UpdateCatalog(int index) override { Updated.push_back(index); }
    std::vector<std::unique_ptr<TPicInfoObject>> Pictures;
    std::vector<int> Updated;
};

std::unique_ptr<TThumbnailJPEGImage> SmallThumbnail()
{
    TBitmap bitmap(4, 3, pf24bit);
    auto thumbnail = std::make_unique<TThumbnailJPEGImage>();
    thumbnail->Assign(&bitmap);
    thumbnail->JPEGNeeded();
    return thumbnail;
}

class CatalogLoaderTest : public ::testing::Test {
protected:
    // Pictures 0..count-1 named "N.jpg"; the ones in `missing` do not exist.
    void MakePictures(int count, std::initializer_list<int> missing = {})
    {
        for (int i = 0; i < count; ++i) {
            const std::string file = Scratch.Path(std::to_string(i) + ".jpg");
            if (std::find(missing.begin(), missing.end(), i) == missing.end())
                std::ofstream(file) << "picture " << i;
            auto entry = std::make_unique<TPicInfoObject>();
            entry->FileName = file;
            Catalog.Pictures.push_back(std::move(entry));
        }
    }
    // A decoder that makes a thumbnail of every existing file and counts.
    CatalogLoader::TDecodeThumbnail CountingDecoder()
    {
        return [this](const std::string& file, int width, int height) -> std::unique_ptr<TThumbnailJPEGImage> {
            std::lock_guard guard(decoded_);
            Decoded.push_back(file);
            EXPECT_EQ(width, 80);
            EXPECT_EQ(height, 60);
            EXPECT_NE(std::this_thread::get_id(), mainThread_) << "decoding is the loader's own work";
            if (file.empty())
                return nullptr;
            return SmallThumbnail();
        };
    }
    std::unique_ptr<TLoadThumbsThread> Loader(bool checkDates, bool forceAll,
                                              CatalogLoader::TDecodeThumbnail decode = nullptr)
    {
        return std::make_unique<TLoadThumbsThread>(false, checkDates, forceAll, Catalog, 80, 60, HandOver,
                                                   decode ? decode : CountingDecoder());
    }
    static void RunToEnd(TLoadThumbsThread& loader) { loader.WaitFor(); }

    EditorScratch Scratch;
    FakeCatalog Catalog;
    std::shared_ptr<FakeHandOver> HandOver = std::make_shared<FakeHandOver>();
    std::vector<std::string> Decoded;

private:
    std::mutex decoded_;
    std::thread::id mainThread_ = std::this_thread::get_id();
};

TEST_F(CatalogLoaderTest, ThumbnailsArriveInOrderAndAFileThatCannotBeReadIsMarkedTried)
{
    MakePictures(4, {2});
    auto loader = Loader(true, false);
    RunToEnd(*loader);
    EXPECT_EQ(Catalog.Updated, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(loader->PictureCount, 4);
    EXPECT_FALSE(loader->Running);
    for (int i = 0; i < 4; ++i) {
        const TPicInfoObject& entry = *Catalog.Pictures[i];
        EXPECT_TRUE(entry.Flags & CatalogGrid::pfThumbTried) << i;
        EXPECT_TRUE(entry.Flags & CatalogGrid::pfDirty) << i;
        EXPECT_EQ(entry.Thumbnail.GetThumbnail() != nullptr, i != 2) << i;
        EXPECT_EQ(entry.DateSum != -1, i != 2) << i;
    }
}

TEST_F(CatalogLoaderTest, AFreshThumbnailIsKeptAndOnlyForcingMakesItAgain)
{
    MakePictures(3);
    RunToEnd(*Loader(true, false));
    Catalog.Updated.clear();
    Decoded.clear();
    for (auto& entry : Catalog.Pictures)
        entry->Flags = 0;

    RunToEnd(*Loader(true, false));
    EXPECT_TRUE(Decoded.empty()) << "unchanged files keep their thumbnails";
    EXPECT_TRUE(Catalog.Updated.empty());
    EXPECT_TRUE(Catalog.Pictures[0]->Flags & CatalogGrid::pfThumbTried);

    // A file whose stamp changed is made again, the others are not.
    std::ofstream(Catalog.Pictures[1]->FileName, std::ios::app) << std::string(4096, 'x');
    RunToEnd(*Loader(true, false));
    EXPECT_EQ(Decoded, std::vector<std::string>{Catalog.Pictures[1]->FileName});
    EXPECT_EQ(Catalog.Updated, std::vector<int>{1});

    Decoded.clear();
    Catalog.Updated.clear();
    RunToEnd(*Loader(true, true));
    EXPECT_EQ(Decoded.size(), 3u) << "forcing makes every thumbnail again";
    EXPECT_EQ(Catalog.Updated, (std::vector<int>{0, 1, 2}));
}

TEST_F(CatalogLoaderTest, AnEmptyCatalogGivesTheLoaderNothingToDo)
{
    auto loader = Loader(true, false);
    RunToEnd(*loader);
    EXPECT_EQ(loader->PictureCount, 0);
    EXPECT_EQ(HandOver->Calls, 1) << "only the count";
    EXPECT_TRUE(Decoded.empty());
}

// A decoder that waits inside the first decode until the test lets it go.
struct GatedDecoder {
    std::mutex lock;
    std::condition_variable changed;
    bool entered = false;
    bool open = false;
    void WaitUntilEntered()
    {
        std::unique_lock guard(lock);
        changed.wait(guard, [this] { return entered; });
    }
    void Open()
    {
        std::lock_guard guard(lock);
        open = true;
        changed.notify_all();
    }
    CatalogLoader::TDecodeThumbnail Decoder()
    {
        return [this](const std::string&, int, int) {
            std::unique_lock guard(lock);
            entered = true;
            changed.notify_all();
            changed.wait(guard, [this] { return open; });
            return SmallThumbnail();
        };
    }
};

TEST_F(CatalogLoaderTest, ARestartDropsTheThumbnailStillBeingMade)
{
    MakePictures(3);
    GatedDecoder gate;
    auto loader = Loader(true, false, gate.Decoder());
    gate.WaitUntilEntered();
    // Restarting: stop the running loader, let its decode finish, wait.
    loader->Terminate();
    gate.Open();
    loader.reset();
    EXPECT_TRUE(Catalog.Updated.empty()) << "a stopped loader hands nothing over";
    EXPECT_EQ(Catalog.Pictures[0]->Thumbnail.GetThumbnail(), nullptr);

    auto next = Loader(true, false);
    RunToEnd(*next);
    EXPECT_EQ(Catalog.Updated, (std::vector<int>{0, 1, 2})) << "the new loader starts from the first picture";
}

TEST_F(CatalogLoaderTest, APictureMovedWhileItsThumbnailWasMadeIsLeftForTheNextLoader)
{
    MakePictures(3);
    GatedDecoder gate;
    auto loader = Loader(true, false, gate.Decoder());
    gate.WaitUntilEntered();
    {
        std::lock_guard mainThread(HandOver->MainThread);
        std::swap(Catalog.Pictures[0], Catalog.Pictures[2]);
    }
    gate.Open();
    RunToEnd(*loader);
    EXPECT_EQ(Catalog.Pictures[0]->Thumbnail.GetThumbnail(), nullptr)
        << "the picture now first is not the one that was read: it got nothing";
    EXPECT_EQ(Catalog.Updated, (std::vector<int>{1, 2})) << "the moved one is made at its new place";
    EXPECT_NE(Catalog.Pictures[2]->Thumbnail.GetThumbnail(), nullptr);
}

TEST_F(CatalogLoaderTest, StoppingALoaderThatWaitsForTheMainThreadDoesNotDeadlock)
{
    // The real hand-over: the loader waits in the platform's synchronise
    // call while this (main) thread does not serve it, then frees it.
    MakePictures(2);
    GatedDecoder gate;
    auto loader = std::make_unique<TLoadThumbsThread>(false, true, false, Catalog, 80, 60, nullptr, gate.Decoder());
    // Serve the loader until it decodes, then no more.
    while (true) {
        rtl::CheckSynchronize(1);
        std::lock_guard guard(gate.lock);
        if (gate.entered)
            break;
    }
    gate.Open();
    std::this_thread::sleep_for(20ms); // now it waits to hand the thumbnail over
    const auto start = std::chrono::steady_clock::now();
    loader.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    EXPECT_TRUE(Catalog.Updated.empty()) << "the call served while stopping changed nothing";
    EXPECT_EQ(Catalog.Pictures[0]->Thumbnail.GetThumbnail(), nullptr);
}

TEST_F(CatalogLoaderTest, TheRealDecoderShrinksAJPEGIntoTheBoxAndRejectsOtherBytes)
{
    TBitmap picture(800, 400, pf24bit);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 800; ++x) {
            std::uint8_t* pixel = picture.ScanLine(y) + x * 3;
            pixel[0] = static_cast<std::uint8_t>(x);
            pixel[1] = static_cast<std::uint8_t>(y);
            pixel[2] = 128;
        }
    TJPEGImage jpeg;
    jpeg.Assign(&picture);
    const std::string file = Scratch.Path("wide.jpg");
    jpeg.SaveToFile(file);
    std::unique_ptr<TThumbnailJPEGImage> thumbnail = CatalogLoader::DecodeThumbnail(file, 80, 60);
    ASSERT_NE(thumbnail, nullptr);
    EXPECT_EQ(thumbnail->Width(), 80);
    EXPECT_EQ(thumbnail->Height(), 40);

    const std::string broken = Scratch.Path("broken.jpg");
    std::ofstream(broken) << "\xFF\xD8 not a picture";
    EXPECT_EQ(CatalogLoader::DecodeThumbnail(broken, 80, 60), nullptr);
    EXPECT_EQ(CatalogLoader::DecodeThumbnail(Scratch.Path("none.jpg"), 80, 60), nullptr);
    EXPECT_EQ(CatalogLoader::DecodeThumbnail("", 80, 60), nullptr);
}

} // namespace
