// The show options dialog: the background music list and the info picture.

#include "editor/app/DiaOptionsDlg.h"

#include <algorithm>

#include "core/PictureLoading.h"
#include "editor/app/MarkListBox.h"
#include "editor/app/MusicListMoves.h"
#include "editor/app/ToolHooks.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Jpeg.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/StdLabel.h"

using MusicListMoves::TMusicList;

namespace {

TMusicList ListOf(TMarkListBox& List)
{
    TMusicList entries;
    for (int i = 0; i < List.Items().Count(); ++i)
        entries.push_back({List.Items().Strings(i), List.Selected(i)});
    return entries;
}

void ShowList(TMarkListBox& List, const TMusicList& Entries)
{
    List.Items().BeginUpdate();
    List.Items().Clear();
    for (const MusicListMoves::TMusicEntry& entry : Entries)
        List.Items().Add(entry.FileName);
    List.Items().EndUpdate();
    for (size_t i = 0; i < Entries.size(); ++i)
        List.SetSelected(static_cast<int>(i), Entries[i].Selected);
}

// Width x Height scaled to fit into the box, keeping the proportions.
TSize FittedSize(int Width, int Height, int BoxWidth, int BoxHeight)
{
    if (Width <= 0 || Height <= 0)
        return {0, 0};
    const double scale = std::min(static_cast<double>(BoxWidth) / Width, static_cast<double>(BoxHeight) / Height);
    return {std::max(1, static_cast<int>(Width * scale + 0.5)), std::max(1, static_cast<int>(Height * scale + 0.5))};
}

} // namespace

void TDiaOptionsDlg::AddMusicClick()
{
    if (!MusicOpenDialog->Execute())
        return;
    TStrings& files = MusicOpenDialog->Files();
    for (int i = 0; i < files.Count(); ++i)
        MusicFileNamesListBox->Items().Add(files.Strings(i));
    MusicFileNamesListBoxClick();
}

void TDiaOptionsDlg::DeleteMusicClick()
{
    TMusicList entries = ListOf(*MusicFileNamesListBox);
    MusicListMoves::DeleteSelected(entries);
    ShowList(*MusicFileNamesListBox, entries);
    MusicFileNamesListBoxClick();
}

void TDiaOptionsDlg::MusicUpClick()
{
    TMusicList entries = ListOf(*MusicFileNamesListBox);
    MusicListMoves::MoveSelectedUp(entries);
    ShowList(*MusicFileNamesListBox, entries);
}

void TDiaOptionsDlg::MusicDownClick()
{
    TMusicList entries = ListOf(*MusicFileNamesListBox);
    MusicListMoves::MoveSelectedDown(entries);
    ShowList(*MusicFileNamesListBox, entries);
}

void TDiaOptionsDlg::PreviewMusicClick()
{
    const int current = MusicFileNamesListBox->ItemIndex();
    if (current < 0 || !MusicFileNamesListBox->Selected(current)) {
        ui::ShowMessage(NoMusicSelectedMessage);
        return;
    }
    if (ToolHooks::PreviewMusic())
        ToolHooks::PreviewMusic()(MusicFileNamesListBox->Items().Strings(current));
}

void TDiaOptionsDlg::MusicFileNamesListBoxClick()
{
    const int current = MusicFileNamesListBox->ItemIndex();
    const bool shown = current >= 0 && current < MusicFileNamesListBox->Items().Count() &&
        MusicFileNamesListBox->Selected(current);
    MusicFilenameLabel->SetCaption(shown ? MusicFileNamesListBox->Items().Strings(current) : "nichts ausgewählt");
    MusicFilenameLabel->SetEnabled(MusicFileNamesListBox->Focused());
}

void TDiaOptionsDlg::MusicPopupMenuPopup()
{
    const bool any = MusicFileNamesListBox->SelCount() > 0;
    DeleteMusicItem->Enabled = any;
    MusicUpItem->Enabled = any;
    MusicDownItem->Enabled = any;
}

void TDiaOptionsDlg::MusicListMouseMove(int X, int Y)
{
    const int index = MusicFileNamesListBox->ItemAtPos({X, Y}, true);
    const std::string text = index >= 0 ? MusicFileNamesListBox->Items().Strings(index) : std::string();
    // The hint changes only with the entry's text, so it does not flicker
    // while the pointer moves over one entry.
    if (text == musicHintText_)
        return;
    musicHintText_ = text;
    MusicFileNamesListBox->Hint = text;
}

bool TDiaOptionsDlg::TakeInfoPicture(const std::string& FileName)
{
    TPicture picture;
    if (PictureLoading::LoadPicture(FileName, showFile_, picture) != leOK || !picture.Graphic())
        return false;
    TGraphic& graphic = *picture.Graphic();
    const TSize size = FittedSize(graphic.Width(), graphic.Height(), InfoPictureWidth, InfoPictureHeight);
    if (size.cx <= 0)
        return false;
    TBitmap bitmap(size.cx, size.cy, pf24bit);
    bitmap.Canvas().StretchDraw(Rect(0, 0, size.cx, size.cy), graphic);
    auto jpeg = std::make_unique<TJPEGImage>();
    jpeg->CompressionQuality = 100;
    jpeg->Assign(&bitmap);
    jpeg->JPEGNeeded();
    infoPicture_ = std::move(jpeg);
    ShowInfoPictureState();
    return true;
}

void TDiaOptionsDlg::ChooseInfoPictureClick()
{
    // A picture that cannot be loaded leaves the one there was, silently.
    if (InfoPictureOpenDialog->Execute())
        TakeInfoPicture(InfoPictureOpenDialog->FileName);
}

void TDiaOptionsDlg::DeleteInfoPictureClick()
{
    infoPicture_.reset();
    ShowInfoPictureState();
}

void TDiaOptionsDlg::ShowInfoPictureState()
{
    DiaInfoThumbnailLabel->SetVisible(!infoPicture_);
    DeleteInfoPictureBtn->SetEnabled(infoPicture_ != nullptr);
    DiaInfoThumbnailPaintBox->Invalidate();
}

void TDiaOptionsDlg::PaintInfoPicture()
{
    TCanvas* canvas = DiaInfoThumbnailPaintBox->Canvas();
    if (!infoPicture_ || !canvas)
        return;
    const int width = DiaInfoThumbnailPaintBox->Width();
    const int height = DiaInfoThumbnailPaintBox->Height();
    const TSize size = FittedSize(infoPicture_->Width(), infoPicture_->Height(), width, height);
    const int left = (width - size.cx) / 2;
    const int top = (height - size.cy) / 2;
    canvas->StretchDraw(Rect(left, top, left + size.cx, top + size.cy), *infoPicture_);
}
