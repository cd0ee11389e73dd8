// Where the program's own files are found, in the build tree as in an installed copy. The build tree
// keeps everything in the program's folder; an installed copy keeps the program in a private folder
// (<prefix>/lib/pavrin) and the manuals in the documentation folder of the same prefix
// (<prefix>/share/doc/pavrin), so the rule works for any prefix.
#pragma once

#include <filesystem>
#include <optional>
#include <vector>

namespace pavrin::app {

// Whether `programFolder` is the private folder of an installed copy (<prefix>/lib/pavrin), which the
// program must not write into even when it may (a run as root).
bool IsInstalledProgramFolder(const std::filesystem::path& programFolder);

// The folders in which a manual is looked for, first to last: the program's folder, then the
// documentation folder beside an installed program's folder.
std::vector<std::filesystem::path> ManualFolders(const std::filesystem::path& programFolder);

// The first of ManualFolders(programFolder) that holds the file `fileName`, as a path to that file;
// nothing when none holds it. A folder or other non-file of that name does not count.
std::optional<std::filesystem::path> FindManual(const std::filesystem::path& programFolder,
                                                const std::filesystem::path& fileName);

} // namespace pavrin::app
