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
#include <cstdio>
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

QFont bodyFont(qreal points) {
    QFont f(QStringLiteral("DejaVu Serif"));
    f.setPointSizeF(points);
    return f;
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
            QFont f(QStringLiteral("DejaVu Sans"));
            f.setBold(true);
            f.setPointSizeF(level == 1 ? 18 : level == 2 ? 13.5 : 11.5);
            cf.setFont(f);
            cursor.mergeCharFormat(cf);
        } else if (bf.nonBreakableLines()) {
            // Code and command lines: a smaller monospaced font, so that 90 characters fit a line.
            cursor.setPosition(b.position());
            cursor.setPosition(b.position() + b.length() - 1, QTextCursor::KeepAnchor);
            QTextCharFormat cf;
            QFont f(QStringLiteral("DejaVu Sans Mono"));
            f.setPointSizeF(8.5);
            cf.setFont(f);
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

std::unique_ptr<QTextDocument> makeDocument(const Page& page, QPagedPaintDevice* device) {
    auto doc = std::make_unique<QTextDocument>();
    doc->documentLayout()->setPaintDevice(device);
    doc->setDefaultFont(bodyFont(10.5));
    doc->setPageSize(page.body.size());
    doc->setDocumentMargin(0);
    return doc;
}

int pageOf(QTextDocument& doc, const QTextBlock& block) {
    const QRectF r = doc.documentLayout()->blockBoundingRect(block);
    return static_cast<int>(r.top() / doc.pageSize().height());
}

void drawPage(QPainter& p, QTextDocument& doc, int index, const Page& page) {
    const qreal h = doc.pageSize().height();
    p.save();
    p.translate(page.body.left(), page.body.top() - index * h);
    QAbstractTextDocumentLayout::PaintContext ctx;
    ctx.clip = QRectF(0, index * h, page.body.width(), h - 1); // not the first row of the next page
    p.setClipRect(ctx.clip);
    doc.documentLayout()->draw(&p, ctx);
    p.restore();
}

void drawFrame(QPainter& p, const Page& page, const Options& o, int number) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSizeF(8.5);
    p.setFont(f);
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
    QFont big(QStringLiteral("DejaVu Sans"));
    big.setBold(true);
    big.setPointSizeF(30);
    p.setFont(big);
    p.drawText(QRectF(r.left(), r.top() + r.height() * 0.22, r.width(), 60 * page.pt), Qt::AlignHCenter,
               QStringLiteral("PAVRIN"));
    QFont mid(QStringLiteral("DejaVu Sans"));
    mid.setPointSizeF(20);
    p.setFont(mid);
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
    const int bodyPages = body->pageCount();

    // The contents list: level 1 and 2 headings with the page each starts on.
    std::vector<std::pair<Heading, int>> entries;
    for (QTextBlock b = body->begin(); b.isValid(); b = b.next())
        if (const int level = b.blockFormat().headingLevel(); level >= 1 && level <= 2)
            entries.push_back({{level, b.text()}, pageOf(*body, b)});
    auto contents = makeDocument(page, &writer);
    auto makeContents = [&](int offset) {
        contents->clear();
        QTextCursor c(contents.get());
        QTextCharFormat headFormat;
        QFont hf(QStringLiteral("DejaVu Sans"));
        hf.setBold(true);
        hf.setPointSizeF(18);
        headFormat.setFont(hf);
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
    const int contentPages = contents->pageCount();
    const int offset = 2 + contentPages; // title page, contents, then the body from this number on
    makeContents(offset);
    if (contents->pageCount() != contentPages)
        fail(QStringLiteral("contents list changed its length"));

    QPainter p(&writer);
    drawTitlePage(p, page, o);
    int number = 1;
    for (int i = 0; i < contentPages; ++i) {
        writer.newPage();
        drawPage(p, *contents, i, page);
        drawFrame(p, page, o, ++number);
    }
    for (int i = 0; i < bodyPages; ++i) {
        writer.newPage();
        drawPage(p, *body, i, page);
        drawFrame(p, page, o, ++number);
    }
    p.end();
    std::printf("%s: %d pages, %zu sections\n", qPrintable(o.out), number, headings.size());
    return 0;
}
