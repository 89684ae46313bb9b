#include "export/xlsxdocument.h"

#include "store/atomicfile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <xlsxwriter.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <unistd.h>

namespace {

// Key of a format for the cache: every field that makes it differ.
QByteArray formatKey(const XlsxFormat &f)
{
    return QByteArray::number(int(f.horizontal)) + ',' + QByteArray::number(f.verticalCenter) +
           ',' + QByteArray::number(f.thinBorder) + ',' + QByteArray::number(f.bold) + ',' +
           QByteArray::number(f.builtInNumberFormat) + ',' + f.numberFormat.toUtf8();
}

// Creates a new empty file "<fileName>.XXXXXX" (six random letters) with the
// permissions any new file gets; an empty string when none can be created.
QString createFileBeside(const QString &fileName, QString *error)
{
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString name = fileName + QLatin1Char('.');
        for (int i = 0; i < 6; ++i)
            name += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(62)]);
        QFile file(name);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return name;
        *error = file.errorString();
        if (!QFileInfo::exists(name))
            break;
    }
    return QString();
}

// Syncs the workbook libxlsxwriter wrote to `path` and checks that it is
// whole: a zip file ends with its end-of-central-directory record, whose
// central directory ends right before it. A write lost on the way (a full
// disk) leaves the file shorter than the zip writer believed. Returns the
// problem, empty when there is none.
QString checkBuiltWorkbook(const QString &path)
{
    QFile built(path);
    if (!built.open(QIODevice::ReadOnly) || ::fsync(built.handle()) != 0)
        return qt_error_string();
    constexpr int kEndRecordSize = 22; // without a comment, as libxlsxwriter writes it
    const qint64 size = built.size();
    if (size < kEndRecordSize || !built.seek(size - kEndRecordSize))
        return QString::fromLocal8Bit(std::strerror(EIO));
    const QByteArray end = built.read(kEndRecordSize);
    const auto le32 = [&end](int at) {
        return quint32(quint8(end[at])) | quint32(quint8(end[at + 1])) << 8 |
               quint32(quint8(end[at + 2])) << 16 | quint32(quint8(end[at + 3])) << 24;
    };
    // A zip64 archive keeps the offset in a record of its own (0xFFFFFFFF here).
    const bool zip64 = end.size() == kEndRecordSize && le32(16) == 0xFFFFFFFFu;
    if (end.size() != kEndRecordSize || le32(0) != 0x06054b50 ||
        (!zip64 && qint64(le32(12)) + qint64(le32(16)) != size - kEndRecordSize))
        return QString::fromLocal8Bit(std::strerror(EIO));
    return QString();
}

} // namespace

XlsxDocument::XlsxDocument(const QString &fileName, bool constantMemory) : m_fileName(fileName)
{
    // Built on the target's file system, the workbook takes its place by a
    // rename that cannot leave half a file.
    QString error;
    m_tempFile = createFileBeside(fileName, &error);
    if (m_tempFile.isEmpty()) {
        m_error = QStringLiteral("cannot create a file beside %1: %2").arg(fileName, error);
        return;
    }
    const QByteArray path = QFile::encodeName(m_tempFile);
    // libxlsxwriter does not notice a failed write of the sheets it keeps in
    // temporary files. On the target's disk a lack of space then also fails
    // writing the workbook itself, which it does notice.
    const QByteArray tmp = QFile::encodeName(QFileInfo(m_tempFile).absolutePath());
    lxw_workbook_options options = {};
    options.constant_memory = constantMemory ? LXW_TRUE : LXW_FALSE;
    options.tmpdir = const_cast<char *>(tmp.constData());
    m_workbook = workbook_new_opt(path.constData(), &options);
    if (!m_workbook) {
        m_error = QStringLiteral("cannot create a workbook");
        discard();
    }
}

XlsxDocument::~XlsxDocument()
{
    // Closing is how libxlsxwriter releases a workbook; one that was never
    // committed is written out and removed.
    if (m_workbook)
        workbook_close(m_workbook);
    discard();
}

void XlsxDocument::discard()
{
    if (!m_tempFile.isEmpty())
        QFile::remove(m_tempFile);
    m_tempFile.clear();
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

bool XlsxDocument::commit()
{
    if (!ready("commit"))
        return false;
    // libxlsxwriter reports a failed write without the system's reason;
    // errno still holds it.
    errno = 0;
    const lxw_error e = workbook_close(m_workbook);
    const int closeErrno = errno;
    m_workbook = nullptr;
    m_sheet = nullptr;
    m_formats.clear();
    if (e != LXW_NO_ERROR) {
        discard();
        fail(e, "commit");
        if (closeErrno != 0)
            m_error += QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(closeErrno));
        return false;
    }
    // Whole and on the disk before it takes the target's name.
    const QString problem = checkBuiltWorkbook(m_tempFile);
    if (!problem.isEmpty()) {
        m_error = QStringLiteral("commit: cannot write %1: %2").arg(m_fileName, problem);
        discard();
        return false;
    }
    if (QFileInfo::exists(m_fileName))
        QFile::setPermissions(m_tempFile, QFile::permissions(m_fileName));
    // Replaces the target in one step: it is either the old file or the
    // whole new one.
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(m_tempFile).toStdString(),
                            QFile::encodeName(m_fileName).toStdString(), error);
    if (error) {
        m_error = QStringLiteral("commit: cannot replace %1: %2")
                      .arg(m_fileName, QString::fromLocal8Bit(error.message().c_str()));
        discard();
        return false;
    }
    m_tempFile.clear();
    syncFolderOf(m_fileName);
    return true;
}
