// The help file "ZELTA.chm" and how it is opened.
//
// "F1 Ayuda" opens the help file at its start page; the F1 key opens its
// topic with context number 3. The file name carries no directory: it is
// looked for beside the executable, then in the current directory.
//
// On Windows the file is shown by the HTML Help viewer (hhctrl.ocx, loaded
// when first needed). Elsewhere xchm is used when it is on the PATH, as it
// alone can open a topic by its context number; without it the window hands
// the file to the desktop's handler for .chm files (start page only).
//
// Nothing here shows anything or fails: a missing file or viewer is told by
// the results, and the window words the message.
#pragma once

#include <QString>
#include <QStringList>

namespace puente {

inline constexpr char kHelpFileName[] = "ZELTA.chm";
// The context number that asks for the start page rather than a topic.
inline constexpr int kHelpStartPage = 0;
// The context number of the main window, its panels and its buttons.
inline constexpr int kMainWindowHelpContext = 3;

// The path of the first of the directories that holds a file called `name`;
// empty when none does. A file whose name differs only in letter case counts
// (Windows does not tell them apart), an exact match coming first within a
// directory.
QString FindHelpFile(const QString& name, const QStringList& directories);

// The directories FindHelpFile looks in: the executable's, then the current
// directory.
QStringList HelpDirectories();

// xchm's arguments to open `file` at the start page or at a context number.
QStringList XchmArguments(const QString& file, int context);

// Starts the help viewer on `file` (Windows: HTML Help; elsewhere: xchm from
// the PATH) at the start page or the context number, without waiting for it.
// False when there is no such viewer or it did not start.
bool OpenWithHelpViewer(const QString& file, int context);

}  // namespace puente
