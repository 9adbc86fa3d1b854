// What this machine charges a Qt program for each wake-up on a serial port: a QSerialPort on a
// pseudo-terminal that a child process writes 40 bytes into at a fixed rate, read in the event
// loop and thrown away. Its CPU share is the floor under the window's cost per live report.
//
//   wake_floor [SECONDS [RATE...]]      defaults: 10 s, rates 50 and 400
//
// Prints the share of one core and the CPU time per read for each rate.

#include <QCoreApplication>
#include <QSerialPort>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <pty.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int ReportBytes = 40;
constexpr int SettleMs = 1000;

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Never returns: writes one report per period, on absolute deadlines so that the rate holds.
[[noreturn]] void writeAtRate(int fd, int rate)
{
    const char report[ReportBytes] = {};
    const long periodNs = 1000000000L / rate;
    timespec next{};
    clock_gettime(CLOCK_MONOTONIC, &next);
    for (;;) {
        next.tv_nsec += periodNs;
        next.tv_sec += next.tv_nsec / 1000000000L;
        next.tv_nsec %= 1000000000L;
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr);
        if (write(fd, report, sizeof report) < 0)
            _exit(1);
    }
}

bool measure(int seconds, int rate)
{
    int writer = -1;
    int reader = -1;
    char name[256];
    if (openpty(&writer, &reader, name, nullptr, nullptr) != 0)
        return false;
    const pid_t child = fork();
    if (child == 0)
        writeAtRate(writer, rate);
    close(writer);
    const auto stopWriter = [child, reader] {
        if (child > 0) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
        }
        close(reader);
    };
    QSerialPort port(QString::fromLocal8Bit(name));
    if (child < 0 || !port.open(QIODevice::ReadOnly)) {
        stopWriter();
        return false;
    }
    long reads = 0;
    QObject::connect(&port, &QSerialPort::readyRead, [&port, &reads] {
        char chunk[4096];
        while (port.read(chunk, sizeof chunk) > 0)
            ++reads;
    });
    double startCpu = 0;
    long startReads = 0;
    QTimer::singleShot(SettleMs, [&] {
        startCpu = cpuSeconds();
        startReads = reads;
    });
    QTimer::singleShot(SettleMs + 1000 * seconds, [&] {
        const double cpu = cpuSeconds() - startCpu;
        const long counted = reads - startReads;
        std::printf("%5d writes/s: %.2f %% of a core, %.1f us per read (%ld reads)\n", rate,
                    100 * cpu / seconds, counted > 0 ? 1e6 * cpu / double(counted) : 0.0, counted);
        QCoreApplication::quit();
    });
    QCoreApplication::exec();
    port.close();
    stopWriter();
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    const int seconds = arguments.isEmpty() ? 10 : arguments.first().toInt();
    QList<int> rates;
    for (const QString &rate : arguments.mid(1))
        rates << rate.toInt();
    if (rates.isEmpty())
        rates = {50, 400};
    if (seconds <= 0 || std::any_of(rates.cbegin(), rates.cend(), [](int rate) { return rate <= 0; })) {
        std::fprintf(stderr, "usage: wake_floor [SECONDS [RATE...]]\n");
        return 2;
    }
    for (int rate : rates) {
        if (!measure(seconds, rate)) {
            std::fprintf(stderr, "wake_floor: no pseudo-terminal or writer process\n");
            return 1;
        }
    }
    return 0;
}
