#pragma once

#include "instrument/records.h"
#include "store/tablerows.h"

#include <QChar>
#include <QString>
#include <QStringList>

// The CSV text of records and the column texts the CSV file shares with the
// workbook. Kept to Qt Core: the headless recorder writes its CSV file with
// them, the export library its CSV files and workbooks.

// The words of those column texts ("NO.", "time", "Temperature",
// "Thermocouple"), translated in the export worker's context "DataOutput",
// where the translation files hold them.
TableHeaderWords exportColumnWords();

// The ten column texts: "NO.", "time", then per channel
// "T1 Temperature(℃)" and "T1 Thermocouple" with the caller's words.
QStringList workbookHeaders(int unit, const TableHeaderWords &words);

// A record's date and time as "2024-03-05 14:05:09" with `dateSeparator`
// between the date's parts; the year is 2000 plus the record's year byte.
QString recordStampText(const _T_EE_TEST_DATA &record, QChar dateSeparator);

// One record as CSV fields: number, "yyyy-MM-dd hh:mm:ss", and per channel
// the value in `unit` with one decimal (or "OL", "-OL", "--\--") and the
// thermocouple letter.
QStringList csvRecordFields(const _T_EE_TEST_DATA &record, int number, int unit);

// Fields joined by commas; a field holding a comma, quote or line break is
// quoted, its quotes doubled.
QString csvLine(const QStringList &fields);
