#include "ui/app/applicationsetup.h"

#include "core/platform/fontsubstitution.h"
#include "ui/app/accessibility.h"
#include "ui/platform/qtplatform.h"

#include <QApplication>
#include <QFont>
#include <QLocale>

void ApplicationSetup::apply()
{
    QApplication::setApplicationName(QStringLiteral("qhsy"));
    QApplication::setApplicationVersion(QStringLiteral(QHSY_VERSION));
    // The desktop entry names the program for the desktop. No display name is set: on X11 Qt
    // appends it to every window title, and the titles are the program's own texts.
    QGuiApplication::setDesktopFileName(QStringLiteral("qhsy"));
    QtPlatform::installChineseTranslations();
    // Whatever the desktop's language: the program speaks Chinese, and what Qt formats for it
    // (file types, sizes and dates in the file dialogs) follows.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    FontSubstitution::install();
    // The interface is Chinese: prefer a CJK sans-serif face for menus, labels and dialogs.
    QFont uiFont = QApplication::font();
    uiFont.setFamilies({QStringLiteral("Noto Sans CJK SC"), uiFont.family()});
    QApplication::setFont(uiFont);
    Accessibility::install();
}
