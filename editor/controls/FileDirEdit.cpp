// The path edits' shared glyph, dialog events and file drops.

#include "editor/controls/FileDirEdit.h"

#include <memory>

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/StringList.h"
#include "widgets/DropTarget.h"

IMPLEMENT_CLASS(TFileDirEdit)

namespace FileDirEdit {

namespace {

// A yellow folder with a black outline on a see-through ground.
std::unique_ptr<TBitmap> MakeFolderGlyph()
{
    constexpr int width = 14;
    constexpr int height = 12;
    constexpr TColor ground = clOlive;
    auto glyph = std::make_unique<TBitmap>(width, height);
    TCanvas& c = glyph->Canvas();
    c.Brush.Color = ground;
    c.FillRect(Rect(0, 0, width, height));
    c.Brush.Color = clYellow;
    c.FillRect(Rect(1, 3, 13, 11));
    c.FillRect(Rect(2, 2, 6, 3)); // the tab
    c.Pen.Color = clBlack;
    c.Polyline({{1, 11}, {1, 3}, {2, 2}, {5, 2}, {6, 3}, {12, 3}, {12, 10}, {1, 10}});
    c.Pen.Color = clWhite;
    c.MoveTo(2, 4);
    c.LineTo(12, 4);
    glyph->SetTransparentColor(ground);
    return glyph;
}

} // namespace

const TBitmap& DefaultGlyph()
{
    static const std::unique_ptr<TBitmap> glyph = MakeFolderGlyph();
    return *glyph;
}

} // namespace FileDirEdit

TFileDirEdit::TFileDirEdit(TComponent* AOwner) : TCustomComboEdit(AOwner) { SetGlyphKind(gkDefault); }

TFileDirEdit::~TFileDirEdit()
{
    if (dropTarget_)
        dropTarget_->Unregister();
    delete dropTarget_;
}

void TFileDirEdit::SetAcceptFiles(bool Value)
{
    if (Value == acceptFiles_)
        return;
    acceptFiles_ = Value;
    if (!Value) {
        if (dropTarget_)
            dropTarget_->Unregister();
        return;
    }
    if (HandleAllocated())
        RegisterForDrops();
}

void TFileDirEdit::RegisterForDrops()
{
    if (!dropTarget_) {
        dropTarget_ = new TDropFileTarget(nullptr);
        dropTarget_->Dragtypes = {dtCopy};
        dropTarget_->OnDrop = [this](TObject*, TShiftState, TPoint, DWORD&) { DropFiles(dropTarget_->Files()); };
    }
    dropTarget_->Register(this);
}

void TFileDirEdit::CreateWnd()
{
    TCustomComboEdit::CreateWnd();
    if (acceptFiles_ && (ComponentState() & csDesigning) == 0)
        RegisterForDrops();
}

void TFileDirEdit::DestroyWnd()
{
    if (dropTarget_)
        dropTarget_->Unregister();
    TCustomComboEdit::DestroyWnd();
}

void TFileDirEdit::DropFiles(const TStrings& Names)
{
    if (Names.Count() == 0)
        return;
    ClearSelectedFiles();
    for (int i = 0; i < Names.Count(); ++i) {
        AcceptDroppedName(Names.Strings(i));
        if (!multipleDirs_)
            break;
    }
    if (OnDropFiles)
        OnDropFiles(this);
}

void TFileDirEdit::FireBeforeDialog(std::string& Name, bool& Action)
{
    if (OnBeforeDialog)
        OnBeforeDialog(this, Name, Action);
}

void TFileDirEdit::FireAfterDialog(std::string& Name, bool& Action)
{
    if (OnAfterDialog)
        OnAfterDialog(this, Name, Action);
}
