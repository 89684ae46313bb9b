#include "serial/serial.h"

#include "serial/serialimpl.h"

namespace serial {

SerialException::SerialException(const std::string &description)
    : m_description(description), m_what("SerialException " + description + " failed.")
{
}

IOException::IOException(const std::string &description)
    : m_description(description), m_what("IO Exception: " + description)
{
}

PortNotOpenedException::PortNotOpenedException(const std::string &description)
    : m_description(description), m_what("PortNotOpenedException " + description + " failed.")
{
}

Serial::Serial(const std::string &port, uint32_t baudrate, PortTimeouts timeout, ByteSize bytesize,
               Parity parity, StopBits stopbits, FlowControl flowcontrol)
    : m_impl(std::make_unique<SerialImpl>(port, baudrate, timeout, bytesize, parity, stopbits,
                                          flowcontrol))
{
}

Serial::~Serial() = default;

void Serial::open()
{
    m_impl->open();
}

void Serial::close()
{
    m_impl->close();
}

bool Serial::isOpen() const
{
    return m_impl->isOpen();
}

size_t Serial::available()
{
    return m_impl->available();
}

bool Serial::waitReadable(uint32_t timeoutMs)
{
    return m_impl->waitReadable(timeoutMs);
}

bool Serial::waitReadable(uint32_t timeoutMs, int wakeFd)
{
    return m_impl->waitReadable(timeoutMs, wakeFd);
}

std::string Serial::read(size_t size)
{
    return m_impl->read(size);
}

size_t Serial::write(const std::string &data)
{
    return m_impl->write(data);
}

void Serial::setPort(const std::string &port)
{
    m_impl->setPort(port);
}

void Serial::setBaudrate(uint32_t baudrate)
{
    m_impl->setBaudrate(baudrate);
}

void Serial::setBytesize(ByteSize bytesize)
{
    m_impl->setBytesize(bytesize);
}

void Serial::setParity(Parity parity)
{
    m_impl->setParity(parity);
}

void Serial::setStopbits(StopBits stopbits)
{
    m_impl->setStopbits(stopbits);
}

void Serial::setFlowcontrol(FlowControl flowcontrol)
{
    m_impl->setFlowcontrol(flowcontrol);
}

void Serial::setTimeout(const PortTimeouts &timeout)
{
    m_impl->setTimeout(timeout);
}

} // namespace serial
