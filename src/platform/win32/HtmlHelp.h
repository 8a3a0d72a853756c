// The HTML Help viewer (hhctrl.ocx), loaded when first needed.
#pragma once

#include "platform/win32/Win32Types.h"

namespace puente::win32 {

// Whether HTML Help is there: hhctrl.ocx loads and exports HtmlHelpW.
bool HtmlHelpAvailable();

// Shows the compiled help file at its start page (context 0) or at the topic
// with that context number, without waiting for the viewer. kOk when the
// viewer shows it; ERROR_MOD_NOT_FOUND or ERROR_PROC_NOT_FOUND without HTML
// Help; another error code when the viewer refused the file or the topic.
ErrorCode ShowHtmlHelp(const wchar_t* file, int context);

}  // namespace puente::win32
