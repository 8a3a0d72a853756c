#include "forward/Conversions.h"

#include "common/Messages.h"
#include "exchange/Document.h"
#include "forward/CodeRegistry.h"
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

QString ReadAttribute(const Element& element, const QString& name) {
    return TrimSpaces(element.attribute(name).value_or(QString()));
}

}  // namespace puente
