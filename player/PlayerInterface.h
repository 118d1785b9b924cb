#pragma once

// The player package's entry: registered as "TMainPlayer" while the package is
// loaded. Each start operation creates the playback window, snapshots the
// shared settings, plays modally, and restores and frees everything again,
// also when an exception passes. A show that does not load (a show file, or
// the show chosen from a list) is reported to the user once, here, and the
// operation returns false.

#include "core/PlayerPackageInterface.h"

class TMainPlayer : public TPlayerPackageInterface {
    DECLARE_CLASS(TMainPlayer, TPlayerPackageInterface)
public:
    bool VisteloStartFilename(const std::string& FileName, std::int32_t StartPos) override;
    // Writes back only ReferenceWidth/Height of Show where they are -1.
    void VisteloStart(TVistelo& Show, std::int32_t StartPos) override;
    // Leaves LastIndex as it is.
    bool VisteloListStartFilename(const std::string& FileName, std::int32_t StartIndex,
                                  std::int32_t& LastIndex) override;
    // LastIndex returns the line of the show played last.
    bool VisteloListStart(TVisteloList& List, std::int32_t StartIndex, std::int32_t& LastIndex) override;
};
