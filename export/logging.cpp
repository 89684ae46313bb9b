#include "export/logging.h"

Q_LOGGING_CATEGORY(lcExport, "kx740d.export", QtWarningMsg)
