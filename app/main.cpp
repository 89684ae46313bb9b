#include "app/startup.h"

#include <QApplication>
#include <QCoreApplication>

int main(int argc, char *argv[])
{
    // The command line is read before the window system is needed, so that
    // --help, --version and a wrong option work without a display.
    {
        QCoreApplication commandLine(argc, argv);
        const int status = handleCommandLine(commandLine);
        if (status >= 0)
            return status;
    }
    QApplication app(argc, argv);
    return runProgram(app);
}
