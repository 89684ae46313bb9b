#pragma once

#include <QString>

// The id this installation of the program gives itself towards brokers: 16
// random hex digits, made once and kept in `installation-id` in the
// program's configuration folder (QStandardPaths::AppConfigLocation, e.g.
// ~/.config/kx740d/); where that cannot be written (the recorder as a
// systemd service with a dynamic user, whose home is not writable), in
// `kx740d-installation-id` in the working directory (the service's state
// directory). Where neither can be written, a new id for each run.
QString installationId();

// A publisher's client id: "kx740d-", the installation id and 8 hex digits
// of a hash of the topic prefix, the instrument's name and `instance`
// (MqttSettings::instance; left out of the hash when empty). Two publishers
// of one installation (two instruments, or one instrument recorded twice
// into different files) differ, two installations differ, and one publisher
// keeps its id across restarts, and so its session.
QString publisherClientId(const QString &installationId, const QString &topicPrefix,
                          const QString &instrumentName, const QString &instance = QString());

// `path` as an instance of a publisher: its folder's canonical path (links
// resolved, so two spellings of one file agree) and its name; the absolute
// path when the folder does not exist.
QString publisherInstanceOfFile(const QString &path);
