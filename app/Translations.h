#pragma once
// The parent-facing texts of both programs (the recorder, dialogs, --help,
// errors, window titles) in the desktop's language, QLocale::system(): the
// programs' own translation, zorbanu_<language>.qm (beside the program in a
// build tree, in the data folder once installed), and, where asked for,
// Qt's own texts in the same language. English, the language of the
// sources, where there is no translation. The child's quiz window does not
// go through these: it stays Simplified Chinese by design.

// Which of Qt's own texts (edit menus, message box buttons) to install with
// the program's: Simplified Chinese for the child's window, like everything
// else the child sees, or the desktop's language.
enum class QtTexts { SimplifiedChinese, DesktopLanguage };

// Installs the translations into the running application, which owns them.
void InstallTranslations(QtTexts qtTexts);
