#include "Messages.h"
#include "Run.h"

#include <ctime>
#include <fstream>
#include <ostream>

namespace pavrin::engine {

namespace {

constexpr std::size_t VersionWidth = 12;
constexpr std::size_t PathWidth = 255;

bool readLine(std::istream& in, std::string& line) {
    if (!std::getline(in, line))
        return false;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

} // namespace

ClockStamp localNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

bool readRunFileList(const std::string& path, RunFileList& out, std::ostream& console) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        console << msg::CannotOpen << path << '\n';
        return false;
    }
    std::string line;
    if (!readLine(in, line))
        line.clear();
    line.resize(VersionWidth, ' ');
    out.version = line;
    std::string* paths[4] = {&out.input, &out.report, &out.plot, &out.notes};
    for (std::string* p : paths) {
        if (!readLine(in, line)) {
            console << msg::FileErrors << '\n';
            return false;
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        // A longer path cut to its first 255 characters would name another file.
        if (line.size() > PathWidth) {
            console << msg::FileErrors << '\n';
            return false;
        }
        *p = line;
    }
    return true;
}

} // namespace pavrin::engine
