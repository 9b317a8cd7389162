// Prints the MIME type the desktop's database gives each file named on the command line, one a
// line. A process of its own, because QMimeDatabase reads the database once per process.
#include <QCoreApplication>
#include <QMimeDatabase>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QMimeDatabase database;
    QTextStream out(stdout);
    const QStringList files = QCoreApplication::arguments().mid(1);
    for (const QString &file : files)
        out << database.mimeTypeForFile(file).name() << '\n';
    return 0;
}
