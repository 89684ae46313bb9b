// libFuzzer target: fuzzcheck::dataFile (fuzzchecks.h) on every input.

#include "fuzz/fuzzchecks.h"

#include <QCoreApplication>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (!fuzzcheck::dataFile(
            QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size))))
        abort();
    return 0;
}
