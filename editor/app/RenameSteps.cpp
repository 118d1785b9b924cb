#include "editor/app/RenameSteps.h"

#include <filesystem>
#include <system_error>

#include "platform/rtl/CodePage.h"
#include "platform/rtl/Files.h"

namespace RenameSteps {

namespace {

namespace fs = std::filesystem;

bool SameFile(const std::string& A, const std::string& B)
{
    std::error_code error;
    return fs::equivalent(A, B, error) && !error;
}

bool Exists(const std::string& Name)
{
    std::error_code error;
    return fs::exists(fs::symlink_status(Name, error)) && !error;
}

} // namespace

TResult Rename(const std::string& OldName, const std::string& Typed, const TAsker& Ask)
{
    std::string typed = Typed;
    const std::string oldExt = ExtractFileExt(OldName);
    const std::string typedExt = ExtractFileExt(ExtractFileName(typed));
    if (typedExt.empty()) {
        typed += oldExt;
    } else if (!rtl::AnsiSameText(typedExt, oldExt)) {
        switch (Ask(rqExtension, {})) {
        case raYes: break;
        case raNo: return {roClose, {}};
        case raCancel: return {roEditMore, {}};
        }
    }

    const std::string oldFolder = ExtractFilePath(OldName);
    const std::string typedFolder = ExtractFilePath(typed);
    if (!typedFolder.empty() && !rtl::AnsiSameText(typedFolder, oldFolder)) {
        switch (Ask(rqFolder, {})) {
        case raYes: break;
        case raNo: return {roClose, {}};
        case raCancel: return {roEditMore, {}};
        }
    }

    const std::string newName = oldFolder + ExtractFileName(typed);
    if (newName == OldName)
        return {roClose, {}};
    // Another spelling of the same file (a case-insensitive volume) cannot
    // be renamed onto itself.
    if (SameFile(newName, OldName))
        return {roEditMore, {}};

    if (Exists(newName)) {
        switch (Ask(rqOverwrite, newName)) {
        case raYes: break;
        case raNo: return {roClose, {}};
        case raCancel: return {roEditMore, {}};
        }
    }

    // The rename replaces an existing file in one step: when it fails, that
    // file is still there.
    std::error_code error;
    fs::rename(OldName, newName, error);
    if (error)
        return {roFailed, newName};
    return {roRenamed, newName};
}

std::string FailureMessage(const std::string& OldName, const std::string& NewName)
{
    return "Die Datei \"" + OldName + "\" konnte nicht nach \"" + NewName +
        "\" umbenannt werden!\r\rEvtl. ist die Datei schreibgeschützt, oder Sie haben nicht erlaubte Zeichen für "
        "den Dateinamen verwendet.\rDer Dateiname darf keines der folgenden Zeichen enthalten: \\ / : * ? \" < > |";
}

} // namespace RenameSteps
