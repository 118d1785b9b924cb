#pragma once

// A show list: an ordered set of show files that are played one after
// another or chosen from a list, with a title, the chooser's thumbnail size
// and the actions for its start and its end. It is stored as a show-list
// file (".vsl"), a container of format 1282.

#include "core/ListUnit.h"
#include "core/VisteloNPics.h"

#include <cstdint>
#include <memory>
#include <string>

// Container format, layout version and header value of show-list files.
constexpr std::int32_t VisteloListFileFormat = 1282;
constexpr std::int32_t VisteloListFileVersion = 256;
// Chunk ids of show-list files.
constexpr std::int32_t VisteloListConfigChunk = 256;
constexpr std::int32_t VisteloListItemsChunk = 257;

// One entry: a show file (may be relative to the list file) and whether it
// is played.
class TVisteloListItem : public TListItem {
    DECLARE_CLASS(TVisteloListItem, TListItem)
public:
    void Assign(const TListItem& Source) override;
    std::unique_ptr<TListItem> Copy() const override;

    std::string ShowFile;
    bool Active = true;
};

class TVisteloList : public TObject {
    DECLARE_CLASS(TVisteloList, TObject)
public:
    TVisteloList();
    TVisteloList(const TVisteloList&) = delete;
    TVisteloList& operator=(const TVisteloList&) = delete;

    // Frees all entries, then ClearConfig.
    void Clear();
    void ClearConfig();
    // Copies the settings (not the entries); nullptr does nothing.
    void AssignConfig(const TVisteloList* Other);
    // Copies the settings and replaces the entries by copies of Other's.
    void Assign(const TVisteloList* Other);

    // Writes the list; a failure is reported in a message box and leaves a
    // file that was there before untouched.
    void SaveToFile(const std::string& FileName);
    // Reads a list; false (after a message box for a damaged or foreign
    // file) when it could not be read completely.
    bool LoadFromFile(const std::string& FileName);

    std::unique_ptr<TList> Items; // of TVisteloListItem, in play order
    std::string Title;
    std::string FileName;
    TWhatToDoWhenVisteloEnds EndAction = deListChooseVistelo;
    TWhatToDoWhenVisteloListStarts StartAction = dlsShowList;
    std::int32_t ThumbWidth = 75;
    std::int32_t ThumbHeight = 50;

private:
    void WriteConfigChunk(c_zofilewintypes& File) const;
    void WriteItemsChunk(c_zofilewintypes& File) const;
    void ReadChunks(c_zofilewintypes& File);
    void ReadConfigChunk(c_zofilewintypes& File);
    void ReadItemsChunk(c_zofilewintypes& File);
};
