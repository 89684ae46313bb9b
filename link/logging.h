#pragma once

#include <QLoggingCategory>

// Diagnostics of the serial link. Debug lines are off unless switched on, e.g.
// QT_LOGGING_RULES="kx740d.link.debug=true"; warnings are shown.
Q_DECLARE_LOGGING_CATEGORY(lcLink)
