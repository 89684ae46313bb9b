#pragma once

#include <QString>

#include <functional>

// Hands a file or folder to the desktop's program for it. `failed` is called
// on the main thread, possibly long after the call, when that program could
// not open it. The default runs `xdg-open PATH` without waiting for it:
// xdg-open is started at once whatever becomes of the file, so only its exit
// status tells whether a program took it.
using DesktopOpener = std::function<void(const QString &path, const std::function<void()> &failed)>;

// The opener in use. Tests install one that launches nothing; an empty
// opener restores xdg-open.
void setDesktopOpener(DesktopOpener opener);
void openWithDesktopProgram(const QString &path, const std::function<void()> &failed);
