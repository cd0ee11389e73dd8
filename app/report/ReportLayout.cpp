#include "ReportLayout.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>

namespace pavrin::report {

namespace {

constexpr double kMarginInches = 0.6;
constexpr double kFooterInches = 0.3; // from the page foot to the footer's base line

double inches(double value) {
    return value * kReportDpi;
}

} // namespace

ReportLayout::ReportLayout(QPdfWriter& writer, QString footerName)
    : writer_(writer), footerName_(std::move(footerName)) {
    const double margin = inches(kMarginInches);
    content_ = QRectF(margin, margin, writer.width() - 2 * margin, writer.height() - 2 * margin);
}

QFont ReportLayout::BodyFont(double points, bool bold) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

QFont ReportLayout::MonoFont(double points) {
    QFont font(QStringLiteral("Liberation Mono"));
    font.setPointSizeF(points);
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

double ReportLayout::LineHeight(const QFont& font) const {
    return QFontMetricsF(font, &writer_).lineSpacing();
}

double ReportLayout::Advance(const QFont& font, const QString& text) const {
    return QFontMetricsF(font, &writer_).horizontalAdvance(text);
}

void ReportLayout::NewPage() {
    pages_.emplace_back();
    y_ = content_.top();
}

bool ReportLayout::Fits(double height) const {
    return y_ + height <= content_.bottom();
}

void ReportLayout::Ensure(double height) {
    if (pages_.empty() || (!Fits(height) && y_ > content_.top()))
        NewPage();
}

double ReportLayout::RemainingHeight() const {
    return pages_.empty() ? content_.height() : content_.bottom() - y_;
}

double ReportLayout::GraphHeight() const {
    const double heading = LineHeight(BodyFont(12, true)) * 1.5;
    return std::floor((content_.height() - heading) / 2 - inches(0.1));
}

std::vector<QString> ReportLayout::Wrap(const QString& text, const QFont& font, double width) const {
    std::vector<QString> lines;
    QString line;
    for (const QString& word : text.split(QLatin1Char(' '))) {
        const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (!line.isEmpty() && Advance(font, candidate) > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = candidate;
        }
    }
    lines.push_back(line);
    return lines;
}

void ReportLayout::AddText(const QString& text, const QFont& font, double x, double width,
                           bool rightAligned) {
    const QFontMetricsF metrics(font, &writer_);
    for (const QString& line : Wrap(text, font, width)) {
        Ensure(metrics.lineSpacing());
        const double baseline = y_ + metrics.ascent();
        const double left = rightAligned ? x + width - metrics.horizontalAdvance(line) : x;
        pages_.back().push_back([font, line, left, baseline](QPainter& p) {
            p.setFont(font);
            p.drawText(QPointF(left, baseline), line);
        });
        y_ += metrics.lineSpacing();
    }
}

void ReportLayout::Title(const QString& heading, const QString& subtitle) {
    AddText(heading, BodyFont(18, true), content_.left(), content_.width());
    AddText(subtitle, BodyFont(13, true), content_.left(), content_.width());
    y_ += inches(0.15);
}

void ReportLayout::Heading(const QString& text) {
    const QFont font = BodyFont(12, true);
    // A heading starts a page rather than stand alone at its foot.
    const double height = LineHeight(font) * 1.5 + 4 * LineHeight(BodyFont(9));
    if (!pages_.empty() && y_ > content_.top())
        y_ += LineHeight(font) * 0.5;
    Ensure(height);
    AddText(text, font, content_.left(), content_.width());
    y_ += LineHeight(font) * 0.25;
}

void ReportLayout::Paragraph(const QString& text) {
    AddText(text, BodyFont(9), content_.left(), content_.width());
    y_ += LineHeight(BodyFont(9)) * 0.3;
}

void ReportLayout::KeyValues(const std::vector<std::pair<QString, QString>>& pairs) {
    const QFont key = BodyFont(9, true), value = BodyFont(9);
    double keyWidth = 0;
    for (const auto& [k, v] : pairs)
        keyWidth = std::max(keyWidth, Advance(key, k + QLatin1Char(':')));
    keyWidth += inches(0.15);
    for (const auto& [k, v] : pairs) {
        const auto lines = Wrap(v, value, content_.width() - keyWidth);
        const double lineHeight = LineHeight(value);
        Ensure(lineHeight * static_cast<double>(lines.size()));
        const double top = y_;
        AddText(k + QLatin1Char(':'), key, content_.left(), keyWidth);
        y_ = top;
        AddText(v, value, content_.left() + keyWidth, content_.width() - keyWidth);
    }
    y_ += LineHeight(value) * 0.5;
}

void ReportLayout::Table(const TableData& table) {
    const double pad = inches(0.06);
    double points = 8;
    QFont font = BodyFont(points);
    std::vector<double> widths;
    // Headings are drawn in bold: measured in bold, so that neighbouring headings never touch.
    auto measure = [&] {
        widths.assign(table.columns.size(), 0);
        const QFont headingFont = BodyFont(points, true);
        for (std::size_t c = 0; c < table.columns.size(); ++c) {
            for (const QString& line : table.columns[c].heading)
                widths[c] = std::max(widths[c], Advance(headingFont, line));
            for (const auto& row : table.rows)
                if (c < row.size())
                    widths[c] = std::max(widths[c], Advance(font, row[c]));
            widths[c] += 2 * pad;
        }
        double total = 0;
        for (double w : widths)
            total += w;
        return total;
    };
    for (int pass = 0; pass < 3; ++pass) {
        const double total = measure();
        if (total <= content_.width() || points <= 5)
            break;
        points = std::max(5.0, points * content_.width() / total * 0.98);
        font = BodyFont(points);
    }
    const QFont bold = BodyFont(points, true);
    const QFont captionFont = BodyFont(9, true);
    const double line = LineHeight(font);
    std::size_t headingLines = 1;
    for (const auto& column : table.columns)
        headingLines = std::max(headingLines, column.heading.size());
    const double headingHeight = line * static_cast<double>(headingLines) + pad;
    const double rowHeight = line + pad * 0.4;
    const double captionHeight = LineHeight(captionFont) * 1.2;
    double tableWidth = 0;
    for (double w : widths)
        tableWidth += w;
    const double left = content_.left();

    auto rule = [this, left, tableWidth](double y, double width) {
        pages_.back().push_back([left, tableWidth, y, width](QPainter& p) {
            p.setPen(QPen(Qt::black, width));
            p.drawLine(QPointF(left, y), QPointF(left + tableWidth, y));
        });
    };
    auto cell = [this, &widths, &table, pad, left](std::size_t c, const QString& text, const QFont& f,
                                                   double baseline) {
        double x = left;
        for (std::size_t k = 0; k < c; ++k)
            x += widths[k];
        const double advance = Advance(f, text);
        const double at = table.columns[c].numeric ? x + widths[c] - pad - advance : x + pad;
        pages_.back().push_back([f, text, at, baseline](QPainter& p) {
            p.setFont(f);
            p.drawText(QPointF(at, baseline), text);
        });
    };
    auto heading = [&](bool continued) {
        const QFontMetricsF captionMetrics(captionFont, &writer_);
        const QString caption = continued ? table.caption + QStringLiteral(" (continued)") : table.caption;
        const double baseline = y_ + captionMetrics.ascent();
        pages_.back().push_back([captionFont, caption, left, baseline](QPainter& p) {
            p.setFont(captionFont);
            p.drawText(QPointF(left, baseline), caption);
        });
        y_ += captionHeight;
        rule(y_, inches(0.008));
        const double ascent = QFontMetricsF(bold, &writer_).ascent();
        for (std::size_t c = 0; c < table.columns.size(); ++c)
            for (std::size_t l = 0; l < table.columns[c].heading.size(); ++l)
                cell(c, table.columns[c].heading[l], bold,
                     y_ + pad / 2 + ascent + line * static_cast<double>(l));
        y_ += headingHeight;
        rule(y_, inches(0.004));
    };

    if (!pages_.empty() && y_ > content_.top())
        y_ += line * 0.4;
    Ensure(captionHeight + headingHeight +
           rowHeight * static_cast<double>(std::min<std::size_t>(table.rows.size(), 2) + 1));
    heading(false);
    const double ascent = QFontMetricsF(font, &writer_).ascent();
    if (table.rows.empty()) {
        AddText(QStringLiteral("(no rows)"), font, left + pad, content_.width());
    }
    for (const auto& row : table.rows) {
        if (!Fits(rowHeight)) {
            rule(y_, inches(0.008));
            NewPage();
            heading(true);
        }
        for (std::size_t c = 0; c < row.size() && c < table.columns.size(); ++c)
            cell(c, row[c], font, y_ + pad * 0.2 + ascent);
        y_ += rowHeight;
    }
    rule(y_, inches(0.008));
    y_ += line * 0.6;
}

void ReportLayout::Verbatim(const std::vector<QString>& lines) {
    const QFont font = MonoFont(7.5);
    const double charWidth = Advance(font, QStringLiteral("M"));
    const auto perLine = std::max<qsizetype>(20, static_cast<qsizetype>(content_.width() / charWidth));
    const double height = LineHeight(font);
    for (const QString& text : lines) {
        for (qsizetype from = 0; from == 0 || from < text.size(); from += perLine) {
            const QString part = text.mid(from, perLine);
            Ensure(height);
            const double baseline = y_ + QFontMetricsF(font, &writer_).ascent();
            const double left = content_.left();
            pages_.back().push_back([font, part, left, baseline](QPainter& p) {
                p.setFont(font);
                p.drawText(QPointF(left, baseline), part);
            });
            y_ += height;
        }
    }
}

void ReportLayout::Block(double height, DrawFn draw, const PrepareFn& prepare) {
    height = std::min(height, content_.height());
    Ensure(height);
    const QRect area(static_cast<int>(std::lround(content_.left())), static_cast<int>(std::lround(y_)),
                     static_cast<int>(std::lround(content_.width())), static_cast<int>(std::lround(height)));
    if (prepare)
        prepare(area, kReportDpi);
    pages_.back().push_back([draw = std::move(draw), area](QPainter& p) {
        p.save();
        draw(p, area, kReportDpi);
        p.restore();
    });
    y_ += height + inches(0.1);
}

bool ReportLayout::Paint() {
    if (pages_.empty())
        NewPage();
    QPainter painter;
    if (!painter.begin(&writer_))
        return false;
    const QFont footer = BodyFont(8);
    const QFontMetricsF metrics(footer, &writer_);
    const double baseline = writer_.height() - inches(kFooterInches);
    const int count = PageCount();
    for (int n = 0; n < count; ++n) {
        if (n > 0 && !writer_.newPage())
            return false;
        painter.setPen(Qt::black);
        for (const Op& op : pages_[static_cast<std::size_t>(n)])
            op(painter);
        painter.setPen(QPen(Qt::black, inches(0.004)));
        painter.drawLine(QPointF(content_.left(), baseline - metrics.height()),
                         QPointF(content_.right(), baseline - metrics.height()));
        painter.setFont(footer);
        painter.drawText(QPointF(content_.left(), baseline), footerName_);
        const QString page = QStringLiteral("Page %1 of %2").arg(n + 1).arg(count);
        painter.drawText(QPointF(content_.right() - metrics.horizontalAdvance(page), baseline), page);
    }
    return painter.end();
}

} // namespace pavrin::report
