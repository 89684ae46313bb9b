#pragma once

#include <QString>

// Files the program ships beside itself (style sheet, translations, manuals)
// are opened by bare name relative to the working directory. When the file is
// not there, the copy beside the executable is used instead, so the program
// also starts correctly from another directory. Returns the bare name when
// neither exists, so callers fail exactly as opening the bare name would.
QString programFilePath(const QString &bareName);

class QWidget;

// Applies the style sheet file `bareName` (read as Latin-1) to `widget`.
// Without the file the widget keeps the toolkit's default look, silently.
void applyStyleSheetFile(QWidget *widget, const QString &bareName);
