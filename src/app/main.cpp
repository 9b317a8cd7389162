#include "app/windowentry.h"

#include "core/app/commandline.h"
#include "core/platform/fontsubstitution.h"

#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>
#include <dlfcn.h>

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
    // A mistyped option is told on the console: it opens no window.
    if (request.mode || !request.error.isEmpty()) {
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

    // Only a window needs Qt Widgets and the printing libraries: they come with the window part.
    void *window = dlopen(QHSY_WINDOW_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    const auto run = window ? reinterpret_cast<QhsyRunWindow>(dlsym(window, QHSY_WINDOW_ENTRY)) : nullptr;
    if (!run) {
        const char *reason = dlerror();
        QTextStream(stderr) << QStringLiteral("无法打开窗口：窗口组件 %1 缺失或已损坏（%2）。请重新安装青禾书苑。\n")
                                   .arg(QStringLiteral(QHSY_WINDOW_LIBRARY), QString::fromLocal8Bit(reason ? reason : ""));
        return 1;
    }
    // The library stays loaded until the process ends: Qt's clean-up at exit runs code in it.
    return run(argc, argv);
}
