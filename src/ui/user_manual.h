#pragma once
// The user manual shipped with the program: one HTML page with its pictures,
// opened in the desktop's browser by Help > Contents (at its top) and Help >
// Topic Search (at its index).
#include <QString>
#include <QUrl>
#include <filesystem>
#include <functional>
#include <vector>

namespace mz {

// The manual's page in its folder.
inline constexpr const char* kManualPage = "manual.html";
// The anchor of the manual's index.
inline constexpr const char* kManualIndexAnchor = "index";

// The folders where the manual is looked for, in this order: the installed
// documentation folder, found from the program's own folder
// (<prefix>/bin/../share/doc/mz4800); then, only when the program runs from
// its build folder (or one below it, as the tests do), the source tree's
// docs/manual. Needs the QApplication.
std::vector<std::filesystem::path> ManualFolders();

// The manual's page in the first folder that holds it; empty when none does.
std::filesystem::path FindManual(const std::vector<std::filesystem::path>& folders);

// The file URL of the page, at anchor when one is given.
QUrl ManualUrl(const std::filesystem::path& page, const QString& anchor = {});

// The message shown when no folder holds the manual: it names each folder.
QString ManualMissingText(const std::vector<std::filesystem::path>& folders);

// Opens a URL for the operator; true when it could. The program's is the
// desktop's (QDesktopServices::openUrl); a test puts its own in its place.
using UrlOpener = std::function<bool(const QUrl&)>;
UrlOpener DesktopUrlOpener();

}  // namespace mz
