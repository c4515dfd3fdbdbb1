#include "app/single_instance.h"

#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <cstdlib>
#include <optional>
#include <system_error>

#include "ui/common/display_text.h"

namespace mv {

namespace {

// How long a later start waits for a holder that has only just started (it
// notes its socket once it listens) or is busy.
constexpr qint64 kWaitMs = 5000;
constexpr int kStepMs = 1000;

// The socket lies in the user's runtime folder (private to the user), else in
// the temporary folder: the first whose path leaves room for the socket's
// name (a socket's path holds at most 107 bytes). The holder's process id
// keeps two holders apart.
std::string SocketPath() {
    const std::string name = "/mp3vandrel-" + std::to_string(::getpid()) + ".sock";
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::error_code ec;
    for (const std::string& folder :
         {std::string(runtime != nullptr ? runtime : ""), TypedBytes(QDir::tempPath())}) {
        if (folder.starts_with('/') &&
            folder.size() + name.size() < sizeof(sockaddr_un::sun_path) &&
            std::filesystem::is_directory(folder, ec)) {
            return folder + name;
        }
    }
    return "/tmp" + name;
}

// The holder's note: its process id and its socket's path, a line each.
struct HolderNote {
    std::string pid;
    std::string socket;
};

// Empty until the note is complete (both lines ended): the holder may be
// writing it this very moment.
std::optional<HolderNote> ParseNote(const std::string& text) {
    const size_t first = text.find('\n');
    if (first == std::string::npos) return std::nullopt;
    const size_t second = text.find('\n', first + 1);
    if (second == std::string::npos || second == first + 1) return std::nullopt;
    return HolderNote{text.substr(0, first), text.substr(first + 1, second - first - 1)};
}

}  // namespace

SingleInstance::SingleInstance(std::filesystem::path lockFile, QObject* parent)
    : QObject(parent), lockFile_(std::move(lockFile)) {}

SingleInstance::~SingleInstance() {
    // The socket goes before the lock, so no later start reaches a socket
    // whose holder has let the folder go.
    delete server_;
    server_ = nullptr;
}

SingleInstance::Outcome SingleInstance::Claim() {
    lock_ = std::make_unique<FolderLock>(lockFile_);
    const std::string folder = lockFile_.parent_path().string();
    if (lock_->Result() == FolderLock::State::Held) {
        Listen();
        return Outcome::Holder;
    }
    if (lock_->Result() == FolderLock::State::Unavailable) {
        message_ = "mp3vandrel: cannot lock " + lockFile_.string() + " (" + lock_->Error() +
                   "); a second Mp3 Vandrel on this program folder would go unnoticed\n";
        return Outcome::Unguarded;
    }
    QElapsedTimer waited;
    waited.start();
    std::string pid = "?";
    while (waited.elapsed() < kWaitMs) {
        if (const auto note = ParseNote(lock_->ReadNote())) {
            pid = note->pid;
            if (AskHolder(note->socket)) {
                message_ = "mp3vandrel: Mp3 Vandrel already runs on the program folder " + folder +
                           " (process " + pid + "); its window is shown\n";
                return Outcome::HandedOver;
            }
        }
        QThread::msleep(100);
    }
    message_ = "mp3vandrel: Mp3 Vandrel already runs on the program folder " + folder +
               " (process " + pid +
               ") and does not answer; this start ends and leaves its "
               "files alone\n";
    return Outcome::NoAnswer;
}

bool SingleInstance::AskHolder(const std::string& socketPath) {
    QLocalSocket socket;
    socket.connectToServer(DisplayText(socketPath));
    if (!socket.waitForConnected(kStepMs)) return false;
    socket.write(QByteArrayLiteral("raise\n"));
    if (!socket.waitForBytesWritten(kStepMs)) return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(kStepMs)) return false;
    }
    return socket.readLine() == QByteArrayLiteral("raised\n");
}

void SingleInstance::Listen() {
    const std::string path = SocketPath();
    const QString name = DisplayText(path);
    server_ = new QLocalServer();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket left by a dead program that had our process id.
    QLocalServer::removeServer(name);
    if (server_->listen(name)) {
        connect(server_, &QLocalServer::newConnection, this, &SingleInstance::Answer);
    } else {
        // Later starts still find the lock held; they end without an answer.
        message_ = "mp3vandrel: cannot listen on " + path + "; a second start will not show " +
                   "this window\n";
    }
    lock_->Publish(std::to_string(::getpid()) + "\n" + path + "\n");
}

void SingleInstance::Answer() {
    while (QLocalSocket* client = server_->nextPendingConnection()) {
        connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        connect(client, &QLocalSocket::readyRead, this, [this, client] {
            if (!client->canReadLine()) return;
            if (client->readLine() == QByteArrayLiteral("raise\n")) {
                if (raise) raise();
                client->write(QByteArrayLiteral("raised\n"));
            }
            client->disconnectFromServer();
        });
    }
}

}  // namespace mv
