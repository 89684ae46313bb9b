#pragma once

#include "serial/serial.h"

#include <atomic>
#include <mutex>

namespace serial {

// The terminal behind a Serial: descriptor, stored settings and the two
// direction mutexes.
class Serial::SerialImpl
{
public:
    SerialImpl(const std::string &port, uint32_t baudrate, const PortTimeouts &timeout,
               ByteSize bytesize, Parity parity, StopBits stopbits, FlowControl flowcontrol);
    ~SerialImpl();

    void open();
    void close();
    bool isOpen() const { return m_isOpen; }

    size_t available();
    bool waitReadable(uint32_t timeoutMs);
    bool waitReadable(uint32_t timeoutMs, int wakeFd);
    std::string read(size_t size);
    size_t write(const std::string &data);

    void setPort(const std::string &port);
    void setBaudrate(uint32_t baudrate);
    void setBytesize(ByteSize bytesize);
    void setParity(Parity parity);
    void setStopbits(StopBits stopbits);
    void setFlowcontrol(FlowControl flowcontrol);
    void setTimeout(const PortTimeouts &timeout);

private:
    // Applies every stored setting to the open descriptor.
    void reconfigurePort();
    // Releases the exclusive hold and closes the descriptor, ignoring errors;
    // for paths that are already reporting another failure.
    void discardDescriptor();

    std::string m_port;
    // Written by the reading thread (open, close) and read by the writing
    // thread, hence atomic; -1 while closed.
    std::atomic<int> m_fd{-1};
    std::atomic<bool> m_isOpen{false};

    PortTimeouts m_timeout;
    uint32_t m_baudrate;
    Parity m_parity;
    ByteSize m_bytesize;
    StopBits m_stopbits;
    FlowControl m_flowcontrol;

    std::mutex m_readMutex;
    std::mutex m_writeMutex;
};

} // namespace serial
