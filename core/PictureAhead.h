#pragma once

// A slide's picture read and decoded on a worker thread while the playback
// window comes up: a large photo takes longer to decode than the window takes
// to appear, so the first slide waits for the longer of the two instead of
// their sum. The worker reads the picture file and what it is given, nothing
// the main thread changes meanwhile; drawing and stepping stay on the main
// thread.

#include "core/PictureLoading.h"

#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <string>

class TPicture;
class TVistelo;

class TPictureAhead {
public:
    // Starts loading the picture of the show's entry Index as a slide in a
    // picture area of AreaWidth x AreaHeight; nullptr when the entry shows
    // no picture, its file is not found or no thread can be had.
    static std::unique_ptr<TPictureAhead> StartForSlide(const TVistelo& Show, std::int32_t Index,
                                                        const std::string& ShowFile, int AreaWidth, int AreaHeight);
    // Waits for the worker.
    ~TPictureAhead();
    TPictureAhead(const TPictureAhead&) = delete;
    TPictureAhead& operator=(const TPictureAhead&) = delete;

    // Whether this is the picture of entry Index loaded from file Name.
    bool IsFor(std::int32_t Index, const std::string& Name) const;
    // Waits for the worker and hands its picture over, set up for drawing,
    // when it is the one asked for, it loaded, and a load with Options would
    // have decoded it alike; else Picture stays empty and the caller loads
    // the picture itself. Either way the load ahead is spent.
    void Take(std::int32_t Index, const std::string& Name, const TPictureLoadOptions& Options,
              std::unique_ptr<TPicture>& Picture);

private:
    struct TLoaded {
        std::unique_ptr<TPicture> Picture;
        TLoadError Error = leInvalidGraphic;
        std::optional<TDecodedPicture> Decoded;
    };

    TPictureAhead(std::int32_t Index, std::string Name);

    std::int32_t index_;
    std::string name_;
    std::future<TLoaded> loaded_; // waits for the worker when dropped
};

// The file a slide's picture loads from: its entry's file found beside the
// show or in the home folder, else the name the entry stores.
std::string SlidePictureFile(const TPicInfoObject& Entry, const std::string& ShowFile);
