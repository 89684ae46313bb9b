#pragma once

#include <QAction>

#include <optional>

// The operation a context-menu entry carries as an integer in its data; none
// when `sender` is not an action or its data is not an integer, which the
// menu handlers then ignore.
inline std::optional<int> menuEntry(const QObject *sender)
{
    const auto *action = qobject_cast<const QAction *>(sender);
    if (!action)
        return std::nullopt;
    bool ok = false;
    const int entry = action->data().toInt(&ok);
    return ok ? std::optional<int>(entry) : std::nullopt;
}
