// libFuzzer target: fuzzcheck::settingsFile (fuzzchecks.h) on every input.

#include "fuzz/fuzzchecks.h"

#include <QCoreApplication>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (!fuzzcheck::settingsFile(
            QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size))))
        abort();
    return 0;
}
