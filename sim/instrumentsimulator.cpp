#include "sim/instrumentsimulator.h"

#include "sim/simulatorengine.h"

#include <QThread>

InstrumentSimulator::InstrumentSimulator(const SimulatorOptions &options, QObject *parent)
    : QObject(parent), m_options(options)
{
}

InstrumentSimulator::~InstrumentSimulator()
{
    stop();
}

bool InstrumentSimulator::start()
{
    if (m_engine)
        return true;
    auto *engine = new SimulatorEngine(m_options);
    if (!engine->openPort()) {
        m_error = engine->errorString();
        delete engine;
        return false;
    }
    m_error.clear();
    m_engine = engine;
    connect(engine, &SimulatorEngine::commandReceived, this, &InstrumentSimulator::commandReceived);
    connect(engine, &SimulatorEngine::portClosed, this, &InstrumentSimulator::portClosed);
    connect(engine, &SimulatorEngine::portOpened, this, &InstrumentSimulator::portOpened);

    if (m_options.ownThread) {
        m_thread = new QThread;
        m_thread->setObjectName(QStringLiteral("kx740d-sim"));
        engine->moveToThread(m_thread);
        // `started` is delivered on the new thread before its event loop
        // runs, so begin() precedes anything queued to the engine later.
        connect(m_thread, &QThread::started, engine, &SimulatorEngine::begin, Qt::DirectConnection);
        m_thread->start();
    } else {
        engine->begin();
    }
    return true;
}

void InstrumentSimulator::stop()
{
    if (!m_engine)
        return;
    if (m_thread) {
        QThread *home = thread();
        SimulatorEngine *engine = m_engine;
        QMetaObject::invokeMethod(
            engine, [engine, home] { engine->shutdown(home); }, Qt::BlockingQueuedConnection);
        m_thread->quit();
        m_thread->wait();
        delete m_thread;
        m_thread = nullptr;
    } else {
        m_engine->shutdown(nullptr);
    }
    delete m_engine;
    m_engine = nullptr;
}

void InstrumentSimulator::disconnectPort()
{
    if (!m_engine)
        return;
    if (m_thread)
        QMetaObject::invokeMethod(m_engine, &SimulatorEngine::disconnectPort,
                                  Qt::BlockingQueuedConnection);
    else
        m_engine->disconnectPort();
}

QString InstrumentSimulator::portPath() const
{
    return m_engine ? m_engine->portPath() : QString();
}

_T_CTRL_CONFIG InstrumentSimulator::controlConfig() const
{
    return m_engine ? m_engine->snapshot().control : _T_CTRL_CONFIG();
}

_T_CH_CONFIG InstrumentSimulator::channelConfig() const
{
    return m_engine ? m_engine->snapshot().channels : _T_CH_CONFIG();
}

quint32 InstrumentSimulator::storedRecordCount() const
{
    return m_engine ? m_engine->snapshot().storedCount : 0;
}

bool InstrumentSimulator::recordingFlag() const
{
    return m_engine && m_engine->snapshot().recording;
}

QDateTime InstrumentSimulator::instrumentClock() const
{
    const QDateTime now = QDateTime::currentDateTime();
    return m_engine ? now.addMSecs(m_engine->snapshot().clockOffsetMs) : now;
}
