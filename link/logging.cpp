#include "link/logging.h"

Q_LOGGING_CATEGORY(lcLink, "kx740d.link", QtWarningMsg)
