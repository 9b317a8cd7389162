#include "core/app/commandline.h"
#include "core/app/programlocation.h"
#include "core/document/recovery.h"
#include "core/document/session.h"
#include "core/platform/fontsubstitution.h"
#include "ui/app/applicationsetup.h"
#include "ui/app/copyright.h"
#include "ui/app/mainwindow.h"
#include "ui/platform/qtplatform.h"

#include <QApplication>
#include <QIcon>
#include <QTextStream>

#include <cstdio>
#include <memory>

namespace {

QStringList argumentsAfterProgram(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

} // namespace

int main(int argc, char **argv)
{
    // The headless options need no display: they run before any window system is touched.
    const CommandLine::Request request = CommandLine::parse(argumentsAfterProgram(argc, argv));
    if (request.action != CommandLine::Action::OpenWindow) {
        QTextStream out(stdout);
        QTextStream err(stderr);
        CommandLine::leaveOutSessionNotice();
        if (CommandLine::needsFonts(request)) {
            // Fonts need a GUI application, but never a display.
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            QGuiApplication app(argc, argv);
            FontSubstitution::install();
            return CommandLine::run(request, out, err);
        }
        QCoreApplication app(argc, argv);
        return CommandLine::run(request, out, err);
    }

    QApplication app(argc, argv);
    ApplicationSetup::apply();

    const QString folder = ProgramLocation::resolve();
    QApplication::setWindowIcon(QIcon(folder + QStringLiteral("qhsy.png")));
    // Qt has taken its own options (-platform, -style, ...) out of the arguments by now.
    const QString commandLineText = CommandLine::parse(QApplication::arguments().mid(1)).fileToOpen;

    QtPlatform platform;
    Session state;
    RecoveryStore recoveryStore;
    std::unique_ptr<Recovery> recovery;
    std::unique_ptr<MainWindow> mainWindow;
    copyright splash(state, platform, folder, [&] {
        mainWindow = std::make_unique<MainWindow>(state, platform);
        mainWindow->show();
        mainWindow->load(commandLineText);
        // Copies of runs that did not end cleanly are offered; this run then keeps its own.
        // A folder that cannot be written is told when the first copy is due.
        (void)recoveryStore.open();
        mainWindow->lifecycle().offerRecovery(recoveryStore);
        recovery = std::make_unique<Recovery>(state, recoveryStore, platform);
    });
    QObject::connect(&splash, &copyright::startupFailed, &app, [] { QCoreApplication::exit(1); });
    splash.show();
    const int status = QApplication::exec();
    // A clean exit leaves no copy behind.
    recovery.reset();
    recoveryStore.discard();
    return status;
}
