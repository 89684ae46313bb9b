#pragma once

// How long the publisher waits before it tries the broker again.

// Milliseconds before the next attempt after `failures` (1 or more) failed
// attempts in a row: 1, 2, 4, 8, 16 s, then every 30 s, so that a broker
// back after a short outage is reached within about two seconds. `refused`
// (the broker turned down our credentials or client id, or its certificate
// could not be verified): 60 s, as that waits for someone to act, and a
// broker should not see a failed login every second. `jitter` in [0, 1)
// shortens the wait by up to a quarter, so that clients that lost one broker
// together do not all come back in the same instant.
int reconnectDelayMs(int failures, bool refused, double jitter);
