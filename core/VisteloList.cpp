#include "core/VisteloList.h"

#include "core/ContainerSave.h"
#include "core/ZOFileWinTypes.h"
#include "platform/ui/Dialogs.h"

#include <array>
#include <cstdio>

IMPLEMENT_CLASS(TVisteloListItem)
IMPLEMENT_CLASS(TVisteloList)

namespace {

constexpr const char* UntitledListName = "Ohne Namen.vsl";
// Reserved words at the end of the settings chunk: written 0, never read.
constexpr int ReservedConfigWords = 15;

std::string Quoted(const char* format, const std::string& fileName)
{
    const int size = std::snprintf(nullptr, 0, format, fileName.c_str());
    std::string text(static_cast<size_t>(size), '\0');
    std::snprintf(text.data(), text.size() + 1, format, fileName.c_str());
    return text;
}

} // namespace

void TVisteloListItem::Assign(const TListItem& Source)
{
    TListItem::Assign(Source);
    if (const auto* source = dynamic_cast<const TVisteloListItem*>(&Source)) {
        ShowFile = source->ShowFile;
        Active = source->Active;
    }
}

std::unique_ptr<TListItem> TVisteloListItem::Copy() const
{
    auto copy = std::make_unique<TVisteloListItem>();
    copy->Assign(*this);
    return copy;
}

TVisteloList::TVisteloList() : Items(std::make_unique<TList>()) { ClearConfig(); }

void TVisteloList::Clear()
{
    Items->ClearList();
    ClearConfig();
}

void TVisteloList::ClearConfig()
{
    Title.clear();
    FileName = UntitledListName;
    ThumbWidth = 75;
    ThumbHeight = 50;
    EndAction = deListChooseVistelo;
    StartAction = dlsShowList;
}

void TVisteloList::AssignConfig(const TVisteloList* Other)
{
    if (Other == nullptr || Other == this)
        return;
    Title = Other->Title;
    FileName = Other->FileName;
    ThumbWidth = Other->ThumbWidth;
    ThumbHeight = Other->ThumbHeight;
    EndAction = Other->EndAction;
    StartAction = Other->StartAction;
}

void TVisteloList::Assign(const TVisteloList* Other)
{
    if (Other == nullptr || Other == this)
        return;
    AssignConfig(Other);
    Items->Assign(*Other->Items);
}

void TVisteloList::SaveToFile(const std::string& FileName)
{
    try {
        ContainerSave::SaveContainer(FileName, {VisteloListFileVersion, VisteloListFileFormat, VisteloListFileVersion},
                                     [this](c_zofilewintypes& file) {
                                         WriteConfigChunk(file);
                                         WriteItemsChunk(file);
                                     });
    } catch (const std::exception&) {
        ui::ShowMessage(Quoted("Fehler beim Speichern der Datei \"%s\"", FileName));
    }
}

void TVisteloList::WriteConfigChunk(c_zofilewintypes& File) const
{
    ContainerSave::WriteChunk(File, VisteloListConfigChunk, [&] {
        File.write_string(Title);
        File.write_int(ThumbWidth);
        File.write_int(ThumbHeight);
        const std::array<std::uint8_t, 2> actions{EndAction, StartAction};
        File.write_data(actions.data(), 2);
        for (int i = 0; i < ReservedConfigWords; ++i)
            File.write_int(0);
    });
}

void TVisteloList::WriteItemsChunk(c_zofilewintypes& File) const
{
    ContainerSave::WriteChunk(File, VisteloListItemsChunk, [&] {
        File.write_int(Items->Count);
        for (TListItem* node = Items->Head; node != nullptr; node = node->NextItem) {
            const auto& item = static_cast<const TVisteloListItem&>(*node);
            File.write_string(item.ShowFile);
            File.write_bool(item.Active);
        }
    });
}

bool TVisteloList::LoadFromFile(const std::string& FileName)
{
    Clear();
    try {
        c_zofilewintypes file(FileName, zoRead);
        if (file.header.format != VisteloListFileFormat)
            throw EZOFileError(FileName, "Diese Datei ist keine Ostrelind Vistelo-Liste!!!");
        Clear();
        this->FileName = FileName;
        ReadChunks(file);
        return true;
    } catch (const EZOFileError&) {
        ui::ShowMessage(Quoted("Fehler beim Laden der Datei \"%s\".", FileName));
        return false;
    } catch (const std::exception&) {
        return false;
    }
}

void TVisteloList::ReadChunks(c_zofilewintypes& File)
{
    for (std::int32_t i = 0; i < File.chunkcount; ++i) {
        const std::int64_t start = File.get_file_position();
        s_chunk_header chunk;
        File.read_chunk_header(chunk);
        if (chunk.id == VisteloListConfigChunk)
            ReadConfigChunk(File);
        else if (chunk.id == VisteloListItemsChunk)
            ReadItemsChunk(File);
        File.set_file_position(start + chunk.length);
    }
}

void TVisteloList::ReadConfigChunk(c_zofilewintypes& File)
{
    Title = File.read_string();
    ThumbWidth = File.read_int();
    ThumbHeight = File.read_int();
    EndAction = VisteloNPics::ReadEnum(File, deOK, deListChooseVistelo);
    StartAction = VisteloNPics::ReadEnum(File, dlsPlayFirstVistelo, dlsShowList);
}

void TVisteloList::ReadItemsChunk(c_zofilewintypes& File)
{
    const std::int32_t count = File.read_int();
    for (std::int32_t i = 0; i < count; ++i) {
        auto item = std::make_unique<TVisteloListItem>();
        try {
            item->ShowFile = File.read_string();
            item->Active = File.read_bool();
        } catch (const EZOFileError&) {
            // A damaged entry ends the list: the entries before it stay.
            return;
        }
        Items->AddItem(std::move(item));
    }
}
