#pragma once

#include <QCoreApplication>
#include <QString>

// The master side of a pseudo-terminal pair. Whoever opens slavePath() gets
// what looks like a serial port; the simulator reads and writes the master.
//
// The master descriptor is non-blocking and in raw mode (which on this
// platform sets the terminal's shared attributes, so a client that opens the
// slave before setting its own mode sees no echo and no byte translation).
//
// Client presence: while no client has the slave open, reading the master
// fails with EIO and poll() reports POLLHUP. A fresh pair does not report
// that before its first client, so open() opens and closes the slave once
// itself; from then on clientPresent() tells the truth.
class PseudoTerminal
{
    Q_DECLARE_TR_FUNCTIONS(PseudoTerminal)
public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    bool open();
    void close();
    bool isOpen() const { return m_master >= 0; }

    int masterFd() const { return m_master; }
    QString slavePath() const { return m_slavePath; }
    QString errorString() const { return m_error; }

    // True while some process has the slave side open.
    bool clientPresent() const;
    // Discards bytes written to the slave's input queue that no client read
    // before closing it, so the next client does not start in the middle of
    // an old frame. Call only while no client is present.
    void discardUnread();

private:
    int m_master = -1;
    QString m_slavePath;
    QString m_error;
};
