// The desktop's side of the shell calls: starting programs, the user's
// folders, the trash and the progress window of file operations.

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QProgressDialog>
#include <QStandardPaths>

#include "platform/ui/Backend.h"
#include "platform/ui/EventLoop.h"

namespace ui::backend {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

} // namespace

bool StartProgram(const std::vector<std::string>& arguments, const std::string& workingDir)
{
    QStringList args;
    for (size_t i = 1; i < arguments.size(); ++i)
        args << Q(arguments[i]);
    return QProcess::startDetached(Q(arguments[0]), args, Q(workingDir));
}

std::string UserFolder(TUserFolder folder)
{
    QStandardPaths::StandardLocation where = QStandardPaths::HomeLocation;
    switch (folder) {
    case TUserFolder::Desktop: where = QStandardPaths::DesktopLocation; break;
    case TUserFolder::Applications: where = QStandardPaths::ApplicationsLocation; break;
    case TUserFolder::Config: where = QStandardPaths::GenericConfigLocation; break;
    case TUserFolder::Documents: where = QStandardPaths::DocumentsLocation; break;
    case TUserFolder::Music: where = QStandardPaths::MusicLocation; break;
    case TUserFolder::Movies: where = QStandardPaths::MoviesLocation; break;
    case TUserFolder::Pictures: where = QStandardPaths::PicturesLocation; break;
    case TUserFolder::Data: where = QStandardPaths::GenericDataLocation; break;
    case TUserFolder::Home: where = QStandardPaths::HomeLocation; break;
    }
    return QStandardPaths::writableLocation(where).toStdString();
}

bool MoveToTrash(const std::string& path, std::string& trashedAs)
{
    QString inTrash;
    if (!QFile::moveToTrash(Q(path), &inTrash))
        return false;
    trashedAs = inTrash.toStdString();
    return true;
}

struct TProgressWindow::Native {
    QProgressDialog Dialog;
    explicit Native(const std::string& title) : Dialog(Q(title), "Abbrechen", 0, 1000) { }
};

TProgressWindow::TProgressWindow(const std::string& title)
{
    EnsurePlatform();
    native_ = std::make_unique<Native>(title);
    native_->Dialog.setWindowTitle(Q(title.empty() ? std::string("Dateivorgang") : title));
    native_->Dialog.setMinimumDuration(500);
}

TProgressWindow::~TProgressWindow() = default;

bool TProgressWindow::Show(const std::string& current, int permille)
{
    native_->Dialog.setLabelText(Q(current));
    native_->Dialog.setValue(permille);
    QApplication::processEvents();
    return !native_->Dialog.wasCanceled();
}

} // namespace ui::backend
