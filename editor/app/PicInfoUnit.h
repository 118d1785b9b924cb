#pragma once

// The editor's show document: a show that can write itself as a show file.

#include "core/VisteloNPics.h"

#include <cstdint>
#include <string>

class c_zofilewintypes;

class TConfigVistelo : public TVistelo {
    DECLARE_CLASS(TConfigVistelo, TVistelo)
public:
    // Writes the whole show to FileName, replacing the file only once the new
    // one is complete: false (and the previous file untouched) when anything
    // failed. The show itself is not changed.
    bool SaveToFile(const std::string& FileName);

private:
    void WriteAboutChunk(c_zofilewintypes& File);
    void WriteConfigChunk(c_zofilewintypes& File);
    void WriteInfoChunk(c_zofilewintypes& File);
    void WritePictureListChunk(c_zofilewintypes& File);
    void WritePictureDetailsChunk(c_zofilewintypes& File);
    void WriteStringListsChunk(c_zofilewintypes& File);
    void WriteThumbnailChunks(c_zofilewintypes& File);
    void WriteThumbnailChunk(c_zofilewintypes& File, std::int32_t Index);
};
