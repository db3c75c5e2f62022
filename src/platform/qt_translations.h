#pragma once

class QCoreApplication;

/**
 * Makes Qt's own texts (standard buttons, the folder chooser) Spanish like the rest of the
 * program, whatever the user's locale. Returns false when Qt's Spanish catalogue is missing.
 */
bool installSpanishQtTranslations(QCoreApplication& app);
