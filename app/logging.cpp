#include "app/logging.h"

Q_LOGGING_CATEGORY(lcApp, "kx740d.app", QtWarningMsg)
