#include "ReportWriter.h"

#include "FieldFormat.h"
#include "Messages.h"

#include <algorithm>
#include <cstdio>

namespace pavrin::engine {

namespace {

constexpr const char* MonthNames[12] = {"January",   "February", "March",    "April",
                                        "May",       "June",     "July",     "August",
                                        "September", "October",  "November", "December"};

void appendTwoDigits(std::string& out, int v) {
    out += static_cast<char>('0' + (v / 10) % 10);
    out += static_cast<char>('0' + v % 10);
}

void appendRule(std::string& out, char c) {
    appendBlanks(out, 5);
    out.append(73, c);
    out += '\n';
}

// Drive and directory (with its trailing separator), and name with extension.
struct PathParts {
    std::string folder;
    std::string name;
};

PathParts splitPath(const std::string& path) {
    std::size_t cut = path.find_last_of("/\\");
    if (cut == std::string::npos) {
        // A bare drive prefix such as "C:" stays with the folder part.
        if (path.size() >= 2 && path[1] == ':')
            return {path.substr(0, 2), path.substr(2)};
        return {"", path};
    }
    return {path.substr(0, cut + 1), path.substr(cut + 1)};
}

std::string rtrim(std::string s) {
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

} // namespace

void writeReportHead(std::string& out, const RunFileList& files, const ClockStamp& now) {
    appendRule(out, '=');
    out += "     PAVRIN for Windows, Version " + files.version + "\n";
    out += "     A program for computing load versus settlement of an axially loaded pile\n";
    out += "     by the load-transfer method (t-z and Q-w curves)\n";
    appendRule(out, '=');
    out += "\n\n";
    const PathParts input = splitPath(files.input);
    out += "     Path to file locations      : " + rtrim(input.folder) + "\n";
    out += "     Name of input data file     : " + rtrim(input.name) + "\n";
    out += "     Name of output file         : " + rtrim(splitPath(files.report).name) + "\n";
    out += "     Name of plot output file    : " + rtrim(splitPath(files.plot).name) + "\n";
    out += "\n";
    appendRule(out, '-');
    appendBlanks(out, 26);
    out += "Time and Date of Analysis\n";
    appendRule(out, '-');
    out += "\n";
    if (now.month >= 1 && now.month <= 12) {
        appendBlanks(out, 15);
        out += "Date:  ";
        out += MonthNames[now.month - 1];
        out += ' ';
        appendTwoDigits(out, now.day);
        out += ", ";
        char year[16];
        std::snprintf(year, sizeof year, "%04d", now.year % 10000);
        out += year;
        appendBlanks(out, 5);
        out += "Time:  ";
        appendTwoDigits(out, now.hour);
        out += ':';
        appendTwoDigits(out, now.minute);
        out += ':';
        appendTwoDigits(out, now.second);
        out += '\n';
    }
}

const char* ReportWriter::depthUnit() const {
    return d_.units == English ? "IN." : d_.units == SI ? " M." : "   ";
}
const char* ReportWriter::moveUnit() const {
    return depthUnit();
}
const char* ReportWriter::forceUnit() const {
    return d_.units == English ? "LBS" : d_.units == SI ? "KN." : "   ";
}
const char* ReportWriter::pressureUnit() const {
    return d_.units == English ? "PSI" : d_.units == SI ? "KPA" : "   ";
}

void ReportWriter::line(const char* text) {
    out_ += text;
    out_ += '\n';
}

void ReportWriter::put(int blanks, const char* text) {
    appendBlanks(out_, blanks);
    out_ += text;
}

// The unit row of a section that has an English and an SI variant; left out
// for any other unit system.
void ReportWriter::unitRow(int blanks, const char* english, const char* si) {
    if (d_.units != English && d_.units != SI)
        return;
    put(blanks, d_.units == English ? english : si);
    newline();
}

void ReportWriter::emptyLines(int n) {
    for (int i = 0; i < n; ++i)
        out_ += '\n';
}

void ReportWriter::programTitle() {
    line(" ");
    line(" PAVRIN - A PROGRAM FOR COMPUTING LOAD VS. SETTLEMENT");
    line(" FOR AN AXIALLY LOADED PILE BY THE LOAD-TRANSFER METHOD");
    line(" WINDOWS VERSION 3.0 OF THE ANALYSIS ENGINE, 2014");
    emptyLines(3);
    out_ += ' ';
    out_ += d_.title;
    newline();
    emptyLines(3);
    line("  AXIALLY LOADED PILE, CONSTANT OD");
    emptyLines(1);
}

void ReportWriter::curvesHead() {
    emptyLines(2);
    line("    T-Z       NO. OF    DEPTH TO    LOAD TRANSFER  PILE");
    out_ += "   CURVE NO.  POINTS    CURVE,";
    out_ += depthUnit();
    out_ += "   TRANSFER,";
    out_ += pressureUnit();
    out_ += "   MOVEMENT,";
    out_ += moveUnit();
    newline();
    emptyLines(1);
}

namespace {

// One line built in a buffer and appended whole.
void appendLine(std::string& out, char* row, char* end) {
    *end++ = '\n';
    out.append(row, static_cast<std::size_t>(end - row));
}

} // namespace

void writeCurveRow(std::string& out, const TzCurve& c, Int pointCount) {
    char row[64];
    char* p = putBlanks(row, 2);
    p = putI(p, c.number, 5);
    p = putI(p, pointCount, 11);
    p = putE(p, c.depth, 16, 4);
    appendLine(out, row, p);
}

void writePointRow(std::string& out, const CurvePoint& pt) {
    char row[64];
    char* p = putBlanks(row, 31);
    p = putE(p, pt.t, 15, 4);
    p = putE(p, pt.z, 15, 4);
    appendLine(out, row, p);
}

void writeQwRow(std::string& out, const QwPoint& pt) {
    char row[64];
    char* p = putE(row, pt.q, 18, 4);
    p = putE(p, pt.w, 19, 4);
    appendLine(out, row, p);
}

void writeSummaryRow(std::string& out, const LoadSettlement& r) {
    const float sign = r.uplift ? -1.0f : 1.0f;
    char row[80];
    char* p = putE(row, sign * r.headLoad, 17, 4);
    p = putE(p, sign * r.headMovement, 16, 4);
    p = putE(p, r.tipMovement, 16, 4);
    p = putE(p, sign * r.tipLoad, 16, 4);
    appendLine(out, row, p);
}

void writeIncrementPlotRow(std::string& out, const IncrementValues& inc) {
    char row[48];
    char* p = putBlanks(row, 1);
    p = putE(p, inc.middleDepth, 10, 3);
    p = putBlanks(p, 3);
    p = putE(p, inc.averageLoad, 10, 3);
    p = putBlanks(p, 3);
    p = putE(p, inc.middleMovement, 10, 3);
    appendLine(out, row, p);
}

void ReportWriter::curveRow(const TzCurve& c, Int pointCount) {
    writeCurveRow(out_, c, pointCount);
}

void ReportWriter::pointRow(const CurvePoint& p) {
    writePointRow(out_, p);
}

void ReportWriter::generatedCurves() {
    curvesHead();
    for (const TzCurve& c : d_.curves) {
        curveRow(c, static_cast<Int>(c.points.size()));
        for (const CurvePoint& p : c.points)
            pointRow(p);
    }
}

void ReportWriter::layers() {
    emptyLines(2);
    put(10, "  LAYER      KSOIL      XTOP      XBOT");
    newline();
    unitRow(10, "                         IN.       IN.", "                          M         M");
    for (const SoilLayer& l : d_.layers) {
        appendBlanks(out_, 10);
        appendI(out_, l.number, 5);
        appendBlanks(out_, 5);
        appendI(out_, l.soilType, 5);
        appendBlanks(out_, 5);
        appendE(out_, l.top, 10, 3);
        appendBlanks(out_, 2);
        appendE(out_, l.bottom, 10, 3);
        appendBlanks(out_, 2);
        newline();
    }
}

void ReportWriter::unitWeights() {
    emptyLines(2);
    put(10, "    XG1        GAM1");
    newline();
    unitRow(10, "    IN.       LB/IN**3", "     M        kN/M**3");
    for (const ProfilePoint& p : d_.profile) {
        appendBlanks(out_, 10);
        appendE(out_, p.depth, 10, 3);
        appendBlanks(out_, 2);
        appendE(out_, p.unitWeight, 10, 3);
        appendBlanks(out_, 2);
        newline();
    }
}

void ReportWriter::strength() {
    emptyLines(2);
    put(7, "XSTR         C1          PHI1        EE50       SKIN");
    put(0, "        TIP");
    newline();
    if (d_.units == English) {
        put(7, " IN.       LB/IN**2      DEG.                 LB/IN**2");
        put(0, "    lb/in**2");
        newline();
    } else if (d_.units == SI) {
        put(7 + 2, "M");
        put(9, "kN/M**2      DEG.                 kN/M**2");
        put(0, "    kN/M**2");
        newline();
    }
    for (const ProfilePoint& p : d_.profile) {
        appendBlanks(out_, 3);
        for (float v : {p.depth, p.cohesion, p.frictionAngle, p.e50, p.sideFriction, p.tipResistance}) {
            appendE(out_, v, 10, 3);
            appendBlanks(out_, 2);
        }
        newline();
    }
}

void ReportWriter::profileEnd() {
    emptyLines(2);
    line("  ");
}

void ReportWriter::aeTable() {
    emptyLines(1);
    put(9, "  DEPTH");
    put(13, "AE PILE");
    newline();
    appendBlanks(out_, 12);
    out_ += depthUnit();
    appendBlanks(out_, 16);
    out_ += forceUnit();
    newline();
    for (const AePoint& p : d_.ae) {
        appendE(out_, p.depth, 18, 4);
        appendE(out_, p.ae, 19, 4);
        newline();
    }
}

void ReportWriter::qwBlock() {
    emptyLines(3);
    put(8, "TIP   LOAD");
    put(8, "TIP MOVEMENT");
    newline();
    appendBlanks(out_, 12);
    out_ += forceUnit();
    appendBlanks(out_, 15);
    out_ += moveUnit();
    newline();
    for (const QwPoint& p : d_.qw)
        writeQwRow(out_, p);
}

void ReportWriter::pileBlock() {
    emptyLines(3);
    put(8, "PILE LENGTH");
    put(7, "OUTER DIAMETER");
    put(6, "TOLERANCE");
    newline();
    appendBlanks(out_, 12);
    out_ += depthUnit();
    appendBlanks(out_, 16);
    out_ += depthUnit();
    appendBlanks(out_, 15);
    out_ += moveUnit();
    newline();
    appendE(out_, d_.pileLength, 18, 4);
    appendE(out_, d_.diameter, 19, 4);
    appendE(out_, d_.tolerance, 18, 4);
    newline();
}

void ReportWriter::mixedUpliftWarning() {
    emptyLines(1);
    out_ += "     ";
    line(msg::MixedUplift1);
    out_ += "     ";
    line(msg::MixedUplift2);
}

void ReportWriter::headLoads() {
    if (d_.headLoads.empty())
        return;
    emptyLines(2);
    put(10, "   LOADS      ");
    newline();
    unitRow(10, "    LB.       ", "    KN        ");
    for (float h : d_.headLoads) {
        appendBlanks(out_, 4);
        appendF(out_, h, 10, 3);
        newline();
    }
}

void ReportWriter::settlementProfile() {
    if (d_.settlement.empty())
        return;
    emptyLines(2);
    put(10, "   SOIL SETTLEMENT PROFILE");
    newline();
    emptyLines(1);
    put(10, "   DEPTH     SETTLEMENT");
    newline();
    unitRow(10, "    IN.         IN", "     M           M");
    for (const SettlementPoint& p : d_.settlement) {
        appendBlanks(out_, 10);
        appendE(out_, p.depth, 10, 3);
        appendBlanks(out_, 2);
        appendE(out_, p.settlement, 10, 3);
        appendBlanks(out_, 2);
        newline();
    }
}

void ReportWriter::sideFactors() {
    emptyLines(2);
    put(10, "DEPTH");
    put(20, "t-Multiplier  ");
    put(10, "z-Multiplier  ");
    newline();
    appendBlanks(out_, 10);
    out_ += depthUnit();
    newline();
    for (const FactorRow& r : d_.sideFactors) {
        appendBlanks(out_, 7);
        appendE(out_, r.depth, 10, 3);
        appendBlanks(out_, 18);
        appendE(out_, r.tMultiplier, 10, 3);
        appendBlanks(out_, 15);
        appendE(out_, r.zMultiplier, 10, 3);
        newline();
    }
}

void ReportWriter::tipFactors() {
    emptyLines(2);
    put(10, "PILE TIP");
    put(17, "Q-Multiplier  ");
    put(10, "w-Multiplier ");
    newline();
    appendBlanks(out_, 38);
    appendF(out_, d_.qMultiplier, 4, 2);
    appendBlanks(out_, 19);
    appendF(out_, d_.wMultiplier, 4, 2);
    newline();
}

void ReportWriter::tipMovementSolution(const Solution& s) {
    const float sign = s.uplift ? -1.0f : 1.0f;
    line(" ");
    emptyLines(3);
    put(8, "ASSUMED TIP MOVEMENT");
    put(8, "TIP   LOAD");
    newline();
    appendBlanks(out_, 17);
    out_ += moveUnit();
    appendBlanks(out_, 20);
    out_ += forceUnit();
    newline();
    appendE(out_, s.tipMovement, 23, 4);
    appendE(out_, s.tipLoad, 23, 4);
    newline();
    emptyLines(3);
    put(1, "DEPTH   LOAD");
    put(5, "LOAD");
    put(6, "TOTAL");
    put(6, "AVG");
    put(5, "DEFORM");
    put(5, "TOTAL     AVG");
    newline();
    put(7, "TRANSFER   INCR");
    put(6, "LOAD");
    put(7, "LOAD");
    put(4, "OF INCR    MVMNT     MVMNT");
    newline();
    out_ += "  ";
    out_ += depthUnit();
    out_ += "   ";
    out_ += pressureUnit();
    appendBlanks(out_, 8);
    out_ += forceUnit();
    appendBlanks(out_, 7);
    out_ += forceUnit();
    appendBlanks(out_, 8);
    out_ += forceUnit();
    appendBlanks(out_, 5);
    out_ += moveUnit();
    appendBlanks(out_, 8);
    out_ += moveUnit();
    appendBlanks(out_, 7);
    out_ += moveUnit();
    newline();
    // Two lines per increment: the node below it and its middle.
    auto nodeRow = [&](char* p, float depth, float load, float movement) {
        p = putBlanks(p, 1);
        p = putF(p, depth, 6, 1);
        p = putBlanks(p, 18);
        p = putE(p, sign * load, 10, 3);
        p = putBlanks(p, 20);
        p = putE(p, sign * movement, 10, 3);
        *p++ = '\n';
        return p;
    };
    constexpr std::size_t IncrementBytes = 66 + 74;
    const std::size_t n = s.increments.size();
    const std::size_t solutionBytes = (n + 1) * IncrementBytes + 1024;
    if (out_.capacity() - out_.size() < solutionBytes) {
        // Room for this solution and those still to come (or, when the text is handed on, for
        // what is held between two hand-overs), so the report grows once.
        const std::size_t solutions = std::max<std::size_t>(d_.tipMovements.size(), 1);
        out_.reserve(out_.size() + (flush_ ? FlushBytes + solutionBytes : solutions * solutionBytes) + 65536);
    }
    for (std::size_t i = 0; i < n; ++i) {
        const IncrementValues& inc = s.increments[i];
        char rows[IncrementBytes + 16];
        char* p = nodeRow(rows, inc.lowerDepth, s.load[i], s.movement[i]);
        p = putBlanks(p, 1);
        p = putF(p, inc.middleDepth, 6, 1);
        p = putF(p, sign * inc.t, 6, 2);
        p = putE(p, sign * inc.loadTransfer, 10, 3);
        p = putBlanks(p, 10);
        p = putE(p, sign * inc.averageLoad, 10, 3);
        p = putE(p, sign * inc.shortening, 10, 3);
        p = putBlanks(p, 10);
        p = putE(p, sign * inc.middleMovement, 10, 3);
        *p++ = '\n';
        out_.append(rows, static_cast<std::size_t>(p - rows));
    }
    if (n > 0) {
        const float dL = d_.pileLength / static_cast<float>(d_.increments);
        char row[IncrementBytes];
        char* p = nodeRow(row, s.increments[n - 1].lowerDepth - dL, s.load[n], s.movement[n]);
        out_.append(row, static_cast<std::size_t>(p - row));
    }
    if (flush_ && out_.size() >= FlushBytes) {
        flush_(out_);
        out_.clear();
    }
}

void ReportWriter::summaryHeading() {
    put(8, "TOP  LOAD     TOP MOVEMENT     TIP MOVEMENT");
    put(5, "TIP  LOAD");
    newline();
    appendBlanks(out_, 11);
    out_ += forceUnit();
    appendBlanks(out_, 13);
    out_ += moveUnit();
    appendBlanks(out_, 14);
    out_ += moveUnit();
    appendBlanks(out_, 12);
    out_ += forceUnit();
    newline();
}

void ReportWriter::tipMovementSummary(const std::vector<LoadSettlement>& results) {
    line(" ");
    out_ += ' ';
    out_ += d_.title;
    newline();
    emptyLines(3);
    summaryHeading();
    for (const LoadSettlement& r : results)
        writeSummaryRow(out_, r);
}

void ReportWriter::headLoadSummary(const std::vector<LoadSettlement>& results) {
    line("1");
    appendBlanks(out_, 8);
    out_ += d_.title;
    newline();
    summaryHeading();
    for (const LoadSettlement& r : results) {
        writeSummaryRow(out_, r);
        if (r.outsideRange) {
            out_ += "     ";
            line(msg::OutsideRange);
        }
    }
}

void ReportWriter::lookupWarning(const LookupStop& stop) {
    const char* last = stop.status == 4   ? msg::UnitWeightCurve
                       : stop.status == 7 ? msg::MaxLoadTransfer
                                          : msg::StrengthCurve;
    if (stop.status == 6) {
        appendFreeInt(out_, static_cast<std::int32_t>(d_.profile.size()));
        appendFreeReal(out_, d_.profile.empty() ? 0.0f : d_.profile.back().depth);
        newline();
    }
    emptyLines(1);
    appendBlanks(out_, 29);
    line(msg::WarningHead);
    appendBlanks(out_, 5);
    out_ += msg::ValueOfX;
    appendE(out_, stop.x, 9, 2);
    out_ += msg::BeyondExtent;
    newline();
    appendBlanks(out_, 5);
    line(last);
}

void ReportWriter::inputError(const std::string& record, const std::string& message) {
    emptyLines(1);
    appendBlanks(out_, 29);
    line(msg::InputErrorHead);
    appendBlanks(out_, 5);
    out_ += record.empty() ? message : record + ": " + message;
    newline();
    appendBlanks(out_, 5);
    line(msg::InputErrorStop);
}

} // namespace pavrin::engine
