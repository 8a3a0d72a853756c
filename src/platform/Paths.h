// Where the program finds its places on the disk.
//
// The Horalis working directory holds the Horalis tables (ASIGNOMT, PROFT,
// SOLUC...). Horalis is a Windows program and keeps them in C:\HTEMP; on other
// systems Horalis runs under Wine, whose C: drive is the folder drive_c of the
// Wine prefix ($WINEPREFIX, or ~/.wine when it is not set).
//
// The outcome report "Horalis.ini" lies beside the executable, whatever the
// current directory is: that is where Horalis reads it.
#pragma once

#include <QString>

namespace puente {

// The Horalis working directory for this system: "C:\HTEMP" on Windows,
// elsewhere DefaultWorkingDirectoryUnderWine(qgetenv("WINEPREFIX"), home).
QString DefaultWorkingDirectory();

// <winePrefix>/drive_c/HTEMP, or <home>/.wine/drive_c/HTEMP when winePrefix
// is empty. A trailing slash on either is not doubled.
QString DefaultWorkingDirectoryUnderWine(const QString& winePrefix, const QString& home);

// The directory of the running executable (needs a QCoreApplication).
QString ExecutableDirectory();

// The file name of the outcome report, and its full path beside the
// executable.
inline constexpr char kOutcomeReportName[] = "Horalis.ini";
QString OutcomeReportPath();

}  // namespace puente
