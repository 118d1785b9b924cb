#include "platform/ui/DragDrop.h"

#include <algorithm>

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Streams.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/ClipboardData.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/GlobalMemory.h"
#include "platform/ui/ShellBlocks.h"
#include "platform/ui/ShellItems.h"
#include "tests/ui/UiFixture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes U32(std::uint32_t v)
{
    return {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)};
}

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

Bytes Cut(Bytes bytes, std::size_t size)
{
    bytes.resize(size);
    return bytes;
}

Bytes Chars(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes DropFilesHeader(std::uint32_t offset, bool wide)
{
    return Join({U32(offset), U32(0), U32(0), U32(0), U32(wide ? 1 : 0)});
}

TEST(ShellBlocksTest, DropFilesBlocksAreReadWithinTheirSize)
{
    const Bytes wideNames = {'/', 0, 'a', 0, 0, 0, '/', 0, 0xFC, 0, 0, 0, 0, 0};
    struct Case {
        const char* name;
        Bytes block;
        bool found;
        std::vector<std::string> names;
    } cases[] = {
        {"ansi",
         Join({DropFilesHeader(20, false), Chars("/x/a.jpg"), {0}, Chars("/x/b.jpg"), {0, 0}}),
         true,
         {"/x/a.jpg", "/x/b.jpg"}},
        {"windows code page", Join({DropFilesHeader(20, false), {'/', 0xE4, 0, 0}}), true, {"/ä"}},
        {"wide", Join({DropFilesHeader(20, true), wideNames}), true, {"/a", "/ü"}},
        {"later offset", Join({DropFilesHeader(24, false), U32(7), Chars("/c"), {0, 0}}), true, {"/c"}},
        {"no names", Join({DropFilesHeader(20, false), {0}}), false, {}},
        {"last name unterminated",
         Join({DropFilesHeader(20, false), Chars("/x/a.jpg"), {0}, Chars("/x/b")}),
         false,
         {}},
        {"list without end", Join({DropFilesHeader(20, false), Chars("/x/a.jpg"), {0}}), false, {}},
        {"offset beyond the block", Join({DropFilesHeader(4000, false), Chars("/a"), {0, 0}}), false, {}},
        {"offset inside the header", Join({DropFilesHeader(4, false), {0, 0}}), false, {}},
        {"odd wide tail", Join({DropFilesHeader(20, true), {'/', 0, 'a'}}), false, {}},
        {"header cut off", Bytes{20, 0, 0, 0, 0}, false, {}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> names{"alt"};
        EXPECT_EQ(ui::ParseDropFiles(c.block.data(), c.block.size(), names), c.found) << c.name;
        EXPECT_EQ(names, c.names) << c.name;
    }
    std::vector<std::string> names;
    EXPECT_FALSE(ui::ParseDropFiles(nullptr, 0, names));

    const std::vector<std::string> files{"/home/anna/Bilder/Grüße.jpg", "/tmp/b c.png"};
    const Bytes built = ui::BuildDropFiles(files);
    EXPECT_EQ(built.size(), 21 + files[0].size() + 1 + files[1].size() + 1);
    ASSERT_TRUE(ui::ParseDropFiles(built.data(), built.size(), names));
    EXPECT_EQ(names, files);
    const Bytes wide = ui::BuildNameListW(files);
    ASSERT_TRUE(ui::ParseNameList(wide.data(), wide.size(), 0, true, names));
    EXPECT_EQ(names, files);
}

TEST(ShellBlocksTest, ItemListArraysAreReadWithinTheirSize)
{
    auto list = [](std::initializer_list<std::string> items) {
        std::string bytes;
        for (const std::string& item : items) {
            bytes += static_cast<char>(item.size() + 2);
            bytes += '\0';
            bytes += item;
        }
        return bytes + std::string(2, '\0');
    };
    const std::vector<std::string> lists{list({"home", "anna"}), list({"a.jpg"}), list({"b.jpg"})};
    const Bytes good = ui::BuildCida(lists);
    EXPECT_EQ(Bytes(good.begin(), good.begin() + 8), Join({U32(2), U32(16)}));
    std::vector<std::string> read;
    ASSERT_TRUE(ui::ParseCida(good.data(), good.size(), read));
    EXPECT_EQ(read, lists);

    Bytes badOffset = good;
    badOffset[8] = 0xF0; // the first item points past the end
    Bytes huge = Join({U32(0x40000000), U32(8), {0, 0}});
    Bytes unterminated(good.begin(), good.end() - 1);
    Bytes shortItem = good;
    shortItem[16 + lists[0].size()] = 1; // an item claiming one byte
    struct Case {
        const char* name;
        Bytes block;
    } bad[] = {{"offset past the end", badOffset},
               {"count beyond the block", huge},
               {"last list unterminated", unterminated},
               {"item shorter than its size field", shortItem},
               {"too short", {1, 0}}};
    for (const Case& c : bad) {
        read = {"alt"};
        EXPECT_FALSE(ui::ParseCida(c.block.data(), c.block.size(), read)) << c.name;
        EXPECT_TRUE(read.empty()) << c.name;
    }
}

TEST(ShellBlocksTest, FileGroupDescriptorsAndDibOffsets)
{
    const Bytes group = ui::BuildFileGroupDescriptor("Text Scrap File.txt", ui::FD_PROGRESSUI);
    ASSERT_EQ(group.size(), 336u);
    std::vector<std::string> names;
    ASSERT_TRUE(ui::ParseFileGroupDescriptor(group.data(), group.size(), names));
    EXPECT_EQ(names, std::vector<std::string>{"Text Scrap File.txt"});
    Bytes twoClaimed = group;
    twoClaimed[0] = 2;
    EXPECT_FALSE(ui::ParseFileGroupDescriptor(twoClaimed.data(), twoClaimed.size(), names));
    Bytes noEnd = group;
    std::fill(noEnd.end() - 260, noEnd.end(), 'x');
    EXPECT_FALSE(ui::ParseFileGroupDescriptor(noEnd.data(), noEnd.size(), names));

    auto header = [](std::uint32_t size, std::uint16_t bits, std::uint32_t compression, std::uint32_t used) {
        Bytes h(size, 0);
        h[0] = static_cast<std::uint8_t>(size);
        if (size == 12) {
            h[10] = static_cast<std::uint8_t>(bits);
        } else if (size >= 40) {
            h[14] = static_cast<std::uint8_t>(bits);
            h[16] = static_cast<std::uint8_t>(compression);
            h[32] = static_cast<std::uint8_t>(used);
        }
        h.resize(h.size() + 4096, 0);
        return h;
    };
    struct Case {
        const char* name;
        Bytes dib;
        std::size_t offset;
    } cases[] = {
        {"8 bits, full table", header(40, 8, 0, 0), 14 + 40 + 1024},
        {"8 bits, 16 colours used", header(40, 8, 0, 16), 14 + 40 + 64},
        {"4 bits", header(40, 4, 0, 0), 14 + 40 + 64},
        {"24 bits", header(40, 24, 0, 0), 14 + 40},
        {"16 bits with masks", header(40, 16, 3, 0), 14 + 40 + 12},
        {"version 5 header with masks inside", header(124, 32, 3, 0), 14 + 124},
        {"core header", header(12, 8, 0, 0), 14 + 12 + 768},
        {"header size 20", header(20, 8, 0, 0), 0},
        {"table beyond the block", Cut(header(40, 8, 0, 0), 100), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ui::DibBitsOffset(c.dib.data(), c.dib.size()), c.offset) << c.name;
}

TEST(ShellItemsTest, PathsBecomeItemListsAndBack)
{
    auto desktop = ui::SHGetDesktopFolder();
    struct Case {
        std::string path;
        HRESULT parsed;
        std::string back;
    } cases[] = {
        {"/home/anna/Bilder", S_OK, "/home/anna/Bilder"},
        {"/home//anna/./Bilder/", S_OK, "/home/anna/Bilder"},
        {"/", S_OK, "/"},
        {"home/anna", E_INVALIDARG, ""},
        {"/home/../etc", E_INVALIDARG, ""},
        {"", E_INVALIDARG, ""},
    };
    for (const Case& c : cases) {
        LPITEMIDLIST pidl = nullptr;
        EXPECT_EQ(desktop->ParseDisplayName(c.path, pidl), c.parsed) << c.path;
        std::string back;
        EXPECT_EQ(ui::SHGetPathFromIDList(pidl, back), c.parsed == S_OK) << c.path;
        EXPECT_EQ(back, c.back) << c.path;
        ui::SHGetMalloc()->Free(pidl);
    }
    LPITEMIDLIST longPath = nullptr;
    ASSERT_EQ(desktop->ParseDisplayName("/" + std::string(300, 'x'), longPath), S_OK);
    std::string back;
    EXPECT_FALSE(ui::SHGetPathFromIDList(longPath, back)); // does not fit MAX_PATH
    ui::SHGetMalloc()->Free(longPath);

    Bytes cida;
    ASSERT_TRUE(ui::BuildFileCida({"/a/b/c.jpg", "/a/b/d.jpg"}, cida));
    std::vector<std::string> lists;
    ASSERT_TRUE(ui::ParseCida(cida.data(), cida.size(), lists));
    EXPECT_EQ(lists.size(), 3u);
    EXPECT_FALSE(ui::BuildFileCida({"/a/b/c.jpg", "/a/e/d.jpg"}, cida));
    EXPECT_FALSE(ui::BuildFileCida({"c.jpg"}, cida));
    EXPECT_FALSE(ui::BuildFileCida({}, cida));
}

TEST(GlobalMemoryTest, BlocksAreZeroedAndHugeRequestsFail)
{
    HGLOBAL block = ui::GlobalAlloc(GHND, 16);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(ui::GlobalSize(block), 16u);
    EXPECT_EQ(ui::GlobalBytes(block), Bytes(16, 0));
    EXPECT_EQ(ui::GlobalAlloc(GHND, ui::MaxGlobalBlock + 1), nullptr);
    ui::GlobalFree(block);
    EXPECT_EQ(ui::GlobalSize(nullptr), 0u);
    EXPECT_EQ(ui::GlobalLock(nullptr), nullptr);
}

class DragDropUiTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        ui::test::ClearClipboard();
    }

    static bool ClipboardHasType(const std::string& type)
    {
        const std::vector<std::string> types = ui::test::ClipboardTypes();
        return std::find(types.begin(), types.end(), type) != types.end();
    }
};

TEST_F(DragDropUiTest, ClipboardBlocksTravelAsMimeTypes)
{
    const UINT preferred = ui::RegisterClipboardFormat("Preferred DropEffect");
    EXPECT_FALSE(ui::SetClipboardData(CF_TEXT, ui::GlobalAllocBytes(Bytes{'x', 0}))); // not open
    ASSERT_TRUE(ui::OpenClipboard());
    EXPECT_FALSE(ui::OpenClipboard());
    ui::EmptyClipboard();
    ASSERT_TRUE(ui::SetClipboardData(CF_HDROP, ui::GlobalAllocBytes(ui::BuildDropFiles({"/bilder/a b.jpg"}))));
    ASSERT_TRUE(ui::SetClipboardData(preferred, ui::GlobalAllocBytes(U32(DROPEFFECT_MOVE))));
    ASSERT_TRUE(ui::CloseClipboard());

    EXPECT_TRUE(ClipboardHasType("text/uri-list"));
    EXPECT_EQ(ui::test::ClipboardFiles(), std::vector<std::string>{"/bilder/a b.jpg"});
    EXPECT_TRUE(ClipboardHasType("application/x-vistelo-Preferred DropEffect"));
    EXPECT_TRUE(ui::IsClipboardFormatAvailable(CF_HDROP));
    EXPECT_FALSE(ui::IsClipboardFormatAvailable(CF_DIB));

    EXPECT_EQ(ui::GetClipboardData(preferred), nullptr); // not open
    ASSERT_TRUE(ui::OpenClipboard());
    EXPECT_EQ(ui::GlobalBytes(ui::GetClipboardData(preferred)), U32(DROPEFFECT_MOVE));
    std::vector<std::string> files;
    HGLOBAL drop = ui::GetClipboardData(CF_HDROP);
    ASSERT_TRUE(
        ui::ParseDropFiles(static_cast<const std::uint8_t*>(ui::GlobalLock(drop)), ui::GlobalSize(drop), files));
    ui::GlobalUnlock(drop);
    EXPECT_EQ(files, std::vector<std::string>{"/bilder/a b.jpg"});
    ui::CloseClipboard();
}

TEST_F(DragDropUiTest, PicturesFromOtherProgramsBecomeDibs)
{
    const TColor green = RGB(10, 200, 30);
    TBitmap picture(3, 2, pf24bit);
    picture.Canvas().Brush.Color = green;
    picture.Canvas().FillRect(Rect(0, 0, 3, 2));
    ui::test::PutForeignPicture(picture);
    ASSERT_TRUE(ui::IsClipboardFormatAvailable(CF_DIB));
    ASSERT_TRUE(ui::OpenClipboard());
    const Bytes dib = ui::GlobalBytes(ui::GetClipboardData(CF_DIB));
    ui::CloseClipboard();
    const Bytes file = ui::BmpFileOfDib(dib.data(), dib.size());
    TMemoryStream stream;
    stream.Write(file.data(), static_cast<int64_t>(file.size()));
    stream.SetPosition(0);
    TBitmap back;
    back.LoadFromStream(stream);
    ASSERT_EQ(back.Width(), 3);
    ASSERT_EQ(back.Height(), 2);
    EXPECT_EQ(back.Canvas().Pixels(2, 1), green);

    // A DIB goes out as BMP and, for readers of pictures, as PNG.
    ASSERT_TRUE(ui::OpenClipboard());
    ui::EmptyClipboard();
    ui::SetClipboardData(CF_DIB, ui::GlobalAllocBytes(dib));
    ui::CloseClipboard();
    EXPECT_TRUE(ClipboardHasType("image/bmp"));
    EXPECT_EQ(ui::test::ClipboardPicture("image/png").Color(0, 0), green);

    ASSERT_TRUE(ui::OpenClipboard());
    ui::EmptyClipboard();
    ui::SetClipboardData(CF_DIB, ui::GlobalAllocBytes(Bytes{1, 2, 3})); // no bitmap: left out
    ui::CloseClipboard();
    EXPECT_FALSE(ClipboardHasType("image/bmp"));
    EXPECT_FALSE(ui::IsClipboardFormatAvailable(CF_DIB));
}

// A drop target that writes down what the drag loop tells it.
class RecordingTarget final : public IDropTarget {
public:
    explicit RecordingTarget(DWORD answer) : answer_(answer) { }
    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    HRESULT DragEnter(IDataObject*, DWORD, TPoint, DWORD& effect) override { return Note("enter", effect); }
    HRESULT DragOver(DWORD, TPoint, DWORD& effect) override { return Note("over", effect); }
    HRESULT DragLeave() override
    {
        log.push_back("leave");
        return S_OK;
    }
    HRESULT Drop(IDataObject*, DWORD, TPoint, DWORD& effect) override { return Note("drop", effect); }

    std::vector<std::string> log;
    int refs = 0;

private:
    HRESULT Note(const char* what, DWORD& effect)
    {
        log.push_back(what);
        effect &= answer_;
        return S_OK;
    }
    DWORD answer_;
};

class ScriptedSource final : public IDropSource, public IDataObject {
public:
    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    HRESULT QueryContinueDrag(bool escape, DWORD keys) override
    {
        if (escape)
            return DRAGDROP_S_CANCEL;
        if (keys & MK_LBUTTON)
            return S_OK;
        return feedback.empty() || feedback.back() == DROPEFFECT_NONE ? DRAGDROP_S_CANCEL : DRAGDROP_S_DROP;
    }
    HRESULT GiveFeedback(DWORD effect) override
    {
        feedback.push_back(effect);
        return DRAGDROP_S_USEDEFAULTCURSORS;
    }
    HRESULT GetData(const FORMATETC&, STGMEDIUM&) override { return DV_E_FORMATETC; }
    HRESULT GetDataHere(const FORMATETC&, STGMEDIUM&) override { return E_NOTIMPL; }
    HRESULT QueryGetData(const FORMATETC&) override { return DV_E_FORMATETC; }
    HRESULT GetCanonicalFormatEtc(const FORMATETC&, FORMATETC&) override { return E_NOTIMPL; }
    HRESULT SetData(const FORMATETC&, STGMEDIUM&, bool) override { return E_NOTIMPL; }
    HRESULT EnumFormatEtc(DWORD, IEnumFORMATETC** e) override
    {
        *e = nullptr;
        return E_NOTIMPL;
    }
    HRESULT DAdvise(const FORMATETC&, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

    std::vector<DWORD> feedback;
    int refs = 0;
};

TEST_F(DragDropUiTest, TheLoopEntersLeavesAndDropsOnTheInnermostWindow)
{
    TForm* form = NewForm(300, 200);
    auto* outer = new TPanel(form);
    outer->SetParent(form);
    outer->SetBounds(10, 10, 200, 150);
    auto* inner = new TPanel(form);
    inner->SetParent(outer);
    inner->SetBounds(20, 20, 50, 50);
    form->Show();
    Turn();

    RecordingTarget outerTarget(DROPEFFECT_COPY | DROPEFFECT_MOVE);
    RecordingTarget innerTarget(DROPEFFECT_MOVE);
    ASSERT_EQ(ui::RegisterDragDrop(outer->Handle(), &outerTarget), S_OK);
    ASSERT_EQ(ui::RegisterDragDrop(inner->Handle(), &innerTarget), S_OK);
    EXPECT_EQ(ui::RegisterDragDrop(inner->Handle(), &outerTarget), DRAGDROP_E_ALREADYREGISTERED);
    EXPECT_EQ(ui::RegisterDragDrop(nullptr, &outerTarget), DRAGDROP_E_INVALIDHWND);
    EXPECT_EQ(ui::DropWindowAt(inner->ClientToScreen(TPoint(5, 5))), inner->Handle());
    EXPECT_EQ(ui::DropWindowAt(outer->ClientToScreen(TPoint(150, 5))), outer->Handle());

    ScriptedSource source;
    ui::SetDragDriver([&](ui::TDragLoop& loop) {
        loop.Step({outer->ClientToScreen(TPoint(150, 100)), MK_LBUTTON});
        loop.Step({inner->ClientToScreen(TPoint(5, 5)), MK_LBUTTON});
        loop.Step({inner->ClientToScreen(TPoint(6, 6)), MK_LBUTTON});
        EXPECT_FALSE(loop.Step({inner->ClientToScreen(TPoint(6, 6)), 0}));
        EXPECT_FALSE(loop.Step({inner->ClientToScreen(TPoint(6, 6)), 0})); // over already
    });
    DWORD effect = 0;
    EXPECT_EQ(ui::DoDragDrop(&source, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE, effect), DRAGDROP_S_DROP);
    EXPECT_EQ(effect, DROPEFFECT_MOVE);
    EXPECT_EQ(outerTarget.log, (std::vector<std::string>{"enter", "leave"}));
    EXPECT_EQ(innerTarget.log, (std::vector<std::string>{"enter", "over", "drop"}));
    EXPECT_EQ(source.feedback,
              (std::vector<DWORD>{DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_MOVE, DROPEFFECT_MOVE}));
    EXPECT_EQ(source.refs, 0);
    EXPECT_EQ(innerTarget.refs, 1); // the registration's reference only

    // Escape, and a driver that stops, end the drag without a drop.
    innerTarget.log.clear();
    ui::SetDragDriver([&](ui::TDragLoop& loop) {
        loop.Step({inner->ClientToScreen(TPoint(5, 5)), MK_LBUTTON});
        loop.Step({inner->ClientToScreen(TPoint(5, 5)), MK_LBUTTON, true});
    });
    EXPECT_EQ(ui::DoDragDrop(&source, &source, DROPEFFECT_MOVE, effect), DRAGDROP_S_CANCEL);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_EQ(innerTarget.log, (std::vector<std::string>{"enter", "leave"}));
    innerTarget.log.clear();
    ui::SetDragDriver([&](ui::TDragLoop& loop) { loop.Step({inner->ClientToScreen(TPoint(5, 5)), MK_LBUTTON}); });
    EXPECT_EQ(ui::DoDragDrop(&source, &source, DROPEFFECT_MOVE, effect), DRAGDROP_S_CANCEL);
    EXPECT_EQ(innerTarget.log, (std::vector<std::string>{"enter", "leave"}));
    ui::SetDragDriver(nullptr);

    EXPECT_EQ(ui::RevokeDragDrop(inner->Handle()), S_OK);
    EXPECT_EQ(ui::RevokeDragDrop(inner->Handle()), DRAGDROP_E_NOTREGISTERED);
    EXPECT_EQ(innerTarget.refs, 0);
    // A window that goes away is forgotten with its registration.
    delete outer;
    EXPECT_EQ(outerTarget.refs, 1);
    EXPECT_EQ(ui::DropWindowAt(TPoint(60, 60)), nullptr);
    EXPECT_EQ(outerTarget.refs, 0);
}

} // namespace
