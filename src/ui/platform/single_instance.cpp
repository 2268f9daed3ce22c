// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/platform/single_instance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QStandardPaths>

#include <climits>
#include <csignal>
#include <cstring>
#include <system_error>

#include <sys/un.h>
#include <unistd.h>

namespace vantrel {

namespace {

// A request is NUL-separated fields: the tag, then each absolute path in native bytes,
// then an empty field (a path is never empty). The answer is one byte, sent once the
// files were imported.
constexpr char kRequestTag[] = "vantrel-open/1";
constexpr char kAnswer = '1';
// Far above any command line the desktop passes; a peer sending more is dropped.
constexpr qint64 kMaxRequestBytes = 1 << 20;
constexpr char kRequestBuffer[] = "vantrel.request";

// A program killed by a signal that ends it by default removes its socket on the way, so
// test runs and tools that stop it with SIGTERM leave no file behind. Only
// async-signal-safe calls here; the path is written before the handlers go in.
char socketPathForSignals[PATH_MAX] = {};
constexpr int kEndingSignals[] = {SIGTERM, SIGINT, SIGHUP};
bool signalHandlersInstalled[std::size(kEndingSignals)] = {};

extern "C" void removeSocketAndEnd(int signal) {
    ::unlink(socketPathForSignals);
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

void installSignalCleanup(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    if (native.size() >= static_cast<qsizetype>(sizeof socketPathForSignals)) return;
    std::memcpy(socketPathForSignals, native.constData(), static_cast<std::size_t>(native.size()) + 1);
    for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
        struct sigaction current {};
        if (::sigaction(kEndingSignals[i], nullptr, &current) != 0 || current.sa_handler != SIG_DFL) continue;
        struct sigaction cleanup {};
        cleanup.sa_handler = removeSocketAndEnd;
        sigemptyset(&cleanup.sa_mask);
        signalHandlersInstalled[i] = ::sigaction(kEndingSignals[i], &cleanup, nullptr) == 0;
    }
}

void removeSignalCleanup() {
    for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
        if (!signalHandlersInstalled[i]) continue;
        ::signal(kEndingSignals[i], SIG_DFL);
        signalHandlersInstalled[i] = false;
    }
}

QByteArray request(const std::vector<std::filesystem::path>& files) {
    QByteArray bytes(kRequestTag);
    bytes.append('\0');
    for (const auto& file : files) {
        if (file.empty()) continue;
        std::error_code error;
        std::filesystem::path absolute = std::filesystem::absolute(file, error);
        if (error) absolute = file;
        bytes.append(absolute.native().data(), static_cast<qsizetype>(absolute.native().size()));
        bytes.append('\0');
    }
    bytes.append('\0');
    return bytes;
}

}  // namespace

SingleInstance::SingleInstance(QObject* parent) : QObject(parent) {}

SingleInstance::~SingleInstance() { stop(); }

QString SingleInstance::serverPath() {
    // The folders are the ones the program writes its preferences and library under.
    const QString folders = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QLatin1Char('\n') +
                            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QString digest = QString::fromLatin1(
        QCryptographicHash::hash(folders.toUtf8(), QCryptographicHash::Sha256).toHex().left(16));
    const QString name = QStringLiteral("/vantrel-%1-%2.socket").arg(::getuid()).arg(digest);
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    // A socket's path must fit in sockaddr_un, NUL included: a runtime folder too deep
    // for it falls back to the temporary folder.
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir() &&
        QFile::encodeName(runtime + name).size() < static_cast<qsizetype>(sizeof(sockaddr_un::sun_path)))
        return runtime + name;
    return QDir::tempPath() + name;
}

SingleInstance::Claim SingleInstance::claim(const std::vector<std::filesystem::path>& files, int timeoutMs) {
    const QString path = serverPath();
    const QDeadlineTimer deadline(timeoutMs);
    // Starts decide one at a time: without the lock, two starts at once could both find
    // no program and both listen. A lock left by a program that died is taken over by
    // QLockFile itself; one that cannot be had within the time only costs that guarantee.
    QLockFile lock(path + QStringLiteral(".lock"));
    lock.tryLock(timeoutMs);

    // In the shared temporary folder another user could have placed a socket under our
    // name: never talk to it, never remove it; run without listening instead.
    const QFileInfo existing(path);
    if (existing.exists() && existing.ownerId() != ::getuid()) return Claim::primary;

    QLocalSocket socket;
    socket.connectToServer(path);
    if (socket.waitForConnected(static_cast<int>(deadline.remainingTime()))) {
        socket.write(request(files));
        while (socket.state() == QLocalSocket::ConnectedState && !deadline.hasExpired()) {
            if (socket.bytesAvailable() > 0) return socket.read(1).at(0) == kAnswer ? Claim::handedOver : Claim::noAnswer;
            socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
        }
        if (socket.bytesAvailable() > 0 && socket.read(1).at(0) == kAnswer) return Claim::handedOver;
        return Claim::noAnswer;
    }

    // Nothing answers: whatever lies at the path was left by a program that ended.
    QLocalServer::removeServer(path);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(path)) {
        delete server_;
        server_ = nullptr;
        return Claim::primary;
    }
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::accept);
    installSignalCleanup(path);
    return Claim::primary;
}

bool SingleInstance::listening() const { return server_ && server_->isListening(); }

void SingleInstance::stop() {
    if (!server_) return;
    removeSignalCleanup();
    server_->close();   // removes the socket file
    delete server_;
    server_ = nullptr;
}

void SingleInstance::accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
        if (socket->bytesAvailable() > 0) read(socket);
    }
}

void SingleInstance::read(QLocalSocket* socket) {
    QByteArray buffer = socket->property(kRequestBuffer).toByteArray() + socket->readAll();
    const qsizetype end = buffer.indexOf(QByteArray("\0\0", 2));
    if (end < 0) {
        if (buffer.size() > kMaxRequestBytes) socket->abort();
        else socket->setProperty(kRequestBuffer, buffer);
        return;
    }
    socket->setProperty(kRequestBuffer, QVariant());
    const QList<QByteArray> fields = buffer.left(end + 1).split('\0');
    // split leaves one empty field after the last NUL.
    if (fields.isEmpty() || fields.front() != kRequestTag) {
        socket->abort();
        return;
    }
    std::vector<std::filesystem::path> files;
    for (qsizetype i = 1; i + 1 < fields.size(); ++i)
        files.emplace_back(std::string(fields[i].constData(), static_cast<std::size_t>(fields[i].size())));
    // The import may run a nested event loop in which the peer's disconnection deletes
    // the socket.
    const QPointer<QLocalSocket> alive(socket);
    if (handler_) handler_(files);
    // After the import: the later start ends once its files are in.
    if (!alive) return;
    socket->write(&kAnswer, 1);
    socket->flush();
}

}  // namespace vantrel
