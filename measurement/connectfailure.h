#pragma once

#include "link/portdiscovery.h" // portDevicePath

#include <QString>

// What the user is told when a port cannot be opened. The link reports a
// failed open with the serial layer's text, which ends in the system's error
// number ("... opening the serial port: 13"); a missing port says so in
// words. A permission error gets the fix on this platform: joining the group
// that owns the port, and logging in again so the session carries the group.

// The error number at the end of a link error text, or 0 when there is none.
int linkErrorCode(const QString &linkError);

// Group that can give access to `path`: the name (or, without one, the
// number) of the file's group when that group may read and write it and is
// not the super-user's group. Empty when no group helps or the file cannot be
// examined.
QString accessGroup(const QString &path);

// Text of the information box: the port, the reason the link gives and, for
// permission and busy errors, what to do about them.
QString connectFailureText(const QString &portName, const QString &linkError);
