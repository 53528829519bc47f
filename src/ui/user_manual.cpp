#include "ui/user_manual.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <system_error>

namespace mz {

namespace fs = std::filesystem;

namespace {

// True when dir is root or lies below it.
bool IsWithin(const fs::path& dir, const fs::path& root) {
  std::error_code ec;
  const fs::path d = fs::weakly_canonical(dir, ec);
  if (ec) return false;
  const fs::path r = fs::weakly_canonical(root, ec);
  if (ec) return false;
  const fs::path rel = d.lexically_relative(r);
  return !rel.empty() && *rel.begin() != "..";
}

}  // namespace

std::vector<fs::path> ManualFolders() {
  const fs::path programDir = QCoreApplication::applicationDirPath().toStdString();
  std::vector<fs::path> folders{(programDir / MZ_MANUAL_FROM_BIN).lexically_normal()};
#if defined(MZ_BUILD_DIR) && defined(MZ_SOURCE_DIR)
  if (IsWithin(programDir, MZ_BUILD_DIR)) {
    folders.push_back(fs::path(MZ_SOURCE_DIR) / "docs" / "manual");
  }
#endif
  return folders;
}

fs::path FindManual(const std::vector<fs::path>& folders) {
  for (const fs::path& folder : folders) {
    std::error_code ec;
    const fs::path page = folder / kManualPage;
    if (fs::is_regular_file(page, ec)) return fs::absolute(page, ec).lexically_normal();
  }
  return {};
}

QUrl ManualUrl(const fs::path& page, const QString& anchor) {
  QUrl url = QUrl::fromLocalFile(QString::fromStdString(page.string()));
  if (!anchor.isEmpty()) url.setFragment(anchor);
  return url;
}

QString ManualMissingText(const std::vector<fs::path>& folders) {
  QString text =
      QString("The user manual (%1) was not found. The program looked in:").arg(kManualPage);
  for (const fs::path& folder : folders) {
    text += "\n" + QString::fromStdString(folder.string());
  }
  return text;
}

UrlOpener DesktopUrlOpener() {
  return [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

}  // namespace mz
