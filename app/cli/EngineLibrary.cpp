#include "EngineLibrary.h"

#include "Platform.h"

namespace pavrin::cli {

namespace {
constexpr const char* kEntryPointName = "_IPAVRIN";
}

EngineLibrary::EngineLibrary(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        throw EngineLibraryError("engine library not found: " + path.string());
    std::string error;
    library_ = platform::loadLibrary(path, error);
    if (library_ == nullptr)
        throw EngineLibraryError("engine library could not be loaded: " + error);
    void* symbol = platform::findSymbol(library_, kEntryPointName);
    if (symbol == nullptr) {
        platform::unloadLibrary(library_);
        throw EngineLibraryError("engine library " + path.string() + " does not export the entry point " +
                                 kEntryPointName);
    }
    entry_ = reinterpret_cast<EntryPoint>(symbol);
}

EngineLibrary::~EngineLibrary() {
    platform::unloadLibrary(library_);
}

std::filesystem::path EngineLibrary::besideExecutable() {
    try {
        return platform::executableDirectory() / platform::engineLibraryFileName();
    } catch (const std::runtime_error& e) {
        throw EngineLibraryError(e.what());
    }
}

std::int32_t EngineLibrary::call(std::int32_t request) const {
    return entry_(request);
}

std::string_view runStatusMeaning(std::int32_t status) {
    switch (status) {
    case 0:
        return "completed";
    case 1:
        return "not requested";
    case 2:
        return "file error";
    case 3:
        return "input error — see the end of the report";
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
        return "stopped: a look-up ran past the soil profile — see the end of the report";
    case 9:
        return "writing failed: a file of the run could not be written whole";
    default:
        return "unknown status";
    }
}

} // namespace pavrin::cli
