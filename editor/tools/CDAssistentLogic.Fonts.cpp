// The fonts the comments of a show use, as the assistant lists them, and
// copying their files into the CD folder.

#include "editor/tools/CDAssistentLogic.h"

#include "core/FontTools.h"
#include "core/PictureLoading.h"
#include "core/VisteloList.h"
#include "editor/app/PicInfoUnit.h"
#include "platform/graphics/Font.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/StringList.h"

namespace CDAssistentLogic {

namespace {

bool FontListed(const TStringList& fonts, const std::string& name)
{
    for (int i = 0; i < fonts.Count(); ++i)
        if (fonts.Strings(i).substr(1) == name)
            return true;
    return false;
}

bool Ticked(const std::string& entry) { return !entry.empty() && entry.front() == '1'; }

} // namespace

bool IsStandardFont(const std::string& Name)
{
    for (const char* standard : {"Arial", "Courier", "Courier New", "Times New Roman"})
        if (Name == standard)
            return true;
    return false;
}

void CollectUsedFonts(std::unique_ptr<TStringList>& UsedFonts, bool Rebuild, bool Clear)
{
    if (UsedFonts && !Rebuild)
        return; // the choices made so far stay
    if (!UsedFonts) {
        UsedFonts = std::make_unique<TStringList>();
        UsedFonts->OwnsObjects = true;
    } else if (Clear) {
        UsedFonts->Clear();
    }
    const int count = PicInfoUnit::PicCount();
    for (int i = 0; i < count; ++i) {
        const TPicInfoObject* picture = PicInfoUnit::GetPicInfoObject(i);
        if (!picture || picture->Comments.empty() || !picture->CommentFont)
            continue;
        const std::string name = picture->CommentFont->Name();
        if (FontListed(*UsedFonts, name))
            continue;
        auto files = std::make_unique<TStringList>();
        for (const std::string& file : FontTools::GetFontFilename(*picture->CommentFont))
            files->Add("1" + file);
        UsedFonts->AddObject((IsStandardFont(name) ? "0" : "1") + name, files.release());
    }
}

void CollectListFonts(std::unique_ptr<TStringList>& UsedFonts, const TVisteloList& List)
{
    for (TListItem* node = List.Items->Head; node; node = node->NextItem) {
        const auto* item = dynamic_cast<const TVisteloListItem*>(node);
        if (!item)
            continue;
        TConfigVistelo show;
        const std::string showFile = PictureLoading::RelFileName(item->ShowFile, List.FileName);
        if (showFile.empty() || show.LoadFromFile(showFile, false, false) != dlrOK)
            continue;
        const TPicInfoAccessMethod method = PicInfoUnit::PicInfoAccessMethod;
        TVistelo* accessed = PicInfoUnit::AccessVistelo;
        PicInfoUnit::PicInfoAccessMethod = paVistelo;
        PicInfoUnit::AccessVistelo = &show;
        CollectUsedFonts(UsedFonts, true, false);
        PicInfoUnit::PicInfoAccessMethod = method;
        PicInfoUnit::AccessVistelo = accessed;
    }
}

std::unique_ptr<TStringList> CopyFontList(const TStringList& Fonts, bool Strip)
{
    auto copy = std::make_unique<TStringList>();
    copy->OwnsObjects = true;
    for (int i = 0; i < Fonts.Count(); ++i) {
        std::unique_ptr<TStringList> files;
        if (const auto* sourceFiles = dynamic_cast<const TStringList*>(Fonts.Objects(i))) {
            files = std::make_unique<TStringList>();
            for (int f = 0; f < sourceFiles->Count(); ++f) {
                const std::string entry = sourceFiles->Strings(f);
                files->Add(Strip && !entry.empty() ? entry.substr(0, 1) + rtl::ExtractFileName(entry.substr(1))
                                                   : entry);
            }
        }
        copy->AddObject(Fonts.Strings(i), files.release());
    }
    return copy;
}

bool TCDFolderMaker::CopyUsedFonts(TVistelo* Target)
{
    // The lists keep the files' full paths, so they are copied from where the
    // system has them; the show on the CD names them without a folder.
    auto cdFonts = CopyFontList(*Fonts, true);
    bool failed = false;
    for (int i = 0; i < Fonts->Count() && !failed; ++i) {
        const auto* files = dynamic_cast<const TStringList*>(Fonts->Objects(i));
        if (!Ticked(Fonts->Strings(i)) || !files)
            continue;
        for (int f = 0; f < files->Count() && !failed; ++f) {
            const std::string entry = files->Strings(f);
            if (!Ticked(entry))
                continue;
            const std::string name = copier_.Copy(entry.substr(1));
            if (name.empty())
                failed = true;
            else
                dynamic_cast<TStringList*>(cdFonts->Objects(i))->SetStrings(f, "1" + name);
        }
    }
    if (Target)
        Target->StringLists = std::move(cdFonts);
    return !failed;
}

} // namespace CDAssistentLogic
