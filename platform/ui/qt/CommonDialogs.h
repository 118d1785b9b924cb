#pragma once

// The toolkit's windows of the common dialogs. For the backend only.

class QFileDialog;

namespace ui {

// Adds a preview beside the file list that shows the picture under the
// cursor (and makes the dialog the toolkit's own, which takes extra parts).
void AddPicturePreview(QFileDialog& dialog);

} // namespace ui
