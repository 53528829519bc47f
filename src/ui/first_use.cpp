#include "ui/first_use.h"

#include <QCoreApplication>
#include <system_error>

#include "core/program_folder.h"
#include "ui/qt_program.h"

namespace mz {

namespace fs = std::filesystem;

std::vector<fs::path> DemoSources() {
  const fs::path programDir = QCoreApplication::applicationDirPath().toStdString();
  std::vector<fs::path> sources{programDir / MZ_DATA_FROM_BIN};
#if defined(MZ_BUILD_DIR) && defined(MZ_SOURCE_DIR)
  std::error_code ec;
  if (fs::equivalent(programDir, MZ_BUILD_DIR, ec)) {
    sources.emplace_back(fs::path(MZ_SOURCE_DIR) / "examples");
  }
#endif
  return sources;
}

fs::path PreparedProgramFolder() {
  fs::path folder = DefaultProgramFolder();
  PrepareProgramFolder(folder, DemoSources());
  return folder;
}

}  // namespace mz
