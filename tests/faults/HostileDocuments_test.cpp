// Hostile exchange documents given to `puente`, in both directions.
//
// References to things outside the document (external entities, an external
// DTD, parameter entities, XInclude) point at a named pipe and at a socket
// that this test holds: opening the pipe for reading, or connecting to the
// socket, is seen while the run works, so "no file read, no network" is
// checked directly (and the pipe is then fed, so a faulty run cannot hang).
// Resource bombs (nested entity expansion, a quadratic expansion, nesting a
// hundred thousand levels deep, an attribute of tens of megabytes) must end
// with the document refused, within bounded memory (a run that does not end
// at all is killed after a minute and reported hung; timings belong in bench/).
// Either way: no crash, the working directory and the document unchanged, no
// result document from a refused one.
#include "FaultSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace puente::faults {
namespace {

using namespace std::chrono;

const QByteArray kSecret = "SECRETO-DE-OTRO-ARCHIVO";

// A named pipe that tells whether anyone opened it for reading.
class Tripwire {
public:
    explicit Tripwire(const QString& path) : path_(QFile::encodeName(path)) {
        if (mkfifo(path_.constData(), 0644) != 0) ADD_FAILURE() << "mkfifo " << path.toStdString();
    }
    // Called while the run works: a reader makes a non-blocking open for
    // writing succeed; it gets the secret and an end of file.
    void Check() {
        const int fd = ::open(path_.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return;
        opened_ = true;
        (void)!write(fd, kSecret.constData(), size_t(kSecret.size()));
        ::close(fd);
    }
    bool opened() const { return opened_; }

private:
    QByteArray path_;
    bool opened_ = false;
};

// A listening socket on the loopback; a connection waits in its queue.
class Listener {
public:
    Listener() {
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof a;
        if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(fd_, 8) != 0 ||
            getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &size) != 0)
            ADD_FAILURE() << "cannot listen on the loopback";
        port_ = ntohs(a.sin_port);
    }
    ~Listener() { ::close(fd_); }
    int port() const { return port_; }
    // Accepts and closes a waiting connection, so a faulty run is not kept
    // waiting for an answer; tells whether there was one.
    void Check() {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, 0) != 1) return;
        const int c = accept(fd_, nullptr, nullptr);
        if (c >= 0) ::close(c);
        connected_ = true;
    }
    bool connected() const { return connected_; }

private:
    int fd_ = -1;
    int port_ = 0;
    bool connected_ = false;
};

struct ReachCase {
    const char* name;
    const char* xml;  // %PIPE%: the pipe's file URL; %RELATIVE%: its name beside the document; %HTTP%, %FTP%
};
void PrintTo(const ReachCase& c, std::ostream* os) { *os << c.name; }

// A working directory with tables and a SOLUC, a documents folder, a pipe
// beside the document and a socket.
class Hostile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QFileInfo(PuenteBinary()).isExecutable()) << "build the target puente first";
        htemp_ = base_.filePath("htemp");
        docs_ = base_.filePath("docs");
        QDir().mkpath(docs_);
        const QString small = QStringLiteral(PUENTE_TEST_DATA "/forward/small.xml");
        ASSERT_TRUE(PrepareWorkingDirectory(htemp_, small));
    }

    // Runs `command` over a document of these bytes and checks what every
    // case shares; the outcome for the case's own checks.
    Outcome Run(const QString& command, const QByteArray& xml, Tripwire* pipe = nullptr, Listener* socket = nullptr) {
        const QString doc = docs_ + "/centro.xml";
        WriteAll(doc, xml);
        const QMap<QString, QByteArray> tables = SnapshotWithoutLock(htemp_);
        const Running running = StartPuente({command, doc, "--htemp", htemp_});
        const Outcome o = Finish(running, seconds(60), [&] {
            if (pipe) pipe->Check();
            if (socket) socket->Check();
        });
        EXPECT_FALSE(o.hung) << "the run did not end within 60 s";
        EXPECT_EQ(o.signal, 0) << ::testing::PrintToString(o);
        EXPECT_TRUE(o.exitCode == 0 || o.exitCode == 1) << ::testing::PrintToString(o);
        EXPECT_EQ(ReadAll(doc), xml);
        const QString result = docs_ + "/ResultadoHoraliscentro.xml";
        if (o.exitCode == 1) {
            const QString last = o.err.trimmed().section('\n', -1);
            EXPECT_TRUE(last.startsWith(QString("Error: El archivo '%1' no es un documento XML válido: ").arg(doc)))
                << o.err.toStdString();
            EXPECT_EQ(SnapshotWithoutLock(htemp_), tables);
            EXPECT_FALSE(QFile::exists(result));
        }
        if (command == "importar") {
            EXPECT_EQ(SnapshotWithoutLock(htemp_), tables);
        }
        // The secret is nowhere: not in a table, the result or the output.
        for (const QString& folder : {htemp_, docs_})
            for (const QByteArray& bytes : Snapshot(folder)) EXPECT_FALSE(bytes.contains(kSecret));
        EXPECT_FALSE(o.out.contains(kSecret) || o.err.contains(kSecret));
        QFile::remove(result);
        return o;
    }

    QTemporaryDir base_;
    QString htemp_, docs_;
};

class HostileReach : public Hostile, public ::testing::WithParamInterface<ReachCase> {};

TEST_P(HostileReach, ReadsNoFileAndOpensNoConnection) {
    for (const char* command : {"exportar", "importar"}) {
        SCOPED_TRACE(command);
        QFile::remove(docs_ + "/secreto");
        Tripwire pipe(docs_ + "/secreto");
        Listener socket;
        QByteArray xml(GetParam().xml);
        xml.replace("%PIPE%", QFile::encodeName("file://" + docs_ + "/secreto"));
        xml.replace("%RELATIVE%", "secreto");
        xml.replace("%HTTP%", "http://127.0.0.1:" + QByteArray::number(socket.port()) + "/x");
        xml.replace("%FTP%", "ftp://127.0.0.1:" + QByteArray::number(socket.port()) + "/x");
        Run(command, xml, &pipe, &socket);
        EXPECT_FALSE(pipe.opened()) << "the run opened the file an external reference names";
        EXPECT_FALSE(socket.connected()) << "the run connected to the address an external reference names";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostileReach,
    ::testing::Values(
        ReachCase{"entity_file_in_attribute",
                  "<!DOCTYPE centro [<!ENTITY x SYSTEM \"%PIPE%\">]>\n"
                  "<centro nombre=\"n\" codigo_interno=\"1\" curso=\"c\" version=\"v\"><materias>"
                  "<dmaterias abrev=\"&x;\" codigo=\"1\"/></materias></centro>"},
        ReachCase{"entity_file_in_content",
                  "<!DOCTYPE centro [<!ENTITY x SYSTEM \"%PIPE%\">]>\n"
                  "<centro nombre=\"n\" codigo_interno=\"1\" curso=\"c\" version=\"v\">&x;<materias>"
                  "<dmaterias abrev=\"A\" codigo=\"1\"/></materias></centro>"},
        ReachCase{"entity_file_relative",
                  "<!DOCTYPE centro [<!ENTITY x SYSTEM \"%RELATIVE%\">]>\n"
                  "<centro nombre=\"n\" codigo_interno=\"1\" curso=\"c\" version=\"v\">&x;</centro>"},
        ReachCase{"external_dtd_file",
                  "<!DOCTYPE centro SYSTEM \"%PIPE%\">\n"
                  "<centro nombre=\"n\" codigo_interno=\"1\" curso=\"c\" version=\"v\"/>"},
        ReachCase{"parameter_entity_file",
                  "<!DOCTYPE centro [<!ENTITY % p SYSTEM \"%PIPE%\"> %p;]>\n"
                  "<centro nombre=\"n\" codigo_interno=\"1\" curso=\"c\" version=\"v\"/>"},
        ReachCase{"xinclude_file",
                  "<centro xmlns:xi=\"http://www.w3.org/2001/XInclude\" nombre=\"n\" codigo_interno=\"1\" curso=\"c\" "
                  "version=\"v\"><xi:include href=\"%PIPE%\" parse=\"text\"/></centro>"},
        ReachCase{"entity_http",
                  "<!DOCTYPE centro [<!ENTITY x SYSTEM \"%HTTP%\">]>\n"
                  "<centro nombre=\"n\" codigo_interno=\"1\" curso=\"c\" version=\"v\">&x;</centro>"},
        ReachCase{"external_dtd_http",
                  "<!DOCTYPE centro PUBLIC \"-//X//DTD X//ES\" \"%HTTP%\">\n"
                  "<centro nombre=\"n\" codigo_interno=\"1\" curso=\"c\" version=\"v\"/>"},
        ReachCase{"entity_ftp",
                  "<!DOCTYPE centro [<!ENTITY x SYSTEM \"%FTP%\">]>\n"
                  "<centro nombre=\"n\" codigo_interno=\"1\" curso=\"c\" version=\"v\">&x;</centro>"}),
    [](const ::testing::TestParamInfo<ReachCase>& info) { return std::string(info.param.name); });

struct BombCase {
    const char* name;
    QByteArray (*make)();
    const char* reason;  // what the message says after the prefix
};
void PrintTo(const BombCase& c, std::ostream* os) { *os << c.name; }

QByteArray Laughs(const QByteArray& use) {
    QByteArray dtd = "<!DOCTYPE centro [\n<!ENTITY l0 \"jaja\">\n";
    for (int i = 1; i <= 10; ++i)
        dtd += "<!ENTITY l" + QByteArray::number(i) + " \"" +
               QByteArray("&l" + QByteArray::number(i - 1) + ";").repeated(10) + "\">\n";
    return dtd + "]>\n" + use;
}

class HostileBomb : public Hostile, public ::testing::WithParamInterface<BombCase> {};

TEST_P(HostileBomb, IsRefusedInBoundedMemory) {
    const QByteArray xml = GetParam().make();
    for (const char* command : {"exportar", "importar"}) {
        SCOPED_TRACE(command);
        const Outcome o = Run(command, xml);
        EXPECT_TRUE(o.exited(1)) << ::testing::PrintToString(o);
        EXPECT_TRUE(o.err.contains(GetParam().reason)) << o.err.toStdString();
        EXPECT_TRUE(o.err.endsWith(" No se ha modificado ninguna tabla.\n")) << o.err.toStdString();
        // The document's own size a few times over (the expansions would
        // take gigabytes), with room for a sanitizer's own bookkeeping.
        EXPECT_LT(o.maxRssKb, 1024 * 1024 + 8 * xml.size() / 1024) << "kB at most";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostileBomb,
    ::testing::Values(
        BombCase{"nested_entities_in_attribute",
                 [] { return Laughs("<centro nombre=\"&l10;\" codigo_interno=\"1\" curso=\"c\" version=\"v\"/>"); },
                 "Detected an entity reference loop"},
        BombCase{
            "nested_entities_in_content",
            [] { return Laughs("<centro nombre=\"n\" codigo_interno=\"1\" curso=\"c\" version=\"v\">&l10;</centro>"); },
            "Detected an entity reference loop"},
        BombCase{"quadratic_expansion_in_attribute",
                 [] {
                     return "<!DOCTYPE centro [<!ENTITY a \"" + QByteArray(100'000, 'a') + "\">]>\n<centro nombre=\"" +
                            QByteArray("&a;").repeated(20'000) + "\" codigo_interno=\"1\" curso=\"c\" version=\"v\"/>";
                 },
                 "las entidades de los atributos dan más de 10000000 bytes de texto"},
        BombCase{"nesting_100000_deep",
                 [] {
                     return "<centro>" + QByteArray("<a>").repeated(100'000) + QByteArray("</a>").repeated(100'000) +
                            "</centro>";
                 },
                 "Excessive depth in document: 256"},
        BombCase{"attribute_of_40_MB",
                 [] {
                     return "<centro nombre=\"n\" codigo_interno=\"1\" curso=\"c\" version=\"v\"><materias><dmaterias "
                            "abrev=\"" +
                            QByteArray(40'000'000, 'x') + "\" codigo=\"1\"/></materias></centro>";
                 },
                 "too long"}),
    [](const ::testing::TestParamInfo<BombCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace puente::faults
