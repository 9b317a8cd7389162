#include "ui/library/draftsdialog.h"

#include "core/document/ratingspaste.h"
#include "core/document/ratingsreport.h"
#include "core/document/roster.h"
#include "core/document/session.h"
#include "core/library/commentlibrary.h"
#include "core/platform/platform.h"
#include "core/printing/schemestore.h"
#include "ui/library/ratingsstep.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSet>
#include <QTableWidget>
#include <QUndoStack>
#include <QVBoxLayout>

namespace {

const QString Title = QStringLiteral("评价表");
const QString HiddenKey = QStringLiteral("drafts/hiddenColumns");
const QString ImportFilter = QStringLiteral("电子表格|*.csv;*.xlsx;*.xls;*.ods|所有文件|*.*");
const QString ExistingQuestion = QStringLiteral("有 %1 名学生已经写了评语。对这些学生：");
const quint32 Seed = 1;
const QString StepName = QStringLiteral("生成草稿");
const QString HintText = QStringLiteral("按 1、2、3 评为优秀、良好、后进，按 0 或 Delete 清除；单击行或列的标题可一次评定整行或整列；"
                                        "Ctrl+V 粘贴电子表格中复制的评价；Ctrl+Z 撤消；右键单击类别标题可隐藏类别。");
const QString UndoTip = QStringLiteral("撤消“%1”（Ctrl+Z）");
const QString ClearStep = QStringLiteral("清除评价");
const QString PasteStep = QStringLiteral("粘贴评价");
const QString ImportStep = QStringLiteral("导入评价");

/// The name of a key's step, as 撤消 shows it.
QString stepName(Rating grade)
{
    return grade == Rating::None ? ClearStep : QStringLiteral("评为") + RatingsFile::valueText(grade);
}

} // namespace

DraftsDialog::DraftsDialog(Session &session, Platform &platform, QWidget *parent)
    : QDialog(parent)
    , m_session(session)
    , m_platform(platform)
{
    setObjectName(QStringLiteral("draftsdialog"));
    setWindowTitle(Title);
    // The grid holds the roster as it was opened: nothing else changes the class meanwhile.
    setModal(true);
    m_grid = new QTableWidget(this);
    m_grid->setObjectName(QStringLiteral("ratings"));
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->installEventFilter(this);
    m_grid->horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid->horizontalHeader(), &QHeaderView::customContextMenuRequested, this,
            &DraftsDialog::showHeaderMenu);
    connect(m_grid, &QTableWidget::currentCellChanged, this, [this] {
        currentMoved();
        refreshPreview();
    });
    m_preview = new QLabel(this);
    m_preview->setObjectName(QStringLiteral("draftPreview"));
    m_preview->setWordWrap(true);
    m_preview->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_preview->setAlignment(Qt::AlignTop | Qt::AlignLeft);

    auto *buttons = new QDialogButtonBox(this);
    const auto button = [&](const char *name, const QString &text, QDialogButtonBox::ButtonRole role) {
        QPushButton *b = buttons->addButton(text, role);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        // A click leaves the keys with the grid; Tab still reaches the button.
        b->setFocusPolicy(Qt::TabFocus);
        return b;
    };
    m_ratingsUndo = new QUndoStack(this);
    connect(button("import", QStringLiteral("导入(&I)..."), QDialogButtonBox::ActionRole), &QPushButton::clicked,
            this, &DraftsDialog::importFile);
    m_undoButton = button("undoRatings", QStringLiteral("撤消(&U)"), QDialogButtonBox::ActionRole);
    m_undoButton->setEnabled(false);
    connect(m_undoButton, &QPushButton::clicked, m_ratingsUndo, &QUndoStack::undo);
    connect(m_ratingsUndo, &QUndoStack::canUndoChanged, m_undoButton, &QPushButton::setEnabled);
    connect(m_ratingsUndo, &QUndoStack::undoTextChanged, m_undoButton,
            [this](const QString &step) { m_undoButton->setToolTip(step.isEmpty() ? QString() : UndoTip.arg(step)); });
    connect(button("redraw", QStringLiteral("换一句(&R)"), QDialogButtonBox::ActionRole), &QPushButton::clicked,
            this, &DraftsDialog::redrawCurrent);
    connect(button("generate", QStringLiteral("生成(&G)"), QDialogButtonBox::AcceptRole), &QPushButton::clicked,
            this, &DraftsDialog::apply);
    connect(button("close", QStringLiteral("关闭(&C)"), QDialogButtonBox::RejectRole), &QPushButton::clicked,
            this, &QDialog::reject);

    // The draft is shown whole (fitPreview sizes it); only one longer than half the window
    // scrolls. The grid scrolls in the rest.
    m_previewArea = new QScrollArea(this);
    m_previewArea->setObjectName(QStringLiteral("draftPreviewArea"));
    m_previewArea->setWidget(m_preview);
    m_previewArea->setWidgetResizable(true);
    m_previewArea->setFrameShape(QFrame::NoFrame);
    m_previewArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *hint = new QLabel(HintText, this);
    hint->setWordWrap(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_previewArea);
    layout->addWidget(buttons);
    // Wide enough for the usual categories side by side, within the screen.
    const QRect screen = parent ? parent->screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    resize(qMin(screen.width() * 9 / 10, 1100), qMin(screen.height() * 8 / 10, 680));
}

DraftsDialog::~DraftsDialog() = default;

void DraftsDialog::reload()
{
    const Result<QList<CommentLibrary::Entry>> entries =
        CommentLibrary(m_session.Files().library()).entries();
    const CommentDocument &document = m_session.Document();
    m_drafter = std::make_unique<ClassDrafts::Drafter>(
        entries ? Drafts::fromEntries(*entries) : Drafts::Library(), SchemeStore(m_session).activeOrNone(),
        document.ItemFonts[std::size_t(Item::CommentText)]);
    const QStringList categories = m_drafter->library().categories;
    const QStringList names = Roster::names(document);
    m_grid->clear();
    m_grid->setColumnCount(int(categories.size()));
    m_grid->setRowCount(int(names.size()));
    m_grid->setHorizontalHeaderLabels(categories);
    m_grid->setVerticalHeaderLabels(names);
    const QStringList hidden = m_platform.setting(HiddenKey).toStringList();
    const RatingsFile::Table &kept = m_session.Ratings();
    for (int c = 0; c < categories.size(); ++c) {
        m_grid->setColumnHidden(c, hidden.contains(categories[c]));
        const qsizetype from = kept.categories.indexOf(categories[c]);
        for (int r = 0; r < names.size(); ++r) {
            auto *item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignCenter);
            m_grid->setItem(r, c, item);
            setCell(r, c, from < 0 ? Rating::None : kept.grades.value(r).value(from, Rating::None));
        }
    }
    m_redrawn.clear();
    m_ratingsUndo->clear();
    // The keys go to the first student's first shown category.
    const QList<int> shown = visibleColumnsFrom(0);
    m_grid->setCurrentCell(0, shown.value(0, 0), QItemSelectionModel::ClearAndSelect);
    m_grid->setFocus();
    ratingsEdited(-1);
    m_edited = false;
}

RatingsFile::Table DraftsDialog::table() const
{
    RatingsFile::Table table;
    for (int c = 0; c < m_grid->columnCount(); ++c)
        table.categories << m_grid->horizontalHeaderItem(c)->text();
    for (int r = 0; r < m_grid->rowCount(); ++r) {
        table.names << m_grid->verticalHeaderItem(r)->text();
        QList<Rating> grades;
        for (int c = 0; c < m_grid->columnCount(); ++c)
            grades << Rating(m_grid->item(r, c)->data(Qt::UserRole).toInt());
        table.grades << grades;
    }
    return table;
}

void DraftsDialog::setCell(int row, int column, Rating grade)
{
    if (QTableWidgetItem *item = m_grid->item(row, column)) {
        item->setData(Qt::UserRole, int(grade));
        item->setText(RatingsFile::valueText(grade));
    }
}

void DraftsDialog::setSelected(Rating grade)
{
    const QModelIndex current = m_grid->currentIndex();
    if (!current.isValid())
        return;
    // The current cell, or the highlighted cells around it (a row or column by its heading, a
    // range by Shift).
    QModelIndexList cells{current};
    const QModelIndexList selected = m_grid->selectionModel()->selectedIndexes();
    if (selected.size() > 1 && m_grid->selectionModel()->isSelected(current))
        cells = selected;
    RatingsFile::Table after = table();
    for (const QModelIndex &cell : std::as_const(cells)) {
        if (!m_grid->isColumnHidden(cell.column()))
            after.grades[cell.row()][cell.column()] = grade;
    }
    pushRatings(stepName(grade), after);
    // One cell set: on to the next visible one, along the row and then down.
    if (cells.size() == 1) {
        int r = current.row();
        int c = current.column();
        do {
            if (++c >= m_grid->columnCount()) {
                c = 0;
                ++r;
            }
        } while (r < m_grid->rowCount() && m_grid->isColumnHidden(c));
        if (r < m_grid->rowCount())
            m_grid->setCurrentCell(r, c, QItemSelectionModel::ClearAndSelect);
    }
}

void DraftsDialog::pushRatings(const QString &text, const RatingsFile::Table &after)
{
    const RatingsFile::Table before = table();
    if (after == before)
        return;
    const QPoint current(m_grid->currentColumn(), m_grid->currentRow());
    m_ratingsUndo->push(new RatingsStep(text, before, after, current,
                                        [this](const RatingsFile::Table &ratings, QPoint at) { showRatings(ratings, at); }));
}

void DraftsDialog::showRatings(const RatingsFile::Table &ratings, QPoint current)
{
    for (int r = 0; r < m_grid->rowCount() && r < ratings.grades.size(); ++r) {
        for (int c = 0; c < m_grid->columnCount() && c < ratings.grades[r].size(); ++c) {
            const Rating grade = ratings.grades[r][c];
            if (Rating(m_grid->item(r, c)->data(Qt::UserRole).toInt()) == grade)
                continue;
            setCell(r, c, grade);
            // 换一句 holds only while the student's ratings stay.
            m_redrawn.remove(r);
        }
    }
    if (current.x() >= 0 && current.y() >= 0)
        m_grid->setCurrentCell(current.y(), current.x(), QItemSelectionModel::ClearAndSelect);
    ratingsEdited(-1);
}

QList<int> DraftsDialog::visibleColumnsFrom(int column) const
{
    QList<int> columns;
    for (int c = std::max(column, 0); c < m_grid->columnCount(); ++c) {
        if (!m_grid->isColumnHidden(c))
            columns << c;
    }
    return columns;
}

void DraftsDialog::currentMoved()
{
    // Ctrl+Home and Ctrl+arrows move the current cell and leave the highlight behind; the
    // highlight follows, so that keys, paste and preview act where the teacher looks. A mouse
    // click on a heading selects its row or column itself.
    if (QGuiApplication::mouseButtons() != Qt::NoButton)
        return;
    const QModelIndex current = m_grid->currentIndex();
    if (current.isValid() && !m_grid->selectionModel()->isSelected(current))
        m_grid->selectionModel()->select(current, QItemSelectionModel::ClearAndSelect);
}

void DraftsDialog::ratingsEdited(int row)
{
    m_edited = true;
    if (row >= 0)
        m_redrawn.remove(row);
    const RatingsFile::Table ratings = table();
    m_drafts = m_drafter->draft(ratings.names, ClassDrafts::ratingsOf(ratings), Seed);
    for (auto it = m_redrawn.cbegin(); it != m_redrawn.cend(); ++it)
        m_drafts[it.key()] = it.value();
    refreshPreview();
}

void DraftsDialog::refreshPreview()
{
    const int row = m_grid->currentRow();
    if (row < 0 || row >= m_drafts.size() || m_drafts[row].text.isEmpty()) {
        m_preview->setText(QStringLiteral("（选中的学生还没有评价，没有草稿。）"));
        fitPreview();
        return;
    }
    // Only the shown draft is measured against the paper.
    const Drafts::Draft draft = m_drafter->fitted(m_drafts[row]);
    QString text = QStringLiteral("%1：%2").arg(m_grid->verticalHeaderItem(row)->text(), draft.text);
    if (!draft.dropped.isEmpty())
        text += QStringLiteral("\n为适合纸张，略去了：") + draft.dropped.join(QStringLiteral("、"));
    m_preview->setText(text);
    fitPreview();
}

void DraftsDialog::fitPreview()
{
    const int width = m_previewArea->viewport()->width();
    int needed = m_preview->heightForWidth(width);
    if (needed < 0)
        needed = m_preview->sizeHint().height();
    // Half the window at most: the grid keeps room to work in.
    m_previewArea->setFixedHeight(std::min(needed, std::max(height() / 2, fontMetrics().lineSpacing() * 3)));
}

void DraftsDialog::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    fitPreview();
}

void DraftsDialog::redrawCurrent()
{
    const int row = m_grid->currentRow();
    if (row < 0 || row >= m_drafts.size() || m_drafts[row].text.isEmpty())
        return;
    const RatingsFile::Table ratings = table();
    m_drafts[row] = Drafts::redraw(m_drafter->library(), ratings.names, ClassDrafts::ratingsOf(ratings), m_drafts,
                                   row, Seed + quint32(m_redrawn.size()) + 1);
    m_redrawn.insert(row, m_drafts[row]);
    refreshPreview();
}

void DraftsDialog::pasteRatings()
{
    const int row = std::max(m_grid->currentRow(), 0);
    const RatingsPaste::Pasted pasted =
        RatingsPaste::paste(table(), m_platform.clipboardText(), row, visibleColumnsFrom(m_grid->currentColumn()));
    pushRatings(PasteStep, pasted.table);
    if (const QString refused = RatingsReport::pasted(pasted); !refused.isEmpty())
        m_platform.messageBox(refused, Platform::NoticeTitle, MsgIcon::Exclamation, MsgButtons::Ok);
}

void DraftsDialog::importFile()
{
    const QString path = m_platform.openFileName(ImportFilter);
    if (path.isEmpty())
        return;
    RatingsFile::Problems problems;
    const Result<RatingsFile::Merged> read = RatingsFile::mergeFile(path, table(), &problems);
    if (!read) {
        m_platform.messageBox(read.error(), Platform::NoticeTitle, MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    const bool changed = read->table != table();
    pushRatings(ImportStep, read->table);
    QStringList hidden;
    for (int c = 0; c < m_grid->columnCount(); ++c) {
        if (m_grid->isColumnHidden(c))
            hidden << m_grid->horizontalHeaderItem(c)->text();
    }
    const RatingsReport::Message told =
        RatingsReport::imported(QFileInfo(path).fileName(), *read, problems, hidden, changed);
    m_platform.messageBox(told.text, Platform::NoticeTitle, told.warning ? MsgIcon::Exclamation : MsgIcon::Information,
                          MsgButtons::Ok);
}

bool DraftsDialog::apply()
{
    const QStringList comments = Roster::comments(m_session.Document());
    QList<Drafts::Draft> drafts = m_drafts;
    for (Drafts::Draft &draft : drafts)
        draft = m_drafter->fitted(draft);
    auto existing = ClassDrafts::Existing::Skip;
    if (const int written = ClassDrafts::withComment(comments, drafts); written > 0) {
        const QStringList buttons{QStringLiteral("跳过"), QStringLiteral("追加"), QStringLiteral("替换"),
                                  QStringLiteral("取消")};
        switch (m_platform.choose(ExistingQuestion.arg(written), Platform::QuestionTitle, buttons)) {
        case 0:
            break;
        case 1:
            existing = ClassDrafts::Existing::Append;
            break;
        case 2:
            existing = ClassDrafts::Existing::Replace;
            break;
        default:
            return false;
        }
    }
    const QList<FindReplace::Change> changes = ClassDrafts::changes(comments, drafts, existing);
    m_session.changeComments(StepName, changes);
    keepRatings();
    accept();
    return true;
}

void DraftsDialog::reject()
{
    // Closing keeps the ratings too: a teacher may rate now and generate another time.
    keepRatings();
    QDialog::reject();
}

void DraftsDialog::keepRatings()
{
    if (!m_edited)
        return;
    m_edited = false;
    m_session.setRatings(table());
    if (const QString named = m_session.namedPath(); !named.isEmpty()) {
        const QString path = RatingsFile::sidecarPath(named);
        if (const Result<void> written = RatingsFile::write(path, m_session.Ratings(), named); !written)
            m_platform.messageBox(QStringLiteral("评价表“%1”无法写入：%2").arg(path, written.error()),
                                  Platform::NoticeTitle, MsgIcon::Critical, MsgButtons::Ok);
    }
}

bool DraftsDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_grid || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->matches(QKeySequence::Paste)) {
        pasteRatings();
        return true;
    }
    if (key->matches(QKeySequence::Undo)) {
        m_ratingsUndo->undo();
        return true;
    }
    // Ctrl+Y as on every desktop, and the platform's own redo key.
    if (key->matches(QKeySequence::Redo) ||
        (key->key() == Qt::Key_Y && (key->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier)) {
        m_ratingsUndo->redo();
        return true;
    }
    if ((key->modifiers() & Qt::ControlModifier) && !(key->modifiers() & Qt::ShiftModifier)) {
        // Ctrl+Home, Ctrl+End and Ctrl+arrows go to one cell, as in a spreadsheet: the highlight
        // shrinks to the current cell first and follows it there (currentMoved).
        static const QList<int> Moves{Qt::Key_Home, Qt::Key_End,  Qt::Key_Left,   Qt::Key_Right,
                                      Qt::Key_Up,   Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown};
        if (Moves.contains(key->key()) && m_grid->currentIndex().isValid())
            m_grid->selectionModel()->select(m_grid->currentIndex(), QItemSelectionModel::ClearAndSelect);
    }
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        // As in a spreadsheet: down a row (Shift: up); 生成 needs its button.
        const int row = m_grid->currentRow() + ((key->modifiers() & Qt::ShiftModifier) ? -1 : 1);
        if (row >= 0 && row < m_grid->rowCount())
            m_grid->setCurrentCell(row, std::max(m_grid->currentColumn(), 0), QItemSelectionModel::ClearAndSelect);
        return true;
    }
    case Qt::Key_1:
        setSelected(Rating::Excellent);
        return true;
    case Qt::Key_2:
        setSelected(Rating::Good);
        return true;
    case Qt::Key_3:
        setSelected(Rating::Lagging);
        return true;
    case Qt::Key_0:
    case Qt::Key_Delete:
        setSelected(Rating::None);
        return true;
    default:
        return false;
    }
}

void DraftsDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The button box makes 生成 the default button as it shows; Enter belongs to the grid here.
    for (QPushButton *button : findChildren<QPushButton *>())
        button->setDefault(false);
}

void DraftsDialog::keyPressEvent(QKeyEvent *event)
{
    // Enter never runs 生成: a focused button takes it as a click, elsewhere it does nothing.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto *button = qobject_cast<QPushButton *>(focusWidget()))
            button->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void DraftsDialog::showHeaderMenu(const QPoint &at)
{
    // A check list of the columns: a hidden category stays hidden the next time.
    QMenu menu(this);
    for (int c = 0; c < m_grid->columnCount(); ++c) {
        QAction *column = menu.addAction(m_grid->horizontalHeaderItem(c)->text());
        column->setCheckable(true);
        column->setChecked(!m_grid->isColumnHidden(c));
        connect(column, &QAction::toggled, this, [this, c](bool shown) {
            m_grid->setColumnHidden(c, !shown);
            QStringList hidden;
            for (int i = 0; i < m_grid->columnCount(); ++i) {
                if (m_grid->isColumnHidden(i))
                    hidden << m_grid->horizontalHeaderItem(i)->text();
            }
            m_platform.setSetting(HiddenKey, hidden);
        });
    }
    menu.exec(m_grid->horizontalHeader()->mapToGlobal(at));
}
