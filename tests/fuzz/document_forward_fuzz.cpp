// Fuzz target: arbitrary bytes as an exchange document, then the six table
// conversions of the forward run into a scratch folder.
//
// A document that does not load must say why (LoadResult with a message); one
// that loads is converted, and a conversion may refuse a value with a
// puente::Error. Anything else is a fault. Promises checked: the elements-only
// reading that the forward run uses refuses what the whole reading refuses,
// with the same message and place, and reads every element and attribute as
// it does; a document that loaded is written by toBytes() as a document that
// loads again, read either way; every table that a conversion finished opens
// and reads.
#include "FuzzSupport.h"

#include "common/Error.h"
#include "exchange/Document.h"
#include "forward/Conversions.h"
#include "run/ExchangeInput.h"
#include "tablestore/Table.h"

#include <cstddef>
#include <cstdint>

namespace puente::fuzz {
namespace {

void ReadBack(const QString& dir, const QString& name) {
    Table table(dir, name);
    table.Open(OpenMode::Shared);
    const QList<FieldInfo> fields = table.Fields();
    for (table.First(); !table.Eof(); table.Next())
        for (const FieldInfo& f : fields) (void)table.FieldByName(f.name).AsString();
}

// Every element under `e` with its attributes, in document order.
void Describe(const Element& e, QStringList* lines) {
    QString line = e.name();
    for (const QString& name : e.attributeNames()) line += u'\n' + name + u'=' + e.attribute(name).value_or("<nada>");
    lines->append(line);
    for (const Element& child : e.childElements()) Describe(child, lines);
}

QStringList Described(const Document& document) {
    QStringList lines;
    if (!document.isEmpty()) Describe(document.documentElement(), &lines);
    return lines;
}

}  // namespace
}  // namespace puente::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace puente;
    using namespace puente::fuzz;
    QuietQt();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Document whole, document;
    const LoadResult wholeLoaded = whole.loadFromBytes(bytes, QStringLiteral("fuzz.xml"));
    const LoadResult loaded = document.loadFromBytes(bytes, QStringLiteral("fuzz.xml"), Reading::ElementsOnly);
    FUZZ_CHECK(loaded.status == wholeLoaded.status && loaded.message == wholeLoaded.message &&
                   loaded.line == wholeLoaded.line && loaded.column == wholeLoaded.column,
               "the elements-only reading refuses what the whole reading refuses");
    if (!loaded.ok()) {
        FUZZ_CHECK(!loaded.message.isEmpty(), "a refused document says why");
        FUZZ_CHECK(document.isEmpty(), "a refused document leaves the document empty");
        (void)LoadError(loaded, QStringLiteral("fuzz.xml")).message();
        return 0;
    }

    FUZZ_CHECK(Described(document) == Described(whole), "both readings read the same elements and attributes");

    // What save() would write must load again, whichever reading loaded it.
    for (const Document* loadedDocument : {&whole, &document}) {
        Document again;
        const LoadResult reloaded = again.loadFromBytes(loadedDocument->toBytes(), QStringLiteral("saved.xml"));
        if (!reloaded.ok())
            std::fprintf(stderr, "reload: %s\n",
                         qPrintable(LoadError(reloaded, QStringLiteral("saved.xml")).message()));
        FUZZ_CHECK(reloaded.ok(), "a loaded document, written out, loads again");
    }

    const QString dir = EmptyFolder("forward");
    const ForwardContext ctx{document, dir};
    for (const TableConversion& conversion : kForwardConversions) {
        TableReport report;
        try {
            conversion.convert(ctx, report);
        } catch (const Error& e) {
            FUZZ_CHECK(e.kind() == ErrorKind::BadValue, "a conversion ends only for a value a field refuses");
            return 0;
        }
        ReadBack(dir, conversion.table);  // an Error here is a fault: it escapes
    }
    return 0;
}
