#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

class QDate;
class QDateTime;
class QTime;
struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// Look of a cell: alignment, border, weight and number format.
struct XlsxFormat
{
    enum Horizontal
    {
        HorizontalGeneral,
        HorizontalLeft,
        HorizontalCenter,
    };
    Horizontal horizontal = HorizontalGeneral;
    bool verticalCenter = false;
    bool thinBorder = false;
    bool bold = false;
    // Built-in number format index (0 = General); a custom `numberFormat`
    // replaces it when set.
    int builtInNumberFormat = 0;
    QString numberFormat;
};

// A workbook being written, on top of libxlsxwriter. Rows and columns count
// from 1 (A1 is row 1, column 1); the cells go to the current sheet, which is
// the one added last. The document is built in a temporary file beside its
// target, "<fileName>.XXXXXX", and takes the target's place in commit(), which
// ends it: afterwards nothing more can be written. Until then, and whenever
// writing fails, a file already at the target stays as it was. Every
// operation returns false and leaves a message in errorString() when it fails.
class XlsxDocument
{
public:
    // `constantMemory`: each row is flushed to disk when the next one starts,
    // so cells must be written row by row in order (strings are then stored
    // in the cells instead of a shared table).
    explicit XlsxDocument(const QString &fileName, bool constantMemory = true);
    ~XlsxDocument();
    XlsxDocument(const XlsxDocument &) = delete;
    XlsxDocument &operator=(const XlsxDocument &) = delete;

    bool isOpen() const { return m_workbook != nullptr; }

    // Adds a sheet named `name` and makes it current. Fails for a name the
    // workbook rejects (see sheetNameProblem in workbookrules.h).
    bool addSheet(const QString &name);
    QStringList sheetNames() const { return m_sheetNames; }

    // A handle for `format`, made once per distinct format.
    lxw_format *format(const XlsxFormat &format);

    bool write(int row, int column, double value, lxw_format *format);
    bool write(int row, int column, const QString &text, lxw_format *format);
    // `utf8` must stay valid until the call returns only.
    bool writeUtf8(int row, int column, const char *utf8, lxw_format *format);
    // A local date and time, stored as the workbook's serial date number.
    bool write(int row, int column, const QDateTime &dateTime, lxw_format *format);
    // The same from a date and a time, which skips the time-zone work a
    // local QDateTime does.
    bool write(int row, int column, const QDate &date, const QTime &time, lxw_format *format);
    // Widths of columns first..last in the workbook's character units.
    bool setColumnWidth(int first, int last, double width);

    // Writes the workbook out and, only when all of it was written, puts it
    // in place of the target, replacing a file there.
    bool commit();

    QString errorString() const { return m_error; }

private:
    bool fail(int error, const char *what);
    bool ready(const char *what);
    bool sheetReady(const char *what);

    void discard();

    QString m_fileName;
    QString m_tempFile;
    lxw_workbook *m_workbook = nullptr;
    lxw_worksheet *m_sheet = nullptr;
    QStringList m_sheetNames;
    QHash<QByteArray, lxw_format *> m_formats;
    QString m_error;
};
