#include "core/program_folder.h"

#include <system_error>

namespace mz {

namespace fs = std::filesystem;

namespace {
bool HoldsDemoFiles(const fs::path& source) {
  std::error_code ec;
  for (const char* name : kDemoFiles) {
    if (!fs::is_regular_file(source / name, ec)) return false;
  }
  return true;
}
}  // namespace

bool PrepareProgramFolder(const fs::path& folder, const std::vector<fs::path>& sources) {
  std::error_code ec;
  // A dangling link counts as there: it is the operator's, not ours to replace.
  if (fs::exists(fs::symlink_status(folder, ec))) return false;
  for (const fs::path& source : sources) {
    if (!HoldsDemoFiles(source)) continue;
    // Fill a sibling first and rename it into place, so that a folder that
    // appears is always complete.
    const fs::path partial = folder.parent_path() / (folder.filename().string() + ".new");
    fs::remove_all(partial, ec);
    if (!fs::create_directories(partial, ec)) return false;
    for (const char* name : kDemoFiles) {
      fs::copy_file(source / name, partial / name, ec);
      if (ec) break;
      fs::permissions(partial / name, fs::perms::owner_read | fs::perms::owner_write,
                      fs::perm_options::add, ec);
      if (ec) break;
    }
    if (!ec) fs::rename(partial, folder, ec);
    if (ec) {
      std::error_code ignored;
      fs::remove_all(partial, ignored);
      return false;
    }
    return true;
  }
  return false;
}

}  // namespace mz
