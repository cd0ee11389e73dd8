#include "PlotDraw.h"

#include "DecimalSeparator.h"

#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QLine>
#include <QPageSize>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QPolygon>
#include <QSvgGenerator>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

namespace pavrin::graphics {

namespace {

constexpr std::array<QRgb, 17> kPalette = {
    0x000000, 0x0000FF, 0xFF0000, 0x008000, 0x800080, 0x800000, 0x000080, 0xFF00FF, 0x808000,
    0x008080, 0x808080, 0x00FF00, 0x808080, 0xC0C0C0, 0xC0C0C0, 0xFFFF00, 0x00FFFF,
};

// Pixel coordinates far outside any target are held here so that conversions never overflow.
constexpr long double kPixelLimit = 1 << 24;

int roundToInt(long double value) {
    if (!std::isfinite(value))
        return 0;
    return static_cast<int>(std::lround(std::clamp(value, -kPixelLimit, kPixelLimit)));
}

// Rounds away from zero for positive values and down otherwise; quotients within a hair of a whole
// number count as that number, so 0.3 / 0.1 does not grow a range by a whole step.
long double roundOut(long double value) {
    const long double nearest = std::round(value);
    if (std::fabs(value - nearest) <= 1e-9L * std::max(1.0L, std::fabs(value)))
        return nearest;
    return value > 0 ? std::ceil(value) : std::floor(value);
}

bool roundAxis(long double& low, long double& high) {
    if (high == low) {
        high += 0.01L;
        low -= 0.01L;
    }
    const long double span = high - low;
    const long double logSpan = std::log10(span);
    const long double k = std::floor(logSpan);
    long double step = std::pow(10.0L, k);
    if (logSpan - k < std::log10(3.0L))
        step /= 10;
    if (!(step > 0) || !std::isfinite(step))
        return false;
    low = step * roundOut(low / step);
    high = step * roundOut(high / step);
    return std::isfinite(low) && std::isfinite(high);
}

struct TAxisTicks {
    long double step = 0;
    int low = 0;
    int high = 0;
};

// Tick indices beyond this many minor steps from zero are not drawn (a view far from the origin).
constexpr int kMaxTickIndex = 1'000'000;

std::optional<TAxisTicks> axisTicks(long double low, long double high, int count) {
    const long double raw = (high - low) / count;
    if (!(raw > 0) || !std::isfinite(raw))
        return std::nullopt;
    const long double g = std::pow(10.0L, std::floor(std::log10(raw)));
    const auto m = static_cast<int>(std::trunc(raw / g));
    const long double major = m < 2 ? g : m <= 4 ? 2 * g : m <= 8 ? 5 * g : 10 * g;
    TAxisTicks ticks;
    ticks.step = major / 5;
    // The ends of the range count in steps with the tolerance of roundOut: 0.14 / 0.002 comes out a
    // hair below 70, and the tick (and label) at the end of the range must not be lost to that.
    const auto steps = [&](long double end) {
        const long double count = end / ticks.step;
        const long double nearest = std::round(count);
        if (std::fabs(count - nearest) <= 1e-9L * std::max(1.0L, std::fabs(count)))
            return nearest;
        return count;
    };
    const long double lowest = std::ceil(steps(std::min(low, 0.0L)));
    const long double highest = std::floor(steps(std::max(high, 0.0L)));
    ticks.low = static_cast<int>(std::max(lowest, static_cast<long double>(-kMaxTickIndex)));
    ticks.high = static_cast<int>(std::min(highest, static_cast<long double>(kMaxTickIndex)));
    return ticks;
}

QFont textFont(int h, bool bold) {
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(std::max(h, 1));
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

QRect qrect(const TPixelRect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}

// The painting state of one DrawPlot call.
class TPlotPainter {
public:
    TPlotPainter(QPainter& painter, const TGraphPlot& graph, const TPlotRange& view,
                 const TPlotLayout& layout)
        : p_(painter), graph_(graph), view_(view), layout_(layout),
          h_(TextHeight(layout.baseFontHeight, graph.SizeFont)),
          lineWidth_((roundToInt(layout.dx / 300.0L) + 1) * std::max(graph.WidthLine, 1)) {}

    void Draw() {
        const TPixelRect& page = layout_.PageRect;
        p_.setRenderHint(QPainter::Antialiasing, false);
        p_.setPen(Qt::NoPen);
        p_.setBrush(Qt::white);
        p_.drawRect(qrect(page));
        p_.setPen(QPen(Qt::black, 1));
        if (page.Width() < layout_.dx || page.Height() < layout_.dy)
            return;
        DrawCaptions();
        if (const auto ticks = ComputeTicks(view_, layout_.PlotRect, h_))
            DrawGrid(*ticks);
        DrawLines();
        if (layout_.ForOutput && layout_.legendVisible)
            DrawLegendBox();
        p_.setCompositionMode(QPainter::CompositionMode_SourceOver);
        p_.setPen(QPen(Qt::black, 1, Qt::SolidLine));
        p_.setBrush(Qt::NoBrush);
        p_.drawRect(qrect(layout_.PlotRect));
    }

private:
    // Text with its top left corner at (x, y); upward text runs up from (x, y) with its top to the left.
    void TextOut(int x, int y, const QString& text, bool upward = false) {
        const int ascent = p_.fontMetrics().ascent();
        if (!upward) {
            p_.drawText(QPoint(x, y + ascent), text);
            return;
        }
        p_.save();
        p_.translate(x, y);
        p_.rotate(-90);
        p_.drawText(QPoint(0, ascent), text);
        p_.restore();
    }
    int TextWidth(const QString& text) const { return p_.fontMetrics().horizontalAdvance(text); }
    int TextHeightOnCanvas() const { return p_.fontMetrics().height(); }

    void DrawCaptions() {
        const TPixelRect& page = layout_.PageRect;
        p_.setFont(textFont(h_, true));
        p_.setPen(Qt::black);
        const bool hasTitle = !graph_.Title.empty();
        const int th = TextHeightOnCanvas();

        const QString xCaption = qt(graph_.XAxisLabel());
        int y = 0;
        if (graph_.XOnTop)
            y = page.top + (hasTitle && graph_.TitleOnTop ? h_ / 8 + h_ : 0);
        else
            y = page.bottom - th - (hasTitle && !graph_.TitleOnTop ? h_ / 8 + h_ : 0);
        TextOut((page.left + page.right - TextWidth(xCaption)) / 2, y, xCaption);

        if (hasTitle) {
            const QString title = qt(graph_.Title);
            TextOut((page.left + page.right - TextWidth(title)) / 2,
                    graph_.TitleOnTop ? page.top : page.bottom - th, title);
        }

        const QString yCaption = qt(graph_.YAxisLabel());
        TextOut(page.left, (page.top + page.bottom + TextWidth(yCaption)) / 2, yCaption, true);
    }

    void DrawGrid(const TTicks& ticks) {
        const TPixelRect& plot = layout_.PlotRect;
        const int dx = layout_.dx;
        const int dy = layout_.dy;
        const QPen solid(Qt::black, 1, Qt::SolidLine);
        // Dots as far apart on paper as on the screen, not one printer pixel apart.
        QPen dotted(Qt::black, 1, Qt::CustomDashLine);
        const qreal dot = std::max(1, dx / 96);
        dotted.setDashPattern({dot, 2 * dot}); // Qt::DotLine on the screen
        p_.setFont(textFont(h_, false));
        const int th = TextHeightOnCanvas();
        const bool xOnTop = graph_.XOnTop;

        if (ticks.highX > ticks.lowX) {
            for (int k = ticks.lowX; k <= ticks.highX; ++k) {
                const long double v = k * ticks.stepX;
                const int px = DataToPixel(view_, plot, xOnTop, v, view_.ymin).x;
                if (px < plot.left || px > plot.right)
                    continue;
                if (k % 5 == 0) {
                    p_.setPen(dotted);
                    p_.drawLine(px, plot.top, px, plot.bottom);
                    p_.setPen(solid);
                    const QString label = qt(FormatGeneral(v, 4));
                    const int y = xOnTop ? plot.top - th - dy / 32 : plot.bottom + dy / 16;
                    TextOut(px - TextWidth(label) / 2, y, label);
                }
                p_.setPen(solid);
                if (xOnTop)
                    p_.drawLine(px, plot.top, px, plot.top + dy / 16);
                else
                    p_.drawLine(px, plot.bottom, px, plot.bottom - dy / 16);
            }
        }
        if (ticks.highY > ticks.lowY) {
            for (int k = ticks.lowY; k <= ticks.highY; ++k) {
                const long double v = k * ticks.stepY;
                const int py = DataToPixel(view_, plot, xOnTop, view_.xmin, v).y;
                if (py < plot.top || py > plot.bottom)
                    continue;
                if (k % 5 == 0) {
                    p_.setPen(dotted);
                    p_.drawLine(plot.left, py, plot.right, py);
                    p_.setPen(solid);
                    const QString label = qt(FormatGeneral(v, 4));
                    TextOut(plot.left - th - dx / 32, py + TextWidth(label) / 2, label, true);
                }
                p_.setPen(solid);
                p_.drawLine(plot.left, py, plot.left + dx / 16, py);
            }
        }
        p_.setPen(QPen(Qt::black, lineWidth_));
    }

    void DrawLines() {
        const TPixelRect& plot = layout_.PlotRect;
        p_.setClipRect(qrect(plot));
        if (graph_.LineCount() > 0 && graph_.GetLine(0).PointCount() > 1) {
            int k = 0;
            QPolygon polyline;
            std::vector<TPixelPoint> markerPoints;
            for (int i = 0; i < graph_.LineCount(); ++i) {
                const TLine& line = graph_.GetLine(i);
                if (!line.Active)
                    continue;
                if (line.Shown && line.PointCount() > 0) {
                    const QColor colour = LineColor(k);
                    p_.setPen(QPen(colour, lineWidth_, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                    p_.setBrush(colour);
                    polyline.clear();
                    polyline.reserve(line.PointCount());
                    markerPoints.clear();
                    for (int j = 0; j < line.PointCount(); ++j) {
                        const TFloatPoint& point = line.GetPoint(j);
                        if (!std::isfinite(point.X) || !std::isfinite(point.Y)) {
                            // A value that is not a number is not drawn: the line breaks there.
                            if (polyline.size() > 1)
                                p_.drawPolyline(polyline);
                            polyline.clear();
                            continue;
                        }
                        const TPixelPoint px = DataToPixel(view_, plot, graph_.XOnTop, point.X, point.Y);
                        polyline.append(QPoint(px.x, px.y));
                        if ((line.MarkAllPoints || (graph_.Markers > 0 && j % graph_.Markers == 0)) &&
                            (markerPoints.empty() || !(markerPoints.back() == px)))
                            markerPoints.push_back(px);
                    }
                    if (polyline.size() > 1)
                        p_.drawPolyline(polyline);
                    DrawMarkers(markerPoints, i);
                    if (graph_.ShowNeutralPlane && line.NeutralPlane)
                        DrawNeutralPlane(line, *line.NeutralPlane, colour);
                }
                ++k;
            }
        }
        p_.setPen(QPen(Qt::black, lineWidth_));
        p_.setBrush(Qt::white);
        p_.setClipRect(qrect(layout_.PageRect));
    }

    // A short horizontal mark across the line at `depth` (its y value) in the line's colour, two text
    // heights to either side of where the line crosses that depth (or of its nearest point).
    void DrawNeutralPlane(const TLine& line, long double depth, const QColor& colour) {
        std::optional<long double> x, nearestX;
        long double nearest = std::numeric_limits<long double>::infinity();
        for (int j = 0; j < line.PointCount(); ++j) {
            const TFloatPoint& a = line.GetPoint(j);
            if (!std::isfinite(a.X) || !std::isfinite(a.Y))
                continue;
            if (std::fabs(a.Y - depth) < nearest) {
                nearest = std::fabs(a.Y - depth);
                nearestX = a.X;
            }
            if (j + 1 == line.PointCount())
                break;
            const TFloatPoint& b = line.GetPoint(j + 1);
            if (std::isfinite(b.X) && std::isfinite(b.Y) && a.Y != b.Y && std::min(a.Y, b.Y) <= depth &&
                depth <= std::max(a.Y, b.Y)) {
                x = a.X + (b.X - a.X) * (depth - a.Y) / (b.Y - a.Y);
                break;
            }
        }
        if (!x)
            x = nearestX;
        if (!x)
            return;
        const TPixelPoint at = DataToPixel(view_, layout_.PlotRect, graph_.XOnTop, *x, depth);
        const int half = 2 * h_;
        p_.setPen(QPen(colour, lineWidth_ + 1, Qt::SolidLine, Qt::FlatCap));
        p_.drawLine(at.x - half, at.y, at.x + half, at.y);
    }

    // The markers of line `lineIndex` at `points` with the current pen. On images one marker is drawn
    // once and copied to every point, which gives the same pixels many times faster.
    void DrawMarkers(const std::vector<TPixelPoint>& points, int lineIndex) {
        if (points.empty())
            return;
        const auto outline = MarkerOutline(lineIndex, layout_.dx, layout_.dy);
        const QPaintEngine* engine = p_.paintEngine();
        if (points.size() < 16 || engine == nullptr || engine->type() != QPaintEngine::Raster) {
            QList<QLine> lines;
            for (const TPixelPoint& at : points)
                AddMarker(lines, outline, at);
            p_.drawLines(lines);
            return;
        }
        int radius = 0;
        for (const TPixelPoint& v : outline)
            radius = std::max({radius, std::abs(v.x), std::abs(v.y)});
        radius += p_.pen().width() + 1;
        QImage sprite(2 * radius + 1, 2 * radius + 1, QImage::Format_ARGB32_Premultiplied);
        sprite.fill(Qt::transparent);
        {
            QPainter spritePainter(&sprite);
            spritePainter.setPen(p_.pen());
            QList<QLine> lines;
            AddMarker(lines, outline, {radius, radius});
            spritePainter.drawLines(lines);
        }
        for (const TPixelPoint& at : points)
            p_.drawImage(at.x - radius, at.y - radius, sprite);
    }

    static void AddMarker(QList<QLine>& lines, const std::vector<TPixelPoint>& outline, TPixelPoint at) {
        for (std::size_t v = 1; v < outline.size(); ++v)
            lines.append(QLine(at.x + outline[v - 1].x, at.y + outline[v - 1].y, at.x + outline[v].x,
                               at.y + outline[v].y));
    }

    // A marker of line `lineIndex` at `at` with the current pen.
    void DrawMarker(TPixelPoint at, int lineIndex) {
        QList<QLine> lines;
        AddMarker(lines, MarkerOutline(lineIndex, layout_.dx, layout_.dy), at);
        p_.drawLines(lines);
    }

    void DrawLegendBox() {
        struct Entry {
            int lineIndex;
            int position;
            QString name;
        };
        std::vector<Entry> entries;
        int position = 0;
        for (int i = 0; i < graph_.LineCount(); ++i) {
            const TLine& line = graph_.GetLine(i);
            if (!line.Active)
                continue;
            if (line.Shown)
                entries.push_back({i, position, qt(line.DisplayName())});
            ++position;
        }
        if (entries.empty())
            return;
        const int dx = layout_.dx;
        const int dy = layout_.dy;
        p_.setFont(textFont(h_, false));
        const int th = TextHeightOnCanvas();
        int widest = 0;
        for (const auto& entry : entries)
            widest = std::max(widest, TextWidth(entry.name));
        const int n = static_cast<int>(entries.size());
        const int boxWidth = widest + 3 * dx / 16;
        const int boxHeight = n * (th + dy / 32) + dy / 32;

        const TPixelRect& page = layout_.PageRect;
        int x0 = 0;
        int y0 = 0;
        if (layout_.legend.atPlotCorner) {
            x0 = layout_.PlotRect.right - boxWidth;
            y0 = layout_.PlotRect.bottom - boxHeight;
        } else {
            const auto& place = layout_.legend;
            x0 = page.left + static_cast<int>(static_cast<long long>(place.left) * page.Width() /
                                              std::max(place.windowWidth, 1));
            y0 = page.top + static_cast<int>(static_cast<long long>(page.Height()) * place.top /
                                             std::max(place.windowHeight, 1));
        }
        // Text on paper is relatively larger than on screen: the box is kept on the page, as the
        // window keeps its legend inside the client area.
        x0 = std::max(page.left, std::min(x0, page.right - boxWidth));
        y0 = std::max(page.top, std::min(y0, page.bottom - boxHeight));
        p_.setPen(QPen(Qt::black, 1, Qt::SolidLine));
        p_.setBrush(Qt::white);
        p_.drawRect(QRect(x0, y0, boxWidth - 1, boxHeight - 1));

        int x = x0 + dx / 16;
        int y = y0 + dy / 32;
        for (const auto& entry : entries) {
            p_.setPen(QPen(Qt::black, 1));
            DrawMarker({x, y + th / 2}, entry.lineIndex);
            p_.setPen(LineColor(entry.position));
            TextOut(x + dx / 16, y, entry.name);
            y += dy / 32 + th;
        }
        p_.setPen(QPen(Qt::black, 1));
    }

    QPainter& p_;
    const TGraphPlot& graph_;
    const TPlotRange& view_;
    const TPlotLayout& layout_;
    const int h_;
    const int lineWidth_;
};

} // namespace

QColor LineColor(int k) {
    const int index = ((k % 17) + 17) % 17;
    return QColor(kPalette[static_cast<std::size_t>(index)]);
}

int TextHeight(int baseFontHeight, int sizeFont) {
    return std::abs(baseFontHeight) * sizeFont / 10;
}

std::string FormatGeneral(long double value, int digits) {
    digits = std::clamp(digits, 1, 18);
    if (value == 0 || !std::isfinite(value))
        return value == 0 ? "0" : (std::isnan(value) ? "NAN" : (value > 0 ? "INF" : "-INF"));
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, digits - 1);
    const std::string text(buffer, result.ptr); // "-1.235e+05"
    const std::size_t e = text.find('e');
    const bool negative = text[0] == '-';
    std::string mantissa;
    for (std::size_t i = negative ? 1 : 0; i < e; ++i)
        if (text[i] != '.')
            mantissa += text[i];
    while (mantissa.size() > 1 && mantissa.back() == '0')
        mantissa.pop_back();
    const int exponent = std::stoi(text.substr(e + 1));
    const char separator = controls::DecimalSeparator();

    std::string out = negative ? "-" : "";
    if (exponent >= -4 && exponent <= digits - 1) {
        if (exponent < 0) {
            out += '0';
            out += separator;
            out.append(static_cast<std::size_t>(-exponent - 1), '0');
            out += mantissa;
        } else {
            const auto integerDigits = static_cast<std::size_t>(exponent + 1);
            std::string integer = mantissa.substr(0, std::min(integerDigits, mantissa.size()));
            integer.append(integerDigits - integer.size(), '0');
            out += integer;
            if (mantissa.size() > integerDigits) {
                out += separator;
                out += mantissa.substr(integerDigits);
            }
        }
        return out;
    }
    out += mantissa[0];
    if (mantissa.size() > 1) {
        out += separator;
        out += mantissa.substr(1);
    }
    return out + "E" + std::to_string(exponent);
}

std::optional<TPlotRange> ComputeRanges(const TGraphPlot& graph) {
    TPlotRange range;
    for (int i = 0; i < graph.LineCount(); ++i)
        for (const TFloatPoint& point : graph.GetLine(i).Points) {
            if (std::isfinite(point.X)) {
                range.xmin = std::min(range.xmin, point.X);
                range.xmax = std::max(range.xmax, point.X);
            }
            if (std::isfinite(point.Y)) {
                range.ymin = std::min(range.ymin, point.Y);
                range.ymax = std::max(range.ymax, point.Y);
            }
        }
    if (!roundAxis(range.ymin, range.ymax) || !roundAxis(range.xmin, range.xmax))
        return std::nullopt;
    return range;
}

std::optional<TTicks> ComputeTicks(const TPlotRange& view, const TPixelRect& plot, int h) {
    if (h <= 0)
        return std::nullopt;
    const int nx = std::abs(plot.Width()) / (6 * h);
    const int ny = std::abs(plot.Height()) / (6 * h);
    if (nx == 0 || ny == 0)
        return std::nullopt;
    const auto x = axisTicks(view.xmin, view.xmax, nx);
    const auto y = axisTicks(view.ymin, view.ymax, ny);
    if (!x || !y)
        return std::nullopt;
    return TTicks{x->step, y->step, x->low, x->high, y->low, y->high};
}

TPixelPoint DataToPixel(const TPlotRange& view, const TPixelRect& plot, bool xOnTop, long double x,
                        long double y) {
    const long double width = view.xmax - view.xmin;
    const long double height = view.ymax - view.ymin;
    const int px = plot.left + (width != 0 ? roundToInt((x - view.xmin) / width * plot.Width()) : 0);
    const int c = height != 0 ? roundToInt((y - view.ymin) / height * plot.Height()) : 0;
    return {px, xOnTop ? plot.top + c : plot.bottom - c};
}

TFloatPoint PixelToData(const TPlotRange& view, const TPixelRect& plot, bool xOnTop, int px, int py) {
    if (px < plot.left || px > plot.right || plot.Width() == 0 || plot.Height() == 0)
        return {};
    const long double fx = static_cast<long double>(px - plot.left) / plot.Width();
    const long double fy =
        static_cast<long double>(xOnTop ? py - plot.top : plot.bottom - py) / plot.Height();
    return {view.xmin + fx * (view.xmax - view.xmin), view.ymin + fy * (view.ymax - view.ymin)};
}

std::vector<TPixelPoint> MarkerOutline(int lineIndex, int dx, int dy) {
    const int shape = (std::abs(lineIndex) % 10) + 1;
    std::vector<long double> degrees;
    if (shape == 1)
        degrees = {180, 300, 60};
    else if (shape == 2)
        degrees = {45, 135, 225, 315};
    else
        for (int n = 0; n < shape; ++n)
            degrees.push_back(360.0L * n / shape);
    const long double rx = dx / 32;
    const long double ry = dy / 32;
    std::vector<TPixelPoint> outline;
    for (const long double angle : degrees) {
        const long double theta = angle * std::numbers::pi_v<long double> / 180;
        // Half pixels round away from zero also when sin and cos land a hair short of a half.
        const auto nearest = [](long double v) { return roundToInt(v + std::copysign(1e-9L, v)); };
        outline.push_back({nearest(std::sin(theta) * rx), -nearest(std::cos(theta) * ry)});
    }
    outline.push_back(outline.front());
    return outline;
}

namespace {

void zoomAxis(long double fullLow, long double fullHigh, long double a, long double b, long double& low,
              long double& high) {
    low = std::min(a, b);
    high = std::max(a, b);
    const long double full = fullHigh - fullLow;
    if (full > 20 * (high - low)) {
        const long double width = full / 20;
        const long double centre = (low + high) / 2;
        low = centre - width / 2;
        high = centre + width / 2;
        if (low < fullLow) {
            low = fullLow;
            high = low + width;
        } else if (high > fullHigh) {
            high = fullHigh;
            low = high - width;
        }
    }
}

void zoomOutAxis(long double fullLow, long double fullHigh, long double at, long double& low,
                 long double& high) {
    const long double half = std::min(high - low, (fullHigh - fullLow) / 2);
    if (2 * half >= fullHigh - fullLow) {
        low = fullLow;
        high = fullHigh;
        return;
    }
    const long double centre = std::clamp(at, fullLow + half, fullHigh - half);
    low = centre - half;
    high = centre + half;
}

} // namespace

TPlotRange ZoomToBox(const TPlotRange& full, TFloatPoint a, TFloatPoint b) {
    TPlotRange view;
    zoomAxis(full.xmin, full.xmax, a.X, b.X, view.xmin, view.xmax);
    zoomAxis(full.ymin, full.ymax, a.Y, b.Y, view.ymin, view.ymax);
    return view;
}

TPlotRange ZoomOut(const TPlotRange& view, const TPlotRange& full, TFloatPoint at) {
    TPlotRange out = view;
    zoomOutAxis(full.xmin, full.xmax, at.X, out.xmin, out.xmax);
    zoomOutAxis(full.ymin, full.ymax, at.Y, out.ymin, out.ymax);
    return out;
}

void ActivateLinesForNewWindow(TGraphPlot& graph) {
    for (int i = 0; i < graph.LineCount(); ++i)
        graph.GetLine(i).Active = !TGraphPlot::LimitActiveLines || i < kMaxActiveLinesAtOpen;
}

bool TPlotLayout::operator==(const TPlotLayout& other) const {
    return PageRect == other.PageRect && PlotRect == other.PlotRect && dx == other.dx && dy == other.dy &&
           baseFontHeight == other.baseFontHeight && ForOutput == other.ForOutput &&
           legendVisible == other.legendVisible && legend.atPlotCorner == other.legend.atPlotCorner &&
           legend.left == other.legend.left && legend.top == other.legend.top &&
           legend.windowWidth == other.legend.windowWidth && legend.windowHeight == other.legend.windowHeight;
}

TPlotLayout WindowLayout(const TGraphPlot& graph, int width, int height, int dx, int dy, int baseFontHeight) {
    TPlotLayout layout;
    layout.dx = dx;
    layout.dy = dy;
    layout.baseFontHeight = baseFontHeight;
    layout.PageRect = {0, 0, width, height};
    const int h = TextHeight(baseFontHeight, graph.SizeFont);
    TPixelRect& plot = layout.PlotRect;
    plot.left = 2 * h + dx / 8 + h / 8;
    plot.right = width - dx / 4 - h / 2;
    if (graph.XOnTop) {
        plot.top = 2 * h + dy / 8 + h / 8;
        plot.bottom = height - dy / 4 - h / 2;
    } else {
        plot.top = h / 2 + dy / 4;
        plot.bottom = height - 2 * h - dy / 8 - h / 8;
    }
    if (!graph.Title.empty()) {
        if (graph.TitleOnTop)
            plot.top += h + h / 8;
        else
            plot.bottom -= h;
    }
    return layout;
}

TPixelRect PrintPageRect(int printableWidth, int printableHeight, int dx, int dy, int offX, int offY,
                         const TMargins& margins) {
    const auto device = [](int thousandths, int resolution) {
        return static_cast<int>(std::lround(static_cast<double>(thousandths) * resolution / 1000.0));
    };
    const int mL = std::max(device(margins.left, dx), offX);
    const int mR = std::max(device(margins.right, dx), offX);
    const int mT = std::max(device(margins.top, dy), offY);
    const int mB = std::max(device(margins.bottom, dy), offY);
    return {mL - offX, mT - offY, printableWidth + offX - mR, printableHeight + offY - mB};
}

TPlotLayout PrinterLayout(const TGraphPlot& graph, const TPixelRect& page, int dx, int dy,
                          int baseFontHeight) {
    TPlotLayout layout;
    layout.dx = dx;
    layout.dy = dy;
    layout.baseFontHeight = baseFontHeight;
    layout.PageRect = page;
    layout.ForOutput = true;
    const int h = TextHeight(baseFontHeight, graph.SizeFont);
    TPixelRect& plot = layout.PlotRect;
    plot.left = page.left + 2 * h + dx / 8 + h / 8;
    plot.right = page.right;
    if (graph.XOnTop) {
        plot.top = page.top + 2 * h + dy / 8 + h / 8;
        plot.bottom = page.bottom;
    } else {
        plot.top = page.top;
        plot.bottom = page.bottom - 2 * h - dy / 8 - h / 8;
    }
    if (!graph.Title.empty()) {
        if (graph.TitleOnTop)
            plot.top += dy / 4;
        else
            plot.bottom -= dy / 2;
    }
    return layout;
}

void DrawPlot(QPainter& painter, const TGraphPlot& graph, const TPlotRange& view, const TPlotLayout& layout) {
    TPlotPainter(painter, graph, view, layout).Draw();
}

std::optional<TPictureFormat> PictureFormatOf(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("bmp"))
        return TPictureFormat::Bmp;
    if (suffix == QLatin1String("png"))
        return TPictureFormat::Png;
    if (suffix == QLatin1String("svg"))
        return TPictureFormat::Svg;
    if (suffix == QLatin1String("pdf"))
        return TPictureFormat::Pdf;
    return std::nullopt;
}

namespace {

// Images above a gigabyte are refused before the allocation is tried: the system may grant the memory
// and end the process when the drawing touches it.
constexpr long long kMaxImagePixels = 1LL << 28;

TSaveResult saveImage(const TGraphPlot& graph, const TPlotRange& view, const TPlotLayout& layout,
                      const QString& fileName, int widthPx, int heightPx, int ppi, const char* format) {
    if (static_cast<long long>(widthPx) * heightPx > kMaxImagePixels)
        return TSaveResult::OutOfMemory;
    QImage image(widthPx, heightPx, QImage::Format_RGB32);
    if (image.isNull())
        return TSaveResult::OutOfMemory;
    const int dotsPerMeter = static_cast<int>(std::lround(ppi / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    {
        QPainter painter(&image);
        DrawPlot(painter, graph, view, layout);
    }
    return image.save(fileName, format) ? TSaveResult::Saved : TSaveResult::WriteFailed;
}

} // namespace

TSaveResult SavePicture(const TGraphPlot& graph, const TPlotRange& view, const TPlotLayout& layout,
                        TPictureFormat format, const QString& fileName, int widthPx, int heightPx, int ppi) {
    if (widthPx <= 0 || heightPx <= 0 || ppi <= 0)
        return TSaveResult::OutOfMemory;
    switch (format) {
    case TPictureFormat::Bmp:
        return saveImage(graph, view, layout, fileName, widthPx, heightPx, ppi, "BMP");
    case TPictureFormat::Png:
        return saveImage(graph, view, layout, fileName, widthPx, heightPx, ppi, "PNG");
    case TPictureFormat::Svg: {
        QFile file(fileName);
        if (!file.open(QIODevice::WriteOnly))
            return TSaveResult::WriteFailed;
        QSvgGenerator generator;
        generator.setOutputDevice(&file);
        generator.setSize(QSize(widthPx, heightPx));
        generator.setViewBox(QRect(0, 0, widthPx, heightPx));
        generator.setResolution(ppi);
        generator.setTitle(QString::fromStdString(graph.Caption));
        QPainter painter;
        if (!painter.begin(&generator))
            return TSaveResult::WriteFailed;
        DrawPlot(painter, graph, view, layout);
        return painter.end() ? TSaveResult::Saved : TSaveResult::WriteFailed;
    }
    case TPictureFormat::Pdf: {
        QFile file(fileName);
        if (!file.open(QIODevice::WriteOnly))
            return TSaveResult::WriteFailed;
        QPdfWriter writer(&file);
        writer.setTitle(QString::fromStdString(graph.Caption));
        writer.setResolution(ppi);
        writer.setPageSize(
            QPageSize(QSizeF(static_cast<double>(widthPx) / ppi, static_cast<double>(heightPx) / ppi),
                      QPageSize::Inch, QString(), QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter;
        if (!painter.begin(&writer))
            return TSaveResult::WriteFailed;
        DrawPlot(painter, graph, view, layout);
        return painter.end() ? TSaveResult::Saved : TSaveResult::WriteFailed;
    }
    }
    return TSaveResult::WriteFailed;
}

} // namespace pavrin::graphics
