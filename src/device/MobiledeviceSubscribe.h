#pragma once

#include <QObject>
#include <QString>
#include <atomic>

// Turns libimobiledevice's device events into two signals: newDevice when an iPhone is plugged in over
// USB, kickDevice when it goes. The events arrive on the library's event thread; connect with queued (or
// automatic) connections so the handlers run on the receiver's thread. Network-connected devices are
// ignored. One instance subscribes at a time (the library keeps one subscription per process).
class MobiledeviceSubscribe : public QObject
{
    Q_OBJECT

public:
    explicit MobiledeviceSubscribe(QObject* parent = nullptr);
    // Unsubscribes (and, where the program runs the multiplexer itself, stops it).
    ~MobiledeviceSubscribe() override;

    // Starts the multiplexer where it is the program's to start (Windows), then subscribes to the
    // events; false when the subscription failed (device features then stay silent).
    bool start();
    void stop();

    // Devices attached minus devices detached since start(); for the receiving thread's use only.
    int attachedCount() const { return m_attachedCount.load(); }

signals:
    void newDevice(const QString& udid);
    void kickDevice(const QString& udid);

private:
    static void onEvent(const void* event, void* self);

    std::atomic<int> m_attachedCount = 0;
    bool m_subscribed = false;
};
