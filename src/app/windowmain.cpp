#include "app/windowentry.h"

#include "core/app/commandline.h"
#include "core/app/programlocation.h"
#include "core/document/recovery.h"
#include "core/document/session.h"
#include "core/platform/programfiles.h"
#include "ui/app/applicationsetup.h"
#include "ui/app/copyright.h"
#include "ui/app/mainwindow.h"
#include "ui/platform/qtplatform.h"

#include <QApplication>
#include <QIcon>

#include <memory>

extern "C" __attribute__((visibility("default"))) int qhsy_run_window(int argc, char **argv)
{
    QApplication app(argc, argv);
    ApplicationSetup::apply();

    const QString folder = ProgramLocation::resolve();
    QApplication::setWindowIcon(QIcon(ProgramFiles(folder).programIcon()));
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

// The entry point is looked up by name: the compiler checks it has the type the loader expects.
[[maybe_unused]] static constexpr QhsyRunWindow checkedEntry = &qhsy_run_window;
