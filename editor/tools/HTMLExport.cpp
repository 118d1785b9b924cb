#include "editor/tools/HTMLExport.h"

#include "core/PictureLoading.h"
#include "editor/app/VisteloSetup.h"
#include "editor/tools/ConvertAssistentLogic.h"
#include "editor/tools/HTMLLinks.h"
#include "editor/tools/HTMLTemplate.h"
#include "editor/tools/HTMLThumbnail.h"
#include "editor/tools/HTMLTools.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Files.h"
#include "platform/ui/Dialogs.h"

#include <cmath>

namespace HTMLExport {

namespace {

std::string Replace(std::string text, const std::string& value)
{
    const std::size_t at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, value);
    return text;
}

} // namespace

std::string PercentText(int Position, int Max)
{
    const double percent = Max <= 0 ? 0.0 : 100.0 * Position / Max;
    return rtl::FloatToStrF(percent, ffFixed, 15, 0, TFormatSettings()) + "%";
}

} // namespace HTMLExport

THTMLExport::THTMLExport(const TMyHTMLPreset& Preset, std::vector<THTMLExportItem> Items, std::string ShowFile,
                         std::string HomeDir)
    : preset_(Preset), items_(std::move(Items)), showFile_(std::move(ShowFile)), homeDir_(std::move(HomeDir))
{ }

bool THTMLExport::Run()
{
    firstPageName_.clear();
    thumbs_.clear();
    pageNames_.clear();
    reserved_.clear();
    pagesNamed_ = 0;
    return MakeFolders() && WriteIndexPage();
}

// The run's own folders; the preset keeps what the user set.
bool THTMLExport::MakeFolders()
{
    mainPath_ = HTMLLinks::ResolveMainDir(preset_.MainDir, homeDir_);
    if (!ForceFolder(mainPath_))
        return false;
    picFolder_.clear();
    pageFolder_.clear();
    picPath_ = pagePath_ = mainPath_;
    if (!preset_.UseSubDirs)
        return true;
    picFolder_ = HTMLLinks::SubFolder(preset_.PicDir);
    pageFolder_ = HTMLLinks::SubFolder(preset_.HTMLDir);
    if (!picFolder_.empty())
        picPath_ = mainPath_ + "/" + picFolder_;
    if (!pageFolder_.empty())
        pagePath_ = mainPath_ + "/" + pageFolder_;
    if (!ForceFolder(picPath_))
        return false;
    return !preset_.PicturePage || ForceFolder(pagePath_);
}

bool THTMLExport::ForceFolder(const std::string& Path)
{
    rtl::ForceDirectories(Path);
    if (rtl::DirectoryExists(Path))
        return true;
    ui::MessageDlg(HTMLExport::Replace(HTMLExport::FolderFailedText, Path), mtError, TMsgDlgButtons{mbOK}, 0);
    return false;
}

std::string THTMLExport::StartAddress() const
{
    if (preset_.TabIndex)
        return HTMLLinks::FileURI(mainPath_ + "/" + preset_.MainFilename);
    return HTMLLinks::FileURI(pagePath_ + "/" + firstPageName_);
}

// A link from the index page to a file in one of the sub-folders.
std::string THTMLExport::IndexLink(const std::string& SubFolder, const std::string& Name) const
{
    const std::string name = HTMLLinks::PercentEncode(Name);
    return SubFolder.empty() ? name : "./" + HTMLLinks::PercentEncode(SubFolder) + "/" + name;
}

// The same file seen from the page folder: one "../" for each of its levels.
std::string THTMLExport::FromPageFolder(const std::string& IndexLink) const
{
    if (pageFolder_.empty() || IndexLink.rfind("file:", 0) == 0)
        return IndexLink;
    std::string up = "../";
    for (char c : pageFolder_)
        if (c == '/')
            up += "../";
    return up + (IndexLink.rfind("./", 0) == 0 ? IndexLink.substr(2) : IndexLink);
}

std::string THTMLExport::PageLinkToIndex() const
{
    return FromPageFolder(HTMLLinks::PercentEncode(preset_.MainFilename));
}

bool THTMLExport::Taken(const std::string& Path) const
{
    return reserved_.count(rtl::AnsiLowerCase(Path)) != 0 || ConvertAssistentLogic::FileExistsIgnoringCase(Path);
}

std::string THTMLExport::MakeUniqueTargetName(const std::string& Path)
{
    std::string name = Path;
    while (Taken(name)) {
        const std::string extension = rtl::ExtractFileExt(name);
        name = name.substr(0, name.size() - extension.size()) + "_" + extension;
    }
    reserved_.insert(rtl::AnsiLowerCase(name));
    return name;
}

void THTMLExport::ShowWhole(int Position, int Max)
{
    if (Progress.Whole)
        Progress.Whole(Position, Max);
    if (Progress.Percent)
        Progress.Percent(HTMLExport::PercentText(Position, Max));
}

bool THTMLExport::CopyBackground()
{
    backgroundIndexLink_.clear();
    backgroundPageLink_.clear();
    if (preset_.BGPicture.empty())
        return true;
    const std::string name = rtl::ExtractFileName(preset_.BGPicture);
    const std::string target = picPath_ + "/" + name;
    backgroundIndexLink_ = IndexLink(picFolder_, name);
    backgroundPageLink_ = FromPageFolder(backgroundIndexLink_);
    if (VisteloSetup::CopyFileKeepDate(preset_.BGPicture, target, nullptr))
        return true;
    std::string question = HTMLExport::BackgroundFailedText;
    question = HTMLExport::Replace(HTMLExport::Replace(question, preset_.BGPicture), target);
    return ui::MessageDlg(question, mtError, TMsgDlgButtons{mbYes, mbNo}, 0) == mrYes;
}

void THTMLExport::WriteHead(THTML& Html) const
{
    Html.OpenBlockPlain("HEAD");
    Html.WriteMeta("author", HTMLExport::AuthorText);
    Html.WriteMeta("description", HTMLExport::DescriptionText);
    Html.CloseBlock();
}

void THTMLExport::WriteFooter(THTML& Html) const
{
    if (!AddCopyright)
        return;
    Html.OpenBlockAttr("FONT", "SIZE=-3");
    Html.WriteText(HTMLExport::FooterText);
    Html.SetSameLine();
    Html.WriteLink(HTMLExport::FooterAddress, HTMLExport::FooterLinkText);
    Html.CloseBlock();
}

const THTMLExport::TThumbResult& THTMLExport::ThumbnailStep(int Index)
{
    if (auto found = thumbs_.find(Index); found != thumbs_.end())
        return found->second;
    TThumbResult result;
    if (!preset_.ShowThumbNails || !preset_.TabIndex) {
        result.Worked = true;
        return thumbs_[Index] = result;
    }
    const THTMLExportItem& item = items_[static_cast<std::size_t>(Index)];
    if (Progress.FileName)
        Progress.FileName(item.FileName);
    const std::string target = MakeUniqueTargetName(picPath_ + "/" + "tpic" + std::to_string(Index + 1) + ".jpg");
    HTMLThumbnail::TThumbnailJob job;
    job.BackColor = item.BackgroundColor;
    job.PageBackground = preset_.BGColor;
    job.JPEGWord = preset_.ThumbJPEG;
    job.Shadow = preset_.ThumbShadow ? preset_.ThumbShadowWidth : 0;
    job.Width = preset_.ThumbKeepProportions ? -preset_.ThumbWidth : preset_.ThumbWidth;
    job.Height = preset_.ThumbKeepProportions ? -preset_.ThumbHeight : preset_.ThumbHeight;
    job.ShowFile = showFile_;
    result.Worked = HTMLThumbnail::MakeThumbnail(item.FileName, target, job, Progress.File);
    result.Link = IndexLink(picFolder_, rtl::ExtractFileName(target));
    return thumbs_[Index] = result;
}

int THTMLExport::NextWorkedPicture(int Index)
{
    for (int i = Index + 1; i < static_cast<int>(items_.size()); ++i)
        if (items_[static_cast<std::size_t>(i)].Checked && ThumbnailStep(i).Worked)
            return i;
    return -1;
}

// Pages are numbered in the order the pictures are worked, and only pictures
// whose thumbnail worked get one, so no link points to a page never written.
const std::string& THTMLExport::PageName(int Index)
{
    if (auto found = pageNames_.find(Index); found != pageNames_.end())
        return found->second;
    const std::string path = MakeUniqueTargetName(pagePath_ + "/p" + std::to_string(++pagesNamed_) + ".htm");
    return pageNames_[Index] = rtl::ExtractFileName(path);
}

std::string THTMLExport::PictureStep(const THTMLExportItem& Item)
{
    const std::string source = PictureLoading::RelFileName(Item.FileName, showFile_);
    const std::string ownName = rtl::ExtractFileName(Item.FileName);
    std::string extension = rtl::ExtractFileExt(ownName);
    const std::string base = rtl::AnsiLowerCase(ownName.substr(0, ownName.size() - extension.size()));
    extension = extension.empty() ? std::string() : extension.substr(1);
    const std::string upper = rtl::AnsiUpperCase(extension);
    // A plain text search: "TIF" is also found inside "TIFF;".
    const bool listed = !upper.empty() && preset_.ConvertExts.find(upper) != std::string::npos;
    const bool convert = listed || preset_.GenerateShadow;
    if (!convert && !preset_.ForInternet)
        return HTMLLinks::FileURI(source.empty() ? rtl::ExpandFileName(Item.FileName) : rtl::ExpandFileName(source));

    const std::string name = convert ? base + ".jpg"
                                     : base + (extension.empty() ? "" : "." + rtl::AnsiLowerCase(extension));
    const std::string target = MakeUniqueTargetName(picPath_ + "/" + name);
    if (Progress.File)
        Progress.File(0);
    if (convert) {
        HTMLThumbnail::TThumbnailJob job;
        job.BackColor = Item.BackgroundColor;
        job.PageBackground = preset_.BGColor;
        job.JPEGWord = preset_.PictureJPEG;
        job.Shadow = preset_.GenerateShadow ? preset_.ShadowWidth : 0;
        job.ShowFile = showFile_;
        HTMLThumbnail::MakeThumbnail(Item.FileName, target, job, Progress.File);
    } else if (!source.empty()) {
        VisteloSetup::CopyFileKeepDate(source, target, nullptr);
    }
    if (Progress.File)
        Progress.File(100);
    return IndexLink(picFolder_, rtl::ExtractFileName(target));
}

void THTMLExport::WriteIndexCell(THTML& Html, const THTMLExportItem& Item, const std::string& ThumbLink,
                                 const std::string& PictureLink, const std::string& PageName)
{
    const int width = static_cast<int>(std::nearbyint(100.0 / preset_.TabCols));
    Html.OpenBlockAttr("TD", "WIDTH=\"" + std::to_string(width) + "%\"");
    Html.OpenBlockPlain("CENTER");
    Html.OpenBlockAttr("A", "HREF=\"" + (preset_.PicturePage ? IndexLink(pageFolder_, PageName) : PictureLink) + "\"");
    if (preset_.ShowThumbNails) {
        Html.WriteTagWithAttributes("IMG", "SRC=\"" + ThumbLink + "\" BORDER=\"0\"");
        Html.SetSameLine();
        Html.WriteBR();
    }
    if (preset_.ShowPicNames) {
        // The name the picture's link leads to; its characters are text, not markup.
        const bool markup = Html.ReplaceMarkup;
        Html.ReplaceMarkup = true;
        Html.WriteText(HTMLLinks::PercentDecode(PictureLink.substr(PictureLink.rfind('/') + 1)));
        Html.ReplaceMarkup = markup;
        Html.WriteBR();
    }
    Html.CloseBlock();
    Html.CloseBlock();
    if (preset_.ShowDescription && !Item.Comments.empty()) {
        const bool markup = Html.ReplaceMarkup;
        Html.ReplaceMarkup = ConvertDescriptionsTags;
        Html.WriteText(Item.Comments);
        Html.ReplaceMarkup = markup;
        Html.WriteBR();
    }
    Html.CloseBlock();
}

bool THTMLExport::WriteIndexPage()
{
    if (!CopyBackground())
        return false;
    std::unique_ptr<THTML> index;
    if (preset_.TabIndex) {
        index = std::make_unique<THTML>(mainPath_ + "/" + preset_.MainFilename);
        index->ReplaceMarkup = false;
        WriteHead(*index);
        index->OpenBody(backgroundIndexLink_, preset_.BGColor, preset_.TextColor, preset_.LinkColor, preset_.ALinkColor,
                        preset_.VLinkColor);
        index->OpenBlockPlain("H1");
        index->WriteText(preset_.TabHeadLine);
        index->CloseBlock();
        if (!preset_.TabUserText1.empty()) {
            if (preset_.TabDivider)
                index->WriteTag("HR");
            index->WriteTextLine(preset_.TabUserText1);
        }
        if (preset_.TabDivider)
            index->WriteTag("HR");
        index->OpenBlockAttr("TABLE", "WIDTH=\"100%\" BORDER=" + std::to_string(preset_.TabBorderWidth));
    }

    if (Progress.FileName)
        Progress.FileName("");
    int ticked = 0;
    for (const THTMLExportItem& item : items_)
        ticked += item.Checked ? 1 : 0;
    ShowWhole(0, ticked);

    int worked = 0;
    std::string previous;
    const int count = static_cast<int>(items_.size());
    for (int i = 0; i < count;) {
        if (index)
            index->OpenBlockPlain("TR");
        for (int cells = 0; cells < preset_.TabCols && i < count; ++i) {
            ShowWhole(worked, ticked);
            const THTMLExportItem& item = items_[static_cast<std::size_t>(i)];
            if (!item.Checked)
                continue;
            const TThumbResult thumb = ThumbnailStep(i);
            if (!thumb.Worked)
                continue;
            if (Progress.FileName)
                Progress.FileName(item.FileName);
            const std::string pictureLink = PictureStep(item);
            std::string current, next;
            if (preset_.PicturePage) {
                current = PageName(i);
                const int following = NextWorkedPicture(i);
                next = following < 0 ? std::string() : PageName(following);
            }
            if (index)
                WriteIndexCell(*index, item, thumb.Link, pictureLink, current);
            ++cells;
            ++worked;
            if (preset_.PicturePage) {
                WritePicturePage(item, pictureLink, previous, current, next);
                previous = current;
            }
        }
        if (index)
            index->CloseBlock();
    }

    if (index) {
        index->CloseBlock(); // TABLE
        if (!preset_.TabUserText2.empty()) {
            if (preset_.TabDivider)
                index->WriteTag("HR");
            index->WriteTextLine(preset_.TabUserText2);
        }
        index->WriteTag(preset_.TabDivider ? "HR" : "BR");
        WriteFooter(*index);
        index->Close();
    }
    if (Progress.Whole)
        Progress.Whole(0, ticked);
    if (Progress.File)
        Progress.File(0);
    if (Progress.FileName)
        Progress.FileName("");
    if (Progress.Percent)
        Progress.Percent(HTMLExport::PercentText(0, ticked));
    return true;
}

void THTMLExport::WritePicturePage(const THTMLExportItem& Item, const std::string& PictureLink,
                                   const std::string& Previous, const std::string& Current, const std::string& Next)
{
    if (firstPageName_.empty())
        firstPageName_ = Current;
    THTML page(pagePath_ + "/" + Current);
    page.ReplaceMarkup = false;
    WriteHead(page);
    page.OpenBody(backgroundPageLink_, preset_.BGColor, preset_.TextColor, preset_.LinkColor, preset_.ALinkColor,
                  preset_.VLinkColor);
    page.OpenBlockPlain("H1");
    page.WriteText(preset_.PicHeadLine);
    page.CloseBlock();
    if (!preset_.PicUserText1.empty()) {
        if (preset_.PicDivider)
            page.WriteTag("HR");
        page.WriteTextLine(preset_.PicUserText1);
    }
    if (preset_.PicDivider)
        page.WriteTag("HR");

    page.OpenBlockPlain("CENTER");
    if (preset_.PicShowBorder) {
        page.OpenBlockAttr("TABLE", "BORDER=\"" + std::to_string(preset_.PicBorderWidth) + "\"");
        page.OpenBlockPlain("TR");
        page.BeginInline();
        page.OpenBlockPlain("TD");
    }
    page.WriteTagWithAttributes("IMG", "SRC=\"" + FromPageFolder(PictureLink) + "\"");
    if (preset_.PicShowBorder) {
        page.CloseBlock();
        page.CloseBlock();
        page.EndInline();
        page.CloseBlock();
    }
    page.CloseBlock();

    if (preset_.PicShowDescription && !Item.Comments.empty()) {
        page.ReplaceMarkup = ConvertDescriptionsTags;
        page.WriteText(Item.Comments);
        page.ReplaceMarkup = false;
        page.WriteBR();
    }
    if (!preset_.PicUserText2.empty()) {
        if (preset_.PicDivider)
            page.WriteTag("HR");
        page.WriteTextLine(preset_.PicUserText2);
    }
    if (preset_.CreateNavigation) {
        page.WriteTag(preset_.PicDivider ? "HR" : "BR");
        if (preset_.NavCenter)
            page.OpenBlockPlain("CENTER");
        page.BeginInline();
        // Templates from a preset were checked when it was read; a template
        // set in code that is not valid is still never used as a format.
        const auto link = [&](const std::string& Template, const char* Default, const std::string& Target) {
            page.WriteText(HTMLTemplate::FillTemplate(HTMLTemplate::IsValidTemplate(Template) ? Template : Default,
                                                      HTMLLinks::PercentEncode(Target)));
        };
        if (!Previous.empty())
            link(preset_.NavPrevLink, HTMLPreset::DefaultNavPrevLink, Previous);
        if (!Next.empty())
            link(preset_.NavNextLink, HTMLPreset::DefaultNavNextLink, Next);
        if (preset_.TabIndex) {
            page.WriteText(HTMLTemplate::FillTemplate(HTMLTemplate::IsValidTemplate(preset_.NavBackLink)
                                                          ? preset_.NavBackLink
                                                          : HTMLPreset::DefaultNavBackLink,
                                                      PageLinkToIndex()));
        }
        page.EndInline();
        if (preset_.NavCenter)
            page.CloseBlock();
    }
    if (preset_.PicDivider) {
        page.WriteTag("HR");
    } else {
        page.WriteBR();
        page.SetSameLine();
        page.WriteBR();
    }
    WriteFooter(page);
    page.Close();
}
