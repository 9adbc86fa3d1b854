#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <deque>

namespace Koru {

// Releases byte chunks in order, each no earlier than its due time. A chunk that is due
// at once while nothing waits leaves immediately, inside the call that pushed it.
class OutputPacer : public QObject
{
    Q_OBJECT

public:
    explicit OutputPacer(QObject *parent = nullptr);

    // The chunk leaves after delayMs and at least gapMs after the chunk pushed before it.
    void push(const QByteArray &bytes, int delayMs = 0, int gapMs = 0);
    void clear();
    bool isIdle() const { return queue.empty(); }

signals:
    void ready(const QByteArray &bytes);

private:
    struct Chunk
    {
        qint64 due = 0;
        QByteArray bytes;
    };

    void release();
    void schedule();

    std::deque<Chunk> queue;
    qint64 lastDue = 0; // due time of the chunk pushed last, queued or already gone
    QTimer timer{this};
    QElapsedTimer clock;
};

} // namespace Koru
