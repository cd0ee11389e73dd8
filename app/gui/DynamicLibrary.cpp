#include "DynamicLibrary.h"

#include <QFileInfo>

namespace pavrin::app::gui {

TDynamicLibrary::TDynamicLibrary(std::string fileName) : fileName_(std::move(fileName)) {}

TDynamicLibrary::~TDynamicLibrary() {
    Close();
}

void TDynamicLibrary::SetFileName(const std::string& fileName) {
    Close();
    fileName_ = fileName;
}

void TDynamicLibrary::Load() {
    if (IsOpen())
        return;
    const QString path = QString::fromStdString(fileName_);
    if (!QFileInfo(path).isFile())
        throw EFileNotFoundError();
    auto library = std::make_unique<QLibrary>(path);
    // Bound at once, so that a library with a missing symbol fails here and not in the middle of a run.
    library->setLoadHints(QLibrary::ResolveAllSymbolsHint);
    if (!library->load()) {
        loadError_ = library->errorString().toStdString();
        throw EInitError();
    }
    loadError_.clear();
    library_ = std::move(library);
}

void* TDynamicLibrary::GetProc(const char* name) {
    if (!IsOpen())
        throw EDLLNotOpenError();
    return reinterpret_cast<void*>(library_->resolve(name));
}

void TDynamicLibrary::Close() {
    if (library_ != nullptr) {
        library_->unload();
        library_.reset();
    }
}

bool TDynamicLibrary::IsOpen() const {
    return library_ != nullptr && library_->isLoaded();
}

} // namespace pavrin::app::gui
