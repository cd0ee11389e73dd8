#include "MeasuredLoadTest.h"

#include "ColumnTypes.h"
#include "ProjectFile.h"
#include "ProjectFileNames.h"
#include "UnitTemplates.h"
#include "WordReader.h"

#include <cctype>
#include <cfloat>
#include <cmath>
#include <filesystem>
#include <new>
#include <system_error>

namespace pavrin::app {

namespace {

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The unit system of a force or length unit name; 0 for none.
int ForceSystem(const std::string& unit) {
    const std::string u = Lower(unit);
    return (u == "lb" || u == "lbs") ? 1 : (u == "kn" ? 2 : 0);
}

int LengthSystem(const std::string& unit) {
    const std::string u = Lower(unit);
    return u == "in" ? 1 : (u == "m" ? 2 : 0);
}

// The texts inside the parentheses of a line, in order.
std::vector<std::string> Parenthesised(const std::string& line) {
    std::vector<std::string> units;
    std::size_t open = line.find('(');
    while (open != std::string::npos) {
        const std::size_t close = line.find(')', open + 1);
        if (close == std::string::npos)
            break;
        controls::TWordContainer words(line.substr(open + 1, close - open - 1));
        units.push_back(words.Words().size() == 1 ? words.Words()[0] : std::string());
        open = line.find('(', close + 1);
    }
    return units;
}

const char* const kHeaderExample =
    "The first line must name the units, as in \"Load (lbs)  Settlement (in)  Tip load (lbs)\" or "
    "\"Load (kN)  Settlement (m)  Tip load (kN)\".";

std::string OnLine(std::size_t line, const std::string& what) {
    return "Line " + std::to_string(line) + ": " + what;
}

// The unit system the header names, or the error.
std::optional<std::string> ReadHeader(const std::string& header, int& units) {
    const std::vector<std::string> names = Parenthesised(header);
    if (names.size() < 2 || ForceSystem(names[0]) == 0 || LengthSystem(names[1]) == 0)
        return OnLine(1, kHeaderExample);
    units = ForceSystem(names[0]);
    const bool tipAgrees = names.size() < 3 || ForceSystem(names[2]) == units;
    if (LengthSystem(names[1]) != units || !tipAgrees)
        return OnLine(1, "the units mix the English system (lbs, in) and the SI system (kN, m). " +
                             std::string(kHeaderExample));
    return std::nullopt;
}

const char* const kColumnNames[] = {"head load", "head settlement", "tip load"};

// One point from the words of a data line, or the error.
std::optional<std::string> ReadPoint(const std::vector<std::string>& words, std::size_t line,
                                     MeasuredPoint& point) {
    if (words.size() < 2)
        return OnLine(line, "a head load and a head settlement were expected but only one number was found.");
    if (words.size() > 3)
        return OnLine(line, "at most three numbers were expected (head load, head settlement, tip load) but " +
                                std::to_string(words.size()) + " were found.");
    long double values[3] = {0, 0, 0};
    for (std::size_t i = 0; i < words.size(); ++i)
        if (!controls::TextToFloat(words[i], '.', values[i]))
            return OnLine(line, "a number was expected for the " + std::string(kColumnNames[i]) + " but \"" +
                                    words[i] + "\" was found.");
    point.load = values[0];
    point.settlement = values[1];
    if (words.size() == 3)
        point.tipLoad = values[2];
    return std::nullopt;
}

std::string Number(long double value) {
    return controls::FormatGeneral(value, 8, '.');
}

} // namespace

bool TMeasuredLoadTest::hasTipLoads() const {
    for (const MeasuredPoint& p : points)
        if (p.tipLoad)
            return true;
    return false;
}

std::string MeasuredFileName(const std::string& projectPath) {
    return ChangeFileExt(projectPath, kMeasuredExt);
}

std::optional<std::string> ParseMeasuredLoadTest(const std::string& text, TMeasuredLoadTest& test) {
    controls::TWordReader reader = controls::TWordReader::FromText(text);
    TMeasuredLoadTest read;
    std::size_t line = 1;
    if (std::optional<std::string> error = ReadHeader(reader.EndOfFile() ? "" : reader.ReadLine(), read.units))
        return error;
    while (!reader.EndOfFile()) {
        ++line;
        const controls::TWordContainer words(reader.ReadLine());
        if (words.Words().empty())
            continue; // blank lines are passed over, as everywhere in the program's files
        if (read.points.size() == static_cast<std::size_t>(kMaxMeasuredPoints))
            return OnLine(line, "a measured load test holds at most " + std::to_string(kMaxMeasuredPoints) +
                                    " points.");
        MeasuredPoint point;
        if (std::optional<std::string> error = ReadPoint(words.Words(), line, point))
            return error;
        read.points.push_back(point);
    }
    test = std::move(read);
    return std::nullopt;
}

std::optional<std::string> ReadMeasuredLoadTest(const std::string& path, TMeasuredLoadTest& test) {
    const std::string in = "The measured load test \"" + path + "\" ";
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (!error && size > kMaxMeasuredFileBytes)
        return in + "is too long to be a measured load test (" + std::to_string(size) + " bytes).";
    try {
        if (std::optional<std::string> problem = ParseMeasuredLoadTest(controls::ReadTextFile(path), test))
            return in + "could not be read. " + *problem;
    } catch (const controls::EFileOpenError& e) {
        return in + "could not be opened: " + e.what();
    } catch (const std::bad_alloc&) {
        return in + "could not be read: there was not enough memory.";
    }
    return std::nullopt;
}

std::string MeasuredLoadTestText(const TMeasuredLoadTest& test) {
    const bool english = test.units != 2;
    const std::string force = english ? "lbs" : "kN";
    const std::string length = english ? "in" : "m";
    std::string text = "Load (" + force + ")  Settlement (" + length + ")";
    if (test.hasTipLoads())
        text += "  Tip load (" + force + ")";
    text += "\r\n";
    for (const MeasuredPoint& p : test.points) {
        text += Number(p.load) + " " + Number(p.settlement);
        if (p.tipLoad)
            text += " " + Number(*p.tipLoad);
        text += "\r\n";
    }
    return text;
}

std::optional<std::string> WriteMeasuredLoadTest(const std::string& path, const TMeasuredLoadTest& test) {
    const std::string failed = "The measured load test could not be saved to \"" + path + "\": ";
    for (const MeasuredPoint& p : test.points)
        if (!std::isfinite(p.load) || !std::isfinite(p.settlement) || (p.tipLoad && !std::isfinite(*p.tipLoad)))
            return failed + "it holds a value that is not a finite number.";
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return failed + "it is a folder.";
    if (std::optional<std::string> reason = ReplaceFileContents(path, MeasuredLoadTestText(test), ".~save"))
        return failed + *reason + ".";
    return std::nullopt;
}

std::vector<std::string> MeasuredLoadTestProblems(const TMeasuredLoadTest& test, int projectUnits) {
    std::vector<std::string> problems;
    if (test.points.size() < 2)
        problems.push_back("The measured load test needs at least two points; it has " +
                           std::to_string(test.points.size()) + ".");
    for (std::size_t i = 0; i < test.points.size(); ++i) {
        const MeasuredPoint& p = test.points[i];
        if (p.load < 0 || p.settlement < 0 || (p.tipLoad && *p.tipLoad < 0)) {
            problems.push_back("Point " + std::to_string(i + 1) +
                               " of the measured load test has a negative value; loads and settlements "
                               "are positive downwards.");
            break;
        }
    }
    // The predictions they are compared with are computed in single precision.
    const auto representable = [](long double v) { return std::isfinite(v) && std::fabs(v) <= FLT_MAX; };
    for (std::size_t i = 0; i < test.points.size(); ++i) {
        const MeasuredPoint& p = test.points[i];
        if (!representable(p.load) || !representable(p.settlement) || (p.tipLoad && !representable(*p.tipLoad))) {
            problems.push_back("Point " + std::to_string(i + 1) +
                               " of the measured load test has a value too large for the analysis (more than "
                               "3.4E38).");
            break;
        }
    }
    for (std::size_t i = 1; i < test.points.size(); ++i)
        if (!(test.points[i].load > test.points[i - 1].load)) {
            problems.push_back("The loads of the measured load test must increase from point to point; point " +
                               std::to_string(i + 1) + " (" + Number(test.points[i].load) +
                               ") does not exceed point " + std::to_string(i) + " (" +
                               Number(test.points[i - 1].load) + ").");
            break;
        }
    if (test.units != projectUnits)
        problems.push_back("The measured load test is in " + MeasuredUnitsName(test.units) +
                           " but the project is in " + MeasuredUnitsName(projectUnits) + ".");
    return problems;
}

void ConvertMeasuredLoadTest(TMeasuredLoadTest& test, int units) {
    units = units > 2 ? 2 : (units < 1 ? 1 : units);
    const controls::TUnitsConversion force(test.units, units, "F");
    const controls::TUnitsConversion length(test.units, units, "L");
    for (MeasuredPoint& p : test.points) {
        p.load = force(p.load);
        p.settlement = length(p.settlement);
        if (p.tipLoad)
            p.tipLoad = force(*p.tipLoad);
    }
    test.units = units;
}

std::string MeasuredUnitsName(int units) {
    return units == 2 ? "SI units (kN, m)" : "English units (lbs, in)";
}

} // namespace pavrin::app
