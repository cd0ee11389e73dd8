// The page layout of the calculation report: text, key-value lists, tables and drawn blocks flowed
// onto pages of the PDF writer, each page with its footer ("Page n of N"). Laid out first, painted
// after, so that the footers know the page count. Tables that run over a page foot repeat their
// caption and heading row; no line is cut or repeated.
#pragma once

#include <QFont>
#include <QRect>
#include <QString>

#include <functional>
#include <utility>
#include <vector>

class QPainter;
class QPdfWriter;

namespace pavrin::report {

// Device pixels per inch of the report pages.
inline constexpr int kReportDpi = 600;

struct TableColumn {
    std::vector<QString> heading; // one entry per heading line
    bool numeric = false;         // right-aligned
};

struct TableData {
    QString caption;
    std::vector<TableColumn> columns;
    std::vector<std::vector<QString>> rows;
};

class ReportLayout {
public:
    // Draws a block into `area` (device pixels) at `dpi`.
    using DrawFn = std::function<void(QPainter&, const QRect& area, int dpi)>;
    // Called once when the block's area is known, before anything is painted.
    using PrepareFn = std::function<void(const QRect& area, int dpi)>;

    ReportLayout(QPdfWriter& writer, QString footerName);

    // The report's fonts: Liberation Sans and Mono, unshaped, so that no ligature glyph reaches the
    // PDF and its text is found as typed.
    static QFont BodyFont(double points, bool bold = false);
    static QFont MonoFont(double points);

    void Title(const QString& heading, const QString& subtitle);
    void Heading(const QString& text);
    void Paragraph(const QString& text);
    void KeyValues(const std::vector<std::pair<QString, QString>>& pairs);
    void Table(const TableData& table);
    // Lines in the monospaced font as they are (long lines wrapped at the right margin).
    void Verbatim(const std::vector<QString>& lines);
    // A drawing of `height` pixels across the page width, kept on one page.
    void Block(double height, DrawFn draw, const PrepareFn& prepare = {});
    void NewPage();

    // Height left on the current page, and the height of each of two graphs on a page below a heading.
    double RemainingHeight() const;
    double GraphHeight() const;

    // Paints every page with its footer; false when the writer fails.
    bool Paint();
    int PageCount() const { return static_cast<int>(pages_.size()); }

private:
    using Op = std::function<void(QPainter&)>;
    void Ensure(double height);
    bool Fits(double height) const;
    void AddText(const QString& text, const QFont& font, double x, double width, bool rightAligned = false);
    std::vector<QString> Wrap(const QString& text, const QFont& font, double width) const;
    double LineHeight(const QFont& font) const;
    double Advance(const QFont& font, const QString& text) const;

    QPdfWriter& writer_;
    QString footerName_;
    QRectF content_;
    double y_ = 0;
    std::vector<std::vector<Op>> pages_;
};

} // namespace pavrin::report
