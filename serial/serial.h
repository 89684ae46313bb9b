#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>

// A small serial-port layer over POSIX terminals. One Serial object stands for
// one port; every failure is reported as one of the exceptions below or as
// std::invalid_argument for a setting that no line can carry.
namespace serial {

// The numeric values are part of the interface: settings are stored and
// switched on by number.
enum class ByteSize : int
{
    FiveBits = 5,
    SixBits = 6,
    SevenBits = 7,
    EightBits = 8
};

enum class Parity : int
{
    None = 0,
    Odd = 1,
    Even = 2,
    Mark = 3,
    Space = 4
};

enum class StopBits : int
{
    One = 1,
    Two = 2,
    OnePointFive = 3
};

enum class FlowControl : int
{
    None = 0,
    Software = 1,
    Hardware = 2
};

// Timeouts in milliseconds. A read may take at most
// readConstant + readMultiplier * requested bytes, and at most interByte
// between two received bytes (counted from the first byte); a write may take
// at most writeConstant + writeMultiplier * bytes. A limit whose values are all
// 0 is not used, so with all five 0 a read waits for every requested byte and
// a write for every byte to be taken by the device.
// interByte == MaxTimeout with both read values 0 makes a read return at once
// with what is waiting; interByte == readMultiplier == MaxTimeout with
// 0 < readConstant < MaxTimeout makes it return at once when anything is
// waiting, otherwise at the first byte or after readConstant.
struct PortTimeouts
{
    static constexpr uint32_t MaxTimeout = 0xFFFFFFFFu;

    uint32_t interByte = 0;
    uint32_t readConstant = 0;
    uint32_t readMultiplier = 0;
    uint32_t writeConstant = 0;
    uint32_t writeMultiplier = 0;
};

class SerialException : public std::exception
{
public:
    explicit SerialException(const std::string &description);
    const char *what() const noexcept override { return m_what.c_str(); }
    const std::string &description() const { return m_description; }

private:
    std::string m_description;
    std::string m_what;
};

class IOException : public std::exception
{
public:
    explicit IOException(const std::string &description);
    const char *what() const noexcept override { return m_what.c_str(); }
    const std::string &description() const { return m_description; }

private:
    std::string m_description;
    std::string m_what;
};

class PortNotOpenedException : public std::exception
{
public:
    explicit PortNotOpenedException(const std::string &description);
    const char *what() const noexcept override { return m_what.c_str(); }
    const std::string &description() const { return m_description; }

private:
    std::string m_description;
    std::string m_what;
};

// A port is named by a path ("/dev/ttyUSB0") or by a device name under /dev
// ("ttyUSB0"). While open the port is held exclusively.
//
// Threads: one read and one write may run at the same time on different
// threads (each direction has its own mutex); setPort waits for both.
// available, isOpen, open, close and the other setters take no mutex and
// belong to the thread that reads.
class Serial
{
public:
    // Opens the port at once when `port` is not empty.
    explicit Serial(const std::string &port = std::string(), uint32_t baudrate = 9600,
                    PortTimeouts timeout = PortTimeouts(), ByteSize bytesize = ByteSize::EightBits,
                    Parity parity = Parity::None, StopBits stopbits = StopBits::One,
                    FlowControl flowcontrol = FlowControl::None);
    // Closes an open port; a failure to close is swallowed here.
    ~Serial();

    Serial(const Serial &) = delete;
    Serial &operator=(const Serial &) = delete;

    void open();
    void close();
    bool isOpen() const;

    // Number of received bytes waiting to be read; 0 while closed.
    size_t available();
    // Waits up to `timeoutMs` milliseconds for received bytes (or a hang-up)
    // without reading them. True when something is ready; false on time-out
    // and at once while the port is closed.
    bool waitReadable(uint32_t timeoutMs);
    // The same, also ending the wait when `wakeFd` (a descriptor another
    // thread makes readable, such as an eventfd) is readable; while the port
    // is closed only `wakeFd` is watched. `wakeFd` is not read here.
    bool waitReadable(uint32_t timeoutMs, int wakeFd);
    // Reads up to `size` bytes within the timeouts (all of them when every
    // timeout is 0) and returns those read.
    std::string read(size_t size = 1);
    // Writes `data` within the timeouts and returns the number of bytes written.
    size_t write(const std::string &data);

    // The setters store the value and, on an open port, apply all settings at
    // once; on a closed port the value takes effect at the next open.
    void setPort(const std::string &port);
    void setBaudrate(uint32_t baudrate);
    void setBytesize(ByteSize bytesize);
    void setParity(Parity parity);
    void setStopbits(StopBits stopbits);
    void setFlowcontrol(FlowControl flowcontrol);
    void setTimeout(const PortTimeouts &timeout);

private:
    class SerialImpl;
    std::unique_ptr<SerialImpl> m_impl;
};

} // namespace serial
