#include "common/Messages.h"

#include <QDir>

namespace puente::messages {

namespace {

QString Shown(const QString& path) { return QDir::toNativeSeparators(path); }

Error Make(ErrorKind kind, const QString& message, const QString& path = QString()) {
    return Error(kind, message, ErrorPlace{path, 0, 0});
}

}  // namespace

// ---- Missing input ------------------------------------------------------------

Error NoForwardDocument(const QString& path) { return Make(ErrorKind::NoInput, kNoExisteArchivo, path); }

Error NoReturnInput(const QString& missingPath) {
    return Make(ErrorKind::NoInput, kNoExisteArchivoXmlOSolucion, missingPath);
}

Error NoWorkingDirectory(const QString& path) {
    return Make(ErrorKind::NoInput, QStringLiteral("No existe la carpeta de trabajo de Horalis '%1'.").arg(Shown(path)),
                path);
}

QString WithMissingPath(const Error& error) {
    const QString& message = error.message();
    const QString& path = error.place().path;
    if (path.isEmpty() || message.contains(Shown(path))) return message;
    if (message.endsWith(u'.')) return QStringLiteral("%1 Falta: %2").arg(message, Shown(path));
    return QStringLiteral("%1: %2").arg(message, Shown(path));
}

QString WorkingDirectoryHint(const QString& defaultPath) {
    return QStringLiteral(
               "Es la carpeta de trabajo por omisión (%1), la C:\\HTEMP de Horalis bajo Wine. "
               "Indique otra con --htemp CARPETA, o el prefijo de Wine con la variable WINEPREFIX.")
        .arg(Shown(defaultPath));
}

// ---- The exchange document ------------------------------------------------------

Error DocumentGone(const QString& path) {
    return Make(ErrorKind::NoInput, QStringLiteral("No existe el archivo '%1'.").arg(Shown(path)), path);
}

Error DocumentUnreadable(const QString& path, const QString& reason) {
    return Make(ErrorKind::InputOutput, QStringLiteral("No se puede leer el archivo '%1': %2").arg(Shown(path), reason),
                path);
}

Error DocumentNotWellFormed(const QString& path, const QString& reason, int line, int column) {
    QString position;
    if (line > 0 && column > 0)
        position = QStringLiteral(" (línea %1, columna %2)").arg(line).arg(column);
    else if (line > 0)
        position = QStringLiteral(" (línea %1)").arg(line);
    return Error(ErrorKind::NotWellFormed,
                 QStringLiteral("El archivo '%1' no es un documento XML válido: %2%3. No se ha modificado ninguna "
                                "tabla.")
                     .arg(Shown(path), reason, position),
                 ErrorPlace{path, line, column});
}

Error NotCentro(const QString& path, const QString& rootName) {
    return Make(ErrorKind::NotExchangeDocument,
                QStringLiteral("El archivo '%1' no es un documento de intercambio de ZELTA: su elemento raíz es "
                               "'%2' y debería ser 'centro'.")
                    .arg(Shown(path), rootName),
                path);
}

Error ResultRootNotCentro(const QString& rootName) {
    return Make(ErrorKind::NotExchangeDocument,
                QStringLiteral("El documento no es un documento de intercambio de ZELTA: su elemento raíz es '%1' "
                               "y debería ser 'centro'.")
                    .arg(rootName));
}

Error CentroLacksAttribute(const QString& attribute) {
    return Make(ErrorKind::NotExchangeDocument,
                QStringLiteral("El documento no sirve para la importación: al elemento 'centro' le falta el "
                               "atributo '%1'. No se ha escrito nada.")
                    .arg(attribute));
}

Error DocumentNotSaved(const QString& path, const QString& reason) {
    return Make(ErrorKind::InputOutput,
                QStringLiteral("No se pudo guardar el documento '%1': %2").arg(Shown(path), reason), path);
}

Error DocumentNotWritten(const QString& reason) {
    return Make(ErrorKind::InputOutput, QStringLiteral("No se pudo escribir el documento: %1.").arg(reason));
}

Error AttributeCharNotXml(const QString& attribute, const QString& element, qsizetype position, char32_t codePoint) {
    return Make(ErrorKind::BadValue,
                QStringLiteral("El valor del atributo '%1' del elemento '%2' tiene en la posición %3 el carácter "
                               "U+%4, que XML no admite.")
                    .arg(attribute, element)
                    .arg(position)
                    .arg(QString::number(uint(codePoint), 16).toUpper().rightJustified(4, u'0')));
}

Error NotAnXmlName(const QString& name, const QString& what) {
    return Make(ErrorKind::Internal, QStringLiteral("'%1' no es un nombre de %2 XML válido.").arg(name, what));
}

Error NullElement(const QString& operation) {
    return Make(ErrorKind::Internal, QStringLiteral("No se puede %1: el elemento es nulo.").arg(operation));
}

Error ElementOfAnotherDocument(const QString& element, const QString& parent) {
    if (parent.isEmpty())
        return Make(
            ErrorKind::Internal,
            QStringLiteral("No se puede añadir el elemento '%1' al documento: es de otro documento.").arg(element));
    return Make(
        ErrorKind::Internal,
        QStringLiteral("No se puede añadir el elemento '%1' a '%2': es de otro documento.").arg(element, parent));
}

Error ElementInsideItself(const QString& element) {
    return Make(ErrorKind::Internal,
                QStringLiteral("No se puede añadir el elemento '%1' dentro de sí mismo.").arg(element));
}

Error NotTheRoot(const QString& element) {
    return Make(ErrorKind::Internal,
                QStringLiteral("No se puede quitar el elemento '%1' del documento: no es su raíz.").arg(element));
}

Error DocumentHasRoot(const QString& element, const QString& root) {
    return Make(
        ErrorKind::Internal,
        QStringLiteral("No se puede añadir el elemento '%1' al documento: ya tiene la raíz '%2'.").arg(element, root));
}

Error NullElementForDocument() {
    return Make(ErrorKind::Internal, QStringLiteral("No se puede añadir al documento un elemento nulo."));
}

Error BadElementPath(const QString& path) {
    return Make(ErrorKind::Internal,
                QStringLiteral("La ruta '%1' no es una ruta de nombres de elemento como /centro/materias/dmaterias.")
                    .arg(path));
}

// ---- Tables ------------------------------------------------------------------------

Error NotADbaseTable(const QString& path, const QString& reason) {
    return Make(ErrorKind::DamagedTable,
                QStringLiteral("El archivo '%1' no es una tabla dBase válida: %2").arg(Shown(path), reason), path);
}

Error TableShrunk(const QString& path) {
    return Make(ErrorKind::DamagedTable,
                QStringLiteral("La tabla '%1' se ha acortado mientras estaba abierta").arg(Shown(path)), path);
}

Error RecordWithoutFlag(const QString& path, qint64 record) {
    return NotADbaseTable(path, QStringLiteral("el registro %1 no empieza por la marca de registro (' ' o '*'); la "
                                               "longitud de cabecera no es la correcta o el archivo está dañado")
                                    .arg(record));
}

Error BadStoredValue(const QString& field, qint64 record, const QString& path, char type, const QString& text) {
    return Make(ErrorKind::DamagedTable,
                QStringLiteral("El campo '%1' del registro %2 de la tabla '%3' no tiene un valor válido de tipo %4: "
                               "'%5'")
                    .arg(field)
                    .arg(record)
                    .arg(Shown(path), QString(QLatin1Char(type)), text),
                path);
}

Error FieldNotFound(const QString& field) {
    return Make(ErrorKind::DamagedTable, QStringLiteral("Field '%1' not found").arg(field));
}

Error NoSuchTable(const QString& table, const QString& path) {
    return Make(ErrorKind::InputOutput, QStringLiteral("No existe la tabla '%1' (%2)").arg(table, Shown(path)), path);
}

Error TableInUse(const QString& table, const QString& path) {
    return Make(ErrorKind::HeldElsewhere,
                QStringLiteral("La tabla '%1' (%2) está en uso por otro programa").arg(table, Shown(path)), path);
}

Error TableInUseCloseHoralis(const QString& table, const QString& path) {
    return Make(ErrorKind::HeldElsewhere,
                QStringLiteral("La tabla '%1' (%2) está en uso por otro programa. Cierre Horalis u otro programa "
                               "que la tenga abierta y vuelva a intentarlo.")
                    .arg(table, Shown(path)),
                path);
}

Error TableNotOpened(const QString& table, const QString& path, const QString& reason) {
    return Make(ErrorKind::InputOutput,
                QStringLiteral("No se puede abrir la tabla '%1' (%2): %3").arg(table, Shown(path), reason), path);
}

Error TableNotCreated(const QString& table, const QString& path, const QString& reason) {
    return Make(ErrorKind::InputOutput,
                QStringLiteral("No se puede crear la tabla '%1' (%2): %3").arg(table, Shown(path), reason), path);
}

Error TableReadOnly(const QString& table, const QString& path) {
    return Make(
        ErrorKind::InputOutput,
        QStringLiteral("No se puede escribir en la tabla '%1' (%2): solo se puede leer").arg(table, Shown(path)), path);
}

Error TableFull(const QString& table, const QString& path) {
    return Make(ErrorKind::InputOutput,
                QStringLiteral("La tabla '%1' (%2) no admite más registros").arg(table, Shown(path)), path);
}

Error TableNotOpen(const QString& table) {
    return Make(ErrorKind::Internal, QStringLiteral("La tabla '%1' no está abierta").arg(table));
}

Error TableShapeRefused(const QString& table, const QString& path, const QString& reason) {
    return Make(ErrorKind::Internal,
                QStringLiteral("No se puede crear la tabla '%1' (%2): %3").arg(table, Shown(path), reason), path);
}

Error FieldSetWithoutRecord(const QString& field, const QString& table) {
    return Make(ErrorKind::Internal,
                QStringLiteral("No se puede asignar el campo '%1' de la tabla '%2' sin añadir antes un registro")
                    .arg(field, table));
}

// ---- Values ------------------------------------------------------------------------

Error NotAnInteger(const QString& text, const QString& field) {
    return Make(ErrorKind::BadValue,
                QStringLiteral("'%1' is not a valid integer value for field '%2'").arg(text, field));
}

Error NotAFloat(const QString& text) {
    return Make(ErrorKind::BadValue, QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

Error NotANumber(const QString& text, const QString& field) {
    return Make(ErrorKind::BadValue, QStringLiteral("'%1' no es un número válido para el campo '%2'").arg(text, field));
}

Error NotABoolean(const QString& text, const QString& field) {
    return Make(ErrorKind::BadValue,
                QStringLiteral("'%1' no es un valor lógico válido para el campo '%2'").arg(text, field));
}

Error NotADate(const QString& text, const QString& field) {
    return Make(ErrorKind::BadValue,
                QStringLiteral("'%1' no es una fecha válida (AAAAMMDD) para el campo '%2'").arg(text, field));
}

Error FieldRefusesKind(const QString& field, const QString& table, char type, const QString& what) {
    return Make(ErrorKind::BadValue, QStringLiteral("El campo '%1' de la tabla '%2' es de tipo %3 y no admite %4")
                                         .arg(field, table, QString(QLatin1Char(type)), what));
}

Error NumberTooWide(const QString& number, const QString& field, const QString& table, int width, int decimals) {
    return Make(ErrorKind::BadValue,
                QStringLiteral("El número %1 no cabe en el campo '%2' de la tabla '%3' (ancho %4, %5 decimales)")
                    .arg(number, field, table)
                    .arg(width)
                    .arg(decimals));
}

Error MemoNotWritable(const QString& field, const QString& table, char type) {
    return Make(ErrorKind::BadValue,
                QStringLiteral("El campo '%1' de la tabla '%2' es de tipo %3 (memo) y no se puede escribir")
                    .arg(field, table, QString(QLatin1Char(type))));
}

// ---- Files and folders ------------------------------------------------------------

Error FileOperationFailed(const QString& operation, const QString& path, const QString& reason) {
    return Make(ErrorKind::InputOutput, QStringLiteral("No se pudo %1 '%2': %3").arg(operation, Shown(path), reason),
                path);
}

Error ReportUnreadable(const QString& path) {
    return Make(ErrorKind::InputOutput,
                QStringLiteral("No se puede leer el archivo \"%1\" para anotar el resultado: compruebe que es un "
                               "archivo y que tiene permiso para leerlo")
                    .arg(Shown(path)),
                path);
}

Error ReportReadFailed(const QString& path) {
    return Make(ErrorKind::InputOutput,
                QStringLiteral("No se puede leer el archivo \"%1\" para anotar el resultado").arg(Shown(path)), path);
}

Error ReportUnwritable(const QString& path) {
    return Make(ErrorKind::InputOutput,
                QStringLiteral("No se puede escribir el archivo \"%1\": compruebe que la carpeta existe y que tiene "
                               "permiso para escribir en ella")
                    .arg(Shown(path)),
                path);
}

Error WorkingDirectoryUnwritable(const QString& path) {
    return Make(ErrorKind::InputOutput, QStringLiteral("No se puede escribir en la carpeta de trabajo '%1'.").arg(path),
                path);
}

Error AnotherConversionRunning(const QString& path) {
    return Make(ErrorKind::HeldElsewhere,
                QStringLiteral("Otra conversión está trabajando en la carpeta '%1'. Espere a que termine y vuelva a "
                               "intentarlo.")
                    .arg(path),
                path);
}

Error StagingNotCreated(const QString& path) {
    return Make(ErrorKind::InputOutput,
                QStringLiteral("No se pudo crear la carpeta provisional '%1'. Compruebe que se puede escribir en la "
                               "carpeta de trabajo.")
                    .arg(path),
                path);
}

Error StagingNotWritten(const QString& path, const QString& reason) {
    return Make(ErrorKind::InputOutput,
                QStringLiteral("No se pudo escribir en la carpeta provisional '%1': %2.").arg(path, reason), path);
}

Error TablePlaceNotAFile(const QString& table, const QString& path) {
    return Make(ErrorKind::InputOutput,
                QStringLiteral("No se puede reemplazar la tabla '%1': '%2' no es un archivo. Quítelo de la carpeta "
                               "de trabajo y vuelva a intentarlo.")
                    .arg(table, Shown(path)),
                path);
}

Error TableNotPlaced(const QString& table, const QString& workingDirectory, const QString& reason) {
    return Make(ErrorKind::InputOutput,
                QStringLiteral("No se pudo colocar la tabla '%1' en la carpeta de trabajo '%2': %3.")
                    .arg(table, workingDirectory, reason),
                workingDirectory);
}

// ---- Backups of the replaced tables ------------------------------------------------

Error BackupNotMade(const QString& table, const QString& path, const QString& reason) {
    return Make(ErrorKind::InputOutput,
                QStringLiteral("No se pudo hacer la copia de seguridad de la tabla '%1' en '%2': %3. No se ha "
                               "modificado ninguna tabla.")
                    .arg(table, Shown(path), reason),
                path);
}

Error BackupFolderNotAFolder(const QString& path) {
    return Make(ErrorKind::InputOutput,
                QStringLiteral("No se pueden guardar copias de seguridad: '%1' no es una carpeta. No se ha "
                               "modificado ninguna tabla.")
                    .arg(Shown(path)),
                path);
}

Error BackupFolderUnwritable(const QString& path, const QString& reason) {
    return Make(ErrorKind::InputOutput,
                QStringLiteral("No se puede escribir en la carpeta de copias de seguridad '%1': %2. No se ha "
                               "modificado ninguna tabla.")
                    .arg(Shown(path), reason),
                path);
}

Error BackupDescriptionNotWritten(const QString& path, const QString& reason) {
    return Make(ErrorKind::InputOutput,
                QStringLiteral("No se pudo escribir la descripción de la copia de seguridad '%1': %2. No se ha "
                               "modificado ninguna tabla.")
                    .arg(Shown(path), reason),
                path);
}

Error BackupNotPlaced(const QString& name, const QString& workingDirectory, const QString& reason) {
    return Make(ErrorKind::InputOutput,
                QStringLiteral("No se pudo colocar la copia de seguridad '%1' en la carpeta de trabajo '%2': %3.")
                    .arg(name, Shown(workingDirectory), reason),
                workingDirectory);
}

Error TableNotRemoved(const QString& table, const QString& workingDirectory) {
    return Make(ErrorKind::InputOutput,
                QStringLiteral("No se pudo quitar la tabla '%1' de la carpeta de trabajo '%2'.")
                    .arg(table, Shown(workingDirectory)),
                workingDirectory);
}

Error NoBackups(const QString& workingDirectory) {
    return Make(
        ErrorKind::NoInput,
        QStringLiteral("No hay copias de seguridad en la carpeta de trabajo '%1'.").arg(Shown(workingDirectory)),
        workingDirectory);
}

Error NoSuchBackup(const QString& name, const QString& workingDirectory) {
    return Make(ErrorKind::NoInput,
                QStringLiteral("No existe la copia de seguridad '%1' en la carpeta de trabajo '%2'.")
                    .arg(name, Shown(workingDirectory)),
                workingDirectory);
}

Error BackupHoldsNoTable(const QString& name, const QString& path) {
    return Make(ErrorKind::InputOutput,
                QStringLiteral("La copia de seguridad '%1' no contiene ninguna tabla. No se ha modificado ninguna "
                               "tabla.")
                    .arg(name),
                path);
}

Error BackupTableNotCopied(const QString& table, const QString& name, const QString& reason) {
    return Make(ErrorKind::InputOutput,
                QStringLiteral("No se pudo copiar la tabla '%1' de la copia de seguridad '%2': %3. No se ha "
                               "modificado ninguna tabla.")
                    .arg(table, name, reason));
}

Error SimulationFolderNotCreated(const QString& reason) {
    return Make(ErrorKind::InputOutput,
                QStringLiteral("No se pudo crear la carpeta temporal de la simulación: %1.").arg(reason));
}

QString NoteCurrentTableUnreadable(const QString& table, const QString& reason) {
    return QStringLiteral("La tabla actual '%1' no se puede leer (%2): todos sus elementos cuentan como nuevos.")
        .arg(table, reason);
}

// ---- The run log ---------------------------------------------------------------------

QString LogHeader(const QString& time, const QString& direction, const QString& frontEnd) {
    return QStringLiteral("==== %1 | %2 | %3")
        .arg(time, direction, frontEnd.isEmpty() ? QStringLiteral("-") : frontEnd);
}

QString LogDocument(const QString& path) { return QStringLiteral("Documento: %1").arg(Shown(path)); }
QString LogOutcome(const QString& outcome) { return QStringLiteral("Resultado: %1").arg(outcome); }
QString LogError(const QString& message) { return QStringLiteral("Error: %1").arg(message); }

QString LogTableNote(const QString& table, const QString& note) { return QStringLiteral("%1: %2").arg(table, note); }
QString LogBackupMade(const QString& name) {
    return QStringLiteral("Copia de seguridad de las tablas reemplazadas: %1").arg(name);
}
QString LogBackupRestored(const QString& name) { return QStringLiteral("Copia de seguridad restaurada: %1").arg(name); }
QString LogTableRemoved(const QString& table) {
    return QStringLiteral("%1: quitada (la copia de seguridad no la contenía)").arg(table);
}

QString LogNotWritten(const QString& path, const QString& reason) {
    return QStringLiteral("No se pudo escribir el registro de ejecuciones '%1': %2.").arg(Shown(path), reason);
}

QString LogNotRenewed(const QString& path, const QString& reason) {
    return QStringLiteral(
               "No se pudo renovar el registro de ejecuciones '%1' (%2); la entrada se ha añadido al "
               "registro actual.")
        .arg(Shown(path), reason);
}

QString LogWorkingDirectoryMissing(const QString& path) {
    return QStringLiteral("no existe la carpeta de trabajo '%1'").arg(Shown(path));
}

// ---- Notes of the forward run --------------------------------------------------------

QString NoteSubjectIsTask(qsizetype item, const QString& nombre, const QString& abrev) {
    return QStringLiteral("Materia %1 ('%2'): abrev igual a codigo_actividad ('%3'); no se escribe.")
        .arg(item)
        .arg(nombre, abrev);
}

QString CodeAsNoted(const QString& code, const QString& stored) {
    if (stored == code) return QStringLiteral("'%1'").arg(code);
    return QStringLiteral("'%1' (se guarda como '%2')").arg(code, stored);
}

QString NoteSubjectCodeRepeated(qsizetype item, const QString& nombre, const QString& code, const QString& written) {
    return QStringLiteral("Materia %1 ('%2'): código %3 repetido; se escribe '%4'.")
        .arg(item)
        .arg(nombre, code, written);
}

QString NoteTeacherCodeRepeated(qsizetype item, const QString& name, const QString& code, const QString& written) {
    return QStringLiteral("Profesor %1 ('%2'): código %3 repetido; se escribe '%4'.")
        .arg(item)
        .arg(name, code, written);
}

QString NoteRoomCodeRepeated(qsizetype item, const QString& nombre, const QString& code, const QString& written) {
    return QStringLiteral("Aula %1 ('%2'): código %3 repetido; se escribe '%4'.").arg(item).arg(nombre, code, written);
}

QString NoteGroupCodeRepeated(qsizetype item, const QString& nombre, const QString& code, const QString& written) {
    return QStringLiteral("Grupo %1 ('%2'): código %3 repetido; se escribe '%4'.").arg(item).arg(nombre, code, written);
}

QString NoteRoomCodeLong(qsizetype item, const QString& nombre, const QString& code, const QString& written) {
    return QStringLiteral("Aula %1 ('%2'): código '%3' largo; se escribe '%4'.").arg(item).arg(nombre, code, written);
}

QString NoteGroupCodeLong(qsizetype item, const QString& nombre, const QString& code, const QString& written) {
    return QStringLiteral("Grupo %1 ('%2'): código '%3' largo; se escribe '%4'.").arg(item).arg(nombre, code, written);
}

QString NoteUnfitForXml(qint64 record, const QString& attribute, const QString& source, const QString& written) {
    return QStringLiteral(
               "Registro %1 de SOLUC: el valor de %2 (%3) tiene caracteres que XML no admite; se escribe "
               "'%4'.")
        .arg(record)
        .arg(attribute, source, written);
}

QString NoteTutorNotFound(qsizetype item, const QString& nombre, const QString& tutorId) {
    return QStringLiteral("Grupo %1 ('%2'): ningún profesor tiene el código de tutor '%3'; TUTOR queda vacío.")
        .arg(item)
        .arg(nombre, tutorId);
}

QString NoteAssignmentGroupNotFound(qsizetype item, const QString& groupId) {
    return QStringLiteral("Asignatura %1: ningún grupo tiene el código '%2'; no se escribe.").arg(item).arg(groupId);
}

QString NoteAssignmentSubjectNotFound(qsizetype item, const QString& subjectId) {
    return QStringLiteral("Asignatura %1: ninguna materia tiene el código '%2'; no se escribe.")
        .arg(item)
        .arg(subjectId);
}

QString NoteAssignmentSubjectWithoutCode(qsizetype item, const QString& subjectId) {
    return QStringLiteral("Asignatura %1: la materia '%2' tiene código vacío; no se escribe.").arg(item).arg(subjectId);
}

QString ItemSubject(qsizetype item) { return QStringLiteral("Materia %1").arg(item); }
QString ItemTeacher(qsizetype item) { return QStringLiteral("Profesor %1").arg(item); }
QString ItemRoom(qsizetype item) { return QStringLiteral("Aula %1").arg(item); }
QString ItemGroup(qsizetype item) { return QStringLiteral("Grupo %1").arg(item); }
QString ItemAssignment(qsizetype item) { return QStringLiteral("Asignatura %1").arg(item); }

QString NoteNotInWindows1252(const QString& element, const QString& field, const QString& text) {
    return QStringLiteral("%1: %2 '%3' tiene caracteres que Windows-1252 no admite; se escriben como '?'.")
        .arg(element, field, text);
}

// ---- The summary of a run ------------------------------------------------------------

QString SummaryDocument(const QString& path) { return QStringLiteral("Documento: %1").arg(Shown(path)); }

QString SummaryWorkingDirectory(const QString& path) {
    return QStringLiteral("Carpeta de trabajo: %1").arg(Shown(path));
}

QString SummaryTableRows(const QString& table, int rows) {
    return QStringLiteral("%1: %2 %3")
        .arg(table)
        .arg(rows)
        .arg(rows == 1 ? QStringLiteral("fila") : QStringLiteral("filas"));
}

QString SummaryResult(const QString& path) { return QStringLiteral("Resultado: %1").arg(Shown(path)); }

QString SummaryEntries(int entries) { return QStringLiteral("Entradas dsolucion escritas: %1").arg(entries); }

QString SummaryWithoutDayOrHour(int records) {
    return QStringLiteral("Registros de SOLUC sin día u hora (pasados por alto): %1").arg(records);
}

QString SummarySubjectNotFound(int records) {
    return QStringLiteral("Registros de SOLUC cuya materia no está en ASIGNOMT (sin entrada): %1").arg(records);
}

QString SummaryBackupMade(const QString& path) {
    return QStringLiteral("Copia de las tablas reemplazadas: %1").arg(Shown(path));
}

QString SummarySimulated() {
    return QStringLiteral(
        "Simulación: no se ha cambiado nada en la carpeta de trabajo. Cambios que haría la "
        "conversión:");
}

QString SummaryTableChanges(const QString& table, int currentRows, int newRows, int added, int removed, int changed) {
    return QStringLiteral("%1: %2 filas ahora, %3 después; %4 añadidos, %5 quitados, %6 cambiados")
        .arg(table)
        .arg(currentRows)
        .arg(newRows)
        .arg(added)
        .arg(removed)
        .arg(changed);
}

QString SummaryNoCurrentTable(const QString& table, int newRows) {
    return QStringLiteral("%1: no existe ahora; tendría %2 filas").arg(table).arg(newRows);
}

QString SummaryItemAdded(const QString& key, const QString& label) {
    return QStringLiteral("  + %1 (%2)").arg(key, label);
}

QString SummaryItemRemoved(const QString& key, const QString& label) {
    return QStringLiteral("  - %1 (%2)").arg(key, label);
}

QString SummaryItemChanged(const QString& key, const QString& label, const QStringList& fields) {
    return QStringLiteral("  ~ %1 (%2): %3").arg(key, label, fields.join(QStringLiteral(", ")));
}

QString SummaryRestored(const QString& name) { return QStringLiteral("Copia restaurada: %1").arg(name); }

QString SummaryRestoreBackup(const QString& name) {
    return QStringLiteral("Copia de las tablas que había antes de restaurar: %1").arg(name);
}

QString SummaryTableRemoved(const QString& table) {
    return QStringLiteral("%1: quitada (la copia no la contenía)").arg(table);
}

QString SummaryBackupLine(const QString& name, const QString& time, const QString& document, const QString& frontEnd) {
    return QStringLiteral("%1  %2  %3%4")
        .arg(name, time, document.isEmpty() ? QStringLiteral("(documento desconocido)") : Shown(document),
             frontEnd.isEmpty() ? QString() : QStringLiteral("  (%1)").arg(frontEnd));
}

QString SummaryBackupOfRestore(const QString& name, const QString& time, const QString& restored) {
    return QStringLiteral("%1  %2  antes de restaurar %3").arg(name, time, restored);
}

QString SummaryBackupTables(const QStringList& tables) {
    return QStringLiteral("    ") + tables.join(QStringLiteral(", "));
}

QString SummaryNoBackups(const QString& workingDirectory) {
    return QStringLiteral("No hay copias de seguridad en %1.").arg(Shown(workingDirectory + "/CopiasPuente"));
}

// ---- Help ---------------------------------------------------------------------------

QString HelpFileMissing(const QString& name) {
    return QStringLiteral("No se encuentra el archivo de ayuda \"%1\" junto al programa ni en la carpeta de trabajo.")
        .arg(name);
}

QString HelpViewerMissing(const QString& path) {
    return QStringLiteral(
               "No se puede abrir el archivo de ayuda \"%1\": no hay ningún visor de archivos CHM "
               "instalado (por ejemplo xchm).")
        .arg(Shown(path));
}

QString OwnHelpMissing(const QString& helpProblem, const QString& page) {
    return QStringLiteral("%1 Tampoco se encuentra la ayuda del programa \"%2\".").arg(helpProblem, Shown(page));
}

QString OwnHelpNotOpened(const QString& helpProblem, const QString& page) {
    return QStringLiteral(
               "%1 Tampoco se puede abrir la ayuda del programa \"%2\": no hay ningún navegador que la "
               "abra.")
        .arg(helpProblem, Shown(page));
}

// ---- The outcome report --------------------------------------------------------------

QString OutcomeNotWritten(const QString& reason) {
    return QStringLiteral(
               "%1\n\nHoralis no sabrá cómo terminó la conversión. Pulse «Reintentar» para escribir el "
               "resultado de nuevo o «Cerrar» para cerrar sin escribirlo.")
        .arg(reason);
}

}  // namespace puente::messages
