#include "ui/platform/qtplatform.h"

#include "core/app/filetyperegistration.h"
#include "core/export/wordprocessor.h"
#include "core/platform/desktopviewer.h"
#include "core/platform/filefilter.h"
#include "core/platform/fontsubstitution.h"
#include "core/platform/messagetext.h"
#include "core/platform/savelocation.h"
#include "ui/platform/filelistmodel.h"
#include "ui/platform/qtprinttarget.h"
#include "ui/platform/qtprogresswindow.h"

#include <algorithm>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTranslator>
#include <QUrl>

QtPlatform::QtPlatform() = default;
QtPlatform::~QtPlatform() = default;

QWidget *QtPlatform::dialogParent()
{
    return QApplication::activeWindow();
}

namespace {

/// The room a window manager takes beside a title (an icon, three buttons, gaps), in lines.
constexpr int TitleBarRoom = 8;

/// A box no wider than its short text shows its title as "系…" between the window manager's
/// icon and buttons: it is made wide enough for both. Called once the box is laid out.
void leaveRoomForTitle(QMessageBox &box)
{
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const QFontMetrics metrics(titleFont);
    const int width = metrics.horizontalAdvance(box.windowTitle()) + TitleBarRoom * metrics.height();
    // QMessageBox sizes itself to its layout: a spacer across the top row sets the least width.
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0), 0, 0, 1, grid->columnCount());
}

} // namespace

MsgAnswer QtPlatform::messageBox(const QString &text, const QString &title, MsgIcon icon, MsgButtons buttons)
{
    QMessageBox box(dialogParent());
    box.setWindowTitle(title);
    // The last guard for a text that grew from a file: a box laying out megabytes would freeze
    // the window, and one taller than the screen hides its buttons.
    box.setText(MessageText::bounded(text));
    switch (icon) {
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    switch (buttons) {
    case MsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    leaveRoomForTitle(box);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    case QMessageBox::Cancel:
        return MsgAnswer::Cancel;
    default:
        return MsgAnswer::Ok;
    }
}

int QtPlatform::choose(const QString &text, const QString &title, const QStringList &buttons)
{
    QMessageBox box(dialogParent());
    box.setWindowTitle(title);
    box.setText(MessageText::bounded(text));
    box.setIcon(QMessageBox::Question);
    QList<QAbstractButton *> pressable;
    for (const QString &caption : buttons)
        pressable << box.addButton(caption, QMessageBox::ActionRole);
    if (pressable.isEmpty())
        return -1;
    box.setDefaultButton(qobject_cast<QPushButton *>(pressable.first()));
    box.setEscapeButton(pressable.last());
    leaveRoomForTitle(box);
    box.exec();
    const qsizetype pressed = pressable.indexOf(box.clickedButton());
    return int(pressed < 0 ? pressable.size() - 1 : pressed);
}

QString QtPlatform::inputBox(const QString &prompt, const QString &title, const QString &defaultText)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(dialogParent(), title, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

namespace {

const QString LastFolderKey = QStringLiteral("files/lastFolder");
const QString RecentFilesKey = QStringLiteral("files/recent");
const QString PrinterKey = QStringLiteral("print/printer");

/// The program's settings: $XDG_CONFIG_HOME/qhsy/qhsy.conf.
std::unique_ptr<QSettings> settings()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("qhsy"),
                                       QStringLiteral("qhsy"));
}

/// The next dialog starts where this file is.
void rememberFolderOf(const QString &path)
{
    if (!path.isEmpty())
        settings()->setValue(LastFolderKey, QFileInfo(path).absolutePath());
}

} // namespace

QString QtPlatform::dialogFolder()
{
    const QString last = SaveLocation::startFolder(settings()->value(LastFolderKey).toString());
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

namespace {

/// Runs a file dialog; the paths chosen, none when cancelled. Qt's own dialog gets its list in
/// Chinese (FileListModel); a desktop's own dialog speaks the desktop's language already.
QStringList chosenFiles(QFileDialog &dialog)
{
    dialog.setProxyModel(new FileListModel(&dialog));
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

} // namespace

QString QtPlatform::chooseFolder(const QString &start)
{
    QFileDialog dialog(dialogParent(), QString(),
                       start.isEmpty() || !QFileInfo(start).isDir() ? dialogFolder() : start);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    const QString folder = chosenFiles(dialog).value(0);
    if (!folder.isEmpty())
        settings()->setValue(LastFolderKey, folder);
    return folder;
}

QString QtPlatform::openFileName(const QString &filter)
{
    QFileDialog dialog(dialogParent(), QString(), dialogFolder(), toQtFileFilter(filter));
    dialog.setFileMode(QFileDialog::ExistingFile);
    const QString path = chosenFiles(dialog).value(0);
    rememberFolderOf(path);
    return path;
}

QString QtPlatform::saveFileName(const QString &filter, const QString &proposedPath)
{
    // The proposed name in its folder; in the folder used last when that folder is gone.
    const QFileInfo proposed(proposedPath);
    const QString start = proposedPath.isEmpty()    ? dialogFolder()
                          : proposed.dir().exists() ? proposedPath
                                                    : QDir(dialogFolder()).filePath(proposed.fileName());
    QFileDialog dialog(dialogParent(), QString(), start, toQtFileFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QString chosen = chosenFiles(dialog).value(0);
    // Qt's own dialog adds no suffix to a typed name: the file type chosen in it gives one.
    const QString path = withSuffixOf(chosen, dialog.selectedNameFilter());
    rememberFolderOf(path);
    return path;
}

QStringList QtPlatform::recentFiles()
{
    return settings()->value(RecentFilesKey).toStringList();
}

void QtPlatform::setRecentFiles(const QStringList &paths)
{
    settings()->setValue(RecentFilesKey, paths);
}

std::unique_ptr<ProgressWindow> QtPlatform::openProgress(const QString &title, const QString &text, int total)
{
    return std::make_unique<QtProgressWindow>(dialogParent(), title, text, total);
}

namespace {

const QString FontSample = QStringLiteral("你上课专心听讲。");

} // namespace

ItemFont QtPlatform::chooseFont(const ItemFont &preset)
{
    // The dialog lists installed families: preselect the one the face is shown with (宋体 is
    // shown with a Song/Ming family), so that it does not fall back to the first sans font.
    QFont initial = FontSubstitution::toQFont(preset);
    initial.setFamily(QFontInfo(initial).family());
    QFontDialog dialog(initial, dialogParent());
    // Qt's own sample is Latin ("AaBbYyZz"): the fonts are chosen for Chinese comments.
    if (auto *sample = dialog.findChild<QLineEdit *>(QStringLiteral("qt_fontDialog_sampleEdit"))) {
        sample->setText(FontSample);
        sample->setCursorPosition(0);
    }
    if (dialog.exec() != QDialog::Accepted)
        return preset;
    return FontSubstitution::fromQFont(dialog.selectedFont(), preset);
}

QString QtPlatform::clipboardText()
{
    return QGuiApplication::clipboard()->text();
}

void QtPlatform::setClipboardText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}

bool QtPlatform::openWithDefaultViewer(const QString &path)
{
    if (!DesktopViewer::canOpen(QMimeDatabase().mimeTypeForFile(path).name()))
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

Result<void> QtPlatform::startWordProcessor(const QString &documentPath)
{
    // LibreOffice Writer, found on PATH and started detached: it outlives the command.
    return WordProcessor::start(documentPath);
}

bool QtPlatform::printerInstalled()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return false;
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    if (!printer->isValid())
        return false;
    // The colour mode is the one setting read and written back to prove the driver answers.
    const QPrinter::ColorMode mode = printer->colorMode();
    printer->setColorMode(mode);
    if (printer->colorMode() != mode)
        return false;
    m_printer = std::move(printer);
    return true;
}

void QtPlatform::setPrinterSetting(int value)
{
    m_printerSetting = value;
    if (m_printer)
        m_printer->setColorMode(value == 2 ? QPrinter::Color : QPrinter::GrayScale);
    for (auto &[name, target] : m_printTargets)
        target->applySetting(value);
}

QStringList QtPlatform::printerNames()
{
    QStringList names = QPrinterInfo::availablePrinterNames();
    const QString preferred = defaultPrinterName();
    if (names.removeAll(preferred) > 0)
        names.prepend(preferred);
    return names;
}

QString QtPlatform::defaultPrinterName()
{
    return QPrinterInfo::defaultPrinterName();
}

PrintTarget *QtPlatform::printer(const QString &name)
{
    const QString wanted = name.isEmpty() ? defaultPrinterName() : name;
    if (wanted.isEmpty())
        return nullptr;
    auto found = m_printTargets.find(wanted);
    if (found == m_printTargets.end()) {
        const QPrinterInfo info = QPrinterInfo::printerInfo(wanted);
        if (info.isNull())
            return nullptr;
        auto target = std::make_unique<QtPrintTarget>(info);
        if (!target->isValid())
            return nullptr;
        if (m_printerSetting)
            target->applySetting(*m_printerSetting);
        found = m_printTargets.emplace(wanted, std::move(target)).first;
    }
    return found->second.get();
}

std::optional<PrintJobChoice> QtPlatform::printerProperties(const QString &name, const PrintJobChoice &shown)
{
    auto *target = dynamic_cast<QtPrintTarget *>(printer(name));
    if (!target)
        return std::nullopt;
    QPrinter *qprinter = target->qprinter();
    QPrintDialog dialog(qprinter, dialogParent());
    dialog.setWindowTitle(QStringLiteral("打印机属性"));
    // Qt offers no way to hide the copies, and with CUPS it shows a page range whatever the
    // options say. So the dialog's pages are the students, its copies and range show the print
    // window's, and what the teacher sets there goes back to the print window.
    dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize | QAbstractPrintDialog::PrintPageRange |
                      QAbstractPrintDialog::PrintCurrentPage);
    const int last = std::max(shown.last, 1);
    dialog.setMinMax(1, last);
    const int from = std::clamp(shown.from, 1, last);
    dialog.setFromTo(from, std::clamp(shown.to, from, last));
    switch (shown.range) {
    case PrintJobChoice::Range::All:
        dialog.setPrintRange(QAbstractPrintDialog::AllPages);
        break;
    case PrintJobChoice::Range::Current:
        dialog.setPrintRange(QAbstractPrintDialog::CurrentPage);
        break;
    case PrintJobChoice::Range::FromTo:
        dialog.setPrintRange(QAbstractPrintDialog::PageRange);
        break;
    }
    qprinter->setCopyCount(std::max(shown.copies, 1));
    // The dialog sets up the printer; printing is the print window's 打印. The printer itself is
    // chosen in the print window, so it stays fixed here.
    if (auto *buttons = dialog.findChild<QDialogButtonBox *>()) {
        if (QPushButton *ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(QStringLiteral("确定"));
    }
    if (auto *printers = dialog.findChild<QComboBox *>(QStringLiteral("printers")))
        printers->setEnabled(false);
    const bool accepted = dialog.exec() == QDialog::Accepted;

    PrintJobChoice chosen = shown;
    chosen.copies = qprinter->copyCount();
    switch (dialog.printRange()) {
    case QAbstractPrintDialog::CurrentPage:
        chosen.range = PrintJobChoice::Range::Current;
        break;
    case QAbstractPrintDialog::PageRange:
        chosen.range = PrintJobChoice::Range::FromTo;
        chosen.from = dialog.fromPage();
        chosen.to = dialog.toPage();
        break;
    default:
        chosen.range = PrintJobChoice::Range::All;
        break;
    }
    // The print run picks the students and makes the copies itself: the printer keeps neither.
    qprinter->setCopyCount(1);
    qprinter->setPrintRange(QPrinter::AllPages);
    qprinter->setFromTo(0, 0);
    if (!accepted)
        return std::nullopt;
    return chosen;
}

QString QtPlatform::librarySetting()
{
    return settings()->value(QStringLiteral("library/path")).toString();
}

void QtPlatform::setLibrarySetting(const QString &path)
{
    if (path.isEmpty())
        settings()->remove(QStringLiteral("library/path"));
    else
        settings()->setValue(QStringLiteral("library/path"), path);
}

QString QtPlatform::rememberedPrinter()
{
    return settings()->value(PrinterKey).toString();
}

void QtPlatform::rememberPrinter(const QString &name)
{
    settings()->setValue(PrinterKey, name);
}

void QtPlatform::registerCommentFileType(const QString &programFolder)
{
    // The entry starts this executable, which need not stand in the program folder (an
    // installed program keeps its data in the user's own folder).
    RegisterCommentFileType(QCoreApplication::applicationFilePath(), programFolder);
}

void QtPlatform::installChineseTranslations()
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char *name : {"qtbase_zh_CN"}) {
        auto *translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(QString::fromLatin1(name), folder))
            QCoreApplication::installTranslator(translator);
        else
            delete translator;
    }
}
