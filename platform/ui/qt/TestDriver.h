#pragma once

// What the test driver's units share. For the backend only.

#include <QImage>
#include <QWidget>

#include "platform/ui/TestDriver.h"

namespace ui::test {

// The toolkit widget of a standard control (made with its window).
QWidget* NativeWidgetOf(TNativeControl* control);
TShownImage ShownImageOf(const QImage& image);
// Sends a synthetic event and lets nothing else happen meanwhile.
void Deliver(QWidget* target, QEvent& event);

} // namespace ui::test
