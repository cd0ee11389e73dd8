#include "RunFiles.h"

#include "Platform.h"

#include <fstream>
#include <stdexcept>

namespace pavrin::cli {

namespace {

constexpr const char* kNamesDat = "names.dat";

void writeNamesDat(const std::filesystem::path& file, const RunFiles& files) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << namesDatText(files);
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

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

std::optional<std::string> runFilesProblem(const RunFiles& files) {
    for (const auto* path : {&files.project, &files.report, &files.plot, &files.notes}) {
        const std::string text = path->string();
        if (text.size() > kMaxEnginePathLength)
            return "path longer than " + std::to_string(kMaxEnginePathLength) +
                   " characters, which the engine cannot read: " + text;
        if (text.find_first_of("\r\n") != std::string::npos)
            return "path holding a line break, which the engine cannot read: " + text;
    }
    return std::nullopt;
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

RunDirectory::RunDirectory(const RunFiles& files) : path_(platform::makePrivateTempDirectory("pavrin-cli-")) {
    try {
        writeNamesDat(path_ / kNamesDat, files);
    } catch (...) {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
        throw;
    }
}

RunDirectory::~RunDirectory() {
    std::error_code ec;
    std::filesystem::remove(path_ / kNamesDat, ec);
    // The engine writes nothing else here; whatever it may have left goes with the folder.
    std::filesystem::remove_all(path_, ec);
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
