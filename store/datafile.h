#pragma once

#include "instrument/records.h"
#include "store/data_list_t.h"
#include "store/data_table_t.h"

#include <QByteArray>
#include <QFile>
#include <QVector>

// Byte formats of the data file (.dat) and of the automatic backup
// (auto_backup.bak). Everything is laid out as a QDataStream of version 18
// (Qt_5_12) in big-endian order would lay it out:
//   byte array     quint32 length (0xFFFFFFFF = null), then the bytes
//   list of arrays quint32 count, then each byte array
//   string         quint32 length in bytes (0xFFFFFFFF = null), UTF-16 big-endian
//   date-time      qint64 Julian day, quint32 ms since midnight (0xFFFFFFFF =
//                  null time), qint8 time spec, always 0 (local time)
// A record is its 32-byte image copied as is, so its floats stay little-endian
// inside the big-endian stream.
//
// The readers never read past the end and never reserve memory from a count
// the remaining bytes could not hold. They follow the stream's end-of-data
// rules: after the first failed read (past the end, odd string length, a
// count too large for the remaining bytes, a time spec other than local) every
// further read yields its empty value: an empty string, an invalid date-time,
// an empty list; a list whose reading fails is empty as a whole. `ok`, when
// given, is set to true only when every read succeeded and the bytes held
// nothing after the item.

// The list of 32-byte arrays holding `records` in order.
QByteArray recordsToBytes(const QVector<_T_EE_TEST_DATA> &records);
// An element shorter than 32 bytes reads with zeros for the missing bytes;
// bytes beyond 32 are ignored.
QVector<_T_EE_TEST_DATA> recordsFromBytes(const QByteArray &bytes, bool *ok = nullptr);

// Measurement blob: name, created, then the record list directly.
QByteArray measurementToBytes(const Data_List_T &measurement);
Data_List_T measurementFromBytes(const QByteArray &bytes, bool *ok = nullptr);

// Archive blob: name, created, then the list of measurement blobs in order.
QByteArray archiveToBytes(const Data_table_T &archive);
Data_table_T archiveFromBytes(const QByteArray &bytes, bool *ok = nullptr);

// Content of a .dat file: the archive blob as one byte array, nothing else.
QByteArray dataFileToBytes(const Data_table_T &archive);
// Accepts only a complete data file: one byte array filling the whole file,
// whose archive blob and every measurement blob in it read without a failure
// and without bytes left over. On success replaces `archive` and returns
// true; otherwise returns false and leaves `archive` as it was.
bool dataFileFromBytes(const QByteArray &file, Data_table_T &archive);
// The same for a data file open for reading, read a chunk at a time: a
// month of readings is never held twice (datafilestream.cpp).
bool dataFileFromFile(QFile &file, Data_table_T &archive);

// Content of auto_backup.bak holding `records`: one byte array whose content
// is the record list. An emptied backup is a file of length 0, written by
// writing nothing.
QByteArray backupFileToBytes(const QVector<_T_EE_TEST_DATA> &records);
// Every complete record of a backup, also of one cut short at any byte or
// caught between the steps of an update (see below); a null, empty or
// unreadable backup gives none.
QVector<_T_EE_TEST_DATA> backupFileFromBytes(const QByteArray &file);

// An update after one more reading keeps the file readable at every moment
// when done in this order: append backupFileElement(record) at the end of the
// file, then write the new byte-array length (file size - 4) at
// kBackupLengthOffset, then the new record count at kBackupCountOffset, both
// as big-endian quint32 (backupFileCount gives the 4 bytes).
constexpr int kBackupLengthOffset = 0;
constexpr int kBackupCountOffset = 4;
constexpr int kBackupElementSize = 4 + kEeTestDataSize;
QByteArray backupFileElement(const _T_EE_TEST_DATA &record); // kBackupElementSize bytes
QByteArray backupFileCount(quint32 value);                   // 4 bytes, big-endian

// Brings the backup file at `path`, which holds `storedCount` records, up to
// date by appending `added` in the order above; the cost depends only on the
// records added. Returns false, leaving the rewrite to the caller, when the
// file is not the size `storedCount` implies or a write fails.
bool appendToBackupFile(const QString &path, quint32 storedCount,
                        const QVector<_T_EE_TEST_DATA> &added);
