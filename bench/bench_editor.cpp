// The editing workspace with a full class: opening a 100-student file until the editor and
// the list are ready, handling one keystroke in a comment box, the roster changes that
// rebuild the views (a rename, an import of 100 names), and opening the print preview. Runs
// offscreen.
#include "core/app/startupsequence.h"
#include "core/document/commentfile.h"
#include "core/document/namelist.h"
#include "core/document/roster.h"
#include "core/document/session.h"
#include "ui/app/mainwindow.h"
#include "ui/editor/pyedit.h"
#include "ui/library/draftsdialog.h"
#include "ui/printing/ps_control.h"

#include "offscreenmain.h"
#include "silentplatform.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct Workspace
{
    QTemporaryDir dir;
    SilentPlatform platform;
    Session state;
    std::unique_ptr<MainWindow> window;
    QString classFile;

    Workspace()
    {
        state.reset(QStringLiteral(QHSY_PROGRAM_DIR "/"));
        CommentDocument document;
        const QString sentence = QStringLiteral("你上课认真听讲，积极举手发言，作业书写工整，乐于帮助同学。");
        for (int i = 1; i <= CommentDocument::MaxStudents; ++i)
            document.slot(i) = {QStringLiteral("学生%1").arg(i), sentence.repeated(10).left(300)};
        classFile = dir.filePath("class.py");
        if (!CommentFile::write(classFile, document, document.ItemFonts))
            qFatal("cannot write the class file");
        window = std::make_unique<MainWindow>(state, platform);
        window->resize(1200, 900);
        window->show();
        window->load(QString());
        QCoreApplication::processEvents();
    }
};

void OpenFullClass(benchmark::State &state)
{
    Workspace workspace;
    for (auto _ : state) {
        workspace.state.markSaved();
        workspace.window->lifecycle().openPath(workspace.classFile);
        QCoreApplication::processEvents(); // until the windows are laid out and painted
    }
}
BENCHMARK(OpenFullClass)->Unit(benchmark::kMillisecond);

/// Types one letter into the box (timed), then takes it back (not timed), so that every
/// iteration types into the same text.
void typeAndTakeBack(benchmark::State &state, QPlainTextEdit *box)
{
    const auto key = [box](Qt::Key code, const QString &text) {
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
        QCoreApplication::sendEvent(box, &press);
        QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, text);
        QCoreApplication::sendEvent(box, &release);
        QCoreApplication::processEvents();
    };
    key(Qt::Key_A, QStringLiteral("a"));
    state.PauseTiming();
    key(Qt::Key_Backspace, QString());
    state.ResumeTiming();
}

void KeystrokeInComment(benchmark::State &state)
{
    Workspace workspace;
    workspace.window->lifecycle().openPath(workspace.classFile);
    workspace.window->editor()->moveTo(50);
    QPlainTextEdit *box = workspace.window->editor()->pytext1(50);
    QCoreApplication::processEvents();
    for (auto _ : state)
        typeAndTakeBack(state, box);
}
BENCHMARK(KeystrokeInComment)->Unit(benchmark::kMicrosecond);

// A keystroke at the end of a 2,000-character comment, which runs past its printed box: with
// a scheme (argument 1) the card's warning is measured again each time; without (0) the
// difference is what the warning costs.
void KeystrokeInLongComment(benchmark::State &state)
{
    Workspace workspace;
    workspace.window->lifecycle().openPath(workspace.classFile);
    const bool warning = state.range(0) != 0;
    if (!warning)
        workspace.window->editor()->setFitScheme(std::nullopt);
    workspace.window->editor()->moveTo(50);
    QPlainTextEdit *box = workspace.window->editor()->pytext1(50);
    box->setPlainText(
        QStringLiteral("你上课认真听讲，积极举手发言，作业书写工整，乐于帮助同学。").repeated(70).left(2000));
    box->moveCursor(QTextCursor::End);
    QCoreApplication::processEvents();
    if (workspace.window->editor()->fitWarning()->isVisible() != warning)
        std::abort();
    for (auto _ : state)
        typeAndTakeBack(state, box);
}
BENCHMARK(KeystrokeInLongComment)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

// What a rename does after the input box: the slot, the list refilled, the cards rebuilt.
void RenameInFullClass(benchmark::State &state)
{
    Workspace workspace;
    workspace.window->lifecycle().openPath(workspace.classFile);
    QCoreApplication::processEvents();
    int round = 0;
    for (auto _ : state) {
        workspace.state.renameStudent(49, QStringLiteral("改名%1").arg(++round));
        workspace.window->reopenStudentList(true);
        workspace.window->RefreshViews();
        workspace.window->selectStudent(49);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(RenameInFullClass)->Unit(benchmark::kMillisecond);

// Importing 100 names in replace mode: the scratch file written and read back, the slots
// filled, the list refilled and the cards rebuilt.
void ImportHundredNames(benchmark::State &state)
{
    Workspace workspace;
    workspace.state.setProgramFolder(workspace.dir.path() + u'/'); // the scratch file goes there
    QStringList names;
    for (int i = 1; i <= CommentDocument::MaxStudents; ++i)
        names << QStringLiteral("新生%1").arg(i);
    const QString list = names.join(u'\n');
    for (auto _ : state) {
        if (!NameList::importList(workspace.state, list, NameList::Mode::Replace))
            std::abort();
        workspace.window->reopenStudentList(true);
        workspace.window->RefreshViews();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(ImportHundredNames)->Unit(benchmark::kMillisecond);

// From pressing 打印预览 until the print window and the first page are on screen (no printer).
void OpenPreview(benchmark::State &state)
{
    Workspace workspace;
    workspace.window->lifecycle().openPath(workspace.classFile);
    QCoreApplication::processEvents();
    for (auto _ : state) {
        workspace.window->command(CommandId::Preview)->trigger();
        QCoreApplication::processEvents(); // laid out and painted
        state.PauseTiming();
        if (!workspace.window->printControl())
            std::abort();
        workspace.window->printControl()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(OpenPreview)->Unit(benchmark::kMillisecond);

// 评价表 with a full class, every student rated in every category: from the key that rates a
// cell until the preview shows the selected student's new draft.
void RatingKeyPreview(benchmark::State &state)
{
    Workspace workspace;
    workspace.window->lifecycle().openPath(workspace.classFile);
    QCoreApplication::processEvents();
    workspace.window->command(CommandId::GenerateDrafts)->trigger();
    QCoreApplication::processEvents();
    auto *dialog = workspace.window->findChild<DraftsDialog *>(QStringLiteral("draftsdialog"));
    if (!dialog)
        std::abort();
    QTableView *grid = dialog->grid();
    grid->selectAll();
    QKeyEvent rateAll(QEvent::KeyPress, Qt::Key_2, Qt::NoModifier, QStringLiteral("2"));
    QCoreApplication::sendEvent(grid, &rateAll);
    int key = 0;
    for (auto _ : state) {
        state.PauseTiming();
        grid->setCurrentIndex(grid->model()->index(50, 0));
        const QString before = dialog->preview()->text();
        state.ResumeTiming();
        const bool first = (key++ % 2) == 0;
        QKeyEvent press(QEvent::KeyPress, first ? Qt::Key_1 : Qt::Key_3, Qt::NoModifier,
                        first ? QStringLiteral("1") : QStringLiteral("3"));
        QCoreApplication::sendEvent(grid, &press);
        QCoreApplication::processEvents(); // the preview laid out and painted
        state.PauseTiming();
        if (dialog->preview()->text() == before)
            std::abort();
        state.ResumeTiming();
    }
}
BENCHMARK(RatingKeyPreview)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runOffscreenBenchmarks<QApplication>(argc, argv);
}
