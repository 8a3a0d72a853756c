#include "return/Solution.h"

#include "common/Messages.h"
#include "tablestore/Table.h"
#include "text/TextHelpers.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>
#include <QTime>

namespace puente {

namespace {

// The first record of `table` whose `field` equals `key`; true when found.
bool Lookup(Table& table, const QString& field, const QString& key) {
    table.First();
    return table.Locate(field, key);
}

const QStringList kRootAttributes = {"codigo_interno", "nombre", "curso", "version"};

}  // namespace

std::optional<DsolucionEntry> TranslateSolucRow(SolucTables& tables) { return SolucTranslator(tables).Translate(); }

std::optional<DsolucionEntry> SolucTranslator::Translate() {
    DsolucionEntry entry;
    entry.dia = dia_.in(t_.soluc).AsInteger();
    entry.hora = hora_.in(t_.soluc).AsString();
    entry.sesiones = sesiones_.in(t_.soluc).AsString();

    if (Lookup(t_.grupos, QStringLiteral("ABREV"), codgrupo_.in(t_.soluc).AsString())) {
        entry.cgrupo = grupoId_.in(t_.grupos).AsString();
        entry.idcurso = grupoCurso_.in(t_.grupos).AsString();
    }
    if (!Lookup(t_.materias, QStringLiteral("COD"), asig_.in(t_.soluc).AsString())) return std::nullopt;
    entry.casig = materiaId_.in(t_.materias).AsString();

    entry.cactiv = tarea_.in(t_.soluc).AsString();
    if (Lookup(t_.materias, QStringLiteral("COD"), entry.cactiv)) entry.cactiv = materiaId_.in(t_.materias).AsString();
    if (Lookup(t_.profesores, QStringLiteral("ABREV"), prof_.in(t_.soluc).AsString()))
        entry.cprofe = profId_.in(t_.profesores).AsString();
    if (Lookup(t_.aulas, QStringLiteral("ABREV"), aula_.in(t_.soluc).AsString()))
        entry.caula = aulaId_.in(t_.aulas).AsString();
    return entry;
}

QString ExportTimestamp() {
    const QLocale locale = QLocale::system();
    const QDate date = QDate::currentDate();
    const QTime time = QTime::currentTime();
    // The long time format, without the time zone some systems add to it.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QRegularExpression(R"(\s*\(?\bt+\b\)?)"));
    timeFormat = timeFormat.trimmed();
    if (!timeFormat.contains('s')) timeFormat = "HH:mm:ss";
    return locale.toString(date, QLocale::ShortFormat) + " " + locale.toString(time, timeFormat);
}

CentroValues ResultCentro(const Document& document) {
    const Element old = document.selectSingleNode("/centro");
    if (old.isNull()) {
        const Element root = document.documentElement();
        throw messages::ResultRootNotCentro(root.isNull() ? QString() : root.name());
    }
    QStringList values;
    for (const QString& name : kRootAttributes) {
        const std::optional<QString> value = old.attribute(name);
        if (!value) throw messages::CentroLacksAttribute(name);
        values << TrimSpaces(*value);
    }
    return {values[0], values[1], values[2], ExportTimestamp(), values[3]};
}

ResultWriter::ResultWriter(const Document& head, const QString& path, const CentroValues& centro)
    : stream_(head, path) {
    stream_.startElement("centro");
    stream_.attribute("codigo_interno", centro.codigoInterno);
    stream_.attribute("nombre", centro.nombre);
    stream_.attribute("curso", centro.curso);
    stream_.attribute("fecha_exportacion", centro.fechaExportacion);
    stream_.attribute("version", centro.version);
    stream_.startElement("solucion_horario");
}

void ResultWriter::append(const DsolucionEntry& entry) {
    stream_.startElement("dsolucion");
    stream_.attribute("casig", entry.casig);
    stream_.attribute("cgrupo", entry.cgrupo);
    stream_.attribute("cprofe", entry.cprofe);
    stream_.attribute("caula", entry.caula);
    stream_.attribute("cactiv", entry.cactiv);
    stream_.attribute("dia", qint64(entry.dia));
    stream_.attribute("hora", entry.hora);
    stream_.attribute("sesiones", entry.sesiones);
    stream_.attribute("idcurso", entry.idcurso);
    stream_.endElement();
}

void ResultWriter::commit() {
    stream_.endElement();  // solucion_horario
    stream_.endElement();  // centro
    stream_.commit();
}

QString ResultadoPath(const QString& chosen, PathStyle style) {
    qsizetype cut = chosen.lastIndexOf(u'/');
    if (style == PathStyle::Windows) {
        cut = qMax(cut, chosen.lastIndexOf(u'\\'));
        cut = qMax(cut, chosen.lastIndexOf(u':'));
    }
    return chosen.left(cut + 1) + "ResultadoHoralis" + chosen.mid(cut + 1);
}

QString ResultadoPath(const QString& chosen) {
#ifdef _WIN32
    return ResultadoPath(chosen, PathStyle::Windows);
#else
    return ResultadoPath(chosen, PathStyle::Posix);
#endif
}

}  // namespace puente
