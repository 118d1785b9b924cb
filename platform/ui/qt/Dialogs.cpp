// The toolkit's message and input boxes, and the alert sound.

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include "platform/ui/Backend.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EventLoop.h"

namespace ui::backend {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QMessageBox::Icon ToolkitIcon(TMessageIcon icon)
{
    switch (icon) {
    case TMessageIcon::Critical: return QMessageBox::Critical;
    case TMessageIcon::Question: return QMessageBox::Question;
    case TMessageIcon::Warning: return QMessageBox::Warning;
    case TMessageIcon::Information: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

} // namespace

TDialogAnswer ShowMessageWindow(const TDialogRequest& r, TMessageIcon icon)
{
    EnsurePlatform();
    QMessageBox box(ToolkitIcon(icon), Q(r.Caption), Q(r.Text));
    std::vector<std::pair<QAbstractButton*, int>> buttons;
    for (const TDialogButton& b : r.Buttons) {
        QPushButton* button = box.addButton(Q(b.Caption), QMessageBox::ActionRole);
        buttons.emplace_back(button, b.Result);
        if (b.Result == r.DefaultResult)
            box.setDefaultButton(button);
        if (b.Result == r.CancelResult)
            box.setEscapeButton(button);
    }
    box.exec();
    for (const auto& [button, result] : buttons)
        if (box.clickedButton() == button)
            return {result, {}};
    return {r.CancelResult, {}};
}

TDialogAnswer ShowInputWindow(const TDialogRequest& r)
{
    EnsurePlatform();
    QInputDialog dialog;
    dialog.setWindowTitle(Q(r.Caption));
    dialog.setLabelText(Q(r.Text));
    dialog.setTextValue(Q(r.Value));
    dialog.setOkButtonText("OK");
    dialog.setCancelButtonText("Abbrechen");
    if (dialog.exec() != QDialog::Accepted)
        return {mrCancel, r.Value};
    return {mrOk, dialog.textValue().toStdString()};
}

void Beep()
{
    EnsurePlatform();
    QApplication::beep();
}

} // namespace ui::backend
