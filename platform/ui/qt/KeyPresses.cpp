#include "platform/ui/qt/KeyPresses.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

#include <map>

namespace ui {
namespace {

// The window of the last press of each key still held.
std::map<int, QPointer<QWidget>>& Presses()
{
    static auto* presses = new std::map<int, QPointer<QWidget>>;
    return *presses;
}

class TKeyPressWatcher final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && watched->isWidgetType())
            Presses()[static_cast<QKeyEvent*>(event)->key()] = static_cast<QWidget*>(watched)->window();
        return false;
    }
};

} // namespace

void WatchKeyPresses()
{
    static bool watching = false;
    if (watching || !qApp)
        return;
    watching = true;
    qApp->installEventFilter(new TKeyPressWatcher(qApp));
}

bool ReleaseBelongsTo(const QWidget* window, int qtKey)
{
    auto& presses = Presses();
    auto it = presses.find(qtKey);
    if (it == presses.end())
        return true; // pressed before the program watched, or by a test that sends only the release
    const bool same = it->second.data() == window->window();
    presses.erase(it);
    return same;
}

} // namespace ui
