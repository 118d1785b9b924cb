#pragma once

// The playback window: what the package entry (TMainPlayer) uses of it.
// The window itself (set-up, step loop, drawing, end of show, input) is still
// to come; until its source defines these members, nothing may call them.

#include "platform/ui/Forms.h"

#include <cstdint>
#include <string>

class TVistelo;
class TVisteloList;

class TShowForm : public TForm {
    DECLARE_CLASS(TShowForm, TForm)
public:
    explicit TShowForm(TComponent* AOwner);
    ~TShowForm() override;

    // Prepares the window for AShow; Running starts the step timer at once,
    // Reload keeps the run state and the show-list line.
    void InitVistelo(TVistelo* AShow, bool Running, bool Reload);
    // Shows the show's logo; FromObject asks for a user logo only.
    void VisteloLogo(TVistelo* AShow, const std::string& FileName, bool FromObject);
    // Fills the folder's show list (*.vsf below Folder).
    void ScanDirectory(const std::string& Folder);
    // Moves to picture Pos (-1: the first); Step shows it at once.
    void SetVisteloPos(std::int32_t Pos, bool Step);
    // Lets the user choose a show of AList; false when none was chosen.
    bool VisteloManager(TVistelo* AShow, TVisteloList* AList, std::int32_t StartIndex);

    std::int32_t ListIndex = 0; // the line of the show list played last
};

// The one playback window while a start operation runs.
extern TShowForm* ShowForm;
// The picture area's client size at the first picture; -1 until then.
extern std::int32_t OrigWidth;
extern std::int32_t OrigHeight;
