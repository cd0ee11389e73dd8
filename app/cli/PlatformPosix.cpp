#include "Platform.h"

#include <cerrno>
#include <dlfcn.h>
#include <stdexcept>
#include <stdlib.h>
#include <system_error>
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

} // namespace pavrin::cli::platform
