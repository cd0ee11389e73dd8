#include "InstalledPaths.h"

#include <system_error>

namespace pavrin::app {

bool IsInstalledProgramFolder(const std::filesystem::path& programFolder) {
    const std::filesystem::path folder = programFolder.lexically_normal();
    // A trailing separator leaves an empty last element: look at the parent's name then.
    const std::filesystem::path named = folder.filename().empty() ? folder.parent_path() : folder;
    return named.filename() == "pavrin" && named.parent_path().filename() == "lib";
}

std::vector<std::filesystem::path> ManualFolders(const std::filesystem::path& programFolder) {
    const std::filesystem::path documentation =
        (programFolder / ".." / ".." / "share" / "doc" / "pavrin").lexically_normal();
    return {programFolder, documentation};
}

std::optional<std::filesystem::path> FindManual(const std::filesystem::path& programFolder,
                                                const std::filesystem::path& fileName) {
    if (fileName.empty())
        return std::nullopt;
    for (const std::filesystem::path& folder : ManualFolders(programFolder)) {
        std::error_code error;
        const std::filesystem::path candidate = folder / fileName;
        if (std::filesystem::is_regular_file(candidate, error))
            return candidate;
    }
    return std::nullopt;
}

} // namespace pavrin::app
