// Fuzz target: the return run over an arbitrary SOLUC.
//
// Once: the forward run converts tests/data/forward/small.xml into a working
// directory, so that ASIGNOMT, PROFT, AULAT, GRUPOST and ASIGT are valid.
// Per input: the bytes become SOLUC.DBF and the return run (RunReturn) runs
// with a person who chooses that document. It must end Done or with a
// puente::Error; anything else is a fault. Promises checked: an error leaves
// no result document and the other tables as they were; a run that is Done
// writes a result document that loads, with exactly report.entries dsolucion
// elements; every table is closed again after the run.
#include "FuzzSupport.h"

#include "common/Error.h"
#include "exchange/Document.h"
#include "forward/ForwardRun.h"
#include "return/ReturnRun.h"
#include "tablestore/Table.h"

#include <QDir>
#include <QMap>

#include <cstddef>
#include <cstdint>

namespace puente::fuzz {
namespace {

const QStringList kLookupTables = {"ASIGNOMT", "PROFT", "AULAT", "GRUPOST", "DIASHORAST", "ASIGT"};

struct Setting {
    QString htemp;
    QString document;
    QString result;
    QMap<QString, QByteArray> tables;  // the lookup tables as the forward run left them
};

const Setting& Prepared() {
    static const Setting setting = [] {
        Setting s;
        s.htemp = EmptyFolder("htemp");
        const QString docs = EmptyFolder("docs");
        s.document = docs + "/centro.xml";
        s.result = docs + "/ResultadoHoraliscentro.xml";
        FUZZ_CHECK(QFile::copy(QStringLiteral(PUENTE_TEST_DATA "/forward/small.xml"), s.document),
                   "the seed document is there");
        RunForward(s.document, s.htemp);  // an Error here is a fault: it escapes
        for (const QString& t : kLookupTables) s.tables.insert(t, ReadBytes(s.htemp + "/" + t + ".DBF"));
        return s;
    }();
    return setting;
}

}  // namespace
}  // namespace puente::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace puente;
    using namespace puente::fuzz;
    QuietQt();
    const Setting& s = Prepared();
    QFile::remove(s.result);
    WriteBytes(s.htemp + "/SOLUC.DBF", reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    ReturnReport report;
    bool done = false;
    try {
        report = RunReturn(s.document, s.htemp);
        done = true;
    } catch (const Error& e) {
        FUZZ_CHECK(e.kind() != ErrorKind::NoInput,
                   "SOLUC and the document exist: the run does not end for missing input");
        FUZZ_CHECK(!QFile::exists(s.result), "a failed run writes no result document");
    }
    for (const QString& t : kLookupTables)
        FUZZ_CHECK(ReadBytes(s.htemp + "/" + t + ".DBF") == s.tables.value(t), "the lookup tables are only read");
    for (const QString& t : kLookupTables + QStringList{"SOLUC"}) {
        Table table(s.htemp, t);
        try {
            table.Open(OpenMode::Exclusive);
        } catch (const Error&) {
            // A damaged SOLUC may not open; a table still held is a fault.
            FUZZ_CHECK(!Table::IsHeldElsewhere(s.htemp, t), "every table is released after the run");
        }
    }
    if (done) {
        Document result;
        FUZZ_CHECK(result.load(s.result).ok(), "the result document loads");
        const QList<Element> entries = result.selectNodes("/centro/solucion_horario/dsolucion");
        FUZZ_CHECK(entries.size() == report.entries, "one dsolucion per entry reported");
    }
    return 0;
}
