// The verification chapter of the technical manual, made from real engine runs at build time.
//
//   pavrin-verify OUTPUT_FOLDER [CHAPTER.md...]
//
// Every check builds an input file, runs it through the engine's whole analysis (input reading, curve
// generation, solution, report and plot data file), reads the plot data file back as the program does,
// and compares the numbers with an independent reference: a closed-form solution, a published table
// as the technical manual transcribes it, or a hand calculation written out in the chapter, computed
// here in double precision. Writes OUTPUT_FOLDER/verification.md (tables, with each
// check's tolerance and whether it holds) and the figures in OUTPUT_FOLDER/figures/, numbered after the
// pictures of the chapters given (the manual's chapters before this one). The exit code
// is 1 when any check is out of tolerance, so a wrong engine fails the build of the manual and the test.
#include "Analysis.h"
#include "Calibration.h"
#include "DesignSweep.h"
#include "Downdrag.h"
#include "PlotDraw.h"
#include "PltData.h"
#include "ProgramData.h"
#include "ProjectAnalysis.h"
#include "PublishedCurves.h"
#include "Run.h"

#include <QDir>
#include <QGuiApplication>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace pavrin::reference;

constexpr double InchM = 0.0254;
constexpr double PoundKN = 0.004448222;

std::string num(double v) {
    char b[40];
    std::snprintf(b, sizeof b, "%.9G", v);
    return b;
}

std::string fixed(double v, int decimals) {
    char b[40];
    std::snprintf(b, sizeof b, "%.*f", decimals, v);
    return b;
}

std::string sci(double v) {
    if (v == 0)
        return "0";
    char b[40];
    std::snprintf(b, sizeof b, "%.2e", v);
    return b;
}

// ---------------------------------------------------------------- a run and its plot data file

struct Row4 {
    double headLoad, headMovement, tipMovement, tipLoad;
};
struct IncrementRow {
    double depth, load, movement;
};
struct Curve {
    double depth;
    std::vector<std::pair<double, double>> points; // (t, z) or (Q, w)
};
struct Result {
    int status = -1;
    std::vector<Curve> tz;
    Curve qw;
    int increments = 0;
    std::vector<std::vector<IncrementRow>> distributions; // per tip movement, from the tip upward
    std::vector<Row4> tipPass, headPass;
};

// Reads the plot data file as one stream of numbers, record by record.
bool parsePlot(const std::string& text, Result& r) {
    std::istringstream in(text);
    auto next = [&](double& v) { return static_cast<bool>(in >> v); };
    double c = 0;
    if (!next(c))
        return false;
    for (int k = 0; k < static_cast<int>(c); ++k) {
        double number, m, depth;
        if (!next(number) || !next(m) || !next(depth))
            return false;
        Curve curve{depth, {}};
        for (int i = 0; i < static_cast<int>(m); ++i) {
            double t, z;
            if (!next(t) || !next(z))
                return false;
            curve.points.emplace_back(t, z);
        }
        r.tz.push_back(curve);
    }
    double q;
    if (!next(q))
        return false;
    for (int i = 0; i < static_cast<int>(q); ++i) {
        double a, b;
        if (!next(a) || !next(b))
            return false;
        r.qw.points.emplace_back(a, b);
    }
    double t, n, units;
    if (!next(t) || !next(n) || !next(units))
        return false;
    r.increments = static_cast<int>(n);
    for (int k = 0; k < static_cast<int>(t); ++k) {
        std::vector<IncrementRow> rows;
        for (int j = 0; j < r.increments; ++j) {
            IncrementRow row;
            if (!next(row.depth) || !next(row.load) || !next(row.movement))
                return false;
            rows.push_back(row);
        }
        r.distributions.push_back(rows);
    }
    for (int k = 0; k < static_cast<int>(t); ++k) {
        Row4 row;
        if (!next(row.headLoad) || !next(row.headMovement) || !next(row.tipMovement) || !next(row.tipLoad))
            return false;
        r.tipPass.push_back(row);
    }
    Row4 row;
    while (next(row.headLoad) && next(row.headMovement) && next(row.tipMovement) && next(row.tipLoad))
        r.headPass.push_back(row);
    return true;
}

Result run(const std::string& input, pavrin::engine::AnalysisResults* kept = nullptr) {
    std::string report, plot;
    Result r;
    pavrin::engine::AnalysisResults scratch;
    r.status = pavrin::engine::analyse(input, report, plot, kept ? *kept : scratch);
    if (!parsePlot(plot, r))
        r.status = r.status == 0 ? -2 : r.status;
    return r;
}

// ---------------------------------------------------------------- the chapter being written

struct Chapter {
    std::ostringstream md;
    QString figures;
    int failures = 0;
    int checks = 0;
    int figureNumber = 1; // the number of the chapter's next figure in the whole manual

    // One line of a table's last column, counting the check.
    std::string verdict(bool holds) {
        ++checks;
        if (!holds)
            ++failures;
        return holds ? "holds" : "**FAILS**";
    }
    void note(const std::string& what) {
        ++failures;
        md << "\n**" << what << "**\n\n";
        std::fprintf(stderr, "pavrin-verify: %s\n", what.c_str());
    }
};

struct Line {
    std::string name;
    std::vector<std::pair<double, double>> points;
};

// Draws a figure as the graph window draws a printed graph, 6.5 x 4.2 inches at 150 dots per inch,
// with its numbered caption. `xMax`, when above the data, widens the x axis so that the legend in the
// lower right corner covers no line.
void figure(Chapter& ch, const std::string& file, const std::string& title, const std::string& xCaption,
            const std::string& yCaption, bool depthDown, const std::vector<Line>& lines, int markers,
            double xMax = 0) {
    using namespace pavrin::graphics;
    TGraphPlot g("verification");
    g.XCaption = xCaption;
    g.YCaption = yCaption;
    g.XOnTop = depthDown;
    g.Markers = markers;
    g.Title = title;
    g.SetUnits(3);
    g.SetLineCount(static_cast<int>(lines.size()));
    for (int i = 0; i < g.LineCount(); ++i) {
        const Line& l = lines[static_cast<std::size_t>(i)];
        TLine& line = g.GetLine(i);
        line.Name = l.name;
        line.Points.clear();
        for (auto [x, y] : l.points)
            line.Points.push_back({static_cast<long double>(x), static_cast<long double>(y)});
    }
    ActivateLinesForNewWindow(g);
    auto range = ComputeRanges(g);
    if (range && xMax > static_cast<double>(range->xmax))
        range->xmax = xMax;
    const int dpi = 150;
    const int w = static_cast<int>(6.5 * dpi), h = static_cast<int>(4.2 * dpi);
    if (!range) {
        ch.note("Figure " + file + " has no drawable range.");
        return;
    }
    auto layout =
        WindowLayout(g, w, h, dpi, dpi, static_cast<int>(std::lround(kWindowFontHeight * dpi / 96.0)));
    layout.ForOutput = true;
    layout.legendVisible = true;
    const QString path = ch.figures + QLatin1Char('/') + QString::fromStdString(file);
    if (SavePicture(g, *range, layout, TPictureFormat::Png, path, w, h, dpi) != TSaveResult::Saved)
        ch.note("Figure " + file + " could not be written.");
    ch.md << "\n![" << title << "](figures/" << file << ")\n\n*Figure " << ch.figureNumber++ << ": " << title
          << ".*\n\n";
}

double relErr(double actual, double expected) {
    return std::fabs(actual - expected) / std::max(std::fabs(expected), 1e-300);
}

// ---------------------------------------------------------------- elastic piles

struct ElasticPile {
    const char* name;
    int units;
    double length, diameter, ae, k, kb;
    std::vector<double> tips;
};

const ElasticPile Piles[] = {
    {"short stiff pile, English", 1, 360, 12, 3.0e9, 100, 1.0e5, {0.002, 0.01, 0.05}},
    {"long compressible pile, English", 1, 1200, 24, 5.0e8, 50, 2.0e5, {0.001, 0.01, 0.03}},
    {"bored pile, SI", 2, 20, 0.6, 5.0e6, 20000, 2.0e5, {0.0005, 0.001, 0.004}},
    {"long pile, SI", 2, 30, 0.9, 2.0e6, 5000, 1.0e5, {0.0002, 0.002, 0.01}},
};

struct Exact {
    double load, movement;
};

// AE w'' = pi D k w with Q = Kb w at the tip, y measured up from the tip.
Exact elastic(const ElasticPile& p, double wb, double y) {
    const double mu = std::sqrt(Pi * p.diameter * p.k / p.ae);
    const double r = p.kb / (p.ae * mu);
    return {p.ae * mu * wb * (std::sinh(mu * y) + r * std::cosh(mu * y)),
            wb * (std::cosh(mu * y) + r * std::sinh(mu * y))};
}

std::string elasticInput(const ElasticPile& p, int increments) {
    const double zEnd = 100 * elastic(p, p.tips.back(), p.length).movement;
    std::string s = std::string(p.name) + "\n" + std::to_string(increments) + " 0 " +
                    std::to_string(p.units) + "\n1\n4\n";
    for (int i = 0; i < 4; ++i)
        s += std::to_string(i + 1) + " " + num(p.length * i / 3) + " 2\n0.0 0.0\n" + num(p.k * zEnd) + " " +
             num(zEnd) + "\n";
    s += "2\n" + num(p.ae) + " 0.0\n" + num(p.ae) + " " + num(p.length) + "\n";
    s += "2\n0.0 0.0\n" + num(p.kb * zEnd) + " " + num(zEnd) + "\n";
    s += num(1e-6 * p.tips.front()) + " " + num(p.length) + " " + num(p.diameter) + " " +
         num(Pi * p.diameter * p.diameter / 4) + "\n";
    s += std::to_string(p.tips.size()) + "\n";
    for (double w : p.tips)
        s += num(w) + " ";
    return s + "\n0\n0\n0\n0\n";
}

void elasticChecks(Chapter& ch) {
    // Solver: second order in the increment length, single-precision accumulation (1e-3); the plot
    // file keeps four significant digits (5e-4).
    const double tol = 1.5e-3;
    ch.md << "\n## Elastic pile in linear soil\n\n"
             "A pile of constant AE in soil whose t-z curves are straight lines, t = k z, on a tip spring "
             "Q = Kb w, obeys AE w'' = π D k w, the equation of the elastic pile on linear load-transfer "
             "springs solved in closed form by Randolph and Wroth (1978). With μ = √(π D k / AE), "
             "r = Kb / (AE μ) and y measured up from the tip:\n\n"
             "    w(y) = wb (cosh μy + r sinh μy)\n    P(y) = AE μ wb (sinh μy + r cosh μy)\n\n"
             "Four piles, two in each unit system, are run with 900 increments and three tip movements "
             "each. The table gives the largest relative error of the head load and of the head "
             "movement over the three tip movements, as read back from the plot data file (four "
             "significant digits). Tolerance: "
          << sci(tol) << " (10⁻³ for the solution in single precision, 5·10⁻⁴ for the printed digits).\n\n"
          << "| Pile | Units | μL | Head load error | Head movement error | Tolerance | Check |\n"
             "|---|---|---|---|---|---|---|\n";
    const ElasticPile* drawn = &Piles[1];
    Result drawnRun;
    for (const auto& p : Piles) {
        const Result r = run(elasticInput(p, 900));
        const double mu = std::sqrt(Pi * p.diameter * p.k / p.ae);
        if (r.status != 0 || r.tipPass.size() != p.tips.size()) {
            ch.md << "| " << p.name << " | | | | | | " << ch.verdict(false) << " (status " << r.status
                  << ") |\n";
            continue;
        }
        double eLoad = 0, eMove = 0;
        for (std::size_t i = 0; i < p.tips.size(); ++i) {
            const Exact head = elastic(p, p.tips[i], p.length);
            eLoad = std::max(eLoad, relErr(r.tipPass[i].headLoad, head.load));
            eMove = std::max(eMove, relErr(r.tipPass[i].headMovement, head.movement));
        }
        ch.md << "| " << p.name << " | " << (p.units == 1 ? "lb, in" : "kN, m") << " | "
              << fixed(mu * p.length, 2) << " | " << sci(eLoad) << " | " << sci(eMove) << " | " << sci(tol)
              << " | " << ch.verdict(eLoad <= tol && eMove <= tol) << " |\n";
        if (&p == drawn)
            drawnRun = r;
    }
    if (drawnRun.distributions.size() == drawn->tips.size()) {
        std::vector<Line> lines;
        for (std::size_t i = 0; i < drawn->tips.size(); ++i) {
            Line computed{"computed, wb = " + num(drawn->tips[i]) + " in", {}};
            const auto& rows = drawnRun.distributions[i];
            for (std::size_t j = 30; j < rows.size(); j += 75) // every 75th of the 900 increments
                computed.points.emplace_back(rows[j].load / 1000, rows[j].depth / 12);
            Line exact{"closed form, wb = " + num(drawn->tips[i]) + " in", {}};
            for (int j = 0; j <= 24; ++j) {
                const double depth = drawn->length * j / 24;
                exact.points.emplace_back(elastic(*drawn, drawn->tips[i], drawn->length - depth).load / 1000,
                                          depth / 12);
            }
            lines.push_back(computed);
            lines.push_back(exact);
        }
        figure(ch, "elastic-load-distribution.png",
               "Load distribution of the long compressible pile, computed and closed form",
               "Axial load (kips)", "Depth (ft)", true, lines, 1);
    }
}

// ---------------------------------------------------------------- down-drag

struct DragCase {
    double layer; // thickness of the settling layer, in
    double tip;   // tip movement, in
};

void downDragChecks(Chapter& ch) {
    const double L = 600, D = 16, t0 = 5, ae = 3.0e9, kb = 1.0e5, settle = 4;
    const int n = 60;
    const double dL = L / n;
    const DragCase cases[] = {{250, 0.1}, {400, 1.0}, {150, 0.5}};
    ch.md << "\n## Down-drag: pile in a settling layer\n\n"
             "A pile of length L = 600 in and diameter D = 16 in, with a t-z curve that reaches its "
             "constant value t0 = 5 psi at a movement of 0.001 in, stands in a layer of thickness H "
             "that settles uniformly by 4 in; the soil below does not settle. The pile moves less than "
             "the layer, so the whole layer drags it down with -t0, and the soil below carries it with "
             "+t0. The closed form follows from equilibrium alone, as in the neutral-plane analysis of "
             "Fellenius (1972): the neutral plane (the depth of the largest axial load) lies at H, "
             "the drag load is π D t0 H, and the head load is Q(wb) + π D t0 (L - 2H).\n\n"
             "The neutral plane and the drag load are taken in two ways: from the load distribution in "
             "the plot data file (the depth of the largest average load of an increment; the drag load "
             "as that load less the head load), and from the program's down-drag summary of the same "
             "solution (the largest nodal load, its depth refined to where the side friction changes "
             "sign). Each neutral plane must lie within one increment length (10 in) of H; the drag "
             "loads and the head load must agree with the closed form within the friction of one "
             "increment, π D t0 ΔL = "
          << fixed(Pi * D * t0 * dL, 0)
          << " lb, plus 0.5 % of the largest load for the three digits of the file.\n\n"
             "| H (in) | wb (in) | Plane, file (in) | Plane, summary (in) | Drag, file (lb) | Drag, summary "
             "(lb) | "
             "Drag, closed form (lb) | Head load (lb) | Head, closed form (lb) | Check |\n"
             "|---|---|---|---|---|---|---|---|---|---|\n";
    std::vector<Line> lines;
    for (const auto& c : cases) {
        std::string s = "Down-drag verification\n" + std::to_string(n) + " 0 1\n1\n2\n";
        for (int i = 0; i < 2; ++i)
            s += std::to_string(i + 1) + " " + num(L * i) + " 3\n0 0\n" + num(t0) + " 0.001\n" + num(t0) +
                 " 100\n";
        s += "2\n" + num(ae) + " 0\n" + num(ae) + " " + num(L) + "\n";
        s += "3\n0 0\n" + num(kb) + " 1\n" + num(kb) + " 100\n";
        s += "1E-6 " + num(L) + " " + num(D) + " 201.06\n1\n" + num(c.tip) + "\n0\n";
        s += "2\n0 " + num(settle) + "\n" + num(c.layer) + " " + num(settle) + "\n0\n0\n";
        pavrin::engine::AnalysisResults kept;
        const Result r = run(s, &kept);
        if (r.status != 0 || r.distributions.size() != 1 || r.tipPass.size() != 1 ||
            kept.tipSolutions.size() != 1) {
            ch.md << "| " << c.layer << " | " << c.tip << " | | | | | | | | " << ch.verdict(false)
                  << " (status " << r.status << ") |\n";
            continue;
        }
        const auto& rows = r.distributions[0];
        double maxLoad = -1e300;
        for (const auto& row : rows)
            maxLoad = std::max(maxLoad, row.load);
        // Equal largest loads (adjacent increments rounded alike): the middle of their depths.
        double lo = 1e300, hi = -1e300;
        for (const auto& row : rows)
            if (row.load == maxLoad) {
                lo = std::min(lo, row.depth);
                hi = std::max(hi, row.depth);
            }
        const double plane = (lo + hi) / 2;
        const double head = r.tipPass[0].headLoad;
        const double drag = maxLoad - head;
        const double dragExact = Pi * D * t0 * c.layer;
        const double headExact = kb * c.tip + Pi * D * t0 * (L - 2 * c.layer);
        const double loadTol = Pi * D * t0 * dL + 0.005 * maxLoad;
        const auto summary = pavrin::engine::downdragFigures(kept.tipSolutions[0]);
        const bool holds = std::fabs(plane - c.layer) <= dL && std::fabs(drag - dragExact) <= loadTol &&
                           std::fabs(head - headExact) <= loadTol && summary.downdrag &&
                           std::fabs(summary.neutralDepth - c.layer) <= dL &&
                           std::fabs(summary.dragLoad - dragExact) <= loadTol;
        ch.md << "| " << num(c.layer) << " | " << num(c.tip) << " | " << fixed(plane, 1) << " | "
              << fixed(summary.neutralDepth, 1) << " | " << fixed(drag, 0) << " | "
              << fixed(summary.dragLoad, 0) << " | " << fixed(dragExact, 0) << " | " << fixed(head, 0)
              << " | " << fixed(headExact, 0) << " | " << ch.verdict(holds) << " |\n";
        Line computed{"computed, H = " + num(c.layer) + " in", {}};
        for (std::size_t j = 0; j < rows.size(); ++j) // every fifth increment and the largest loads
            if (j % 5 == 2 || rows[j].load == maxLoad)
                computed.points.emplace_back(rows[j].load / 1000, rows[j].depth / 12);
        lines.push_back(computed);
        Line exact{"closed form, H = " + num(c.layer) + " in", {}};
        for (int j = 0; j <= 24; ++j) {
            const double y = L * j / 24;
            const double load =
                y <= c.layer ? headExact + Pi * D * t0 * y : kb * c.tip + Pi * D * t0 * (L - y);
            exact.points.emplace_back(load / 1000, y / 12);
        }
        exact.points.insert(exact.points.begin() + 1 + static_cast<int>(c.layer / (L / 24)),
                            {(headExact + dragExact) / 1000, c.layer / 12});
        lines.push_back(exact);
    }
    // The x axis runs on to 220 kips: the legend's corner then lies beside the lines, clear of the
    // neutral planes the figure shows.
    figure(ch, "downdrag-load-distribution.png", "Axial load with down-drag, computed and closed form",
           "Axial load (kips)", "Depth (ft)", true, lines, 1, 220);
}

// ---------------------------------------------------------------- generated curves

std::vector<std::pair<double, double>> sideTable(int type, bool si, double f, double phi, double d) {
    std::vector<std::pair<double, double>> p;
    for (const RefPoint& point : SideCurve(type, si, f, phi, d))
        p.emplace_back(point.a, point.b);
    return p;
}

struct SoilCase {
    int type;
    bool si;
    double gamma, c, phi, e50, f, d, length; // unit weight, cohesion, friction angle, e50, side friction
};

std::vector<std::pair<double, double>> tipTable(const SoilCase& s) {
    const bool clay = s.type % 2 == 1;
    const double area = Pi * s.d * s.d / 4;
    const double q = clay ? 9 * s.c : s.length * s.gamma * BearingFactor(s.phi);
    const double qmax = area * q;
    std::vector<std::pair<double, double>> p;
    auto table = [&](const double* w, const double* r) {
        for (int m = 0; m < 10; ++m)
            p.emplace_back(r[m] * qmax, w[m] * s.d);
    };
    switch (s.type) {
    case 1: {
        const double z50 = 2 * s.e50 * s.d, w9 = 4 * z50;
        p.emplace_back(0, 0);
        for (int m = 2; m <= 8; ++m) {
            const double w = (m - 1) * w9 / 8;
            p.emplace_back(qmax / 2 * std::sqrt(w / z50), w);
        }
        p.emplace_back(qmax, w9);
        p.emplace_back(qmax, 10 * w9);
        break;
    }
    case 2: {
        const double e = s.phi <= 31 ? 0.5 : (s.phi <= 38 ? 0.333 : 0.25);
        for (int m = 0; m < 10; ++m) {
            const double w = SandTipW[m] * (s.si ? InchM : 1);
            p.emplace_back(m == 0 ? 0 : qmax * std::pow(w / (0.05 * s.d), e), w);
        }
        break;
    }
    case 3:
        table(ShaftTipW, ClayShaftTipQ);
        break;
    case 4:
        table(ShaftTipW, SandShaftTipQ);
        break;
    default:
        table(ApiTipW, ApiTipQ);
    }
    return p;
}

std::string soilInput(const SoilCase& s) {
    const bool clay = s.type % 2 == 1;
    const double bottom = s.length * 1.2, area = Pi * s.d * s.d / 4;
    std::string t =
        "Generated curves, soil type " + std::to_string(s.type) + "\n20 0 " + (s.si ? "2" : "1") + "\n2\n1\n";
    t += "1 " + std::to_string(s.type) + " 0.0 " + num(bottom) + "\n";
    const std::string row = num(s.gamma) + " " +
                            (clay ? num(s.c) + " 0.0 " + num(s.e50) : "0.0 " + num(s.phi) + " 15") + " " +
                            num(s.f) + " 0\n";
    t += row + row;
    const double ae = 1e9 * (s.si ? PoundKN : 1); // pounds, or the same in kilonewtons
    t += "2\n" + num(ae) + " 0\n" + num(ae) + " " + num(bottom) + "\n";
    t += num(1e-5 * (s.si ? InchM : 1)) + " " + num(s.length) + " " + num(s.d) + " " + num(area) +
         "\n0\n0\n0\n0\n0\n";
    return t;
}

// Largest error over the points of a curve, relative to the curve's largest value of each column.
double curveError(const std::vector<std::pair<double, double>>& got,
                  const std::vector<std::pair<double, double>>& ref) {
    if (got.size() != ref.size())
        return 1;
    double maxA = 0, maxB = 0, e = 0;
    for (const auto& [a, b] : ref) {
        maxA = std::max(maxA, std::fabs(a));
        maxB = std::max(maxB, std::fabs(b));
    }
    for (std::size_t i = 0; i < ref.size(); ++i) {
        e = std::max(e, std::fabs(got[i].first - ref[i].first) / maxA);
        e = std::max(e, std::fabs(got[i].second - ref[i].second) / maxB);
    }
    return e;
}

void generatedCurveChecks(Chapter& ch) {
    const double tol = 1e-3; // four digits in the plot data file
    const SoilCase cases[] = {
        {1, false, 0.03, 4.0, 0, 0.01, 3.0, 16, 600},  {1, true, 8.0, 60, 0, 0.01, 40, 0.4, 15},
        {2, false, 0.035, 0, 30, 0, 2.5, 16, 600},     {2, true, 9.5, 0, 36, 0, 50, 0.4, 15},
        {3, false, 0.03, 6.0, 0, 0.007, 4.0, 36, 720}, {3, true, 8.5, 80, 0, 0.007, 60, 0.9, 18},
        {4, false, 0.034, 0, 33, 0, 5.0, 30, 720},     {4, true, 9.0, 0, 33, 0, 70, 0.9, 18},
        {5, false, 0.03, 5.5, 0, 0.01, 5.0, 18, 600},  {5, true, 8.0, 40, 0, 0.01, 38, 0.45, 15},
        {6, false, 0.034, 0, 32, 0, 4.0, 20, 600},     {6, true, 9.0, 0, 32, 0, 25, 0.5, 15},
    };
    static const char* soil[] = {"",
                                 "clay, driven pile",
                                 "sand, driven pile",
                                 "clay, drilled shaft",
                                 "sand, drilled shaft",
                                 "clay, driven pile (API)",
                                 "sand, driven pile (API)"};
    ch.md << "\n## Generated curves against the published tables\n\n"
             "For each of the six soil types, in both unit systems, a one-layer project with constant "
             "soil properties is run in generated mode. The first t-z curve (at the ground surface) and "
             "the Q-w curve of the tip are read back from the plot data file and compared point by point "
             "with the published tables and formulas as the curve chapter transcribes them, computed "
             "independently in double precision. The check verifies that the engine generates the curves "
             "of those transcribed tables, with their unit conversions, their ultimate values and their "
             "tip rules; it does not verify the transcription against the original publications (see the "
             "references), nor that the methods suit a given soil. The error is the largest difference "
             "over the ten points, relative to "
             "the curve's largest value of the same column. Tolerance: "
          << sci(tol)
          << " (the plot data file keeps four significant digits).\n\n"
             "| Type | Soil | Units | t-z error | Q-w error | Tolerance | Check "
             "|\n|---|---|---|---|---|---|---|\n";
    std::vector<Line> lines;
    for (const auto& s : cases) {
        const Result r = run(soilInput(s));
        if (r.status != 0 || r.tz.empty()) {
            ch.md << "| " << s.type << " | " << soil[s.type] << " | " << (s.si ? "SI" : "English")
                  << " | | | | " << ch.verdict(false) << " (status " << r.status << ") |\n";
            continue;
        }
        const double eSide = curveError(r.tz[0].points, sideTable(s.type, s.si, s.f, s.phi, s.d));
        const double eTip = curveError(r.qw.points, tipTable(s));
        ch.md << "| " << s.type << " | " << soil[s.type] << " | " << (s.si ? "SI" : "English") << " | "
              << sci(eSide) << " | " << sci(eTip) << " | " << sci(tol) << " | "
              << ch.verdict(eSide <= tol && eTip <= tol) << " |\n";
        if (!s.si && s.type != 2 && s.type != 6) {
            // Normalised side curves of the English projects whose tables are ratios: t/f against z/D.
            Line l{"type " + std::to_string(s.type), {}};
            for (auto [t, z] : r.tz[0].points)
                if (z / s.d <= 0.06)
                    l.points.emplace_back(z / s.d, t / s.f);
            lines.push_back(l);
        }
    }
    figure(ch, "generated-side-curves.png", "Generated t-z curves, t/f against z/D (English projects)", "z/D",
           "t/f", false, lines, 1);
}

// ---------------------------------------------------------------- the soil profile

// A two-layer profile: API clay (type 5) from 0 to 200 in over API sand (type 6) from 200 to 600 in,
// every property changing linearly within its layer and jumping at the boundary. Both types have a
// t/f of 1.0 in their tables and a Q/Qmax of 1.0 at w/D = 0.1, so the ultimate side friction of each
// generated curve and the Qmax of the tip can be read off the plot data file directly.
struct ProfileLayer {
    int type;
    double top, bottom;
    double gamma[2], c[2], phi[2], f[2]; // at the layer's top and bottom
};
const ProfileLayer ProfileLayers[] = {
    {5, 0, 200, {0.030, 0.040}, {4.0, 6.0}, {0, 0}, {2.0, 4.0}},
    {6, 200, 600, {0.035, 0.045}, {0, 0}, {30, 36}, {5.0, 7.0}},
};
constexpr double ProfileD = 16;
const double ProfileArea = Pi * ProfileD * ProfileD / 4;

std::string profileInput(double pileLength) {
    std::string s = "Soil profile look-ups\n20 0 1\n2\n2\n";
    for (int k = 0; k < 2; ++k) {
        const ProfileLayer& l = ProfileLayers[k];
        s += std::to_string(k + 1) + " " + std::to_string(l.type) + " " + num(l.top) + " " + num(l.bottom) +
             "\n";
    }
    for (const ProfileLayer& l : ProfileLayers)
        for (int i = 0; i < 2; ++i)
            s += num(l.gamma[i]) + " " + num(l.c[i]) + " " + num(l.phi[i]) + " " +
                 (l.type % 2 == 1 ? "0.01" : "15") + " " + num(l.f[i]) + " 0\n";
    s += "2\n1E9 0\n1E9 600\n1E-5 " + num(pileLength) + " " + num(ProfileD) + " " + num(ProfileArea) + "\n";
    return s + "0\n0\n0\n0\n0\n";
}

// The hand calculation: a property at depth x, linear within the layer that holds x; at a boundary
// the lower layer's value.
double profileAt(double x, double (ProfileLayer::*values)[2]) {
    for (const ProfileLayer& l : ProfileLayers)
        if (x < l.bottom || &l == &ProfileLayers[1]) {
            const double* v = l.*values;
            return v[0] + (v[1] - v[0]) * (x - l.top) / (l.bottom - l.top);
        }
    return 0;
}

double largest(const std::vector<std::pair<double, double>>& points, bool second = false) {
    double m = 0;
    for (const auto& [a, b] : points)
        m = std::max(m, second ? b : a);
    return m;
}

void profileChecks(Chapter& ch) {
    const double tol = 1e-3; // four digits in the plot data file
    ch.md << "\n## The soil profile: depths, layer boundaries, average unit weight and the tip layer\n\n"
             "A project with two layers is run in generated mode: clay by the API method (soil type 5) from "
             "0 to 200 in over sand by the API method (type 6) from 200 to 600 in, every property changing "
             "linearly within its layer and jumping at the boundary:\n\n"
             "| Layer | Type | Top (in) | Bottom (in) | γ (lb/in³) | c (psi) | φ (°) | f (psi) |\n"
             "|---|---|---|---|---|---|---|---|\n";
    for (int k = 0; k < 2; ++k) {
        const ProfileLayer& l = ProfileLayers[k];
        auto range = [](const double* v) {
            return v[0] == 0 && v[1] == 0 ? std::string("–") : num(v[0]) + " to " + num(v[1]);
        };
        ch.md << "| " << k + 1 << " | " << l.type << " | " << num(l.top) << " | " << num(l.bottom) << " | "
              << range(l.gamma) << " | " << range(l.c) << " | " << range(l.phi) << " | " << range(l.f)
              << " |\n";
    }
    ch.md << "\nThe pile is 16 in wide, with a tip area of " << fixed(ProfileArea, 2)
          << " in². Both API side tables reach t/f = 1 and the API tip table Q/Qmax = 1, so the "
             "plot data file shows the ultimate unit side friction f of every generated curve (its "
             "largest t) and the Qmax of the tip (its largest Q). Tolerance on each figure: "
          << sci(tol)
          << " (four significant digits in the file).\n\n"
             "**Curve depths and depth interpolation.** Each layer from a to b gets curves at a, (a + m)/2, "
             "m = (a + b)/2, (m + e)/2 and e = b − 0.01. Within a layer f is interpolated linearly, so at "
             "50 in f = 2.0 + (4.0 − 2.0) × 50 / 200 = 2.5 psi. The curve 0.01 in above the boundary "
             "takes the clay's value, f = 2.0 + 2.0 × 199.99 / 200 = 3.9999 psi; the curve at the "
             "boundary, 200 in, takes the lower layer's value, 5.0 psi, not the clay's 4.0 psi.\n\n"
             "| Curve | Depth, hand (in) | Depth, program (in) | f, hand (psi) | f, program (psi) | Error | "
             "Check "
             "|\n|---|---|---|---|---|---|---|\n";
    const Result deep = run(profileInput(500));
    std::vector<double> depths;
    for (const ProfileLayer& l : ProfileLayers) {
        const double m = (l.top + l.bottom) / 2, e = l.bottom - 0.01;
        for (double x : {l.top, (l.top + m) / 2, m, (m + e) / 2, e})
            depths.push_back(x);
    }
    if (deep.status != 0 || deep.tz.size() != depths.size()) {
        ch.md << "| | | | | | | " << ch.verdict(false) << " (status " << deep.status << ") |\n";
    } else {
        for (std::size_t k = 0; k < depths.size(); ++k) {
            const double f = profileAt(depths[k], &ProfileLayer::f);
            const double got = largest(deep.tz[k].points);
            const double e = std::max(relErr(got, f), std::fabs(deep.tz[k].depth - depths[k]) / 600);
            ch.md << "| " << k + 1 << " | " << num(depths[k]) << " | " << num(deep.tz[k].depth) << " | "
                  << num(f) << " | " << num(got) << " | " << sci(e) << " | " << ch.verdict(e <= tol)
                  << " |\n";
        }
    }

    // The tip in the sand: the average unit weight down to the tip and the sand rule.
    const double x = 500;
    const double g500 = profileAt(x, &ProfileLayer::gamma), phi = profileAt(x, &ProfileLayer::phi);
    const double clayPart = (0.030 + 0.040) / 2 * 200, sandPart = (0.035 + g500) / 2 * (x - 200);
    const double gBar = (clayPart + sandPart) / x, nq = BearingFactor(phi);
    const double qSand = ProfileArea * x * gBar * nq;
    // The tip in the clay: the clay rule.
    const double xc = 150, c = profileAt(xc, &ProfileLayer::c);
    const double qClay = ProfileArea * 9 * c;
    ch.md << "\n**The tip layer and the average unit weight.** The tip curve follows the method of the "
             "first layer whose bottom is at or below the pile length. A pile of "
          << num(x) << " in ends in the sand: φ at the tip is 30 + 6 × 300 / 400 = " << num(phi)
          << "°, Nq = exp(π tan φ) tan²(45° + φ/2) = " << fixed(nq, 3)
          << ". The average unit weight is the depth integral of γ down to the tip divided by the "
             "depth, taken segment by segment with γ linear on each, the jump at the boundary included: "
             "γ(500) = 0.035 + 0.010 × 300 / 400 = "
          << num(g500) << " lb/in³, and γ̄ = [(0.030 + 0.040)/2 × 200 + (0.035 + " << num(g500)
          << ")/2 × 300] / 500 = (" << num(clayPart) << " + " << num(sandPart) << ") / 500 = " << num(gBar)
          << " lb/in³. So Qmax = A x γ̄ Nq = " << fixed(ProfileArea, 2) << " × 500 × " << num(gBar) << " × "
          << fixed(nq, 3) << " = " << fixed(qSand, 0) << " lb. A pile of " << num(xc)
          << " in ends in the clay: c = 4.0 + 2.0 × 150 / 200 = " << num(c)
          << " psi and Qmax = 9 c A = " << fixed(qClay, 0)
          << " lb. The rule of the other layer would give a far different figure (the clay rule at 500 in "
             "finds c = 0, the sand rule at 150 in φ = 0), and so would a plain mean of γ (0.0375 lb/in³, "
             "0.7 % more).\n\n"
             "| Pile length (in) | Tip layer | Rule | Qmax, hand (lb) | Qmax, program (lb) | γ̄ from the "
             "program (lb/in³) | Error | Check |\n|---|---|---|---|---|---|---|---|\n";
    const Result shallow = run(profileInput(xc));
    struct TipCase {
        double length;
        const Result* r;
        const char* layer;
        const char* rule;
        double qmax;
        bool sand;
    };
    const TipCase tips[] = {{x, &deep, "2, sand (API)", "A x γ̄ Nq", qSand, true},
                            {xc, &shallow, "1, clay (API)", "9 c A", qClay, false}};
    for (const TipCase& t : tips) {
        if (t.r->status != 0 || t.r->qw.points.empty()) {
            ch.md << "| " << num(t.length) << " | " << t.layer << " | | | | | | " << ch.verdict(false)
                  << " (status " << t.r->status << ") |\n";
            continue;
        }
        const double got = largest(t.r->qw.points);
        const double e = relErr(got, t.qmax);
        ch.md << "| " << num(t.length) << " | " << t.layer << " | " << t.rule << " | " << fixed(t.qmax, 0)
              << " | " << fixed(got, 0) << " | " << (t.sand ? fixed(got / (ProfileArea * x * nq), 5) : "–")
              << " | " << sci(e) << " | " << ch.verdict(e <= tol) << " |\n";
    }
}

// ---------------------------------------------------------------- English and SI

std::string userCurveInput(bool si, const std::vector<double>& heads) {
    // A 50 ft, 16 in pile with softening clay curves and a stiffening tip curve, in pounds and inches;
    // the SI project is the same pile converted with 1 in = 0.0254 m and 1 lb = 0.004448222 kN.
    const double len = si ? InchM : 1, force = si ? PoundKN : 1, stress = force / (len * len);
    const double L = 600 * len, D = 16 * len, ae = 7.06e8 * force;
    std::string s =
        std::string("User curves, ") + (si ? "SI" : "English") + "\n50 0 " + (si ? "2" : "1") + "\n1\n3\n";
    const double depths[] = {0, 300, 600}, fs[] = {2.0, 4.0, 6.5};
    const double zs[] = {0, 0.02, 0.05, 0.1, 0.3, 3}, ts[] = {0, 0.5, 0.8, 1.0, 0.9, 0.9};
    for (int k = 0; k < 3; ++k) {
        s += std::to_string(k + 1) + " " + num(depths[k] * len) + " 6\n";
        for (int m = 0; m < 6; ++m)
            s += num(ts[m] * fs[k] * stress) + " " + num(zs[m] * len) + "\n";
    }
    s += "2\n" + num(ae) + " 0\n" + num(ae) + " " + num(L) + "\n";
    const double qs[] = {0, 20000, 45000, 70000, 80000}, ws[] = {0, 0.05, 0.2, 0.6, 2.0};
    s += "5\n";
    for (int m = 0; m < 5; ++m)
        s += num(qs[m] * force) + " " + num(ws[m] * len) + "\n";
    s += num(1e-6 * len) + " " + num(L) + " " + num(D) + " " + num(201.06 * len * len) + "\n";
    std::vector<double> tips;
    for (int i = 1; i <= 40; ++i)
        tips.push_back(0.0025 * i * i * len); // 0.0025 to 4 in, closer together where the curve bends
    s += std::to_string(tips.size()) + "\n";
    for (double w : tips)
        s += num(w) + "\n";
    s += std::to_string(heads.size()) + "\n";
    for (double h : heads)
        s += num(h * force) + "\n";
    return s + "0\n0\n0\n";
}

void unitSystemChecks(Chapter& ch) {
    const double tol = 2e-3;
    ch.md << "\n## English and SI agreement\n\n"
             "The same pile is entered once in pounds and inches and once in kilonewtons and metres "
             "(1 in = 0.0254 m, 1 lb = 0.004448222 kN): a 50 ft (15.24 m) pile of 16 in (0.4064 m) "
             "with three user t-z curves that soften after their peak and a tip curve, solved for 40 "
             "tip movements; and a drilled shaft in clay with generated curves (soil type 3, whose "
             "tables are ratios of the diameter; the API sand curves, which differ, follow in the next "
             "section). The SI results are converted back to pounds and "
             "inches and compared row by row with the English ones; the table gives the largest "
             "relative error of the head load and of the head movement. Tolerance: "
          << sci(tol) << " (two runs in single precision and four printed digits each).\n\n"
          << "| Project | Rows | Head load error | Head movement error | Tolerance | Check "
             "|\n|---|---|---|---|---|---|\n";
    struct Pair {
        std::string name, english, si;
    };
    const SoilCase shaftE{3, false, 0.03, 6.0, 0, 0.007, 4.0, 36, 720};
    const double kPaPsi = 6.894757;
    const SoilCase shaftS{3,     true,         0.03 * 271.447, 6.0 * kPaPsi, 0,
                          0.007, 4.0 * kPaPsi, 36 * InchM,     720 * InchM};
    const Pair pairs[] = {{"user curves", userCurveInput(false, {}), userCurveInput(true, {})},
                          {"generated, clay drilled shaft", soilInput(shaftE), soilInput(shaftS)}};
    std::vector<Line> drawn;
    for (const auto& p : pairs) {
        const Result e = run(p.english), s = run(p.si);
        if (e.status != 0 || s.status != 0 || e.tipPass.size() != s.tipPass.size() || e.tipPass.empty()) {
            ch.md << "| " << p.name << " | | | | | " << ch.verdict(false) << " |\n";
            continue;
        }
        double eLoad = 0, eMove = 0;
        for (std::size_t i = 0; i < e.tipPass.size(); ++i) {
            eLoad = std::max(eLoad, relErr(s.tipPass[i].headLoad / PoundKN, e.tipPass[i].headLoad));
            eMove = std::max(eMove, relErr(s.tipPass[i].headMovement / InchM, e.tipPass[i].headMovement));
        }
        ch.md << "| " << p.name << " | " << e.tipPass.size() << " | " << sci(eLoad) << " | " << sci(eMove)
              << " | " << sci(tol) << " | " << ch.verdict(eLoad <= tol && eMove <= tol) << " |\n";
        if (&p == &pairs[0]) {
            Line english{"English run", {{0, 0}}}, si{"SI run, converted to lb and in", {{0, 0}}};
            for (std::size_t i = 0; i < e.tipPass.size(); ++i) {
                english.points.emplace_back(e.tipPass[i].headMovement, e.tipPass[i].headLoad / 1000);
                si.points.emplace_back(s.tipPass[i].headMovement / InchM,
                                       s.tipPass[i].headLoad / PoundKN / 1000);
            }
            drawn = {english, si};
        }
    }
    figure(ch, "english-si.png",
           "Load-settlement curve of the user-curve pile from the English and the SI run",
           "Head movement (in)", "Head load (kips)", false, drawn, 1);
}

// The sand curves by the API method (type 6) are the one generator whose SI table is not the English
// one converted: its movements in inches are divided by 39.79 instead of 39.37 to give metres, so the
// SI curve reaches each t at a movement 1.06 % smaller. The English and SI runs of one project then
// differ; this measures by how much, and checks that it is no more than that factor explains: at one
// tip movement the side friction can be at most 39.79 / 39.37 - 1 larger in SI, the tip the same.
void apiSandUnitChecks(Chapter& ch) {
    const double tol = 2e-3;
    const double factor = 39.79 * InchM - 1; // relative stiffening of the SI side curves
    const double kPaPsi = 6.894757;
    const SoilCase english{6, false, 0.034, 0, 32, 0, 4.0, 20, 600};
    const SoilCase si{6, true, 0.034 * 271.447, 0, 32, 0, 4.0 * kPaPsi, 20 * InchM, 600 * InchM};
    const Result e = run(soilInput(english)), s = run(soilInput(si));
    ch.md << "\n### Sand by the API method: the SI curves differ\n\n"
             "The sand curves by the API method (soil type 6) give the movements of their table in inches "
             "and divide them by 39.79 to give metres in SI projects, where 1 m is 39.37 in. The SI curve "
             "therefore reaches each unit side friction at a movement "
          << fixed(100 * (1 - 39.37 / 39.79), 2)
          << " % smaller than the English curve converted, and is that much stiffer up to the movement at "
             "which t reaches f (0.1 in, 2.5 mm); beyond it both give f. A 50 ft pile of 20 in in sand "
             "of φ = 32° with f = 4 psi (27.6 kPa), entered in both unit systems, is solved for the nine "
             "default tip movements. The table gives, for each tip movement, how much larger the SI head "
             "load is than the English one; it must lie between 0 and "
          << fixed(100 * factor, 2)
          << " % (the side friction at most that much larger, the tip load the same), "
          << "with a tolerance of " << sci(tol) << ".\n\n"
          << "| Tip movement (in) | English head load (lb) | SI head load, in lb | Difference | Check |\n"
             "|---|---|---|---|---|\n";
    if (e.status != 0 || s.status != 0 || e.tipPass.size() != s.tipPass.size() || e.tipPass.empty()) {
        ch.md << "| | | | | " << ch.verdict(false) << " (status " << e.status << ", " << s.status << ") |\n";
        return;
    }
    double most = 0;
    for (std::size_t i = 0; i < e.tipPass.size(); ++i) {
        const double english = e.tipPass[i].headLoad, converted = s.tipPass[i].headLoad / PoundKN;
        const double d = converted / english - 1;
        most = std::max(most, d);
        ch.md << "| " << num(e.tipPass[i].tipMovement) << " | " << fixed(english, 0) << " | "
              << fixed(converted, 0) << " | " << fixed(100 * d, 2) << " % | "
              << ch.verdict(d >= -tol && d <= factor + tol) << " |\n";
    }
    // The settlement at a head load, read off each load-settlement curve by linear interpolation.
    auto settlementAt = [](const Result& r, double load, double force, double length) {
        double h0 = 0, s0 = 0;
        for (const Row4& row : r.tipPass) {
            const double h = row.headLoad / force, m = row.headMovement / length;
            if (load <= h)
                return s0 + (load - h0) * (m - s0) / (h - h0);
            h0 = h;
            s0 = m;
        }
        return s0;
    };
    double smaller = 0, smallerAt = 0;
    const double top = e.tipPass.back().headLoad;
    for (int k = 1; k <= 19; ++k) {
        const double load = top * k / 20;
        const double d = 1 - settlementAt(s, load, PoundKN, InchM) / settlementAt(e, load, 1, 1);
        if (d > smaller) {
            smaller = d;
            smallerAt = load;
        }
    }
    ch.md << "\nThe SI head load is up to " << fixed(100 * most, 2)
          << " % larger at small movements, where the shaft friction is not yet fully mobilised, and the "
             "same once it is. Read the other way, the settlement under a given head load (interpolated on "
             "each load-settlement curve at 5 % steps of the largest head load) is up to "
          << fixed(100 * smaller, 2) << " % smaller in SI, at " << fixed(smallerAt, 0)
          << " lb, where the curve bends.\n\n";
}

// ---------------------------------------------------------------- head loads against tip movements

void headLoadChecks(Chapter& ch) {
    const double tol = 2e-3;
    const std::vector<double> heads = {30000, 60000, 90000, 120000, 150000, 180000};
    ch.md << "\n## Head-load pass against the tip-movement pass\n\n"
             "The user-curve pile of the previous section is given six head loads. The head-load pass "
             "starts each load at the tip movement interpolated from the tip-movement pass and lowers it "
             "in steps of 2 % until the head load found is no more than 0.05 % above the given load; its "
             "row then shows the given load with the movements of that last solution. To check it, the "
             "pile is run again with the tip movements of those rows, w, and with w / 0.98 (one step "
             "larger), as ordinary tip movements. The head movement of each row must agree with the "
             "tip-movement pass at the same w, and the head load found there, Hw, must lie between the "
             "given load H and the load one step earlier: Hw ≤ 1.0005 H and H(w / 0.98) ≥ H. Tolerance "
             "on each: "
          << sci(tol)
          << " (the rows keep four digits of w). The last column gives, for comparison, the settlement "
             "read off the load-settlement curve (40 tip movements) at H by linear interpolation; it "
             "differs from the pass by the straight lines between the curve's rows and by up to one 2 % step "
             "of tip movement.\n\n"
             "| H (lb) | w (in) | Settlement (in) | Tip pass at w (in) | Error | Hw/H | H(w/0.98)/H | "
             "Curve at H (in) | Check |\n|---|---|---|---|---|---|---|---|---|\n";
    const Result r = run(userCurveInput(false, heads));
    if (r.status != 0 || r.headPass.size() != heads.size()) {
        ch.md << "| | | | | | | | | " << ch.verdict(false) << " (status " << r.status << ") |\n";
        return;
    }
    std::vector<double> tips;
    for (const auto& h : r.headPass) {
        tips.push_back(h.tipMovement);
        tips.push_back(h.tipMovement / 0.98);
    }
    std::sort(tips.begin(), tips.end());
    std::string again = userCurveInput(false, {});
    {
        // The same project with these tip movements: replace the tip-movement records.
        const std::string from = "\n40\n", to = "\n0\n0\n0\n0\n";
        const auto a = again.find(from), b = again.rfind(to);
        std::string list = "\n" + std::to_string(tips.size()) + "\n";
        for (double w : tips)
            list += num(w) + "\n";
        again = again.substr(0, a) + list.substr(0, list.size() - 1) + again.substr(b);
    }
    const Result check = run(again);
    if (check.status != 0 || check.tipPass.size() != tips.size()) {
        ch.md << "| | | | | | | | | " << ch.verdict(false) << " (status " << check.status << ") |\n";
        return;
    }
    auto solutionAt = [&](double w) {
        const auto i = static_cast<std::size_t>(std::lower_bound(tips.begin(), tips.end(), w) - tips.begin());
        return check.tipPass[std::min(i, tips.size() - 1)];
    };
    Line curve{"tip-movement pass", {{0, 0}}};
    for (const auto& row : r.tipPass)
        curve.points.emplace_back(row.headMovement, row.headLoad / 1000);
    Line points{"head-load pass, at the load found", {}};
    for (const Row4& h : r.headPass) {
        const Row4 at = solutionAt(h.tipMovement), step = solutionAt(h.tipMovement / 0.98);
        double atH = -1;
        for (std::size_t k = 1; k < r.tipPass.size(); ++k) {
            const Row4 &a = r.tipPass[k - 1], &b = r.tipPass[k];
            if (h.headLoad >= a.headLoad && h.headLoad <= b.headLoad) {
                atH = a.headMovement + (h.headLoad - a.headLoad) * (b.headMovement - a.headMovement) /
                                           (b.headLoad - a.headLoad);
                break;
            }
        }
        const double e = relErr(h.headMovement, at.headMovement);
        const bool bracket =
            at.headLoad <= 1.0005 * h.headLoad * (1 + tol) && step.headLoad >= h.headLoad * (1 - tol);
        ch.md << "| " << fixed(h.headLoad, 0) << " | " << num(h.tipMovement) << " | " << num(h.headMovement)
              << " | " << num(at.headMovement) << " | " << sci(e) << " | "
              << fixed(at.headLoad / h.headLoad, 4) << " | " << fixed(step.headLoad / h.headLoad, 4) << " | "
              << fixed(atH, 4) << " | " << ch.verdict(e <= tol && bracket) << " |\n";
        points.points.emplace_back(h.headMovement, at.headLoad / 1000);
    }
    figure(ch, "head-load-pass.png", "Load-settlement curve and the solutions of the head-load pass",
           "Head movement (in)", "Head load (kips)", false, {curve, points}, 1);
}

// ---------------------------------------------------------------- calibration to a load test

// The curve of `input` analysed as the fit analyses its trials, for "measured" points.
std::vector<pavrin::cli::CurvePoint> variantCurve(pavrin::cli::OpenedProject& project, double tz, double qw) {
    using namespace pavrin::cli;
    const VariantChange changes[] = {{SweepParameter::TzFactor, tz}, {SweepParameter::QwFactor, qw}};
    std::string input, reason, report, plot;
    if (!variantInput(*project.data, changes, input, reason))
        return {};
    pavrin::engine::AnalysisResults results;
    if (pavrin::engine::analyse(input, report, plot, results) != 0)
        return {};
    return predictedCurve(results.tipResults);
}

void calibrationChecks(Chapter& ch) {
    using namespace pavrin::cli;
    const double tol = 0.01;
    ch.md << "\n## Calibration to a load test\n\n"
             "Recovery: each example project is analysed with its t-z curves multiplied by 1.3 and its "
             "Q-w curve by 0.7 (on top of its own factors); ten \"measured\" points are taken on that "
             "curve at a tenth to nine tenths of its largest head load. The unmodified project is then "
             "fitted to those points by both multipliers. Both must come back within "
          << fixed(tol * 100, 0)
          << " %, and the analysis at the fitted factors must give back the measured settlements within "
             "ten times the project's convergence tolerance on movement.\n\n"
             "| Project | t-z multiplier | Q-w multiplier | Largest residual | Analyses | Check |\n"
             "|---|---|---|---|---|---|\n";
    const std::filesystem::path folder = std::filesystem::path(ch.figures.toStdString()).parent_path();
    std::vector<Line> drawn;
    for (const char* name : {"driven-pile-clay-sand", "drilled-shaft-si", "user-curves-downdrag"}) {
        OpenedProject project;
        std::ostringstream err;
        const std::string path = std::string(PAVRIN_EXAMPLES "/") + name + ".pv3d";
        const std::vector<CurvePoint> curve = openProject(path, project, err) == 0
                                                  ? variantCurve(project, 1.3, 0.7)
                                                  : std::vector<CurvePoint>{};
        if (curve.empty()) {
            ch.md << "| " << name << " | | | | | " << ch.verdict(false) << " (not analysed) |\n";
            continue;
        }
        long double largest = 0;
        for (const CurvePoint& p : curve)
            largest = std::max(largest, p.load);
        pavrin::app::TMeasuredLoadTest test;
        test.units = project.data->Units;
        for (int i = 0; i < 10; ++i) {
            const long double load = largest * (0.1L + 0.08L * i);
            test.points.push_back({load, *settlementAtLoad(curve, load), std::nullopt});
        }
        FitSettings settings;
        settings.varyQw = true;
        const FitResult r = fitToLoadTest(*project.data, test, settings);
        // The fitted project analysed afresh, not the fit's own evaluation.
        const std::vector<CurvePoint> again =
            r.done ? variantCurve(project, static_cast<double>(r.tzFactor), static_cast<double>(r.qwFactor))
                   : std::vector<CurvePoint>{};
        const FitEvaluation e = evaluateCurve(again, test);
        long double residual = e.misses ? 1e30L : 0;
        for (long double v : e.residuals)
            residual = std::max(residual, std::fabs(v));
        const bool holds = r.done && std::fabs(r.tzFactor / 1.3L - 1) <= tol &&
                           std::fabs(r.qwFactor / 0.7L - 1) <= tol &&
                           residual <= 10 * project.data->Tolerance;
        const std::string L = project.data->Units == 1 ? " in" : " m";
        ch.md << "| " << name << " | " << num(static_cast<double>(r.tzFactor)) << " | "
              << num(static_cast<double>(r.qwFactor)) << " | " << sci(static_cast<double>(residual)) << L
              << " | " << r.analyses << " | " << ch.verdict(holds) << " |\n";
        if (drawn.empty() && r.done) {
            Line measured{"measured (t x 1.3, Q x 0.7)", {}}, before{"uncalibrated", {}}, after{"calibrated", {}};
            for (const auto& p : test.points)
                measured.points.emplace_back(static_cast<double>(p.load) / 1000, static_cast<double>(p.settlement));
            for (const auto& p : r.before.curve)
                before.points.emplace_back(static_cast<double>(p.load) / 1000, static_cast<double>(p.settlement));
            for (const auto& p : again)
                after.points.emplace_back(static_cast<double>(p.load) / 1000, static_cast<double>(p.settlement));
            drawn = {measured, before, after};
        }
    }
    if (!drawn.empty())
        figure(ch, "calibration-recovery.png", "Recovery of known multipliers on the driven-pile example",
               "Head load (kips)", "Head settlement (in)", true, drawn, 1);

    // Closed form: a rigid pile with one linear t-z curve to a plateau and no tip resistance.
    const double k = 2, d = 16, L = 600;
    const double loads[] = {5000, 10000, 15000, 20000}, settlements[] = {0.06, 0.13, 0.19, 0.27};
    double pp = 0, ps = 0;
    for (int i = 0; i < 4; ++i) {
        pp += loads[i] * loads[i];
        ps += loads[i] * settlements[i];
    }
    const double closed = pp / (k * Pi * d * L * ps);
    const std::string input = "Rigid pile, linear t-z curve to a plateau, no tip resistance\n100 0 1\n1\n2\n"
                              "1 0 3\n0 0\n2 1\n2 10\n2 600 3\n0 0\n2 1\n2 10\n2\n1E15 0\n1E15 600\n"
                              "2\n0 0\n0 10\n1E-7 600 16 201.06193\n5\n0.05\n0.1\n0.2\n0.3\n0.4\n0\n0\n 0\n 0\n";
    const std::filesystem::path file = folder / "calibration-rigid.pv3d";
    std::ofstream(file) << input;
    OpenedProject rigid;
    std::ostringstream err;
    FitResult r;
    pavrin::app::TMeasuredLoadTest test;
    for (int i = 0; i < 4; ++i)
        test.points.push_back({loads[i], settlements[i], std::nullopt});
    if (openProject(file.string(), rigid, err) == 0)
        r = fitToLoadTest(*rigid.data, test, FitSettings{});
    // The points do not lie on one line, so the minimum is flat: a change of 10^-4 in m changes the
    // RMS by about 10^-8 in, the size of the single-precision rounding of the settlements.
    const double tolRigid = 5e-4;
    const double error = r.done ? relErr(static_cast<double>(r.tzFactor), closed) : 1;
    ch.md << "\nClosed form: a rigid pile (AE 10¹⁵ lb) of length L = 600 in and diameter D = 16 in with the "
             "same t-z curve at head and tip, t = k z with k = 2 lb/in³ up to z = 1 in, and no tip "
             "resistance, settles s = P / (m k π D L) under head load P with t-z multiplier m (the engine "
             "takes π as 3.1416) while z stays below 1 in. For the points (P, s) = (5000, 0.06), "
             "(10000, 0.13), (15000, 0.19), (20000, 0.27) the least-squares multiplier is "
             "m = Σ P² / (k π D L Σ P s). The points do not lie on one line, so the minimum of the RMS is "
             "flat: near it a change of 10⁻⁴ in m changes the RMS by about 10⁻⁸ in, the size of the "
             "single-precision rounding of the settlements; the tolerance allows for it.\n\n"
             "| Closed form m | Fitted m | Relative error | Analyses | Tolerance | Check |\n"
             "|---|---|---|---|---|---|\n"
          << "| " << num(closed) << " | " << num(static_cast<double>(r.tzFactor)) << " | " << sci(error) << " | "
          << r.analyses << " | " << sci(tolRigid) << " | " << ch.verdict(r.done && error <= tolRigid) << " |\n";
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: pavrin-verify OUTPUT_FOLDER [CHAPTER.md...]\n");
        return 64;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    Chapter ch;
    // The chapters before this one, so that its figures are numbered after theirs.
    for (int k = 2; k < argc; ++k) {
        std::ifstream chapter(argv[k]);
        if (!chapter) {
            std::fprintf(stderr, "pavrin-verify: cannot read %s\n", argv[k]);
            return 1;
        }
        bool fence = false;
        for (std::string line; std::getline(chapter, line);) {
            if (line.rfind("```", 0) == 0)
                fence = !fence;
            else if (!fence && line.rfind("![", 0) == 0)
                ++ch.figureNumber;
        }
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    ch.figures = folder + QStringLiteral("/figures");
    if (!QDir().mkpath(ch.figures)) {
        std::fprintf(stderr, "pavrin-verify: cannot make %s\n", qPrintable(ch.figures));
        return 1;
    }
    ch.md << "# Verification\n\n"
             "The tables and figures of this chapter were produced by the program's verification run "
             "when this document was built, from real runs of the analysis engine of this version. "
             "Each check states its tolerance and whether it holds; a check that does not hold stops "
             "the build, so a printed copy of this manual always shows checks that hold.\n\n";
    elasticChecks(ch);
    downDragChecks(ch);
    generatedCurveChecks(ch);
    profileChecks(ch);
    unitSystemChecks(ch);
    apiSandUnitChecks(ch);
    headLoadChecks(ch);
    calibrationChecks(ch);
    ch.md << "\n## Summary\n\n"
          << ch.checks << " checks were made; " << (ch.checks - (ch.failures > 0 ? ch.failures : 0))
          << " hold" << (ch.failures ? ", **" + std::to_string(ch.failures) + " do not**" : "") << ".\n";
    std::ofstream out((folder + QStringLiteral("/verification.md")).toStdString());
    out << ch.md.str();
    out.close();
    if (!out) {
        std::fprintf(stderr, "pavrin-verify: cannot write the chapter\n");
        return 1;
    }
    std::printf("pavrin-verify: %d checks, %d out of tolerance\n", ch.checks, ch.failures);
    return ch.failures == 0 ? 0 : 1;
}
