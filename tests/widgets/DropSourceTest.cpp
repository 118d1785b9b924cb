#include "widgets/DropSource.h"
#include "widgets/DropBMPSource.h"
#include "widgets/DropPIDLSource.h"

#include <gtest/gtest.h>

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/ClipboardData.h"
#include "platform/ui/DragDrop.h"
#include "platform/ui/EventLoop.h"
#include "platform/ui/ShellBlocks.h"
#include "platform/ui/TestDriver.h"
#include "widgets/DropBMPTarget.h"
#include "widgets/DropPIDLTarget.h"
#include "widgets/DropTarget.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

FORMATETC Request(UINT format, DWORD tymed = TYMED_HGLOBAL)
{
    return FORMATETC{static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, tymed};
}

// The answer and the bytes a data object gives for a format.
HRESULT Fetch(IDataObject& object, const FORMATETC& format, Bytes& bytes)
{
    STGMEDIUM medium;
    HRESULT answer = object.GetData(format, medium);
    bytes = ui::MediumBytes(medium);
    ReleaseStgMedium(medium);
    return answer;
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

Bytes Text(const std::string& s, bool zero = true)
{
    Bytes b(s.begin(), s.end());
    if (zero)
        b.push_back(0);
    return b;
}

class DropSourceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::EnsurePlatform();
        ui::test::ClearClipboard();
    }

    TComponent owner_{nullptr};
};

TEST_F(DropSourceTest, FileSourceBuildsItsBlocksAndOffersNameMapsOnlyForEveryFile)
{
    auto* source = new TDropFileSource(&owner_);
    Bytes bytes;
    for (UINT format : {CF_HDROP, CF_IDLIST, CF_PREFERREDDROPEFFECT, CF_FILENAMEMAP, CF_TEXT})
        EXPECT_EQ(Fetch(*source, Request(format), bytes), E_UNEXPECTED) << format;

    source->Files().Add("/bilder/a.jpg");
    source->Files().Add("/bilder/bb.jpg");
    source->Files().Add("/bilder/c.jpg");
    source->MappedNames().Add("eins.jpg");
    source->MappedNames().Add("zwei.jpg");

    ASSERT_EQ(Fetch(*source, Request(CF_HDROP), bytes), S_OK);
    Bytes header(20, 0);
    header[0] = 20;
    EXPECT_EQ(bytes, Concat({header, Text("/bilder/a.jpg"), Text("/bilder/bb.jpg"), Text("/bilder/c.jpg"), {0}}));
    EXPECT_EQ(bytes.size(), 21u + 14 + 15 + 14);

    // Three files, two names: no name map.
    EXPECT_EQ(Fetch(*source, Request(CF_FILENAMEMAP), bytes), DV_E_FORMATETC);
    EXPECT_EQ(Fetch(*source, Request(CF_FILENAMEMAPW), bytes), DV_E_FORMATETC);
    source->MappedNames().Add("drei.jpg");
    ASSERT_EQ(Fetch(*source, Request(CF_FILENAMEMAP), bytes), S_OK);
    EXPECT_EQ(bytes, Concat({Text("eins.jpg"), Text("zwei.jpg"), Text("drei.jpg"), {0}}));
    ASSERT_EQ(Fetch(*source, Request(CF_FILENAMEMAPW), bytes), S_OK);
    EXPECT_EQ(bytes.size(), 2u + 3 * (2 * 8 + 2));
    EXPECT_EQ(bytes[0], 'e');
    EXPECT_EQ(bytes[1], 0);

    // The wrong medium or aspect is refused.
    EXPECT_EQ(Fetch(*source, Request(CF_HDROP, TYMED_GDI), bytes), DV_E_FORMATETC);
    FORMATETC thumbnail = Request(CF_HDROP);
    thumbnail.dwAspect = 2;
    EXPECT_EQ(Fetch(*source, thumbnail, bytes), DV_E_FORMATETC);
}

TEST_F(DropSourceTest, FileItemListsNeedOneFolder)
{
    auto* source = new TDropFileSource(&owner_);
    source->Files().Add("/bilder/urlaub/a.jpg");
    source->Files().Add("/bilder/urlaub/b.jpg");
    Bytes bytes;
    ASSERT_EQ(Fetch(*source, Request(CF_IDLIST), bytes), S_OK);
    std::vector<std::string> lists;
    ASSERT_TRUE(ui::ParseCida(bytes.data(), bytes.size(), lists));
    ASSERT_EQ(lists.size(), 3u);
    std::string path;
    ASSERT_TRUE(ui::SHGetPathFromIDList(reinterpret_cast<LPCITEMIDLIST>(lists[0].data()), path));
    EXPECT_EQ(path, "/bilder/urlaub");
    std::string joined = DropPIDLSource::JoinPidlStrings(lists[0], lists[2]);
    ASSERT_TRUE(ui::SHGetPathFromIDList(reinterpret_cast<LPCITEMIDLIST>(joined.data()), path));
    EXPECT_EQ(path, "/bilder/urlaub/b.jpg");

    // The catalog drags pictures of several folders: no item lists then.
    source->Files().Add("/bilder/andere/c.jpg");
    EXPECT_NE(Fetch(*source, Request(CF_IDLIST), bytes), S_OK);
    EXPECT_EQ(Fetch(*source, Request(CF_HDROP), bytes), S_OK);
}

TEST_F(DropSourceTest, TextSourceServesTextFileContentsAndAFileDescription)
{
    auto* source = new TDropTextSource(&owner_);
    source->Text = "Grüße";
    Bytes bytes;
    ASSERT_EQ(Fetch(*source, Request(CF_TEXT), bytes), S_OK);
    EXPECT_EQ(bytes, Text("Grüße"));
    ASSERT_EQ(Fetch(*source, Request(CF_FILECONTENTS), bytes), S_OK);
    EXPECT_EQ(bytes, Text("Grüße"));
    ASSERT_EQ(Fetch(*source, Request(CF_FILEGROUPDESCRIPTOR), bytes), S_OK);
    ASSERT_EQ(bytes.size(), 336u);
    std::vector<std::string> names;
    ASSERT_TRUE(ui::ParseFileGroupDescriptor(bytes.data(), bytes.size(), names));
    EXPECT_EQ(names, std::vector<std::string>{"Text Scrap File.txt"});
    EXPECT_EQ(bytes[4] | bytes[5] << 8, 0x8000);
    EXPECT_EQ(Fetch(*source, Request(CF_HDROP), bytes), DV_E_FORMATETC);
    // Only the text is listed.
    EXPECT_EQ(source->QueryGetData(Request(CF_TEXT)), S_OK);
    EXPECT_EQ(source->QueryGetData(Request(CF_FILEGROUPDESCRIPTOR)), E_FAIL);
}

TEST_F(DropSourceTest, ItemListSourceGivesPathsListsAndNames)
{
    auto* source = new TDropPIDLSource(&owner_);
    Bytes bytes;
    EXPECT_EQ(Fetch(*source, Request(CF_HDROP), bytes), E_UNEXPECTED);

    auto desktop = ui::SHGetDesktopFolder();
    LPITEMIDLIST folderPidl = nullptr;
    ASSERT_EQ(desktop->ParseDisplayName("/home/anna/Bilder", folderPidl), S_OK);
    std::unique_ptr<TShellFolder> folder;
    ASSERT_EQ(desktop->BindToObject(folderPidl, folder), S_OK);
    source->CopyFilePidlToList(folderPidl); // no folder yet: ignored
    EXPECT_EQ(source->PidlList().Count(), 0);
    source->CopyFolderPidlToList(folderPidl);
    ShellMalloc->Free(folderPidl);
    for (const char* name : {"a.jpg", "b.jpg"}) {
        LPITEMIDLIST item = nullptr;
        ASSERT_EQ(folder->ParseDisplayName(name, item), S_OK);
        source->CopyFilePidlToList(item);
        ShellMalloc->Free(item);
    }
    EXPECT_EQ(source->GetFilename(2), "/home/anna/Bilder/b.jpg");
    EXPECT_EQ(source->GetFilename(0), "");
    EXPECT_EQ(source->GetFilename(3), "");

    ASSERT_EQ(Fetch(*source, Request(CF_HDROP), bytes), S_OK);
    std::vector<std::string> files;
    ASSERT_TRUE(ui::ParseDropFiles(bytes.data(), bytes.size(), files));
    EXPECT_EQ(files, (std::vector<std::string>{"/home/anna/Bilder/a.jpg", "/home/anna/Bilder/b.jpg"}));

    ASSERT_EQ(Fetch(*source, Request(CF_IDLIST), bytes), S_OK);
    std::vector<std::string> lists;
    ASSERT_TRUE(ui::ParseCida(bytes.data(), bytes.size(), lists));
    ASSERT_EQ(lists.size(), 3u);
    EXPECT_EQ(lists[1], source->PidlList().Strings(1));

    EXPECT_EQ(Fetch(*source, Request(CF_FILENAMEMAP), bytes), DV_E_FORMATETC);
    source->MappedNames().Add("x.jpg");
    source->MappedNames().Add("y.jpg");
    ASSERT_EQ(Fetch(*source, Request(CF_FILENAMEMAP), bytes), S_OK);
    EXPECT_EQ(bytes, Concat({Text("x.jpg"), Text("y.jpg"), {0}}));
}

TEST_F(DropSourceTest, BitmapSourceGivesTheBitmapAsDibAndAsObjects)
{
    auto* source = new TDropBMPSource(&owner_);
    Bytes bytes;
    EXPECT_EQ(Fetch(*source, Request(CF_DIB), bytes), DV_E_FORMATETC); // empty bitmap

    TBitmap picture(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            std::uint8_t* p = picture.ScanLine(y) + 3 * x;
            p[0] = static_cast<std::uint8_t>(10 + x);
            p[1] = static_cast<std::uint8_t>(20 + y);
            p[2] = static_cast<std::uint8_t>(x * y * 40);
        }
    source->SetBitmap(picture);
    ASSERT_EQ(Fetch(*source, Request(CF_DIB), bytes), S_OK);
    EXPECT_EQ(bytes[0], 40); // an info header, no file header

    TBitmap back;
    ASSERT_TRUE(DropBMPTarget::CopyDIBToBitmap(back, bytes.data(), bytes.size()));
    ASSERT_EQ(back.Width(), 3);
    ASSERT_EQ(back.Height(), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(back.ScanLine(y)[x], picture.ScanLine(y)[x]) << x << "," << y;

    STGMEDIUM medium;
    ASSERT_EQ(source->GetData(Request(CF_BITMAP, TYMED_GDI), medium), S_OK);
    ASSERT_TRUE(medium.hBitmap);
    EXPECT_EQ(medium.hBitmap->Width(), 3);
    ReleaseStgMedium(medium);
    EXPECT_EQ(source->GetData(Request(CF_BITMAP, TYMED_HGLOBAL), medium), DV_E_FORMATETC);
    EXPECT_EQ(source->Dragtypes, TDragTypes{dtCopy});
}

TEST_F(DropSourceTest, TheTwentyFirstFormatIsIgnoredAndTheEnumeratorWalksTheRest)
{
    auto* source = new TDropTextSource(&owner_);
    for (UINT f = 100; source->DataFormatCount < MaxDataFormats; ++f)
        source->AddFormatEtc(static_cast<CLIPFORMAT>(f), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL);
    source->AddFormatEtc(999, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL);
    EXPECT_EQ(source->DataFormatCount, MaxDataFormats);
    EXPECT_EQ(source->QueryGetData(Request(999)), E_FAIL);

    IEnumFORMATETC* formats = nullptr;
    ASSERT_EQ(source->EnumFormatEtc(DATADIR_GET, &formats), S_OK);
    FORMATETC got[3];
    ULONG fetched = 0;
    EXPECT_EQ(formats->Next(2, got, &fetched), S_OK);
    EXPECT_EQ(fetched, 2u);
    EXPECT_EQ(got[0].cfFormat, CF_TEXT);
    EXPECT_EQ(got[1].cfFormat, 100);
    EXPECT_EQ(formats->Skip(16), S_OK); // 18 of 20 passed
    IEnumFORMATETC* clone = nullptr;
    ASSERT_EQ(formats->Clone(&clone), S_OK);
    EXPECT_EQ(formats->Next(3, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 2u);
    EXPECT_EQ(got[1].cfFormat, 118);
    EXPECT_EQ(formats->Skip(1), S_FALSE);
    EXPECT_EQ(clone->Next(1, got, nullptr), S_OK); // the clone kept its place
    EXPECT_EQ(got[0].cfFormat, 117);
    formats->Reset();
    EXPECT_EQ(formats->Next(1, got, nullptr), S_OK);
    EXPECT_EQ(got[0].cfFormat, CF_TEXT);
    clone->Release();
    formats->Release();

    EXPECT_EQ(source->EnumFormatEtc(DATADIR_SET, &formats), E_NOTIMPL);
    EXPECT_EQ(source->EnumFormatEtc(7, &formats), E_INVALIDARG);
    EXPECT_EQ(formats, nullptr);
    IEnumSTATDATA* advises = reinterpret_cast<IEnumSTATDATA*>(source);
    EXPECT_EQ(source->EnumDAdvise(&advises), OLE_E_ADVISENOTSUPPORTED);
    EXPECT_EQ(advises, nullptr);
}

TEST_F(DropSourceTest, QueryContinueDragDecidesFromKeysAndTheLastEffect)
{
    struct Case {
        const char* name;
        bool escape;
        DWORD keys;
        DWORD lastEffect;
        TDragTypes allowed;
        bool veto;
        HRESULT expected;
        int asked; // OnDrop calls
    } cases[] = {
        {"escape", true, MK_LBUTTON, DROPEFFECT_COPY, {dtCopy}, false, DRAGDROP_S_CANCEL, 0},
        {"left held", false, MK_LBUTTON, DROPEFFECT_NONE, {dtCopy}, false, S_OK, 0},
        {"right held", false, MK_RBUTTON | MK_SHIFT, DROPEFFECT_COPY, {dtCopy}, false, S_OK, 0},
        {"released over copy", false, 0, DROPEFFECT_COPY, {dtCopy}, false, DRAGDROP_S_DROP, 1},
        {"released over nothing", false, 0, DROPEFFECT_NONE, {dtCopy, dtMove, dtLink}, false, DRAGDROP_S_CANCEL, 0},
        {"link not allowed", false, 0, DROPEFFECT_LINK, {dtCopy}, false, DRAGDROP_S_CANCEL, 0},
        {"move allowed", false, MK_SHIFT, DROPEFFECT_MOVE | DROPEFFECT_SCROLL, {dtMove}, false, DRAGDROP_S_DROP, 1},
        {"vetoed", false, 0, DROPEFFECT_COPY, {dtCopy}, true, DRAGDROP_S_CANCEL, 1},
    };
    for (const Case& c : cases) {
        auto* source = new TDropTextSource(&owner_);
        source->Dragtypes = c.allowed;
        int asked = 0;
        source->OnDrop = [&](TObject*, TDragType, bool& go) {
            ++asked;
            go = !c.veto;
        };
        source->GiveFeedback(c.lastEffect);
        EXPECT_EQ(source->QueryContinueDrag(c.escape, c.keys), c.expected) << c.name;
        EXPECT_EQ(asked, c.asked) << c.name;
        delete source;
    }
}

TEST_F(DropSourceTest, ADropTakenByAnotherProgramReachesOnDropWithItsEffect)
{
    struct Case {
        const char* name;
        bool dropped; // the drag ends outside with the effect below
        DWORD effect;
        TDragResult expected;
        std::vector<TDragType> told;
    } cases[] = {
        {"moved", true, DROPEFFECT_MOVE, drDropMove, {dtMove}},
        {"copied", true, DROPEFFECT_COPY, drDropCopy, {dtCopy}},
        {"refused", true, DROPEFFECT_NONE, drCancel, {}},
        {"never dropped", false, DROPEFFECT_NONE, drCancel, {}},
    };
    for (const Case& c : cases) {
        auto* source = new TDropFileSource(&owner_);
        source->Files().Add("/home/anna/Bilder/strand.jpg");
        source->Dragtypes = {dtCopy, dtMove};
        std::vector<TDragType> told;
        source->OnDrop = [&told](TObject*, TDragType type, bool&) { told.push_back(type); };
        ui::SetDragDriver([&c](ui::TDragLoop& loop) {
            if (c.dropped)
                loop.DroppedOutside(c.effect);
        });
        EXPECT_EQ(source->Execute(), c.expected) << c.name;
        EXPECT_EQ(told, c.told) << c.name;
        delete source;
    }
    ui::SetDragDriver(nullptr);
}

TEST_F(DropSourceTest, FeedbackKeepsTheEffectAndLetsTheHandlerSetTheCursor)
{
    auto* source = new TDropFileSource(&owner_);
    EXPECT_EQ(source->GiveFeedback(DROPEFFECT_MOVE), DRAGDROP_S_USEDEFAULTCURSORS);
    EXPECT_EQ(source->FeedbackEffect(), DROPEFFECT_MOVE);
    source->OnFeedback = [](TObject*, int effect, bool& useDefault) { useDefault = effect != DROPEFFECT_LINK; };
    EXPECT_EQ(source->GiveFeedback(DROPEFFECT_LINK), S_OK);
    EXPECT_EQ(source->GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
    source->Files().Add("/a/b.jpg");
    Bytes bytes;
    ASSERT_EQ(Fetch(*source, Request(CF_PREFERREDDROPEFFECT), bytes), S_OK);
    EXPECT_EQ(bytes, (Bytes{1, 0, 0, 0}));
}

TEST_F(DropSourceTest, ClipboardCopyAndCutPlaceTheDataAndThePreferredEffect)
{
    struct Case {
        bool cut;
        DWORD effect;
    } cases[] = {{false, DROPEFFECT_COPY}, {true, DROPEFFECT_MOVE}};
    for (const Case& c : cases) {
        auto* source = new TDropFileSource(&owner_);
        EXPECT_FALSE(c.cut ? source->CutToClipboard() : source->CopyToClipboard()); // nothing to place
        source->Files().Add("/bilder/a.jpg");
        source->Files().Add("/bilder/ö.jpg");
        EXPECT_TRUE(c.cut ? source->CutToClipboard() : source->CopyToClipboard());
        EXPECT_EQ(source->FeedbackEffect(), c.effect);
        const std::vector<std::string> files = ui::test::ClipboardFiles();
        ASSERT_EQ(files.size(), 2u);
        EXPECT_EQ(files[1], "/bilder/ö.jpg");

        auto* target = new TDropFileTarget(&owner_);
        EXPECT_EQ(target->PasteFromClipboard(), c.effect);
        ASSERT_EQ(target->Files().Count(), 2);
        EXPECT_EQ(target->Files().Strings(1), "/bilder/ö.jpg");
        auto* pidlTarget = new TDropPIDLTarget(&owner_);
        EXPECT_EQ(pidlTarget->PasteFromClipboard(), c.effect);
        EXPECT_EQ(pidlTarget->Filenames().Strings(0), "/bilder/a.jpg");
        delete source;
    }
}

TEST_F(DropSourceTest, TextAndBitmapCopiesReportThatTheyWerePlaced)
{
    auto* text = new TDropTextSource(&owner_);
    EXPECT_FALSE(text->CopyToClipboard());
    text->Text = "Bildtitel";
    EXPECT_TRUE(text->CopyToClipboard());
    EXPECT_EQ(ui::test::ClipboardText(), "Bildtitel");
    auto* textTarget = new TDropTextTarget(&owner_);
    EXPECT_EQ(textTarget->PasteFromClipboard(), DROPEFFECT_COPY);
    EXPECT_EQ(textTarget->Text, "Bildtitel");
    // Text has no preferred effect and is no file list.
    auto* fileTarget = new TDropFileTarget(&owner_);
    EXPECT_EQ(fileTarget->PasteFromClipboard(), DROPEFFECT_NONE);

    auto* bitmap = new TDropBMPSource(&owner_);
    TBitmap picture(4, 4);
    picture.Canvas().Brush.Color = clRed;
    picture.Canvas().FillRect(Rect(0, 0, 4, 4));
    bitmap->SetBitmap(picture);
    EXPECT_TRUE(bitmap->CutToClipboard());
    EXPECT_TRUE(Clipboard().HasFormat(CF_DIB));
    TBitmap pasted;
    ASSERT_TRUE(Clipboard().GetBitmap(pasted));
    EXPECT_EQ(pasted.Width(), 4);
    EXPECT_EQ(pasted.ScanLine(2)[2], 0xFF); // red (B,G,R)
    EXPECT_EQ(pasted.ScanLine(2)[0], 0);
}

TEST_F(DropSourceTest, BitmapCopyFailsLoudlyWhenTheClipboardCannotTakeIt)
{
    auto* bitmap = new TDropBMPSource(&owner_);
    bitmap->SetBitmap(TBitmap(2, 2));
    ASSERT_TRUE(ui::OpenClipboard()); // someone else has it open
    EXPECT_FALSE(bitmap->CopyToClipboard());
    ui::CloseClipboard();
    // Placing the picture on a clipboard that is not open fails with the message.
    try {
        bitmap->CutOrCopyToClipboard();
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Unable to copy BMP to clipboard.");
    }
}

TEST_F(DropSourceTest, ImagePropertiesFollowTheImageList)
{
    auto* source = new TDropFileSource(&owner_);
    source->SetShowImage(true);
    EXPECT_FALSE(source->ShowImage()); // no image list
    auto* images = new TImageList(&owner_);
    TBitmap glyph(16, 16);
    images->AddMasked(glyph, clNone);
    images->AddMasked(glyph, clNone);
    source->SetImages(images);
    EXPECT_TRUE(source->ShowImage());
    source->SetImageIndex(1);
    EXPECT_EQ(source->ImageIndex(), 1);
    source->SetImageIndex(2); // beyond the images: ignored
    EXPECT_EQ(source->ImageIndex(), 1);
    source->SetImageIndex(-1);
    EXPECT_EQ(source->ImageIndex(), 0);
    EXPECT_FALSE(source->ShowImage());
    source->SetPoint(1, 3);
    source->SetPoint(2, 7);
    EXPECT_EQ(source->ImageHotSpot, TPoint(3, 7));
    EXPECT_EQ(source->GetPoint(2), 7);
    source->SetShowImage(true);
    delete images;
    EXPECT_EQ(source->Images(), nullptr);
    EXPECT_FALSE(source->ShowImage());
}

} // namespace
