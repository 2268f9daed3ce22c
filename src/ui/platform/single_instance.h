// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <filesystem>
#include <functional>
#include <vector>

class QLocalServer;
class QLocalSocket;

namespace vantrel {

// One program per user and data folder. The first start listens on a local socket named
// after the user and the folders the program writes (data and configuration); a later
// start hands its tactic files to that program, which imports them and comes to the
// front, and ends. So two programs never write one library, and tests or tools that
// start the program with folders of their own never meet each other.
//
// A socket left behind by a program that ended without closing it (killed, crashed) is
// taken over: nothing answers on it, so the next start removes it and listens itself.
class SingleInstance : public QObject {
public:
    enum class Claim {
        primary,      // this program runs the window; it listens when the socket allows
        handedOver,   // the running program took the files: end with status 0
        noAnswer,     // a program accepted the connection but never answered
    };
    using OpenHandler = std::function<void(const std::vector<std::filesystem::path>& files)>;

    explicit SingleInstance(QObject* parent = nullptr);
    ~SingleInstance() override;

    // The socket of this user and these folders: in the user's runtime folder
    // (XDG_RUNTIME_DIR), else in the temporary folder with the user id in its name.
    static QString serverPath();

    // Hands `files` (made absolute against this process's working folder, which the
    // running program does not share) to a running program, or becomes the one that
    // runs. `timeoutMs` bounds each wait on the other program.
    Claim claim(const std::vector<std::filesystem::path>& files, int timeoutMs = 10000);

    // Called on the interface thread for every later start, with its absolute paths in
    // order; an empty list asks only to come to the front.
    void setOpenHandler(OpenHandler handler) { handler_ = std::move(handler); }

    bool listening() const;
    // Stops listening and removes the socket, so starts while this program quits begin
    // a program of their own rather than wait for an answer.
    void stop();

private:
    void accept();
    void read(QLocalSocket* socket);

    QLocalServer* server_ = nullptr;
    OpenHandler handler_;
};

}  // namespace vantrel
