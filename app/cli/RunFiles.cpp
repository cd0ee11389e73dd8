#include "RunFiles.h"

#include "Platform.h"

#include <csignal>
#include <cstring>
#include <fstream>
#include <iterator>
#include <signal.h>
#include <stdexcept>
#include <unistd.h>

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

// What the signal handler removes: fixed storage, as a handler may call only unlink and rmdir.
constexpr std::size_t kPathCapacity = 4096;
struct InterruptCleanup {
    char files[2][kPathCapacity];
    char folder[kPathCapacity];
};
InterruptCleanup gCleanup{};
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction gPrevious[std::size(kStopSignals)];
bool gInstalled[std::size(kStopSignals)] = {};

void keep(char (&slot)[kPathCapacity], const std::filesystem::path& path) {
    const std::string text = path.string();
    if (text.size() >= kPathCapacity)
        throw std::runtime_error("the temporary run folder's path is too long: " + text);
    std::memcpy(slot, text.c_str(), text.size() + 1);
}

extern "C" void removeRunFolderAndStop(int signal) {
    for (const char* file : gCleanup.files)
        if (file[0] != '\0')
            ::unlink(file);
    if (gCleanup.folder[0] != '\0')
        ::rmdir(gCleanup.folder);
    // The handler was reset on entry (SA_RESETHAND): the signal, raised again, now stops the program.
    ::raise(signal);
}

void installCleanup() {
    for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
        struct sigaction action {};
        action.sa_handler = removeRunFolderAndStop;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND | SA_NODEFER;
        // A signal the caller ignores (nohup) stays ignored.
        gInstalled[i] = ::sigaction(kStopSignals[i], nullptr, &gPrevious[i]) == 0 &&
                        gPrevious[i].sa_handler != SIG_IGN &&
                        ::sigaction(kStopSignals[i], &action, nullptr) == 0;
    }
}

void uninstallCleanup() {
    for (std::size_t i = 0; i < std::size(kStopSignals); ++i)
        if (gInstalled[i]) {
            ::sigaction(kStopSignals[i], &gPrevious[i], nullptr);
            gInstalled[i] = false;
        }
    gCleanup = InterruptCleanup{};
}

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
        keep(gCleanup.folder, path_);
        keep(gCleanup.files[0], path_ / kNamesDat);
        installCleanup();
        if (input) {
            files_.project = replaceExtension(path_ / files.project.filename(), ".pv3d");
            keep(gCleanup.files[1], files_.project);
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
    uninstallCleanup();
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
