#pragma once

// The player package's entry: registered as "TMainPlayer" while the package is
// loaded. Each start operation creates the playback window, snapshots the
// shared settings, plays modally, and restores and frees everything again,
// also when an exception passes.

#include "core/PlayerPackageInterface.h"

class TMainPlayer : public TPlayerPackageInterface {
    DECLARE_CLASS(TMainPlayer, TPlayerPackageInterface)
public:
    void VisteloStartFilename(const std::string& FileName, std::int32_t StartPos) override;
    // Writes back only ReferenceWidth/Height of Show where they are -1.
    void VisteloStart(TVistelo& Show, std::int32_t StartPos) override;
    // Leaves LastIndex as it is.
    void VisteloListStartFilename(const std::string& FileName, std::int32_t StartIndex,
                                  std::int32_t& LastIndex) override;
    // LastIndex returns the line of the show played last.
    void VisteloListStart(TVisteloList& List, std::int32_t StartIndex, std::int32_t& LastIndex) override;
};
