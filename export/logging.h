#pragma once

#include <QLoggingCategory>

// Diagnostics of the exports. Debug lines are off unless switched on, e.g.
// QT_LOGGING_RULES="kx740d.export.debug=true"; warnings are shown.
Q_DECLARE_LOGGING_CATEGORY(lcExport)
