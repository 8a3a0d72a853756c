// Running part of a test in a child process (made by fork), for what must
// not happen to the test program itself: a file-size limit, another user,
// a signal that ends the process. The child sends a text back through a
// pipe, which no file-size limit reaches.
#pragma once

#include <QByteArray>
#include <QString>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <string>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace puente::test {

struct ChildOutcome {
    int code = -1;  // the child's exit code, or 128 + the signal that ended it
    QString said;   // what it sent back
};

// Runs `body` in a child: what it puts in `said` is sent back, what it
// returns is the child's exit code (125 when the text could not be sent).
inline ChildOutcome RunInChild(const std::function<int(QString& said)>& body) {
    int back[2];
    if (pipe(back) != 0) {
        ADD_FAILURE() << "pipe";
        return {};
    }
    const pid_t pid = fork();
    if (pid < 0) ADD_FAILURE() << "fork";
    if (pid == 0) {
        close(back[0]);
        QString said;
        const int code = body(said);
        const QByteArray bytes = said.toUtf8();
        const bool sent = write(back[1], bytes.constData(), size_t(bytes.size())) == bytes.size();
        _exit(sent ? code : 125);
    }
    close(back[1]);
    QByteArray bytes;
    char buffer[512];
    for (ssize_t n; (n = read(back[0], buffer, sizeof buffer)) > 0;) bytes.append(buffer, n);
    close(back[0]);
    int status = 0;
    if (pid > 0) waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), QString::fromUtf8(bytes)};
}

// Another program holding something (a table, a lock) while this object
// lives: a child process runs `hold`, which takes hold of it and then calls
// keep(); keep() never returns, so what `hold` took stays held until the
// child is killed, when this object is destroyed. A `hold` that returns or
// raises instead is a failure of the test, named by `what`.
class HoldingChild {
public:
    using Hold = std::function<void(const std::function<void()>& keep)>;

    HoldingChild(const Hold& hold, const std::string& what) {
        int ready[2];
        if (pipe(ready) != 0) ADD_FAILURE() << "pipe";
        pid_ = fork();
        if (pid_ == 0) {
            close(ready[0]);
            const auto keep = [&] {
                (void)!write(ready[1], "y", 1);
                for (;;) pause();
            };
            try {
                hold(keep);
            } catch (...) {}
            (void)!write(ready[1], "n", 1);
            _exit(1);
        }
        close(ready[1]);
        char held = 'n';
        if (read(ready[0], &held, 1) != 1 || held != 'y') ADD_FAILURE() << "the other process could not hold " << what;
        close(ready[0]);
    }
    ~HoldingChild() {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    HoldingChild(const HoldingChild&) = delete;
    HoldingChild& operator=(const HoldingChild&) = delete;

private:
    pid_t pid_ = -1;
};

// Limits the size of the files this process may write (what `ulimit -f`
// sets); for a child.
inline void LimitFileSize(qint64 bytes) {
    const rlimit limit{rlim_t(bytes), rlim_t(bytes)};
    setrlimit(RLIMIT_FSIZE, &limit);
}

}  // namespace puente::test
