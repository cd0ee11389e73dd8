// The analysis engine library, loaded at run time by full path exactly as the front end loads it:
// only its exported entry point `_IPAVRIN` is used, nothing of its internals.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pavrin::cli {

// The library is missing, does not load, or lacks the entry point. what() is the user's message.
class EngineLibraryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class EngineLibrary {
public:
    // Loads the library at `path` and resolves `_IPAVRIN`. Throws EngineLibraryError.
    explicit EngineLibrary(const std::filesystem::path& path);
    ~EngineLibrary();
    EngineLibrary(const EngineLibrary&) = delete;
    EngineLibrary& operator=(const EngineLibrary&) = delete;

    // The engine library beside the running executable.
    static std::filesystem::path besideExecutable();

    // Calls the entry point with `request` (1 performs a run) and returns the run status.
    // The engine reads names.dat from the current working directory.
    std::int32_t call(std::int32_t request) const;

private:
    using EntryPoint = std::int32_t (*)(std::int32_t);
    void* library_ = nullptr;
    EntryPoint entry_ = nullptr;
};

// One-line meaning of a run status returned by the engine.
std::string_view runStatusMeaning(std::int32_t status);

} // namespace pavrin::cli
