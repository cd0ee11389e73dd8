// Renders the manuals from their Markdown sources to PDF with Qt's own Markdown reader and QPdfWriter:
// a title page with the program version, a contents list with page numbers, numbered sections
// (1, 1.1, 1.1.1), each chapter on a new page, pictures scaled to the text width, and a running head
// and page number on every page after the title page. Runs without a display (offscreen platform).
//
//   pavrin-manual-pdf --title TEXT --subtitle TEXT --version TEXT --out FILE.pdf
//                     [--resources DIR]... FILE.md...
//
// Pictures named in the sources are looked up in the folder of each source file and in every
// --resources folder; a picture that cannot be found, or a heading that cannot be numbered, fails the
// run so that a broken manual never reaches the program's folder.
#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

struct Options {
    QString title, subtitle, version, out;
    QStringList resources;
    QStringList sources;
};

struct Heading {
    int level = 1;
    QString text; // numbered
};

// Page geometry in device pixels of the writer.
struct Page {
    int dpi = 300;
    QRectF body;           // text area
    QRectF full;           // whole page
    qreal pt = 1;          // device pixels per point
    qreal imageScale = 1;  // device pixels per screen pixel
    qreal fmt = 96.0 / 72; // text format lengths (screen pixels, scaled by the layout) per point
    QString scratch;       // folder for cut copies of pictures
};

void fail(const QString& message) {
    std::fprintf(stderr, "pavrin-manual-pdf: %s\n", qPrintable(message));
    std::exit(1);
}

Options parseArguments(const QStringList& args) {
    Options o;
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&]() -> QString {
            if (i + 1 >= args.size())
                fail(QStringLiteral("%1 needs a value").arg(a));
            return args[++i];
        };
        if (a == QLatin1String("--title"))
            o.title = value();
        else if (a == QLatin1String("--subtitle"))
            o.subtitle = value();
        else if (a == QLatin1String("--version"))
            o.version = value();
        else if (a == QLatin1String("--out"))
            o.out = value();
        else if (a == QLatin1String("--resources"))
            o.resources << value();
        else if (a.startsWith(QLatin1String("--")))
            fail(QStringLiteral("unknown option %1").arg(a));
        else
            o.sources << a;
    }
    if (o.title.isEmpty() || o.out.isEmpty() || o.sources.isEmpty())
        fail(QStringLiteral("usage: pavrin-manual-pdf --title TEXT [--subtitle TEXT] [--version TEXT] "
                            "--out FILE.pdf [--resources DIR]... FILE.md..."));
    return o;
}

// Numbers the headings outside code blocks ("# Running" becomes "# 3 Running") and makes every
// picture path absolute, looking in the source's folder, then in the resource folders.
QString prepareSources(const Options& o, std::vector<Heading>& headings) {
    QString all;
    int numbers[3] = {0, 0, 0};
    static const QRegularExpression image(QStringLiteral("!\\[([^\\]]*)\\]\\(([^)\\s]+)\\)"));
    for (const QString& source : o.sources) {
        QFile file(source);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            fail(QStringLiteral("cannot read %1").arg(source));
        const QString text = QString::fromUtf8(file.readAll());
        const QDir here = QFileInfo(source).absoluteDir();
        bool fence = false;
        for (QString line : text.split(QLatin1Char('\n'))) {
            if (line.startsWith(QLatin1String("```"))) {
                fence = !fence;
            } else if (!fence && line.startsWith(QLatin1Char('#'))) {
                int level = 0;
                while (level < line.size() && line[level] == QLatin1Char('#'))
                    ++level;
                if (level > 3)
                    fail(QStringLiteral("%1: heading deeper than three levels: %2").arg(source, line));
                ++numbers[level - 1];
                for (int k = level; k < 3; ++k)
                    numbers[k] = 0;
                QString number = QString::number(numbers[0]);
                for (int k = 1; k < level; ++k)
                    number += QLatin1Char('.') + QString::number(numbers[k]);
                const QString title = line.mid(level).trimmed();
                headings.push_back({level, number + QStringLiteral("  ") + title});
                line = QString(level, QLatin1Char('#')) + QLatin1Char(' ') + headings.back().text;
            } else if (!fence) {
                QString out;
                qsizetype from = 0;
                for (auto it = image.globalMatch(line); it.hasNext();) {
                    const auto m = it.next();
                    QString path = m.captured(2);
                    QStringList places{here.absoluteFilePath(path)};
                    for (const QString& r : o.resources)
                        places << QDir(r).absoluteFilePath(path);
                    QString found;
                    for (const QString& p : places)
                        if (found.isEmpty() && QFileInfo(p).isFile())
                            found = p;
                    if (found.isEmpty())
                        fail(QStringLiteral("%1: picture %2 not found").arg(source, path));
                    out += line.mid(from, m.capturedStart() - from);
                    out +=
                        QStringLiteral("![%1](%2)").arg(m.captured(1), QUrl::fromLocalFile(found).toString());
                    from = m.capturedEnd();
                }
                line = out + line.mid(from);
            }
            all += line + QLatin1Char('\n');
        }
        all += QLatin1Char('\n');
    }
    return all;
}

// Every font of the manuals. Latin text needs no shaping; without it no ligature glyph ("fi" as one
// character) reaches the PDF, so a search or pdftotext finds "verification" as typed.
QFont pdfFont(const QString& family, qreal points, bool bold = false) {
    QFont f(family);
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferNoShaping);
    return f;
}

QFont bodyFont(qreal points) {
    return pdfFont(QStringLiteral("DejaVu Serif"), points);
}

// A screenshot of the main window is mostly its empty grey work area: the picture is cut at the
// right and at the bottom to what differs from the colour of its lower right corner, plus a margin.
// The cut copy goes to `folder`; a picture with nothing to cut is used as it is.
QString trimmedPicture(const QString& path, const QString& folder) {
    const QImage image = QImage(path).convertToFormat(QImage::Format_RGB32);
    if (image.isNull())
        fail(QStringLiteral("unreadable picture %1").arg(path));
    const QRgb background = image.pixel(image.width() - 1, image.height() - 1);
    int right = 0, bottom = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (line[x] != background) {
                right = std::max(right, x);
                bottom = std::max(bottom, y);
            }
    }
    const int margin = 12;
    const int w = std::min(image.width(), right + 1 + margin),
              h = std::min(image.height(), bottom + 1 + margin);
    if (w >= image.width() - margin && h >= image.height() - margin)
        return path;
    static int count = 0;
    const QString out = QStringLiteral("%1/picture-%2.png").arg(folder).arg(++count);
    if (!image.copy(0, 0, w, h).save(out))
        fail(QStringLiteral("cannot write %1").arg(out));
    return out;
}

// Chapter breaks, heading fonts, table borders and picture sizes, applied after the Markdown reader.
void styleDocument(QTextDocument& doc, const Page& page) {
    QTextCursor cursor(&doc);
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        QTextBlockFormat bf = b.blockFormat();
        const int level = bf.headingLevel();
        if (level > 0) {
            if (level == 1 && b != doc.begin())
                bf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            bf.setTopMargin(level == 1 ? 0 : 14 * page.fmt);
            bf.setBottomMargin(6 * page.fmt);
            cursor.setPosition(b.position());
            cursor.setBlockFormat(bf);
            cursor.setPosition(b.position() + b.length() - 1, QTextCursor::KeepAnchor);
            QTextCharFormat cf;
            cf.setFont(pdfFont(QStringLiteral("DejaVu Sans"),
                               level == 1   ? 18
                               : level == 2 ? 13.5
                                            : 11.5,
                               true));
            cursor.mergeCharFormat(cf);
        } else if (bf.nonBreakableLines()) {
            // Code and command lines: a smaller monospaced font, so that 90 characters fit a line.
            cursor.setPosition(b.position());
            cursor.setPosition(b.position() + b.length() - 1, QTextCursor::KeepAnchor);
            QTextCharFormat cf;
            cf.setFont(pdfFont(QStringLiteral("DejaVu Sans Mono"), 8.5));
            cursor.mergeCharFormat(cf);
        } else if (!QTextCursor(b).currentTable()) {
            bf.setBottomMargin(5 * page.fmt);
            cursor.setPosition(b.position());
            cursor.setBlockFormat(bf);
        }
        // Pictures: as wide as the text at most, and at most two thirds of the page high.
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (!frag.isValid() || !frag.charFormat().isImageFormat())
                continue;
            QTextImageFormat img = frag.charFormat().toImageFormat();
            const QString trimmed = trimmedPicture(QUrl(img.name()).toLocalFile(), page.scratch);
            img.setName(QUrl::fromLocalFile(trimmed).toString());
            QImageReader reader(trimmed);
            const QSize size = reader.size();
            if (!size.isValid())
                fail(QStringLiteral("unreadable picture %1").arg(img.name()));
            // As wide as the text, but a small picture no larger than at 120 pixels per inch.
            qreal w = std::min(page.body.width() * 0.98, size.width() * page.dpi / 120.0);
            qreal h = w * size.height() / size.width();
            const qreal maxH = page.body.height() * 0.62;
            if (h > maxH) {
                h = maxH;
                w = h * size.width() / size.height();
            }
            // The image handler scales format sizes from screen pixels to the device's pixels.
            img.setWidth(w / page.imageScale);
            img.setHeight(h / page.imageScale);
            cursor.setPosition(frag.position());
            cursor.setPosition(frag.position() + frag.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(img);
            bf.setAlignment(Qt::AlignHCenter);
            cursor.setBlockFormat(bf);
        }
    }
    // Tables: thin ruled cells with some air.
    const auto frames = doc.rootFrame()->childFrames();
    for (QTextFrame* frame : frames) {
        if (auto* table = qobject_cast<QTextTable*>(frame)) {
            QTextTableFormat tf = table->format();
            tf.setBorder(0.8 * page.fmt);
            tf.setBorderBrush(QColor(120, 120, 120));
            tf.setBorderCollapse(true);
            tf.setCellPadding(2.5 * page.fmt);
            tf.setCellSpacing(0);
            tf.setBottomMargin(8 * page.fmt);
            tf.setWidth(QTextLength(QTextLength::PercentageLength, 100));
            table->setFormat(tf);
            for (int c = 0; c < table->columns(); ++c) {
                QTextTableCell cell = table->cellAt(0, c);
                QTextCharFormat cf = cell.format();
                cf.setBackground(QColor(225, 230, 238));
                cell.setFormat(cf);
            }
            // Table text a size smaller than the body, so that wide tables keep their numbers whole.
            QTextCursor all(&doc);
            all.setPosition(table->firstPosition());
            all.setPosition(table->lastPosition(), QTextCursor::KeepAnchor);
            QTextCharFormat small;
            small.setFontPointSize(9);
            all.mergeCharFormat(small);
        }
    }
}

// A document laid out as one long column of the text width: the pages are cut from it by
// `paginate`, so that no line, table row or picture is ever split between two pages.
std::unique_ptr<QTextDocument> makeDocument(const Page& page, QPagedPaintDevice* device) {
    auto doc = std::make_unique<QTextDocument>();
    doc->documentLayout()->setPaintDevice(device);
    doc->setDefaultFont(bodyFont(10.5));
    // Words and numbers are never broken: a table column is at least as wide as its longest word.
    QTextOption option = doc->defaultTextOption();
    option.setWrapMode(QTextOption::WordWrap);
    doc->setDefaultTextOption(option);
    doc->setTextWidth(page.body.width());
    doc->setDocumentMargin(0);
    return doc;
}

// A stretch of the column that must stay on one page.
struct Span {
    qreal top = 0, bottom = 0;
};

// The tops of the pages in the column, and the column's end.
struct Pagination {
    std::vector<qreal> tops;
    qreal end = 0;

    int pageCount() const { return static_cast<int>(tops.size()); }
    qreal bottom(int index) const {
        return index + 1 < pageCount() ? tops[static_cast<std::size_t>(index) + 1] : end;
    }
    int pageOf(qreal y) const {
        const auto it = std::upper_bound(tops.begin(), tops.end(), y);
        return std::max(0, static_cast<int>(it - tops.begin()) - 1);
    }
};

// The lines of a block in column coordinates.
std::vector<Span> lineSpans(QTextDocument& doc, const QTextBlock& block) {
    std::vector<Span> spans;
    const QTextLayout* layout = block.layout();
    if (layout == nullptr)
        return spans;
    const QRectF rect = doc.documentLayout()->blockBoundingRect(block);
    const qreal origin = rect.top() - layout->boundingRect().top();
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        spans.push_back({origin + line.y(), origin + line.y() + line.height()});
    }
    return spans;
}

bool holdsPicture(const QTextBlock& block) {
    for (auto it = block.begin(); !it.atEnd(); ++it)
        if (it.fragment().isValid() && it.fragment().charFormat().isImageFormat())
            return true;
    return false;
}

// Everything that must not be split: every line; every table row whole, its heading row together
// with the first row below it; a heading, and a picture, together with the first line that follows.
// Chapter headings start a page.
Pagination paginate(QTextDocument& doc, qreal pageHeight) {
    std::vector<Span> keep;
    std::vector<qreal> chapterTops;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const std::vector<Span> lines = lineSpans(doc, b);
        keep.insert(keep.end(), lines.begin(), lines.end());
        if (lines.empty())
            continue;
        const int level = b.blockFormat().headingLevel();
        if (level == 1 && b != doc.begin())
            chapterTops.push_back(doc.documentLayout()->blockBoundingRect(b).top());
        if (level > 0 || holdsPicture(b))
            for (QTextBlock n = b.next(); n.isValid(); n = n.next())
                if (const std::vector<Span> next = lineSpans(doc, n); !next.empty()) {
                    keep.push_back({lines.front().top, next.front().bottom});
                    break;
                }
    }
    const auto frames = doc.rootFrame()->childFrames();
    for (QTextFrame* frame : frames) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (table == nullptr)
            continue;
        const qreal pad = table->format().cellPadding() + table->format().border();
        std::vector<Span> rows;
        for (int r = 0; r < table->rows(); ++r) {
            Span row{1e30, -1e30};
            for (int c = 0; c < table->columns(); ++c) {
                const QTextTableCell cell = table->cellAt(r, c);
                for (QTextFrame::iterator it = cell.begin(); !it.atEnd(); ++it)
                    for (const Span& line : lineSpans(doc, it.currentBlock())) {
                        row.top = std::min(row.top, line.top - pad);
                        row.bottom = std::max(row.bottom, line.bottom + pad);
                    }
            }
            if (row.top < row.bottom)
                rows.push_back(row);
        }
        keep.insert(keep.end(), rows.begin(), rows.end());
        if (rows.size() >= 2)
            keep.push_back({rows[0].top, rows[1].bottom});
    }

    Pagination pages;
    pages.end = doc.documentLayout()->documentSize().height();
    qreal top = 0;
    std::size_t chapter = 0;
    while (top < pages.end - 0.5) {
        pages.tops.push_back(top);
        while (chapter < chapterTops.size() && chapterTops[chapter] <= top + 0.5)
            ++chapter;
        qreal cut = top + pageHeight;
        if (chapter < chapterTops.size() && chapterTops[chapter] < cut)
            cut = chapterTops[chapter];
        // Move the cut up to the top of whatever it would split; a stretch taller than a page is cut.
        for (bool moved = true; moved;) {
            moved = false;
            for (const Span& s : keep)
                if (s.top < cut - 0.01 && s.bottom > cut + 0.01 && s.top > top + 0.5) {
                    cut = s.top;
                    moved = true;
                }
        }
        top = cut;
    }
    if (pages.tops.empty())
        pages.tops.push_back(0);
    return pages;
}

// The layout also draws the last line above the culling rectangle when it belongs to a block that
// reaches into it: clipped away on paper, but its text would still be in the PDF, and found twice by a
// search. So a paragraph that runs over a page foot is cut into two blocks there, with the margins
// kept where they were. Returns whether anything was cut (the column must then be paginated again).
bool splitBlocksAtPageTops(QTextDocument& doc, const Pagination& pages) {
    std::vector<int> positions;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (QTextCursor(b).currentTable() != nullptr)
            continue;
        const std::vector<Span> lines = lineSpans(doc, b);
        for (std::size_t i = 1; i < lines.size(); ++i)
            for (std::size_t k = 1; k < pages.tops.size(); ++k)
                if (std::abs(lines[i].top - pages.tops[k]) < 0.5)
                    positions.push_back(b.position() + b.layout()->lineAt(static_cast<int>(i)).textStart());
    }
    std::sort(positions.begin(), positions.end(), std::greater<>());
    for (const int position : positions) {
        QTextCursor cursor(&doc);
        cursor.setPosition(position);
        QTextBlockFormat first = cursor.blockFormat();
        QTextBlockFormat second = first;
        first.setBottomMargin(0);
        second.setTopMargin(0);
        second.setTextIndent(0);
        second.setPageBreakPolicy(QTextFormat::PageBreak_Auto);
        // A line of a code block ends with a line separator: the new block takes its place.
        if (position > 0 && doc.characterAt(position - 1) == QChar(QChar::LineSeparator))
            cursor.deletePreviousChar();
        const QTextCharFormat chars = cursor.charFormat();
        cursor.setBlockFormat(first);
        cursor.insertBlock(second, chars);
    }
    return !positions.empty();
}

void drawPage(QPainter& p, QTextDocument& doc, const Pagination& pages, int index, const Page& page) {
    const qreal top = pages.tops[static_cast<std::size_t>(index)];
    p.save();
    p.translate(page.body.left(), page.body.top() - top);
    // Lines start exactly at a page's top. The layout draws a line that touches the culling rectangle,
    // so culling keeps half a pixel clear of both edges: each line is drawn on its own page only
    // (text that is merely clipped would still be in the PDF, found twice by a search).
    const qreal bottom = pages.bottom(index);
    p.setClipRect(QRectF(-page.body.left(), top, page.full.width(), bottom - top));
    QAbstractTextDocumentLayout::PaintContext ctx;
    ctx.clip = QRectF(0, top + 0.5, page.body.width(), bottom - top - 1);
    doc.documentLayout()->draw(&p, ctx);
    p.restore();
}

void drawFrame(QPainter& p, const Page& page, const Options& o, int number) {
    p.setFont(pdfFont(QStringLiteral("DejaVu Sans"), 8.5));
    p.setPen(QColor(90, 90, 90));
    const qreal gap = 18 * page.pt;
    const QRectF head(page.body.left(), page.body.top() - gap - 12 * page.pt, page.body.width(),
                      12 * page.pt);
    p.drawText(head, Qt::AlignLeft | Qt::AlignBottom, o.title);
    p.drawText(head, Qt::AlignRight | Qt::AlignBottom, QStringLiteral("PAVRIN %1").arg(o.version));
    p.drawLine(QPointF(head.left(), head.bottom() + 2 * page.pt),
               QPointF(head.right(), head.bottom() + 2 * page.pt));
    const QRectF foot(page.body.left(), page.body.bottom() + gap, page.body.width(), 12 * page.pt);
    p.drawText(foot, Qt::AlignHCenter | Qt::AlignTop, QString::number(number));
}

void drawTitlePage(QPainter& p, const Page& page, const Options& o) {
    const QRectF r = page.body;
    p.setFont(pdfFont(QStringLiteral("DejaVu Sans"), 30, true));
    p.drawText(QRectF(r.left(), r.top() + r.height() * 0.22, r.width(), 60 * page.pt), Qt::AlignHCenter,
               QStringLiteral("PAVRIN"));
    p.setFont(pdfFont(QStringLiteral("DejaVu Sans"), 20));
    p.drawText(QRectF(r.left(), r.top() + r.height() * 0.32, r.width(), 40 * page.pt), Qt::AlignHCenter,
               o.title);
    QFont small = bodyFont(12);
    p.setFont(small);
    p.drawText(QRectF(r.left(), r.top() + r.height() * 0.40, r.width(), 80 * page.pt),
               Qt::AlignHCenter | Qt::TextWordWrap, o.subtitle);
    p.drawText(QRectF(r.left(), r.top() + r.height() * 0.55, r.width(), 30 * page.pt), Qt::AlignHCenter,
               QStringLiteral("Program version %1").arg(o.version));
    p.setPen(QPen(QColor(40, 70, 120), 2 * page.pt));
    p.drawLine(QPointF(r.left() + r.width() * 0.2, r.top() + r.height() * 0.30),
               QPointF(r.right() - r.width() * 0.2, r.top() + r.height() * 0.30));
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const Options o = parseArguments(app.arguments());

    std::vector<Heading> headings;
    const QString markdown = prepareSources(o, headings);

    QPdfWriter writer(o.out);
    writer.setResolution(300);
    writer.setTitle(QStringLiteral("PAVRIN %1").arg(o.title));
    writer.setCreator(QStringLiteral("PAVRIN %1").arg(o.version));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));

    Page page;
    page.dpi = writer.resolution();
    page.pt = page.dpi / 72.0;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal screenDpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    page.imageScale = page.dpi / screenDpi;
    page.fmt = screenDpi / 72;
    page.full = QRectF(0, 0, writer.width(), writer.height());
    const qreal margin = 0.9 * page.dpi; // inches
    page.body = page.full.adjusted(margin, margin, -margin, -margin);

    QTemporaryDir scratch;
    if (!scratch.isValid())
        fail(QStringLiteral("cannot make a temporary folder"));
    page.scratch = scratch.path();
    auto body = makeDocument(page, &writer);
    body->setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
    styleDocument(*body, page);
    Pagination bodyPages = paginate(*body, page.body.height());
    for (int pass = 0; pass < 5 && splitBlocksAtPageTops(*body, bodyPages); ++pass)
        bodyPages = paginate(*body, page.body.height());

    // The contents list: level 1 and 2 headings with the page each starts on.
    std::vector<std::pair<Heading, int>> entries;
    for (QTextBlock b = body->begin(); b.isValid(); b = b.next())
        if (const int level = b.blockFormat().headingLevel(); level >= 1 && level <= 2)
            if (const std::vector<Span> lines = lineSpans(*body, b); !lines.empty())
                entries.push_back({{level, b.text()}, bodyPages.pageOf(lines.front().top + 0.5)});
    auto contents = makeDocument(page, &writer);
    auto makeContents = [&](int offset) {
        contents->clear();
        QTextCursor c(contents.get());
        QTextCharFormat headFormat;
        headFormat.setFont(pdfFont(QStringLiteral("DejaVu Sans"), 18, true));
        QTextBlockFormat hb;
        hb.setBottomMargin(14 * page.fmt);
        c.setBlockFormat(hb);
        c.insertText(QStringLiteral("Contents"), headFormat);
        for (const auto& [h, index] : entries) {
            QTextBlockFormat bf;
            bf.setLeftMargin(h.level == 1 ? 0 : 18 * page.fmt);
            bf.setTopMargin(h.level == 1 ? 7 * page.fmt : 1 * page.fmt);
            bf.setTabPositions(
                {QTextOption::Tab(page.body.width() / page.imageScale - bf.leftMargin() - 2 * page.fmt,
                                  QTextOption::RightTab)});
            QTextCharFormat cf;
            QFont f = bodyFont(h.level == 1 ? 11 : 10);
            f.setBold(h.level == 1);
            cf.setFont(f);
            c.insertBlock(bf, cf);
            c.insertText(h.text + QLatin1Char('\t') + QString::number(index + offset), cf);
        }
    };
    makeContents(0);
    const int contentPages = paginate(*contents, page.body.height()).pageCount();
    const int offset = 2 + contentPages; // title page, contents, then the body from this number on
    makeContents(offset);
    const Pagination contentsPages = paginate(*contents, page.body.height());
    if (contentsPages.pageCount() != contentPages)
        fail(QStringLiteral("contents list changed its length"));

    QPainter p(&writer);
    drawTitlePage(p, page, o);
    int number = 1;
    for (int i = 0; i < contentPages; ++i) {
        writer.newPage();
        drawPage(p, *contents, contentsPages, i, page);
        drawFrame(p, page, o, ++number);
    }
    for (int i = 0; i < bodyPages.pageCount(); ++i) {
        writer.newPage();
        drawPage(p, *body, bodyPages, i, page);
        drawFrame(p, page, o, ++number);
    }
    p.end();
    std::printf("%s: %d pages, %zu sections\n", qPrintable(o.out), number, headings.size());
    return 0;
}
