// mdtopdf: prints a manual written in Markdown to an A4 PDF with Qt alone.
// Used by the build (docs/CMakeLists.txt); its messages are for the build log.
//
//   mdtopdf MANUAL.md OUT.pdf
//
// Pictures are looked up relative to the Markdown file, shrunk to the text
// width (and to 60 % of the page height) where larger, and embedded at their
// full resolution.
#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextTable>
#include <QUrl>
#include <QVector>

#include <algorithm>
#include <cstdio>

namespace {

// Letters and digits come from DejaVu Sans, Chinese from Noto Sans CJK SC:
// the toolkit writes Noto's own digits into the PDF without their text, so
// they could be neither searched nor copied.
const char kLatinFamily[] = "DejaVu Sans";
const char kChineseFamily[] = "Noto Sans CJK SC";
const char kMonoFamily[] = "DejaVu Sans Mono";
const char kChineseMonoFamily[] = "Noto Sans Mono CJK SC";
constexpr qreal kFontPointSize = 10;
constexpr int kResolution = 300;
// Millimetres: left, top, right, bottom (the bottom margin holds the page number).
const QMarginsF kMargins(20, 18, 20, 14);
// Room below the text for the page number, in points.
constexpr qreal kFooterPoints = 24;

void chooseOffscreenWithoutDisplay()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return;
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

void fail(const QString &message)
{
    std::fprintf(stderr, "mdtopdf: %s\n", qPrintable(message));
}

struct Picture
{
    int position = 0;
    QTextImageFormat format;
};

// Loads every picture into the document's resources and gives it a size that
// fits within `maxSize` (in the document's 96 dpi picture units). Returns
// false when a picture cannot be read.
bool placePictures(QTextDocument &doc, const QString &baseDir, const QSizeF &maxSize)
{
    QVector<Picture> pictures;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().isImageFormat())
                pictures.append({fragment.position(), fragment.charFormat().toImageFormat()});
        }
    }
    bool ok = true;
    for (Picture &picture : pictures) {
        const QString name = picture.format.name();
        const QString path = QUrl(name).isRelative() ? baseDir + QLatin1Char('/') + name : name;
        const QImage image(path);
        if (image.isNull()) {
            fail(QStringLiteral("cannot read picture %1").arg(path));
            ok = false;
            continue;
        }
        doc.addResource(QTextDocument::ImageResource, QUrl(name), image);
        const qreal scale =
            std::min({1.0, maxSize.width() / image.width(), maxSize.height() / image.height()});
        picture.format.setWidth(image.width() * scale);
        picture.format.setHeight(image.height() * scale);
        QTextCursor cursor(&doc);
        cursor.setPosition(picture.position);
        cursor.setPosition(picture.position + 1, QTextCursor::KeepAnchor);
        cursor.setCharFormat(picture.format);
    }
    return ok;
}

// Code in a monospaced font, Chinese in code in its CJK companion. The Markdown
// reader gives code, and nothing else, the platform's fixed font by name; that
// font is not always monospaced (the offscreen platform names a sans serif).
void setCodeFont(QTextDocument &doc)
{
    QTextCharFormat mono;
    mono.setFontFamily(QString::fromLatin1(kMonoFamily));
    mono.setFontFamilies(
        {QString::fromLatin1(kMonoFamily), QString::fromLatin1(kChineseMonoFamily)});
    QTextCursor cursor(&doc);
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().hasProperty(QTextFormat::FontFamily))
                continue;
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(mono);
        }
    }
}

// Tables with thin single rules; the header row is repeated on every page a
// table runs over. Frame and block measures are given in 96 dpi units, like
// picture sizes.
void styleTables(QTextDocument &doc, qreal pixelsPerPoint)
{
    for (QTextFrame *frame : doc.rootFrame()->childFrames()) {
        auto *table = qobject_cast<QTextTable *>(frame);
        if (!table)
            continue;
        QTextTableFormat format = table->format();
        format.setBorderCollapse(true);
        format.setBorder(1);
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        format.setBorderBrush(Qt::gray);
        format.setCellSpacing(0);
        format.setCellPadding(4 * pixelsPerPoint);
        format.setHeaderRowCount(1);
        format.setTopMargin(2 * pixelsPerPoint);
        format.setBottomMargin(6 * pixelsPerPoint);
        table->setFormat(format);
    }
}

bool holdsPicture(const QTextBlock &block)
{
    for (auto it = block.begin(); !it.atEnd(); ++it)
        if (it.fragment().charFormat().isImageFormat())
            return true;
    return false;
}

bool isCode(const QTextBlockFormat &format)
{
    return format.hasProperty(QTextFormat::BlockCodeFence) ||
           format.hasProperty(QTextFormat::BlockCodeLanguage);
}

// Some air around paragraphs, list items and pictures, and between the lines
// of text; headings keep the spacing the Markdown reader gives them. Each line
// of a code block is a block of its own: they stay together on a grey ground.
void spaceBlocks(QTextDocument &doc)
{
    QTextCursor cursor(&doc);
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        if (isCode(format)) {
            format.setBackground(QColor(0xf2, 0xf2, 0xf2));
            const bool last = !block.next().isValid() || !isCode(block.next().blockFormat());
            format.setBottomMargin(last ? 8 : 0);
        } else if (format.headingLevel() > 0) {
            format.setTopMargin(format.headingLevel() == 1 ? 0 : 14);
            format.setBottomMargin(6);
        } else {
            format.setBottomMargin(std::max<qreal>(format.bottomMargin(), 5));
        }
        // A proportional line height would also stretch a picture's line;
        // table rows and code are easier to follow when they stay close.
        if (!isCode(format) && !holdsPicture(block) && !QTextCursor(block).currentTable())
            format.setLineHeight(125, QTextBlockFormat::ProportionalHeight);
        cursor.setPosition(block.position());
        cursor.setBlockFormat(format);
    }
}

void breakPageBefore(const QTextBlock &block)
{
    QTextBlockFormat format = block.blockFormat();
    format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    QTextCursor(block).setBlockFormat(format);
}

// A heading whose text would start on the next page goes there with it.
// Returns true when a page break was added.
bool keepHeadingsWithText(QTextDocument &doc, qreal pageHeight)
{
    QAbstractTextDocumentLayout *layout = doc.documentLayout();
    const auto firstLineTop = [layout](const QTextBlock &block) {
        const QTextLine line = block.layout()->lineAt(0);
        return layout->blockBoundingRect(block).top() + (line.isValid() ? line.y() : 0);
    };
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const QTextBlock next = block.next();
        if (block.blockFormat().headingLevel() == 0 || !next.isValid() ||
            block.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
            continue;
        if (int(firstLineTop(block) / pageHeight) != int(firstLineTop(next) / pageHeight)) {
            breakPageBefore(block);
            return true;
        }
    }
    return false;
}

// A table that fits on a page but would run over a page's end starts on the
// next one: the toolkit would break its rows cell by cell, a cell's text on
// one page and its neighbour's on the next. Returns true when a page break
// was added.
bool keepTablesWhole(QTextDocument &doc, qreal pageHeight)
{
    QAbstractTextDocumentLayout *layout = doc.documentLayout();
    for (QTextFrame *frame : doc.rootFrame()->childFrames()) {
        auto *table = qobject_cast<QTextTable *>(frame);
        if (!table || table->format().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
            continue;
        const QRectF box = layout->frameBoundingRect(table);
        if (box.height() < pageHeight &&
            int(box.top() / pageHeight) != int(box.bottom() / pageHeight)) {
            QTextTableFormat format = table->format();
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            table->setFormat(format);
            return true;
        }
    }
    return false;
}

QString firstHeading(const QTextDocument &doc)
{
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        if (block.blockFormat().headingLevel() == 1)
            return block.text();
    return QString();
}

} // namespace

int main(int argc, char *argv[])
{
    chooseOffscreenWithoutDisplay();
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        fail(QStringLiteral("usage: mdtopdf MANUAL.md OUT.pdf"));
        return 2;
    }
    QFile input(args.at(1));
    if (!input.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("cannot read %1: %2").arg(args.at(1), input.errorString()));
        return 1;
    }

    QPdfWriter writer(args.at(2));
    writer.setResolution(kResolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, kMargins,
                                     QPageLayout::Millimeter));
    writer.setCreator(QStringLiteral("KX740D mdtopdf"));

    QTextDocument doc;
    QFont font(QString::fromLatin1(kLatinFamily));
    font.setFamilies({font.family(), QString::fromLatin1(kChineseFamily)});
    // Any letter spacing turns ligatures off; a ligature ("fi") would reach
    // the PDF's text as a character of its own or as none at all.
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.1);
    font.setPointSizeF(kFontPointSize);
    doc.setDefaultFont(font);
    doc.setDocumentMargin(0);
    // Laid out in the writer's pixels, so point sizes come out right on paper.
    doc.documentLayout()->setPaintDevice(&writer);
    doc.setMarkdown(QString::fromUtf8(input.readAll()));
    writer.setTitle(firstHeading(doc));

    const QRectF paper = writer.pageLayout().paintRectPixels(kResolution);
    const qreal footer = kFooterPoints * kResolution / 72.0;
    const QSizeF page(paper.width(), paper.height() - footer);
    doc.setPageSize(page);
    // Picture sizes are given in 96 dpi units and scaled to the device.
    const qreal pictureUnit = kResolution / 96.0;
    const QSizeF pictureRoom(page.width() / pictureUnit, page.height() * 0.6 / pictureUnit);
    if (!placePictures(doc, QFileInfo(args.at(1)).absolutePath(), pictureRoom))
        return 1;
    setCodeFont(doc);
    styleTables(doc, 96 / 72.0);
    spaceBlocks(doc);
    // Each page break moves what follows; look again from the start.
    while (keepTablesWhole(doc, page.height()) || keepHeadingsWithText(doc, page.height())) {
    }

    QPainter painter;
    if (!painter.begin(&writer)) {
        fail(QStringLiteral("cannot write %1").arg(args.at(2)));
        return 1;
    }
    QFont footerFont = font;
    footerFont.setPointSizeF(kFontPointSize - 1.5);
    const int pages = doc.pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            writer.newPage();
        painter.save();
        painter.translate(0, -i * page.height());
        // The clip stops a hair short of the page's end: a picture or table
        // starting the next page would otherwise show its first row here.
        doc.drawContents(&painter, QRectF(0, i * page.height(), page.width(), page.height() - 2));
        painter.restore();
        painter.setFont(footerFont);
        painter.setPen(Qt::darkGray);
        painter.drawText(QRectF(0, page.height(), page.width(), footer),
                         Qt::AlignHCenter | Qt::AlignBottom,
                         QStringLiteral("%1 / %2").arg(i + 1).arg(pages));
    }
    return painter.end() ? 0 : 1;
}
