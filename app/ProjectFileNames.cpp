#include "ProjectFileNames.h"
#include "AsciiCase.h"

namespace pavrin::app {

namespace {

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

// Position of the first character of the file name.
std::size_t NameStart(const std::string& path) {
    const std::size_t last = path.find_last_of("/\\");
    return last == std::string::npos ? 0 : last + 1;
}

// Position of the extension's dot, or npos.
std::size_t ExtensionStart(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    return dot == std::string::npos || dot < NameStart(path) ? std::string::npos : dot;
}

} // namespace

std::string ExtractFileName(const std::string& path) {
    return path.substr(NameStart(path));
}

std::string ExtractFileDir(const std::string& path) {
    const std::size_t start = NameStart(path);
    if (start == 0)
        return {};
    // The root keeps its separator.
    return start == 1 ? path.substr(0, 1) : path.substr(0, start - 1);
}

std::string ExtractFileExt(const std::string& path) {
    const std::size_t dot = ExtensionStart(path);
    return dot == std::string::npos ? std::string() : path.substr(dot);
}

std::string ChangeFileExt(const std::string& path, const std::string& extension) {
    const std::size_t dot = ExtensionStart(path);
    return (dot == std::string::npos ? path : path.substr(0, dot)) + extension;
}

std::string LowerFileExt(const std::string& path) {
    return controls::LowerAscii(ExtractFileExt(path));
}

bool IsCurrentFormat(const std::string& path) {
    return LowerFileExt(path) == ext::kProject;
}

bool ReadAsCurrentFormat(const std::string& path) {
    return LowerFileExt(path) != ext::kOldProject;
}

std::string DisplayName(const std::string& path) {
    std::string name = ExtractFileName(path);
    if (LowerFileExt(name) == std::string(".") + kDialogDefaultExt)
        name.erase(name.find('.'));
    if (name.size() > 1 && name[0] >= 'a' && name[0] <= 'z')
        name[0] = static_cast<char>(name[0] - 'a' + 'A');
    return name;
}

std::string WindowCaption(const std::string& fileName) {
    return kCaptionPrefix + DisplayName(fileName);
}

std::string CommandLineFileName(const std::string& argument) {
    if (ExtractFileName(argument).find('.') == std::string::npos)
        return argument + ext::kProject;
    return argument;
}

std::string RecentEntryCaption(int number, const std::string& path, const std::string& currentDirectory) {
    std::string shown = path;
    if (!currentDirectory.empty()) {
        const bool endsWithSeparator = IsSeparator(currentDirectory.back());
        const std::size_t length = currentDirectory.size() + (endsWithSeparator ? 0 : 1);
        if (path.size() > length && path.compare(0, currentDirectory.size(), currentDirectory) == 0 &&
            (endsWithSeparator || IsSeparator(path[currentDirectory.size()])))
            shown = path.substr(length);
    }
    return std::to_string(number) + " " + shown;
}

// ---- TRecentFiles ----

const std::string& TRecentFiles::Entry(int number) const {
    static const std::string empty;
    return number >= 1 && number <= kSize ? entries_[static_cast<std::size_t>(number - 1)] : empty;
}

void TRecentFiles::UpdatePrevFile(const std::string& path) {
    if (entries_[0] == path)
        return;
    std::size_t found = kSize - 1; // not listed: the last entry is dropped
    for (std::size_t i = 1; i < kSize; ++i)
        if (entries_[i] == path) {
            found = i;
            break;
        }
    for (std::size_t i = found; i > 0; --i)
        entries_[i] = std::move(entries_[i - 1]);
    entries_[0] = path;
    Recount();
    if (OnChanged)
        OnChanged(*this);
}

void TRecentFiles::SetEntry(int number, const std::string& path) {
    if (number >= 1 && number <= kSize) {
        entries_[static_cast<std::size_t>(number - 1)] = path;
        Recount();
    }
}

void TRecentFiles::Clear() {
    entries_.fill({});
    count_ = 0;
}

void TRecentFiles::Recount() {
    count_ = 0;
    for (const std::string& entry : entries_)
        if (!entry.empty())
            ++count_;
}

} // namespace pavrin::app
