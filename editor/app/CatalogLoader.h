#pragma once

// The catalog's thumbnail loader: a thread that walks the pictures once, in
// order, and gives each one a thumbnail. Everything that touches picture
// entries runs on the main thread through a hand-over; only reading and
// shrinking the picture file runs on the loader's own thread, so the window
// never waits for a decode. A stopped loader drops what it still carries.

#include "core/VisteloNPics.h"
#include "platform/rtl/Threads.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// The catalog as the loader sees it; called on the main thread only.
class TThumbCatalog {
public:
    virtual ~TThumbCatalog() = default;
    virtual int PicCount() = 0;
    virtual TPicInfoObject* Picture(int Index) = 0;
    // The picture's cell must be drawn again (its thumbnail arrived or failed).
    virtual void UpdateCatalog(int Index) = 0;
};

// How the loader runs a call on the main thread and waits for it.
class TThumbHandOver {
public:
    virtual ~TThumbHandOver() = default;
    virtual void Run(TThread& Loader, const std::function<void()>& Call) = 0;
};

// The platform's synchronise call.
class TSynchronizeHandOver : public TThumbHandOver {
public:
    void Run(TThread& Loader, const std::function<void()>& Call) override { Loader.Synchronize(Call); }
};

namespace CatalogLoader {

// Makes a thumbnail of the picture file within Width x Height; none when the
// file cannot be read. Runs on the loader's thread.
using TDecodeThumbnail =
    std::function<std::unique_ptr<TThumbnailJPEGImage>(const std::string& File, int Width, int Height)>;

// Reads the file and shrinks it into the box, JPEG pictures decoded at the
// coarsest scale that still covers the box; the result is compressed as a
// JPEG and keeps no decoded pixels.
std::unique_ptr<TThumbnailJPEGImage> DecodeThumbnail(const std::string& File, int Width, int Height);

} // namespace CatalogLoader

class TLoadThumbsThread : public TThread {
    DECLARE_CLASS(TLoadThumbsThread, TThread)
public:
    // HandOver and Decode default to the platform's synchronise call and
    // CatalogLoader::DecodeThumbnail.
    TLoadThumbsThread(bool CreateSuspended, bool CheckDates, bool ForceAll, TThumbCatalog& Catalog, int ThumbWidth,
                      int ThumbHeight, std::shared_ptr<TThumbHandOver> HandOver = nullptr,
                      CatalogLoader::TDecodeThumbnail Decode = nullptr);
    ~TLoadThumbsThread() override;

    // Pictures counted at the start; the next picture (-1 before the start).
    std::atomic<int> PictureCount{0};
    std::atomic<int> Index{-1};
    // True while the loop runs.
    std::atomic<bool> Running{false};
    const bool CheckDates;
    const bool ForceAll;

protected:
    void Execute() override;

private:
    // What the main thread found out about the picture at Index.
    struct TJob {
        TPicInfoObject* Entry = nullptr;
        std::string StoredName; // to see the entry is still the same picture
        std::string File;       // resolved; empty when it does not exist
        std::int32_t DateSum = -1;
        bool Needed = false;
    };

    // Runs Call on the main thread unless the loader was stopped; false when
    // it was stopped before or meanwhile.
    bool HandOver(const std::function<void()>& Call);
    void GetPicCount();
    TJob GetNextPic(int AtIndex);
    void GetThumbNail(int AtIndex, const TJob& Job, std::unique_ptr<TThumbnailJPEGImage> Thumbnail);

    TThumbCatalog& catalog_;
    const int thumbWidth_;
    const int thumbHeight_;
    std::shared_ptr<TThumbHandOver> handOver_;
    CatalogLoader::TDecodeThumbnail decode_;
};
