#pragma once
// The program folder (~/MZ4800) on first use: when it is missing it is
// created and given the demonstration configuration (port 0, simulation) and
// cell characteristic, so that a new installation starts ready to try.
#include <filesystem>
#include <vector>

namespace mz {

// The files of a demonstration folder.
inline constexpr const char* kDemoFiles[] = {"MZ4800.INI", "cell0010.csv"};

// Creates `folder` with the demonstration files of the first of `sources`
// that holds them all, when `folder` does not exist yet. An existing folder is
// never touched, whatever it holds. Returns true when it prepared the folder;
// false when the folder was there, no source is complete, or the folder
// cannot be made (the start-up then reports the missing configuration).
bool PrepareProgramFolder(const std::filesystem::path& folder,
                          const std::vector<std::filesystem::path>& sources);

}  // namespace mz
