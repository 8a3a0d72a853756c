#include "forward/Conversions.h"

#include "common/Messages.h"
#include "exchange/Document.h"
#include "forward/CodeRegistry.h"
#include "tablestore/CodePage.h"
#include "tablestore/Table.h"
#include "text/TextHelpers.h"

namespace puente {

QStringList ForwardTableNames() {
    QStringList names;
    for (const TableConversion& c : kForwardConversions) names << QString::fromLatin1(c.table);
    return names;
}

void RunConversions(const ForwardContext& ctx, ForwardReport& report) {
    for (const TableConversion& c : kForwardConversions) {
        report.tables.append(TableReport{QString::fromLatin1(c.table), 0, {}});
        c.convert(ctx, report.tables.last());
    }
}

QString RepeatedCode(const CodeRegistry& registry, const QString& code) {
    return messages::CodeAsNoted(code, registry.Stored(code));
}

namespace {

void NoteIfNotInWindows1252(const Field& field, const QString& given, const ItemName& element, TableReport& report) {
    if (!CodePage::ForNumber(1252).CanEncode(given))
        report.notes << messages::NoteNotInWindows1252(element.text(), field.name(), given);
}

}  // namespace

void SetText(Field& field, const QString& text, const ItemName& element, TableReport& report) {
    NoteIfNotInWindows1252(field, text, element, report);
    field.SetAsString(text);
}

void SetCode(Field& field, const QString& written, const QString& given, bool numbered, const ItemName& element,
             TableReport& report) {
    if (!numbered) NoteIfNotInWindows1252(field, given, element, report);
    field.SetAsString(written);
}

QString ReadAttribute(const Element& element, const QString& name) {
    return TrimSpaces(element.attribute(name).value_or(QString()));
}

}  // namespace puente
