// The standard output and error of a console program as text streams.
//
// On Windows the text reaches a console as UTF-16 (WriteConsoleW), so that
// Spanish letters show whatever the console's code page; a pipe or a file
// gets UTF-8 (win32/Console.h). Elsewhere the streams write UTF-8 to stdout
// and stderr, as a QTextStream on them does.
//
// Whatever is written is flushed at the latest when the object is destroyed.
#pragma once

#include <QTextStream>

#include <memory>

namespace puente {

class StandardStreams {
public:
    StandardStreams();
    ~StandardStreams();
    StandardStreams(const StandardStreams&) = delete;
    StandardStreams& operator=(const StandardStreams&) = delete;

    QTextStream& out();
    QTextStream& err();

private:
    struct Devices;
    std::unique_ptr<Devices> devices_;  // nullptr where the streams write to stdio
    std::unique_ptr<QTextStream> out_;
    std::unique_ptr<QTextStream> err_;
};

}  // namespace puente
