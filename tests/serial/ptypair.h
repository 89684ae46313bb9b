#pragma once

#include <cstdint>
#include <string>

// A pseudo-terminal for tests: the test plays the device on the master side
// while the code under test opens the slave path like any serial port.
class PtyPair
{
public:
    // Line settings of the slave as the kernel holds them.
    struct LineState
    {
        uint32_t speed = 0; // bits per second
        unsigned cflag = 0;
        unsigned iflag = 0;
        unsigned oflag = 0;
        unsigned lflag = 0;
    };

    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    bool isValid() const { return m_master != -1; }
    const std::string &slavePath() const { return m_slavePath; }

    // Writes every byte to the slave's input; false on error.
    bool writeMaster(const std::string &data);
    // Reads what the slave sent until `count` bytes or `timeoutMs` have passed.
    std::string readMaster(size_t count, int timeoutMs = 2000);
    // Closing the master hangs up the slave, as unplugging a device does.
    void closeMaster();
    LineState lineState() const;

private:
    int m_master = -1;
    std::string m_slavePath;
};
