#include "SimPty.h"

#include <QSocketNotifier>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace {
// A listener that stops reading loses what does not fit; this bounds the simulator's memory.
constexpr int kMaxBacklog = 256 * 1024;
} // namespace

SimPty::SimPty(QObject *parent) : QObject(parent) {}

SimPty::~SimPty()
{
    Close();
}

#if defined(Q_OS_UNIX)

namespace {

bool SetFlags(int fd)
{
    const int fl = fcntl(fd, F_GETFL);
    return fl >= 0 && fcntl(fd, F_SETFL, fl | O_NONBLOCK) == 0 && fcntl(fd, F_SETFD, FD_CLOEXEC) == 0;
}

QString Errno(const char *what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

bool SimPty::Open(QString *error)
{
    Close();
    const auto fail = [&](const char *what) {
        if (error)
            *error = Errno(what);
        Close();
        return false;
    };
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0)
        return fail("posix_openpt");
    if (grantpt(master_) != 0 || unlockpt(master_) != 0)
        return fail("grantpt/unlockpt");
    char name[128] = {};
    if (ptsname_r(master_, name, sizeof name) != 0)
        return fail("ptsname_r");
    slaveHold_ = ::open(name, O_RDWR | O_NOCTTY);
    if (slaveHold_ < 0)
        return fail("open slave");
    termios tio{};
    if (tcgetattr(slaveHold_, &tio) != 0)
        return fail("tcgetattr");
    cfmakeraw(&tio);
    cfsetispeed(&tio, B38400);
    cfsetospeed(&tio, B38400);
    if (tcsetattr(slaveHold_, TCSANOW, &tio) != 0)
        return fail("tcsetattr");
    if (!SetFlags(master_) || !SetFlags(slaveHold_))
        return fail("fcntl");
    slavePath_ = QString::fromLocal8Bit(name);
    reader_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
    connect(reader_.get(), &QSocketNotifier::activated, this, &SimPty::OnReadable);
    writer_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Write);
    writer_->setEnabled(false);
    connect(writer_.get(), &QSocketNotifier::activated, this, &SimPty::Flush);
    return true;
}

void SimPty::Close()
{
    reader_.reset();
    writer_.reset();
    if (master_ >= 0)
        ::close(master_);
    if (slaveHold_ >= 0)
        ::close(slaveHold_);
    master_ = slaveHold_ = -1;
    slavePath_.clear();
    pending_.clear();
}

void SimPty::OnReadable()
{
    QByteArray got;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n > 0) {
            got.append(buf, static_cast<int>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
            // The line is gone; stop watching rather than spin on a permanent error.
            reader_->setEnabled(false);
        }
        break;
    }
    if (!got.isEmpty())
        emit Received(got);
}

void SimPty::Write(const QByteArray &bytes)
{
    if (master_ < 0)
        return;
    if (pending_.size() + bytes.size() > kMaxBacklog)
        return;
    pending_.append(bytes);
    Flush();
}

void SimPty::Flush()
{
    while (!pending_.isEmpty()) {
        const ssize_t n = ::write(master_, pending_.constData(), static_cast<size_t>(pending_.size()));
        if (n > 0) {
            pending_.remove(0, static_cast<int>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break;
    }
    if (writer_)
        writer_->setEnabled(!pending_.isEmpty());
}

#else

bool SimPty::Open(QString *error)
{
    if (error)
        *error = QStringLiteral("pseudo-terminals are not available on this platform");
    return false;
}

void SimPty::Close() {}
void SimPty::OnReadable() {}
void SimPty::Write(const QByteArray &) {}
void SimPty::Flush() {}

#endif
