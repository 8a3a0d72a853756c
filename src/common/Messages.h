// Everything the system says, in one place: the fixed messages of the runs,
// and every error, made with its kind, its Spanish wording and its place.
//
// The fixed texts ("No existe archivo", "Proceso finalizado"...) and the few
// English error texts that Horalis users know from the table engine ("Field
// '%s' not found", "'%s' is not a valid integer value for field '%s'") are
// exactly as the program has to show them. Paths are shown with the system's
// separators.
#pragma once

#include "common/Error.h"

#include <QString>

namespace puente::messages {

// ---- Fixed messages of the runs -------------------------------------------
inline const QString kNoExisteArchivo = QStringLiteral("No existe archivo");
inline const QString kNoExisteArchivoXmlOSolucion = QStringLiteral("No existe archivo XML o Solución.");
inline const QString kProcesoFinalizado = QStringLiteral("Proceso finalizado");
// Shown at the start of the return run, before the file dialog.
inline const QString kReturnReminder =
    QStringLiteral("Deberá Abrir el fichero XML de ZELTA,\r\ndesde el cual realizó la Importación a Horalis");

// ---- Missing input (NoInput) -----------------------------------------------
Error NoForwardDocument(const QString& path);     // "No existe archivo"
Error NoReturnInput(const QString& missingPath);  // "No existe archivo XML o Solución."
Error NoWorkingDirectory(const QString& path);
// A missing input's message followed by the path that is missing, for a
// front end that can show both ("No existe archivo: /datos/centro.xml").
QString WithMissingPath(const Error& error);
// How to choose another working directory than the default one.
QString WorkingDirectoryHint(const QString& defaultPath);

// ---- The exchange document ---------------------------------------------------
Error DocumentGone(const QString& path);                               // NoInput
Error DocumentUnreadable(const QString& path, const QString& reason);  // InputOutput
// NotWellFormed; `line` and `column` 0 when unknown.
Error DocumentNotWellFormed(const QString& path, const QString& reason, int line, int column);
Error NotCentro(const QString& path, const QString& rootName);       // NotExchangeDocument
Error ResultRootNotCentro(const QString& rootName);                  // NotExchangeDocument
Error CentroLacksAttribute(const QString& attribute);                // NotExchangeDocument
Error DocumentNotSaved(const QString& path, const QString& reason);  // InputOutput
Error DocumentNotWritten(const QString& reason);                     // InputOutput
Error AttributeCharNotXml(const QString& attribute, const QString& element, qsizetype position,
                          char32_t codePoint);  // BadValue
// Uses of the document layer against its contract (Internal).
Error NotAnXmlName(const QString& name, const QString& what);  // what: "elemento", "atributo"
Error NullElement(const QString& operation);
Error ElementOfAnotherDocument(const QString& element, const QString& parent);  // parent empty: the document
Error ElementInsideItself(const QString& element);
Error NotTheRoot(const QString& element);
Error DocumentHasRoot(const QString& element, const QString& root);
Error NullElementForDocument();
Error BadElementPath(const QString& path);

// ---- Tables ------------------------------------------------------------------
Error NotADbaseTable(const QString& path, const QString& reason);  // DamagedTable
Error TableShrunk(const QString& path);                            // DamagedTable
Error RecordWithoutFlag(const QString& path, qint64 record);       // DamagedTable
Error BadStoredValue(const QString& field, qint64 record, const QString& path, char type,
                     const QString& text);                                // DamagedTable
Error FieldNotFound(const QString& field);                                // DamagedTable: "Field '%s' not found"
Error NoSuchTable(const QString& table, const QString& path);             // InputOutput
Error TableInUse(const QString& table, const QString& path);              // HeldElsewhere
Error TableInUseCloseHoralis(const QString& table, const QString& path);  // HeldElsewhere
Error TableNotOpened(const QString& table, const QString& path, const QString& reason);     // InputOutput
Error TableNotCreated(const QString& table, const QString& path, const QString& reason);    // InputOutput
Error TableReadOnly(const QString& table, const QString& path);                             // InputOutput
Error TableFull(const QString& table, const QString& path);                                 // InputOutput
Error TableNotOpen(const QString& table);                                                   // Internal
Error TableShapeRefused(const QString& table, const QString& path, const QString& reason);  // Internal
Error FieldSetWithoutRecord(const QString& field, const QString& table);                    // Internal

// ---- Values (BadValue) -------------------------------------------------------
Error NotAnInteger(const QString& text, const QString& field);  // "'%s' is not a valid integer value for field '%s'"
Error NotAFloat(const QString& text);                           // "'%s' is not a valid floating point value"
Error NotANumber(const QString& text, const QString& field);
Error NotABoolean(const QString& text, const QString& field);
Error NotADate(const QString& text, const QString& field);
Error FieldRefusesKind(const QString& field, const QString& table, char type, const QString& what);
Error NumberTooWide(const QString& number, const QString& field, const QString& table, int width, int decimals);
Error MemoNotWritable(const QString& field, const QString& table, char type);

// ---- Files and folders (InputOutput unless said) -------------------------------
// `operation` names the file ("leer el archivo", "cambiar el tamaño del archivo").
Error FileOperationFailed(const QString& operation, const QString& path, const QString& reason);
Error ReportUnreadable(const QString& path);
Error ReportReadFailed(const QString& path);
Error ReportUnwritable(const QString& path);
Error WorkingDirectoryUnwritable(const QString& path);
Error AnotherConversionRunning(const QString& path);  // HeldElsewhere
Error StagingNotCreated(const QString& path);
Error StagingNotWritten(const QString& path, const QString& reason);
Error TablePlaceNotAFile(const QString& table, const QString& path);
Error TableNotPlaced(const QString& table, const QString& workingDirectory, const QString& reason);

// ---- Backups of the replaced tables (CopiasPuente) --------------------------------
Error BackupNotMade(const QString& table, const QString& path, const QString& reason);               // InputOutput
Error BackupFolderNotAFolder(const QString& path);                                                   // InputOutput
Error BackupFolderUnwritable(const QString& path, const QString& reason);                            // InputOutput
Error BackupDescriptionNotWritten(const QString& path, const QString& reason);                       // InputOutput
Error BackupNotPlaced(const QString& name, const QString& workingDirectory, const QString& reason);  // InputOutput
Error TableNotRemoved(const QString& table, const QString& workingDirectory);                        // InputOutput
Error NoBackups(const QString& workingDirectory);                                                    // NoInput
Error NoSuchBackup(const QString& name, const QString& workingDirectory);                            // NoInput
Error BackupHoldsNoTable(const QString& name, const QString& path);                                  // InputOutput
Error BackupTableNotCopied(const QString& table, const QString& name, const QString& reason);        // InputOutput
// The simulated forward run.
Error SimulationFolderNotCreated(const QString& reason);  // InputOutput
QString NoteCurrentTableUnreadable(const QString& table, const QString& reason);

// ---- The run log (puente.log) --------------------------------------------------------
inline const QString kLogDirectionForward = QStringLiteral("exportar");
inline const QString kLogDirectionReturn = QStringLiteral("importar");
inline const QString kLogDirectionRestore = QStringLiteral("restaurar");
inline const QString kLogOutcomeDone = QStringLiteral("finalizado");
inline const QString kLogOutcomeNoInput = QStringLiteral("sin entrada");
inline const QString kLogOutcomeFailed = QStringLiteral("error");
QString LogHeader(const QString& time, const QString& direction, const QString& frontEnd);
QString LogDocument(const QString& path);
QString LogOutcome(const QString& outcome);
QString LogError(const QString& message);
QString LogTableNote(const QString& table, const QString& note);
QString LogBackupMade(const QString& name);      // the backup the run made
QString LogBackupRestored(const QString& name);  // the backup a restore put back
QString LogTableRemoved(const QString& table);
inline const QString kUnknownFailure = QStringLiteral("error desconocido");
QString LogNotWritten(const QString& path, const QString& reason);
QString LogNotRenewed(const QString& path, const QString& reason);
QString LogWorkingDirectoryMissing(const QString& path);

// ---- Notes of the forward run (`item`: the element's number in its list, from 1) ----
QString NoteSubjectIsTask(qsizetype item, const QString& nombre, const QString& abrev);
// A code as the notes name it: 'code', followed by what the table stores for
// it when that differs (" (se guarda como '?')").
QString CodeAsNoted(const QString& code, const QString& stored);
// `code`: as CodeAsNoted gives it.
QString NoteSubjectCodeRepeated(qsizetype item, const QString& nombre, const QString& code, const QString& written);
QString NoteTeacherCodeRepeated(qsizetype item, const QString& name, const QString& code, const QString& written);
QString NoteRoomCodeRepeated(qsizetype item, const QString& nombre, const QString& code, const QString& written);
QString NoteGroupCodeRepeated(qsizetype item, const QString& nombre, const QString& code, const QString& written);
// A code that only had to be shortened to fit its field.
QString NoteRoomCodeLong(qsizetype item, const QString& nombre, const QString& code, const QString& written);
QString NoteGroupCodeLong(qsizetype item, const QString& nombre, const QString& code, const QString& written);
// A value of the return run that held characters XML cannot hold.
QString NoteUnfitForXml(qint64 record, const QString& attribute, const QString& source, const QString& written);
QString NoteTutorNotFound(qsizetype item, const QString& nombre, const QString& tutorId);
QString NoteAssignmentGroupNotFound(qsizetype item, const QString& groupId);
QString NoteAssignmentSubjectNotFound(qsizetype item, const QString& subjectId);
QString NoteAssignmentSubjectWithoutCode(qsizetype item, const QString& subjectId);
// The element a note names: "Materia 2", "Profesor 3", "Aula 1", "Grupo 4",
// "Asignatura 5" (the element's number in its list, from 1).
QString ItemSubject(qsizetype item);
QString ItemTeacher(qsizetype item);
QString ItemRoom(qsizetype item);
QString ItemGroup(qsizetype item);
QString ItemAssignment(qsizetype item);
// A text of the document written to a character field with characters that
// Windows-1252 lacks (each written as '?'); `text` as the document gives it.
QString NoteNotInWindows1252(const QString& element, const QString& field, const QString& text);

// ---- The summary of a run ----------------------------------------------------------
QString SummaryDocument(const QString& path);
QString SummaryWorkingDirectory(const QString& path);
QString SummaryTableRows(const QString& table, int rows);
QString SummaryResult(const QString& path);
QString SummaryEntries(int entries);
QString SummaryWithoutDayOrHour(int records);
QString SummarySubjectNotFound(int records);
QString SummaryBackupMade(const QString& path);  // where the replaced tables were kept
QString SummarySimulated();                      // the first line of a simulation
QString SummaryTableChanges(const QString& table, int currentRows, int newRows, int added, int removed, int changed);
QString SummaryNoCurrentTable(const QString& table, int newRows);
QString SummaryItemAdded(const QString& key, const QString& label);
QString SummaryItemRemoved(const QString& key, const QString& label);
QString SummaryItemChanged(const QString& key, const QString& label, const QStringList& fields);
QString SummaryRestored(const QString& name);
QString SummaryRestoreBackup(const QString& name);  // the backup of the tables a restore replaced
QString SummaryTableRemoved(const QString& table);
QString SummaryBackupLine(const QString& name, const QString& time, const QString& document, const QString& frontEnd);
QString SummaryBackupOfRestore(const QString& name, const QString& time, const QString& restored);
QString SummaryBackupTables(const QStringList& tables);  // "ASIGNOMT 40, PROFT 30"
QString SummaryNoBackups(const QString& workingDirectory);

// ---- Help (shown by the window) --------------------------------------------------
QString HelpFileMissing(const QString& name);
QString HelpViewerMissing(const QString& path);
// When the help file could not be shown (`helpProblem`, one of the two above)
// and the program's own help page could not either: it is missing (`page`
// as it is looked for), or no browser opened it (`page` as found).
QString OwnHelpMissing(const QString& helpProblem, const QString& page);
QString OwnHelpNotOpened(const QString& helpProblem, const QString& page);

// ---- The outcome report (shown by the window) ---------------------------------------
// The outcome could not be written to Horalis.ini (`reason`: the error's
// message as the error display shows it); the person may try again or close.
QString OutcomeNotWritten(const QString& reason);

}  // namespace puente::messages
