#pragma once

#include <QByteArray>
#include <QString>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

// A pseudo-terminal pair for the serial-port tests: the code under test opens the slave path as
// its serial port, the test plays the receiver on the master side.
class PtyPair {
public:
    PtyPair()
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        const char *name = m_master >= 0 && ::grantpt(m_master) == 0 && ::unlockpt(m_master) == 0
                               ? ::ptsname(m_master)
                               : nullptr;
        if (!name) {
            Close();
            return;
        }
        m_slavePath = QString::fromLocal8Bit(name);
        // Raw mode on the slave side, so that no byte is translated or echoed.
        const int slave = ::open(name, O_RDWR | O_NOCTTY);
        if (slave >= 0) {
            termios tio{};
            if (::tcgetattr(slave, &tio) == 0) {
                ::cfmakeraw(&tio);
                ::tcsetattr(slave, TCSANOW, &tio);
            }
            ::close(slave);
        }
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    }
    ~PtyPair() { Close(); }
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    [[nodiscard]] bool IsValid() const { return m_master >= 0; }
    [[nodiscard]] QString SlavePath() const { return m_slavePath; }

    // Writes all bytes to the master side.
    bool Write(const QByteArray &bytes)
    {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                return false;
            if (n > 0)
                done += n;
        }
        return true;
    }

    // What has arrived on the master side, waiting at most waitMs for the first byte.
    QByteArray Read(int waitMs)
    {
        QByteArray out;
        pollfd p{m_master, POLLIN, 0};
        if (::poll(&p, 1, waitMs) <= 0 || !(p.revents & POLLIN))
            return out;
        char buf[512];
        for (;;) {
            const ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n <= 0)
                break;
            out.append(buf, int(n));
        }
        return out;
    }

    void Close()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

private:
    int m_master = -1;
    QString m_slavePath;
};
