// Prints the MIME type the desktop's database gives each file named on the command line, one a
// line; with --icon first, the icon name of the type the file's content gives instead. A
// process of its own, because QMimeDatabase reads the database once per process.
#include <QCoreApplication>
#include <QMimeDatabase>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QMimeDatabase database;
    QTextStream out(stdout);
    QStringList files = QCoreApplication::arguments().mid(1);
    const bool icons = !files.isEmpty() && files.first() == QLatin1String("--icon");
    if (icons)
        files.removeFirst();
    for (const QString &file : std::as_const(files)) {
        if (icons)
            out << database.mimeTypeForFile(file, QMimeDatabase::MatchContent).iconName() << '\n';
        else
            out << database.mimeTypeForFile(file).name() << '\n';
    }
    return 0;
}
