// Pieces both runs share: the sticky file choice, the existence check, the
// wait cursor and the loading of the exchange document.
#pragma once

#include "common/UserInterface.h"

#include <QString>

#include <memory>

namespace puente {

class Document;
struct Session;

// Shows the file dialog; a confirmed choice replaces session.filenameXML, a
// cancelled one keeps the document chosen last.
void ChooseDocument(Session& session, UserInterface& ui);

// True when a regular file stands at `path` (an empty path is no file).
bool FileExists(const QString& path);

// The wait cursor while it lives; restored on every path out, errors included.
class WaitCursor {
public:
    explicit WaitCursor(UserInterface& ui) : ui_(ui) { ui_.SetWaitCursor(true); }
    ~WaitCursor() { ui_.SetWaitCursor(false); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    UserInterface& ui_;
};

// Loads the exchange document at `path`. A file that cannot be read or is not
// well-formed, or whose root element is not `centro`, throws Error saying so
// (with the parser's line and column).
std::unique_ptr<Document> LoadExchangeDocument(const QString& path);

}  // namespace puente
