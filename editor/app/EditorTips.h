#pragma once

// The tips the editor's tip of the day shows.

class TStrings;

namespace EditorTips {

// Replaces the list's entries with the tips; a carriage return inside a tip
// starts a new line.
void FillTips(TStrings& List);

} // namespace EditorTips
