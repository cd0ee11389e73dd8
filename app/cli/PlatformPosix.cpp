#include "Platform.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <iterator>
#include <signal.h>
#include <stdexcept>
#include <stdlib.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace pavrin::cli::platform {

std::string engineLibraryFileName() {
    return "libPAVRIN2014_DLL.so";
}

std::filesystem::path executableDirectory() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        throw std::runtime_error("cannot find the folder of this program: " + ec.message());
    return exe.parent_path();
}

std::filesystem::path makePrivateTempDirectory(const std::string& prefix) {
    const std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "XXXXXX")).string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    // mkdtemp creates the folder with mode 0700.
    if (mkdtemp(buffer.data()) == nullptr)
        throw std::system_error(errno, std::generic_category(),
                                "cannot create a temporary folder in " + pattern);
    return std::filesystem::path(buffer.data());
}

void* loadLibrary(const std::filesystem::path& path, std::string& error) {
    dlerror(); // clear a stale message
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* message = dlerror();
        error = message != nullptr ? message : "unknown error";
    }
    return library;
}

void* findSymbol(void* library, const char* name) {
    return dlsym(library, name);
}

void unloadLibrary(void* library) {
    dlclose(library);
}

int accessError(const std::filesystem::path& path, bool write) {
    return ::access(path.c_str(), write ? (W_OK | X_OK) : R_OK) == 0 ? 0 : errno;
}

namespace {

// What the signal handler removes: fixed storage, as a handler may call only unlink and rmdir.
constexpr std::size_t kPathCapacity = 4096;
constexpr std::size_t kCleanupFiles = 4;
struct StopCleanup {
    char files[kCleanupFiles][kPathCapacity];
    char folder[kPathCapacity];
};
StopCleanup gCleanup{};
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction gPrevious[std::size(kStopSignals)];
bool gInstalled[std::size(kStopSignals)] = {};

void keep(char (&slot)[kPathCapacity], const std::filesystem::path& path) {
    const std::string text = path.string();
    if (text.size() >= kPathCapacity)
        throw std::runtime_error("the temporary run folder's path is too long: " + text);
    std::memcpy(slot, text.c_str(), text.size() + 1);
}

extern "C" void removeAndStop(int signal) {
    for (const char* file : gCleanup.files)
        if (file[0] != '\0')
            ::unlink(file);
    if (gCleanup.folder[0] != '\0')
        ::rmdir(gCleanup.folder);
    // The handler was reset on entry (SA_RESETHAND): the signal, raised again, now stops the program.
    ::raise(signal);
}

} // namespace

void setStopCleanup(const std::filesystem::path& folder, const std::vector<std::filesystem::path>& files) {
    if (files.size() > kCleanupFiles)
        throw std::runtime_error("too many files to remove on a stop signal");
    StopCleanup cleanup{};
    keep(cleanup.folder, folder);
    for (std::size_t i = 0; i < files.size(); ++i)
        keep(cleanup.files[i], files[i]);
    // Filled before the handlers see it; the handler only reads it.
    std::memcpy(&gCleanup, &cleanup, sizeof cleanup);
    for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
        if (gInstalled[i])
            continue;
        struct sigaction action {};
        action.sa_handler = removeAndStop;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND | SA_NODEFER;
        // A signal the caller ignores (nohup) stays ignored.
        gInstalled[i] = ::sigaction(kStopSignals[i], nullptr, &gPrevious[i]) == 0 &&
                        gPrevious[i].sa_handler != SIG_IGN &&
                        ::sigaction(kStopSignals[i], &action, nullptr) == 0;
    }
}

void clearStopCleanup() {
    for (std::size_t i = 0; i < std::size(kStopSignals); ++i)
        if (gInstalled[i]) {
            ::sigaction(kStopSignals[i], &gPrevious[i], nullptr);
            gInstalled[i] = false;
        }
    gCleanup = StopCleanup{};
}

int muteStandardError() {
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved >= 0 && null >= 0)
        ::dup2(null, STDERR_FILENO);
    if (null >= 0)
        ::close(null);
    return saved;
}

void restoreStandardError(int token) {
    std::fflush(stderr);
    if (token >= 0) {
        ::dup2(token, STDERR_FILENO);
        ::close(token);
    }
}

} // namespace pavrin::cli::platform
