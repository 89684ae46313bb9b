#pragma once

#include <QString>

// Why an attempt to reach the broker failed or a connection ended, for the
// user (translated, without the host). `mosquittoError` is what libmosquitto
// returned or reported (MOSQ_ERR_ERRNO, MOSQ_ERR_EAI, MOSQ_ERR_CONN_LOST,
// ...); `systemError` is the errno it left behind, which after MOSQ_ERR_EAI
// holds the getaddrinfo() code.
QString connectErrorText(int mosquittoError, int systemError);
