// Where the program's own files are found, in the build tree as in an installed copy. The build tree
// keeps everything in the program's folder; an installed copy keeps the program in a private folder
// (<prefix>/lib/pavrin) and the manuals in the documentation folder of the same prefix
// (<prefix>/share/doc/pavrin), so the rule works for any prefix.
#pragma once

#include <filesystem>
#include <optional>
#include <vector>

namespace pavrin::app {

// The folders in which a manual is looked for, first to last: the program's folder, then the
// documentation folder beside an installed program's folder.
std::vector<std::filesystem::path> ManualFolders(const std::filesystem::path& programFolder);

// The first of ManualFolders(programFolder) that holds the file `fileName`, as a path to that file;
// nothing when none holds it. A folder or other non-file of that name does not count.
std::optional<std::filesystem::path> FindManual(const std::filesystem::path& programFolder,
                                                const std::filesystem::path& fileName);

} // namespace pavrin::app
