#include "platform/StandardStreams.h"

#include <cstdio>

#ifdef _WIN32
#include "platform/win32/Console.h"

#include <QIODevice>
#include <QStringDecoder>
#endif

namespace puente {

#ifdef _WIN32

namespace {

// A write-only device that takes the stream's UTF-8 and hands it on as
// UTF-16. The decoder keeps a character that a write cut in two until its
// last byte comes.
class StandardDevice : public QIODevice {
public:
    explicit StandardDevice(win32::StandardStream stream) : stream_(stream) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        const QString text = decoder_(QByteArrayView(data, size));
        // A failed write (no console, a closed pipe) is passed over, as
        // printf does: the program's outcome is its exit status.
        win32::WriteStandard(stream_, std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                                          static_cast<std::size_t>(text.size())));
        return size;
    }

private:
    win32::StandardStream stream_;
    QStringDecoder decoder_{QStringDecoder::Utf8};
};

}  // namespace

struct StandardStreams::Devices {
    StandardDevice out{win32::StandardStream::Output};
    StandardDevice err{win32::StandardStream::Error};
};

StandardStreams::StandardStreams()
    : devices_(std::make_unique<Devices>()),
      out_(std::make_unique<QTextStream>(&devices_->out)),
      err_(std::make_unique<QTextStream>(&devices_->err)) {}

#else

struct StandardStreams::Devices {};

StandardStreams::StandardStreams()
    : out_(std::make_unique<QTextStream>(stdout)), err_(std::make_unique<QTextStream>(stderr)) {}

#endif

StandardStreams::~StandardStreams() {
    out_->flush();
    err_->flush();
}

QTextStream& StandardStreams::out() { return *out_; }
QTextStream& StandardStreams::err() { return *err_; }

}  // namespace puente
