// The few operating-system services the headless runner needs, behind one small interface.
// PlatformPosix.cpp implements them for Linux; a PlatformWindows.cpp can be added beside it.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace pavrin::cli::platform {

// File name of the engine library on this platform ("libPAVRIN2014_DLL.so").
std::string engineLibraryFileName();

// Folder of the running executable. Throws std::runtime_error when it cannot be found.
std::filesystem::path executableDirectory();

// Creates a new folder, readable only by the user, under the system's temporary folder.
// Throws std::system_error on failure.
std::filesystem::path makePrivateTempDirectory(const std::string& prefix);

// Loads a shared library by full path with all symbols bound now and kept local.
// Returns nullptr and sets `error` to the system's message on failure.
void* loadLibrary(const std::filesystem::path& path, std::string& error);

// Address of an exported symbol, or nullptr.
void* findSymbol(void* library, const char* name);

void unloadLibrary(void* library);

// 0 when the user may read (or, with `write`, write into) the file or folder, else the system's
// error number (EACCES, EROFS, ...).
int accessError(const std::filesystem::path& path, bool write);

// While set, a stop signal (interrupt, terminate, hang-up) removes `files`, then `folder`, and then
// stops the program as it would have; a signal the caller ignores stays ignored. Setting it again
// replaces the paths. Throws std::runtime_error for a path longer than the handler can hold.
void setStopCleanup(const std::filesystem::path& folder, const std::vector<std::filesystem::path>& files);
void clearStopCleanup();

// The process's standard error stream sent to nowhere until restoreStandardError(token).
int muteStandardError();
void restoreStandardError(int token);

} // namespace pavrin::cli::platform
