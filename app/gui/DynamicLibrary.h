// TDynamicLibrary: a shared library loaded by path for the length of one analysis run, with the error
// classes the run reports. On QLibrary, so the program stays portable.
#pragma once

#include <QLibrary>

#include <memory>
#include <stdexcept>
#include <string>

namespace pavrin::app::gui {

class EDLLError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
// The file exists but does not load.
class EInitError : public EDLLError {
public:
    EInitError() : EDLLError("Library failed to properly initialize") {}
};
// There is no file of that name.
class EFileNotFoundError : public EDLLError {
public:
    EFileNotFoundError() : EDLLError("Library could not be located") {}
};
class EDLLNotOpenError : public EDLLError {
public:
    EDLLNotOpenError() : EDLLError("Library is not open") {}
};

class TDynamicLibrary {
public:
    explicit TDynamicLibrary(std::string fileName = {});
    ~TDynamicLibrary();
    TDynamicLibrary(const TDynamicLibrary&) = delete;
    TDynamicLibrary& operator=(const TDynamicLibrary&) = delete;

    const std::string& FileName() const { return fileName_; }
    // Closes the library first when it is open.
    void SetFileName(const std::string& fileName);

    // Does nothing when open. Throws EFileNotFoundError when the file is missing, EInitError when it
    // exists but does not load; the system's message is kept in LoadError().
    void Load();
    // The address of the named export, or null when the library lacks it. Throws EDLLNotOpenError.
    void* GetProc(const char* name);
    void Close();
    bool IsOpen() const;
    const std::string& LoadError() const { return loadError_; }

private:
    std::string fileName_;
    std::unique_ptr<QLibrary> library_;
    std::string loadError_;
};

} // namespace pavrin::app::gui
