#pragma once

// The properties the fuzz targets hold every input to. Shared by the fuzz
// targets (which abort when one fails) and by the regression test, which runs
// the seed corpora and every kept finding through them in the normal build.
// Each function returns false when a property fails; a memory error or
// undefined behaviour shows through the sanitizers instead.

#include "instrument/commands.h"
#include "instrument/devkx740d.h"
#include "instrument/temperature.h"
#include "link/frame.h"
#include "settings/settingsfile.h"
#include "store/datafile.h"

#include <QByteArray>

namespace fuzzcheck {

// Received bytes through the frame assembler into the driver, as the link
// manager delivers them: the first byte picks the size of the pieces the
// rest arrives in (1 to 256), so frames are also split across feeds. The
// driver records (interval 1 s, one clock second per payload) so live
// readings run through storing and the statistics too. Fed whole and fed in
// pieces, the assembler must find the same payloads. Needs a
// QCoreApplication.
inline bool frameDriver(const QByteArray &input)
{
    if (input.isEmpty())
        return true;
    const qsizetype piece = quint8(input[0]) + 1;
    const char *stream = input.constData() + 1;
    const qsizetype length = input.size() - 1;

    QDateTime now(QDate(2026, 12, 7), QTime(12, 0, 0));
    DevKX740D driver;
    driver.setClock([&now] { return now; });
    _T_CTRL_CONFIG cfg;
    setCtrlInterval(cfg, 1);
    driver.codeDeal(ansCtrlConfig(cfg));
    driver.setRecording(true);
    driver.setContinue(true);

    int unit = 0;
    QObject::connect(&driver, &DevKX740D::ctrl_setting,
                     [&unit](_T_CTRL_CONFIG c) { unit = c.unit; });
    QObject::connect(&driver, &DevKX740D::live_data, [&unit](_T_PRINT_OUT_DATA r) {
        for (int ch = 0; ch < kChannelCount; ++ch) {
            valueText(r.value[ch], statusState(r.status[ch]), unit);
            valueText(r.modeValue[ch], r.modeState[ch], unit, true);
            typeLetter(statusTypeCode(r.status[ch]));
        }
    });

    FrameAssembler whole;
    const QList<QByteArray> expected = whole.feed(stream, length);

    FrameAssembler assembler;
    QList<QByteArray> payloads;
    for (qsizetype at = 0; at < length; at += piece) {
        assembler.feed(stream + at, qMin(piece, length - at), [&](const QByteArray &p) {
            payloads.append(p);
            driver.codeDeal(p);
            now = now.addSecs(1);
            driver.handleTimeOut();
        });
    }
    for (const _T_EE_TEST_DATA &r : driver.recordedAsTestData())
        dateTimeFromRecord(r);
    driver.takeDownloadedRecords();
    return payloads == expected;
}

// A .dat file as opened by the user. A file the strict reader accepts must
// write back to bytes that read again into the same archive.
inline bool dataFile(const QByteArray &file)
{
    Data_table_T archive;
    if (!dataFileFromBytes(file, archive))
        return true;
    const QByteArray written = dataFileToBytes(archive);
    Data_table_T again;
    return dataFileFromBytes(written, again) && dataFileToBytes(again) == written;
}

// auto_backup.bak as found at start-up, possibly cut short or damaged. The
// records recovered must survive a rewrite of the backup unchanged.
inline bool backupFile(const QByteArray &file)
{
    const QVector<_T_EE_TEST_DATA> records = backupFileFromBytes(file);
    return backupFileFromBytes(backupFileToBytes(records)) == records;
}

// config.cfg as read at start-up. Settings that were read must write back to
// a file that reads into the same settings.
inline bool settingsFile(const QByteArray &file)
{
    AppSettings settings;
    if (!decodeSettings(file, settings))
        return true;
    const QByteArray written = encodeSettings(settings);
    AppSettings again;
    return decodeSettings(written, again) && encodeSettings(again) == written;
}

} // namespace fuzzcheck
