#include "export/xlsxdocument.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include <xlsxwriter.h>

namespace {

// Key of a format for the cache: every field that makes it differ.
QByteArray formatKey(const XlsxFormat &f)
{
    return QByteArray::number(int(f.horizontal)) + ',' + QByteArray::number(f.verticalCenter) +
           ',' + QByteArray::number(f.thinBorder) + ',' + QByteArray::number(f.bold) + ',' +
           QByteArray::number(f.builtInNumberFormat) + ',' + f.numberFormat.toUtf8();
}

} // namespace

XlsxDocument::XlsxDocument(bool constantMemory) : m_tempDir(new QTemporaryDir)
{
    if (!m_tempDir->isValid()) {
        m_error = QStringLiteral("cannot create a temporary folder: ") + m_tempDir->errorString();
        return;
    }
    m_tempFile = m_tempDir->filePath(QStringLiteral("workbook.xlsx"));
    const QByteArray path = QFile::encodeName(m_tempFile);
    const QByteArray tmp = QFile::encodeName(m_tempDir->path());
    lxw_workbook_options options = {};
    options.constant_memory = constantMemory ? LXW_TRUE : LXW_FALSE;
    options.tmpdir = const_cast<char *>(tmp.constData());
    m_workbook = workbook_new_opt(path.constData(), &options);
    if (!m_workbook)
        m_error = QStringLiteral("cannot create a workbook");
}

XlsxDocument::~XlsxDocument()
{
    // A document that was never saved is written to the temporary folder,
    // which is how libxlsxwriter releases it, and removed with the folder.
    if (m_workbook)
        workbook_close(m_workbook);
}

bool XlsxDocument::fail(int error, const char *what)
{
    m_error = QString::fromUtf8(what) + QStringLiteral(": ") +
              QString::fromUtf8(lxw_strerror(lxw_error(error)));
    return false;
}

bool XlsxDocument::ready(const char *what)
{
    if (m_workbook)
        return true;
    if (m_error.isEmpty())
        m_error = QString::fromUtf8(what) + QStringLiteral(": the workbook is closed");
    return false;
}

bool XlsxDocument::sheetReady(const char *what)
{
    if (!ready(what))
        return false;
    if (m_sheet)
        return true;
    m_error = QString::fromUtf8(what) + QStringLiteral(": no sheet yet");
    return false;
}

bool XlsxDocument::addSheet(const QString &name)
{
    if (!ready("addSheet"))
        return false;
    const QByteArray utf8 = name.toUtf8();
    const lxw_error check = workbook_validate_sheet_name(m_workbook, utf8.constData());
    if (check != LXW_NO_ERROR)
        return fail(check, "addSheet");
    lxw_worksheet *sheet = workbook_add_worksheet(m_workbook, utf8.constData());
    if (!sheet) {
        m_error = QStringLiteral("addSheet: cannot add \"%1\"").arg(name);
        return false;
    }
    m_sheet = sheet;
    m_sheetNames << name;
    return true;
}

lxw_format *XlsxDocument::format(const XlsxFormat &f)
{
    if (!m_workbook)
        return nullptr;
    const QByteArray key = formatKey(f);
    if (lxw_format *known = m_formats.value(key))
        return known;
    lxw_format *format = workbook_add_format(m_workbook);
    if (!format)
        return nullptr;
    switch (f.horizontal) {
    case XlsxFormat::HorizontalLeft:
        format_set_align(format, LXW_ALIGN_LEFT);
        break;
    case XlsxFormat::HorizontalCenter:
        format_set_align(format, LXW_ALIGN_CENTER);
        break;
    default:
        break;
    }
    if (f.verticalCenter)
        format_set_align(format, LXW_ALIGN_VERTICAL_CENTER);
    if (f.thinBorder)
        format_set_border(format, LXW_BORDER_THIN);
    if (f.bold)
        format_set_bold(format);
    if (!f.numberFormat.isEmpty())
        format_set_num_format(format, f.numberFormat.toUtf8().constData());
    else if (f.builtInNumberFormat > 0)
        format_set_num_format_index(format, uint8_t(f.builtInNumberFormat));
    m_formats.insert(key, format);
    return format;
}

bool XlsxDocument::write(int row, int column, double value, lxw_format *format)
{
    if (!sheetReady("write"))
        return false;
    const lxw_error e =
        worksheet_write_number(m_sheet, lxw_row_t(row - 1), lxw_col_t(column - 1), value, format);
    return e == LXW_NO_ERROR || fail(e, "write");
}

bool XlsxDocument::write(int row, int column, const QString &text, lxw_format *format)
{
    return writeUtf8(row, column, text.toUtf8().constData(), format);
}

bool XlsxDocument::writeUtf8(int row, int column, const char *utf8, lxw_format *format)
{
    if (!sheetReady("write"))
        return false;
    const lxw_error e =
        worksheet_write_string(m_sheet, lxw_row_t(row - 1), lxw_col_t(column - 1), utf8, format);
    return e == LXW_NO_ERROR || fail(e, "write");
}

bool XlsxDocument::write(int row, int column, const QDateTime &dateTime, lxw_format *format)
{
    return write(row, column, dateTime.date(), dateTime.time(), format);
}

bool XlsxDocument::write(int row, int column, const QDate &d, const QTime &t, lxw_format *format)
{
    if (!sheetReady("write"))
        return false;
    lxw_datetime value = {d.year(), d.month(),  d.day(),
                          t.hour(), t.minute(), t.second() + t.msec() / 1000.0};
    const lxw_error e = worksheet_write_datetime(m_sheet, lxw_row_t(row - 1), lxw_col_t(column - 1),
                                                 &value, format);
    return e == LXW_NO_ERROR || fail(e, "write");
}

bool XlsxDocument::setColumnWidth(int first, int last, double width)
{
    if (!sheetReady("setColumnWidth"))
        return false;
    const lxw_error e =
        worksheet_set_column(m_sheet, lxw_col_t(first - 1), lxw_col_t(last - 1), width, nullptr);
    return e == LXW_NO_ERROR || fail(e, "setColumnWidth");
}

bool XlsxDocument::saveAs(const QString &fileName)
{
    if (!ready("saveAs"))
        return false;
    const lxw_error e = workbook_close(m_workbook);
    m_workbook = nullptr;
    m_sheet = nullptr;
    m_formats.clear();
    if (e != LXW_NO_ERROR)
        return fail(e, "saveAs");
    if (QFile::exists(fileName) && !QFile::remove(fileName)) {
        m_error = QStringLiteral("saveAs: cannot replace %1").arg(fileName);
        return false;
    }
    // rename() copies when the folders lie on different file systems.
    QFile built(m_tempFile);
    if (!built.rename(fileName)) {
        m_error = QStringLiteral("saveAs: cannot write %1: %2").arg(fileName, built.errorString());
        return false;
    }
    return true;
}
