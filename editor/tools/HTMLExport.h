#pragma once

// The HTML export: the ticked pictures become an index page with a table of
// thumbnails, one page per picture with navigation links, the pictures
// themselves (copied, or converted to JPEG with an optional shadow) and the
// thumbnails, all under one main folder. Every setting comes from the
// assistant's preset; the run never overwrites a file of an earlier run
// except the index page, and never changes the preset.

#include "editor/tools/HTMLPreset.h"

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

class THTML;

namespace HTMLExport {

inline constexpr const char* FolderFailedText =
    "Verzeichnis \"%s\" konnt nicht erstellt werden. Die Erstellung der Webseite(n) wird abgebrochen.";
inline constexpr const char* BackgroundFailedText =
    "Die Datei %s konnte nicht nach %s kopiert werden!!!\r\rEs handelt sich hierbei nur im das Hintergrundbild. "
    "Soll mit der Webseitenerstellung fortgefahren werden?";
inline constexpr const char* AuthorText = "Ostrelind Vistelo 3.5";
inline constexpr const char* DescriptionText =
    "Bildergalerie, erstellt mit Vistelo von Ostrelind - https://vistelo.example/";
inline constexpr const char* FooterText = "Diese Seite wurde mit Vistelo erstellt: ";
inline constexpr const char* FooterAddress = "https://vistelo.example/";
inline constexpr const char* FooterLinkText = "Vistelo im Internet";

// "%.0f%%" of Position / Max in the assistants' German number format; "0%"
// while there is nothing to count.
std::string PercentText(int Position, int Max);

} // namespace HTMLExport

// One picture of the editor's list as the export sees it.
struct THTMLExportItem {
    std::string FileName; // as stored in the show
    bool Checked = true;
    std::string Comments;
    TColor BackgroundColor = clBlack;
};

// What the assistant shows while the export runs.
struct THTMLExportProgress {
    std::function<void(int Position, int Max)> Whole;
    std::function<void(int Percent)> File;
    std::function<void(const std::string& FileName)> FileName; // "" clears
    std::function<void(const std::string& Text)> Percent;
};

class THTMLExport {
public:
    THTMLExport(const TMyHTMLPreset& Preset, std::vector<THTMLExportItem> Items, std::string ShowFile,
                std::string HomeDir);

    // The editor's settings: comments written with markup characters
    // replaced, and the footer line on every page.
    bool ConvertDescriptionsTags = true;
    bool AddCopyright = false;
    THTMLExportProgress Progress;

    // Makes the folders (a folder that cannot be made is reported and stops
    // the run), then writes everything. False when the run stopped before
    // pages were written. Writer and file errors pass up.
    bool Run();

    // The folders of this run.
    const std::string& MainPath() const { return mainPath_; }
    const std::string& PicturePath() const { return picPath_; }
    const std::string& PagePath() const { return pagePath_; }
    // The file name of the first picture page written, without folder.
    const std::string& FirstPageName() const { return firstPageName_; }
    // The address the browser opens: the index page, or without one the
    // first picture page.
    std::string StartAddress() const;

private:
    struct TThumbResult {
        bool Worked = false;
        std::string Link; // from the index page; "" without thumbnails
    };

    bool MakeFolders();
    bool ForceFolder(const std::string& Path);
    bool WriteIndexPage();
    bool CopyBackground();
    void WriteHead(THTML& Html) const;
    void WriteFooter(THTML& Html) const;
    void WriteIndexCell(THTML& Html, const THTMLExportItem& Item, const std::string& ThumbLink,
                        const std::string& PictureLink, const std::string& PageName);
    void WritePicturePage(const THTMLExportItem& Item, const std::string& PictureLink, const std::string& Previous,
                          const std::string& Current, const std::string& Next);

    const TThumbResult& ThumbnailStep(int Index);
    // The next ticked picture after Index whose thumbnail works, -1 for none.
    int NextWorkedPicture(int Index);
    // The page of a worked picture, named when first asked for.
    const std::string& PageName(int Index);
    std::string PictureStep(const THTMLExportItem& Item);
    // Path with "_" before its extension while a file of that name exists
    // (letter case ignored) or this run already chose it.
    std::string MakeUniqueTargetName(const std::string& Path);
    bool Taken(const std::string& Path) const;
    std::string IndexLink(const std::string& SubFolder, const std::string& Name) const;
    std::string FromPageFolder(const std::string& IndexLink) const;
    std::string PageLinkToIndex() const;
    void ShowWhole(int Position, int Max);

    const TMyHTMLPreset& preset_;
    std::vector<THTMLExportItem> items_;
    std::string showFile_;
    std::string homeDir_;
    std::string mainPath_, picPath_, pagePath_;
    std::string picFolder_, pageFolder_; // relative, "" without sub-folders
    std::string backgroundIndexLink_, backgroundPageLink_;
    std::string firstPageName_;
    std::map<int, TThumbResult> thumbs_;
    std::map<int, std::string> pageNames_;
    std::set<std::string> reserved_; // lower-case paths chosen in this run
    int pagesNamed_ = 0;
};
