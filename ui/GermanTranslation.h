#pragma once
// Makes Qt's own texts German: standard buttons, file dialogs, the context menus of edit fields
// and the key names in shortcuts ("Strg+F"). The desktop program and the window tests both call
// it at start, so a missing translation shows up in the tests as English text.

class QCoreApplication;

namespace pf {

// Installs the German Qt translation from the system's translations folder and makes German the
// default locale. Returns false when the translation file is missing or unreadable.
bool InstallGermanTranslation(QCoreApplication& application);

} // namespace pf
