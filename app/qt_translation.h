// Qt's own texts in Japanese: the buttons of message boxes (「はい」「いいえ」), the file dialogs'
// captions and labels. Every text of the program itself is Japanese and its questions tell the
// user to choose 「はい」 or 「いいえ」, so Qt's Japanese translation is loaded whatever the
// desktop's locale: one language throughout. It is Qt's `qtbase_ja.qm` in Qt's translations
// folder (Debian package qt6-translations-l10n).
//
// GUI thread, once the QApplication exists.
#pragma once

#include <QString>

class QObject;
class QTranslator;

namespace app {

// Installs the translation; the translator belongs to `owner`. Nothing when the file is
// missing or unreadable: the program then keeps Qt's English and `problem` says why.
QTranslator* installQtJapanese(QObject* owner, QString* problem = nullptr);

}  // namespace app
