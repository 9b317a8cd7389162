#include "ui/app/applicationsetup.h"

#include "core/platform/fontsubstitution.h"
#include "ui/app/accessibility.h"
#include "ui/platform/qtplatform.h"

#include <QApplication>
#include <QFont>

void ApplicationSetup::apply()
{
    QApplication::setApplicationName(QStringLiteral("qhsy"));
    QApplication::setApplicationVersion(QStringLiteral(QHSY_VERSION));
    // The desktop entry names the program for the desktop. No display name is set: on X11 Qt
    // appends it to every window title, and the titles are the program's own texts.
    QGuiApplication::setDesktopFileName(QStringLiteral("qhsy"));
    QtPlatform::installChineseTranslations();
    FontSubstitution::install();
    // The interface is Chinese: prefer a CJK sans-serif face for menus, labels and dialogs.
    QFont uiFont = QApplication::font();
    uiFont.setFamilies({QStringLiteral("Noto Sans CJK SC"), uiFont.family()});
    QApplication::setFont(uiFont);
    Accessibility::install();
}
