// Fuzz target: arbitrary bytes as a dBase table in the working directory.
//
// Opens the bytes as SOLUC.DBF, walks every live record and reads every field
// as text, integer, number and logical, looks each first value up with
// Locate, then appends a record and opens the table again. A file that is no
// table, or a value that is damaged, must give a puente::Error; anything else
// (a crash, a sanitizer report, a broken promise below) is a fault.
//
// Promises checked: LiveRecordCount equals the records the cursor walks; a
// Locate that finds a record puts the cursor on one whose field reads as the
// key; after a Post the file still opens and holds one more live record.
#include "FuzzSupport.h"

#include "common/Error.h"
#include "tablestore/Table.h"

#include <QList>
#include <QStringList>

#include <cstddef>
#include <cstdint>

namespace puente::fuzz {
namespace {

// Reads a field in every way; an Error is the refusal of a damaged value.
void ReadEveryWay(Table& table, const FieldInfo& field) {
    Field f = table.FieldByName(field.name);
    try {
        (void)f.AsString();
    } catch (const Error&) {}
    try {
        (void)f.AsInteger();
    } catch (const Error&) {}
    try {
        (void)f.AsFloat();
    } catch (const Error&) {}
    try {
        (void)f.AsBoolean();
    } catch (const Error&) {}
}

void Exercise(const QString& dir) {
    Table table(dir, "SOLUC");
    table.Open(OpenMode::Exclusive);
    const QList<FieldInfo> fields = table.Fields();
    const int live = table.LiveRecordCount();

    // The first readable text of each field, as keys for Locate.
    QList<std::optional<QString>> keys(fields.size());
    int walked = 0;
    for (table.First(); !table.Eof(); table.Next()) {
        ++walked;
        for (qsizetype i = 0; i < fields.size(); ++i) {
            ReadEveryWay(table, fields[i]);
            if (!keys[i]) {
                try {
                    keys[i] = table.FieldByName(fields[i].name).AsString();
                } catch (const Error&) {}
            }
        }
    }
    FUZZ_CHECK(walked == live, "LiveRecordCount equals the records walked");

    for (qsizetype i = 0; i < fields.size(); ++i) {
        const QString& name = fields[i].name;
        for (const QString& key : {keys[i].value_or(QString()), QStringLiteral("\x01no such key")}) {
            bool found = false;
            try {
                found = table.Locate(name, key);
            } catch (const Error&) {
                continue;  // a damaged value on the way
            }
            if (found) FUZZ_CHECK(table.FieldByName(name).AsString() == key, "Locate lands on the key");
        }
    }

    // Writing: a record with the first values, then the file must open again.
    try {
        table.Append();
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (!keys[i]) continue;
            try {
                table.FieldByName(fields[i].name).SetAsString(*keys[i]);
            } catch (const Error&) {}
        }
        table.FieldByName(fields[0].name).SetAsString(keys[0].value_or(QString()));
        table.Post();
    } catch (const Error&) {
        return;  // a read-only file, a value the field refuses
    }
    table.Close();
    Table again(dir, "SOLUC");
    again.Open(OpenMode::Shared);
    FUZZ_CHECK(again.LiveRecordCount() == live + 1, "a posted record is there after opening again");
}

}  // namespace
}  // namespace puente::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace puente::fuzz;
    QuietQt();
    const QString dir = EmptyFolder("table");
    WriteBytes(dir + "/SOLUC.DBF", reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        Exercise(dir);
    } catch (const puente::Error&) {
        // refused with a message: the promised behaviour
    }
    return 0;
}
