#pragma once

#include <QString>

// Why an attempt to reach the broker failed or a connection ended, for the
// user (translated, without the host). `mosquittoError` is what libmosquitto
// returned or reported (MOSQ_ERR_ERRNO, MOSQ_ERR_EAI, MOSQ_ERR_CONN_LOST,
// ...); `systemError` is the errno it left behind, which after MOSQ_ERR_EAI
// holds the getaddrinfo() code.
QString connectErrorText(int mosquittoError, int systemError);

// Why a connection ended, from the code libmosquitto passes to its
// disconnect callback: its own error (MOSQ_ERR_*), or the reason code of the
// broker's DISCONNECT (MQTT 5, 0x80 and up). `answered`: the broker had
// accepted the connection; a keep-alive that runs out before it did is a
// broker that never answered (a port that takes connections and says
// nothing), not one that stopped answering.
QString disconnectErrorText(int code, bool answered);
