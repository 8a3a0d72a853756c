// A document written while it is made, element by element, instead of being
// built whole in memory and saved.
//
// A DocumentStream writes what Document::save() would write for `head` with
// its root element removed and a new root element, the one streamed,
// appended as the document's last child: the same declaration and encoding
// (the head's, or UTF-8; see Document.h), every node outside the old root in
// its order (a comment that followed the old root comes before the new one),
// and the streamed elements indented one per line, an element without
// children written empty (<a/>). The bytes are the same as save()'s, byte
// for byte.
//
// The file is written beside `path` and renamed over it only by commit();
// until then, and when the stream is destroyed uncommitted or anything
// fails, an earlier file at `path` stays as it was.
//
// Element and attribute names are plain XML names without a prefix; values
// must hold only characters that XML 1.0 allows. Calls out of order (an
// attribute after a child, an end without a start, a second root, commit()
// with elements open) raise a puente::Error.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <memory>

namespace puente {

class Document;

class DocumentStream {
public:
    // Starts writing. Raises a puente::Error naming the file (kind
    // InputOutput) when the file beside it cannot be made or libxml2 cannot
    // write the encoding. `head` must outlive the stream.
    DocumentStream(const Document& head, const QString& path);
    ~DocumentStream();
    DocumentStream(const DocumentStream&) = delete;
    DocumentStream& operator=(const DocumentStream&) = delete;

    void startElement(QByteArrayView name);
    void attribute(QByteArrayView name, QStringView value);
    void attribute(QByteArrayView name, qint64 value);  // decimal digits
    void endElement();
    // Writes the rest and puts the file in place; raises a puente::Error
    // naming the file when it cannot.
    void commit();

private:
    struct Private;
    std::unique_ptr<Private> d_;
};

}  // namespace puente
