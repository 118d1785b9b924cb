#include "editor/app/CatalogLoader.h"

#include "core/PictureLoading.h"
#include "core/RectTools.h"
#include "core/Setup.h"
#include "editor/app/CatalogGrid.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Jpeg.h"
#include "platform/graphics/Picture.h"

#include <algorithm>
#include <new>

IMPLEMENT_CLASS(TLoadThumbsThread)

namespace CatalogLoader {

std::unique_ptr<TThumbnailJPEGImage> DecodeThumbnail(const std::string& File, int Width, int Height)
{
    if (File.empty() || Width <= 0 || Height <= 0)
        return nullptr;
    try {
        TPicture picture;
        picture.LoadFromFile(File);
        TGraphic* graphic = picture.Graphic();
        if (!graphic || graphic->Empty())
            return nullptr;
        if (auto* jpeg = dynamic_cast<TJPEGImage*>(graphic)) {
            // Only the header is read so far: choose the scale before decoding.
            jpeg->SetScale(PictureLoading::JpegScaleFor(jpeg->Width(), jpeg->Height(), Width, Height));
        }
        const TRect fitted = RectTools::ProportionalScale(Rect(0, 0, graphic->Width(), graphic->Height()),
                                                          Rect(0, 0, Width, Height), true);
        TBitmap bitmap(std::max(1, fitted.Width()), std::max(1, fitted.Height()), pf24bit);
        TCanvas& canvas = bitmap.Canvas();
        canvas.Brush.Color = clWhite;
        canvas.FillRect(Rect(0, 0, bitmap.Width(), bitmap.Height()));
        gfx::SetStretchBltMode(canvas, HALFTONE);
        canvas.StretchDraw(Rect(0, 0, bitmap.Width(), bitmap.Height()), *graphic);
        auto thumbnail = std::make_unique<TThumbnailJPEGImage>();
        thumbnail->Assign(&bitmap);
        thumbnail->JPEGNeeded();
        thumbnail->ClearDIB();
        return thumbnail;
    } catch (const std::bad_alloc&) {
        return nullptr;
    } catch (const std::exception&) {
        return nullptr;
    }
}

} // namespace CatalogLoader

TLoadThumbsThread::TLoadThumbsThread(bool CreateSuspended, bool CheckDates, bool ForceAll, TThumbCatalog& Catalog,
                                     int ThumbWidth, int ThumbHeight, std::shared_ptr<TThumbHandOver> HandOver,
                                     CatalogLoader::TDecodeThumbnail Decode)
    : TThread(CreateSuspended), CheckDates(CheckDates), ForceAll(ForceAll), catalog_(Catalog), thumbWidth_(ThumbWidth),
      thumbHeight_(ThumbHeight), handOver_(HandOver ? std::move(HandOver) : std::make_shared<TSynchronizeHandOver>()),
      decode_(Decode ? std::move(Decode) : CatalogLoader::TDecodeThumbnail(&CatalogLoader::DecodeThumbnail))
{
    SetPriority(tpHighest);
    AfterConstruction();
}

TLoadThumbsThread::~TLoadThumbsThread() { TerminateAndJoin(); }

bool TLoadThumbsThread::HandOver(const std::function<void()>& Call)
{
    if (Terminated())
        return false;
    // A stopped loader's call may still run while the catalog waits for the
    // loader to end; it must change nothing then.
    handOver_->Run(*this, [&] {
        if (!Terminated())
            Call();
    });
    return !Terminated();
}

void TLoadThumbsThread::Execute()
{
    if (!HandOver([this] { GetPicCount(); }))
        return;
    Index = 0;
    if (PictureCount <= 0)
        return;
    Running = true;
    for (int i = 0; i < PictureCount && !Terminated(); ++i) {
        Index = i;
        TJob job;
        if (!HandOver([&] { job = GetNextPic(i); }))
            break;
        std::unique_ptr<TThumbnailJPEGImage> thumbnail;
        if (job.Needed)
            thumbnail = decode_(job.File, thumbWidth_, thumbHeight_);
        if (job.Needed && !HandOver([&] { GetThumbNail(i, job, std::move(thumbnail)); }))
            break;
    }
    Index = PictureCount.load();
    Running = false;
}

void TLoadThumbsThread::GetPicCount() { PictureCount = catalog_.PicCount(); }

TLoadThumbsThread::TJob TLoadThumbsThread::GetNextPic(int AtIndex)
{
    TJob job;
    TPicInfoObject* entry = AtIndex < catalog_.PicCount() ? catalog_.Picture(AtIndex) : nullptr;
    if (!entry)
        return job;
    job.Entry = entry;
    job.StoredName = entry->FileName;
    // The freshness rule of TPicInfoObject::CreateThumbNail: a thumbnail is
    // made when missing, when forced, or when the file's stamp changed.
    bool rebuild = ForceAll;
    const bool hasThumbnail = entry->Thumbnail.GetThumbnail() != nullptr;
    if (entry->DateSum == -1 || !hasThumbnail || CheckDates || rebuild) {
        job.File = PictureLoading::RelFileName(entry->FileName, Setup::VisteloFilename);
        job.DateSum = Setup::CalcDateSum(job.File, true);
        rebuild = rebuild || job.DateSum != entry->DateSum;
    }
    job.Needed = !hasThumbnail || rebuild;
    if (!job.Needed)
        entry->Flags |= CatalogGrid::pfThumbTried;
    return job;
}

void TLoadThumbsThread::GetThumbNail(int AtIndex, const TJob& Job, std::unique_ptr<TThumbnailJPEGImage> Thumbnail)
{
    // The list may have changed while the file was read: a picture that is
    // no longer at its place is left for the next loader.
    if (AtIndex >= catalog_.PicCount() || catalog_.Picture(AtIndex) != Job.Entry ||
        Job.Entry->FileName != Job.StoredName)
        return;
    TPicInfoObject& entry = *Job.Entry;
    const bool made = Thumbnail != nullptr;
    entry.Thumbnail.SetThumbnail(std::move(Thumbnail));
    if (made && Job.DateSum != -1)
        entry.DateSum = Job.DateSum;
    entry.Flags |= CatalogGrid::pfThumbTried | CatalogGrid::pfDirty;
    catalog_.UpdateCatalog(AtIndex);
}
