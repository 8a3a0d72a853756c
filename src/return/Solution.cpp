#include "return/Solution.h"

#include "common/Error.h"
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

QString Text(Table& table, const QString& field) {
    return table.FieldByName(field).AsString();
}

const QStringList kRootAttributes = {"codigo_interno", "nombre", "curso", "version"};

}  // namespace

std::optional<DsolucionEntry> TranslateSolucRow(SolucTables& t) {
    DsolucionEntry entry;
    entry.dia = t.soluc.FieldByName("DIA").AsInteger();
    entry.hora = Text(t.soluc, "HORA");
    entry.sesiones = Text(t.soluc, "SESIONES");

    if (Lookup(t.grupos, "ABREV", Text(t.soluc, "CODGRUPO"))) {
        entry.cgrupo = Text(t.grupos, "IDGRUPO");
        entry.idcurso = Text(t.grupos, "CURSO");
    }
    if (!Lookup(t.materias, "COD", Text(t.soluc, "ASIG"))) return std::nullopt;
    entry.casig = Text(t.materias, "IDASIG");

    entry.cactiv = Text(t.soluc, "TAREA");
    if (Lookup(t.materias, "COD", entry.cactiv)) entry.cactiv = Text(t.materias, "IDASIG");
    if (Lookup(t.profesores, "ABREV", Text(t.soluc, "PROF"))) entry.cprofe = Text(t.profesores, "IDPROF");
    if (Lookup(t.aulas, "ABREV", Text(t.soluc, "AULA"))) entry.caula = Text(t.aulas, "IDAULA");
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

Element RebuildCentro(Document& document) {
    const Element old = document.selectSingleNode("/centro");
    if (old.isNull()) {
        const Element root = document.documentElement();
        throw Error(QString("El documento no es un documento de intercambio de ZELTA: su elemento raíz es '%1' y "
                            "debería ser 'centro'.")
                        .arg(root.isNull() ? QString() : root.name()));
    }
    QStringList values;
    for (const QString& name : kRootAttributes) {
        const std::optional<QString> value = old.attribute(name);
        if (!value)
            throw Error(QString("El documento no sirve para la importación: al elemento 'centro' le falta el "
                                "atributo '%1'. No se ha escrito nada.")
                            .arg(name));
        values << TrimSpaces(*value);
    }

    document.removeChild(document.documentElement().selectSingleNode("/centro"));
    Element centro = document.createElement("centro");
    centro.setAttribute("codigo_interno", values[0]);
    centro.setAttribute("nombre", values[1]);
    centro.setAttribute("curso", values[2]);
    centro.setAttribute("fecha_exportacion", ExportTimestamp());
    centro.setAttribute("version", values[3]);
    document.appendChild(centro);
    document.selectSingleNode("/centro").appendChild(document.createElement("solucion_horario"));
    return document.selectSingleNode("/centro/solucion_horario");
}

void AppendDsolucion(Document& document, Element solucionHorario, const DsolucionEntry& entry) {
    Element e = document.createElement("dsolucion");
    e.setAttribute("casig", entry.casig);
    e.setAttribute("cgrupo", entry.cgrupo);
    e.setAttribute("cprofe", entry.cprofe);
    e.setAttribute("caula", entry.caula);
    e.setAttribute("cactiv", entry.cactiv);
    e.setAttribute("dia", qint64(entry.dia));
    e.setAttribute("hora", entry.hora);
    e.setAttribute("sesiones", entry.sesiones);
    e.setAttribute("idcurso", entry.idcurso);
    solucionHorario.appendChild(e);
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
