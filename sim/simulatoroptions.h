#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// How the simulated instrument behaves. The defaults give a well-behaved
// instrument on a real-speed line with a few thousand stored records.
struct SimulatorOptions
{
    // Records in the flash store at start, 0 to 80000.
    int storedRecords = 3000;
    // Live readings per second; 0 sends none.
    double liveRate = 2.0;
    // Pace the output like a 115200-baud line (8N1: ten bits per byte);
    // false writes as fast as the pseudo-terminal takes the bytes.
    bool paced = true;
    int bytesPerSecond = 11520;
    // Bluetooth setting at start and after a reset to factory settings.
    bool bluetoothOn = false;
    // false: T4 has no thermocouple attached and reports "no reading".
    bool allChannelsConnected = false;
    // Fault injection. Rates are probabilities from 0 to 1.
    double corruptFrameRate = 0; // a frame leaves with one payload bit flipped
    double noiseRate = 0;        // 1 to 8 noise bytes (never 0xAA) go before a frame
    double badRecordRate = 0;    // a stored record carries a wrong checksum
    int disconnectAfterMs = -1;  // close the port this long after start; -1 never
    int reopenAfterMs = -1;      // after a disconnect open a new port this much later; -1 never
    // How long an erase takes before the end answer; the store is empty at once.
    int eraseDelayMs = 500;
    // Period of the unsolicited status byte (answer type 9); 0 sends it only
    // in answer to a recording notification.
    int statusIntervalMs = 10000;
    // Seed of the fault injection and of the readings' noise.
    quint32 seed = 1;
    // Run on a thread of its own; false runs in the creating thread's event loop.
    bool ownThread = true;
    // When set, a symbolic link at this path follows the current port.
    QString linkPath;
    // The name the instrument reports: 1 to 20 bytes of UTF-8, the size of
    // the device information's name field.
    QByteArray deviceName = QByteArrayLiteral("KX740D");
};

// Command line of the simulator program. `args` starts with the program
// name. Error: `message` says what is wrong; HelpShown: `message` is the help
// text the user asked for. Options not on the command line keep the values
// they have in `options`.
class SimulatorCommandLine
{
    Q_DECLARE_TR_FUNCTIONS(SimulatorCommandLine)
public:
    enum Result
    {
        Ok,
        Error,
        HelpShown
    };
    static Result parse(const QStringList &args, SimulatorOptions *options, QString *message);
};
