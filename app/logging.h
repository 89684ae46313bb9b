#pragma once

#include <QLoggingCategory>

// Diagnostics of the window program. Debug lines are off unless switched on, e.g.
// QT_LOGGING_RULES="kx740d.app.debug=true"; warnings are shown.
Q_DECLARE_LOGGING_CATEGORY(lcApp)
