// libFuzzer target: fuzzcheck::backupFile (fuzzchecks.h) on every input.

#include "fuzz/fuzzchecks.h"

#include <QCoreApplication>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (!fuzzcheck::backupFile(
            QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size))))
        abort();
    return 0;
}
