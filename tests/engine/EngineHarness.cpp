#include "EngineHarness.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <stdexcept>

// The tests run on a POSIX host: the library is loaded with dlopen and stdout is
// captured with dup2. This file is the only place that knows.
#include <dlfcn.h>
#include <unistd.h>

namespace pavrin::test {

TempDir::TempDir() {
    std::random_device seed;
    std::mt19937_64 random(seed());
    const fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = base / ("pavrin-test-" + std::to_string(random() % 100000000000ULL));
        if (fs::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path& file, std::string_view text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

fs::path testDataPath(std::string_view name) {
    return fs::path(PAVRIN_TEST_DATA) / name;
}

fs::path examplesPath(std::string_view name) {
    return fs::path(PAVRIN_EXAMPLES) / name;
}

engine::ClockStamp fixedClock() {
    engine::ClockStamp stamp;
    stamp.year = 2014;
    stamp.month = 3;
    stamp.day = 7;
    stamp.hour = 9;
    stamp.minute = 5;
    stamp.second = 3;
    return stamp;
}

RunOutput runInput(std::string_view input) {
    RunOutput out;
    out.status = engine::analyse(input, out.report, out.plot);
    return out;
}

RunOutput runFiles(std::string_view input, std::string_view project) {
    TempDir dir;
    const std::string name(project);
    writeFile(dir / (name + ".pv3d"), input);
    engine::RunFileList files;
    files.version = "2014.3.1    ";
    files.input = (dir / (name + ".pv3d")).string();
    files.report = (dir / (name + ".pv3o")).string();
    files.plot = (dir / (name + ".pv3p")).string();
    files.notes = (dir / (name + ".pv3r")).string();
    std::ostringstream console;
    RunOutput out;
    out.status = engine::runAnalysis(files, fixedClock(), console);
    out.console = console.str();
    out.report = readFile(files.report);
    out.plot = readFile(files.plot);
    return out;
}

std::string maskPathLine(std::string_view report) {
    static const std::string label = "     Path to file locations      : ";
    std::string text(report);
    const std::size_t at = text.find(label);
    if (at != std::string::npos && (at == 0 || text[at - 1] == '\n')) {
        const std::size_t from = at + label.size();
        std::size_t end = text.find_first_of("\r\n", from);
        if (end == std::string::npos)
            end = text.size();
        text.replace(from, end - from, "<temp folder>");
    }
    return text;
}

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t end = text.find('\n', from);
        const bool last = end == std::string_view::npos;
        if (last)
            end = text.size();
        std::string line(text.substr(from, end - from));
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        from = last ? end : end + 1;
    }
    return lines;
}

bool holdsNanOrInf(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower.find("nan") != std::string::npos || lower.find("inf") != std::string::npos;
}

void writeNamesDat(const fs::path& dir, std::string_view version, const fs::path& input,
                   const fs::path& report, const fs::path& plot, const fs::path& notes) {
    std::string text(version);
    text += '\n';
    for (const fs::path* file : {&input, &report, &plot, &notes})
        text += file->string() + '\n';
    writeFile(dir / "names.dat", text);
}

namespace {

using EntryFunction = std::int32_t (*)(std::int32_t);

void* engineLibrary() {
    static void* handle = dlopen(PAVRIN_ENGINE_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
        throw std::runtime_error(std::string("cannot load the engine library: ") + dlerror());
    return handle;
}

} // namespace

std::int32_t callEntry(const fs::path& dir, std::int32_t request, std::string* console, const char* symbol) {
    auto entry = reinterpret_cast<EntryFunction>(dlsym(engineLibrary(), symbol));
    if (entry == nullptr)
        throw std::runtime_error(std::string("the engine library does not export ") + symbol);

    const fs::path previous = fs::current_path();
    fs::current_path(dir);

    std::cout.flush();
    std::fflush(stdout);
    std::FILE* capture = std::tmpfile();
    const int savedStdout = dup(fileno(stdout));
    dup2(fileno(capture), fileno(stdout));

    const std::int32_t status = entry(request);

    std::cout.flush();
    std::fflush(stdout);
    dup2(savedStdout, fileno(stdout));
    close(savedStdout);
    fs::current_path(previous);

    std::rewind(capture);
    std::string captured;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, capture)) > 0)
        captured.append(buffer, got);
    std::fclose(capture);
    if (console != nullptr)
        *console = captured;
    return status;
}

namespace {

// The numbers of one line; false when a word is not a number.
bool numbersOf(std::string_view line, std::vector<double>& values) {
    values.clear();
    std::size_t at = 0;
    while (at < line.size()) {
        if (line[at] == ' ' || line[at] == '\r' || line[at] == '\t') {
            ++at;
            continue;
        }
        std::size_t end = line.find_first_of(" \r\t", at);
        if (end == std::string_view::npos)
            end = line.size();
        double value = 0;
        const char* first = line.data() + at;
        const char* last = line.data() + end;
        if (*first == '+')
            ++first;
        auto [ptr, ec] = std::from_chars(first, last, value);
        if (ec != std::errc() || ptr != last)
            return false;
        values.push_back(value);
        at = end;
    }
    return true;
}

bool isInteger(double value) {
    return value == static_cast<double>(static_cast<long long>(value));
}

// Reads plot lines one record row at a time.
class PlotLines {
public:
    explicit PlotLines(std::string_view text) : lines_(splitLines(text)) {}

    bool atEnd() const { return next_ >= lines_.size(); }

    // Reads the next line as exactly `count` numbers (integers when `integers`).
    // Returns 0 on success, 1 at the end of the file, 2 when the line does not fit.
    int read(std::size_t count, bool integers, std::vector<double>& values, std::string* error) {
        if (atEnd())
            return 1;
        const std::string& line = lines_[next_];
        if (!numbersOf(line, values) || values.size() != count ||
            (integers && !std::all_of(values.begin(), values.end(), isInteger))) {
            if (error != nullptr)
                *error = "line " + std::to_string(next_ + 1) + " does not hold " + std::to_string(count) +
                         (integers ? " integers" : " numbers") + ": \"" + line + "\"";
            return 2;
        }
        ++next_;
        return 0;
    }

private:
    std::vector<std::string> lines_;
    std::size_t next_ = 0;
};

} // namespace

std::optional<PlotData> parsePlot(std::string_view text, std::string* error) {
    PlotData data;
    PlotLines lines(text);
    std::vector<double> v;
    // Each read either succeeds, ends the file early (return what there is) or fails.
#define PAVRIN_PLOT_READ(count, integers)                                                                    \
    do {                                                                                                     \
        const int result = lines.read(count, integers, v, error);                                            \
        if (result == 1)                                                                                     \
            return data;                                                                                     \
        if (result == 2)                                                                                     \
            return std::nullopt;                                                                             \
    } while (false)

    PAVRIN_PLOT_READ(1, true);
    const int curveCount = static_cast<int>(v[0]);
    for (int c = 0; c < curveCount; ++c) {
        PAVRIN_PLOT_READ(3, false);
        PlotCurve curve;
        curve.number = static_cast<int>(v[0]);
        curve.pointCount = static_cast<int>(v[1]);
        curve.depth = v[2];
        data.curves.push_back(curve);
        for (int p = 0; p < curve.pointCount; ++p) {
            PAVRIN_PLOT_READ(2, false);
            data.curves.back().points.emplace_back(v[0], v[1]);
        }
    }
    PAVRIN_PLOT_READ(1, true);
    const int qwCount = static_cast<int>(v[0]);
    for (int p = 0; p < qwCount; ++p) {
        PAVRIN_PLOT_READ(2, false);
        data.qw.emplace_back(v[0], v[1]);
    }
    PAVRIN_PLOT_READ(3, true);
    data.tipMovementCount = static_cast<int>(v[0]);
    data.incrementCount = static_cast<int>(v[1]);
    data.units = static_cast<int>(v[2]);
    for (long long row = 0; row < static_cast<long long>(data.tipMovementCount) * data.incrementCount;
         ++row) {
        PAVRIN_PLOT_READ(3, false);
        data.increments.push_back({v[0], v[1], v[2]});
    }
    for (int row = 0; row < data.tipMovementCount; ++row) {
        PAVRIN_PLOT_READ(4, false);
        data.summary.push_back({v[0], v[1], v[2], v[3]});
    }
    data.complete = true;
    while (!lines.atEnd()) {
        if (lines.read(4, false, v, error) != 0)
            return std::nullopt;
        data.headLoads.push_back({v[0], v[1], v[2], v[3]});
    }
#undef PAVRIN_PLOT_READ
    return data;
}

std::vector<PlotSummaryRow> reportSummaryRows(std::string_view report, int which) {
    static const std::string heading = "        TOP  LOAD     TOP MOVEMENT     TIP MOVEMENT";
    const std::vector<std::string> lines = splitLines(report);
    std::vector<PlotSummaryRow> rows;
    int found = -1;
    std::size_t i = 0;
    for (; i < lines.size(); ++i) {
        if (lines[i].rfind(heading, 0) == 0 && ++found == which)
            break;
    }
    std::vector<double> v;
    for (i += 2; i < lines.size(); ++i) {
        if (numbersOf(lines[i], v) && v.size() == 4) {
            rows.push_back({v[0], v[1], v[2], v[3]});
            continue;
        }
        if (lines[i].find("OUTSIDE THE COMPUTED RANGE") != std::string::npos)
            continue;
        break;
    }
    return rows;
}

} // namespace pavrin::test
