// Fuzz target: arbitrary bytes as an exchange document, then the six table
// conversions of the forward run into a scratch folder.
//
// A document that does not load must say why (LoadResult with a message); one
// that loads is converted, and a conversion may refuse a value with a
// puente::Error. Anything else is a fault. Promises checked: a document that
// loaded is written by toBytes() as a document that loads again; every table
// that a conversion finished opens and reads.
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

}  // namespace
}  // namespace puente::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace puente;
    using namespace puente::fuzz;
    QuietQt();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Document document;
    const LoadResult loaded = document.loadFromBytes(bytes, QStringLiteral("fuzz.xml"));
    if (!loaded.ok()) {
        FUZZ_CHECK(!loaded.message.isEmpty(), "a refused document says why");
        FUZZ_CHECK(document.isEmpty(), "a refused document leaves the document empty");
        (void)LoadError(loaded, QStringLiteral("fuzz.xml")).message();
        return 0;
    }

    // What save() would write must load again.
    {
        Document again;
        const LoadResult reloaded = again.loadFromBytes(document.toBytes(), QStringLiteral("saved.xml"));
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
