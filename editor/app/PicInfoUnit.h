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
    bool SaveToFile(const std::string& FileName) const;

private:
    void WriteAboutChunk(c_zofilewintypes& File) const;
    void WriteConfigChunk(c_zofilewintypes& File) const;
    void WriteInfoChunk(c_zofilewintypes& File) const;
    void WritePictureListChunk(c_zofilewintypes& File) const;
    void WritePictureDetailsChunk(c_zofilewintypes& File) const;
    void WriteStringListsChunk(c_zofilewintypes& File) const;
    void WriteThumbnailChunks(c_zofilewintypes& File) const;
    void WriteThumbnailChunk(c_zofilewintypes& File, std::int32_t Index) const;
};
