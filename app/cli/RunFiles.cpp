#include "RunFiles.h"

#include "Platform.h"

#include <fstream>
#include <stdexcept>

namespace pavrin::cli {

namespace {

constexpr const char* kNamesDat = "names.dat";

} // namespace

std::filesystem::path replaceExtension(const std::filesystem::path& path, std::string_view extension) {
    std::string name = path.filename().string();
    const auto dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    name += extension;
    return path.parent_path() / name;
}

RunFiles deriveRunFiles(const std::filesystem::path& project) {
    return {project, replaceExtension(project, ".pv3o"), replaceExtension(project, ".pv3p"),
            replaceExtension(project, ".pv3r")};
}

std::string namesDatText(const RunFiles& files) {
    std::string text(kFrontEndVersion);
    text += '\n';
    for (const auto* path : {&files.project, &files.report, &files.plot, &files.notes}) {
        text += path->string();
        text += '\n';
    }
    return text;
}

namespace {

void writeFile(const std::filesystem::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

} // namespace

RunDirectory::RunDirectory(const RunFiles& files, const std::optional<std::string>& input)
    : path_(platform::makePrivateTempDirectory("pavrin-cli-")), files_(files) {
    try {
        platform::setStopCleanup(path_, {path_ / kNamesDat});
        if (input) {
            files_.project = replaceExtension(path_ / files.project.filename(), ".pv3d");
            platform::setStopCleanup(path_, {path_ / kNamesDat, files_.project});
            writeFile(files_.project, *input);
        }
        writeFile(path_ / kNamesDat, namesDatText(files_));
    } catch (...) {
        remove();
        throw;
    }
}

RunDirectory::~RunDirectory() {
    remove();
}

void RunDirectory::remove() noexcept {
    std::error_code ec;
    std::filesystem::remove(path_ / kNamesDat, ec);
    // The engine writes nothing else here; whatever it may have left goes with the folder.
    std::filesystem::remove_all(path_, ec);
    platform::clearStopCleanup();
}

ScopedWorkingDirectory::ScopedWorkingDirectory(const std::filesystem::path& dir)
    : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
}

ScopedWorkingDirectory::~ScopedWorkingDirectory() {
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
}

} // namespace pavrin::cli
