#include "ui/library/draftsdialog.h"

#include "core/app/draftsboard.h"
#include "core/document/session.h"
#include "core/library/commentlibrary.h"
#include "core/library/librarylocation.h"
#include "core/platform/platform.h"
#include "core/printing/schemestore.h"
#include "ui/library/classsettingsbar.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString Title = QStringLiteral("评价表");
const QString HiddenKey = QStringLiteral("drafts/hiddenColumns");
const QString ImportFilter = QStringLiteral("电子表格|*.csv;*.xlsx;*.xls;*.ods|所有文件|*.*");
const QString ExistingQuestion = QStringLiteral("有 %1 名学生已经写了评语。对这些学生：");
const QString HintText = QStringLiteral("按 1、2、3 评为优秀、良好、后进，按 0 或 Delete 清除；单击行或列的标题可一次评定整行或整列；"
                                        "Ctrl+V 粘贴电子表格中复制的评价；Ctrl+Z 撤消；右键单击类别标题可隐藏类别或设为必写。");
const QString RequiredItem = QStringLiteral("必写");
const QString UndoTip = QStringLiteral("撤消“%1”（Ctrl+Z）");
// What a screen reader says for the grid and the frame of the preview.
const QString GridName = QStringLiteral("全班学生的评价：每行一名学生，每列一个类别");
const QString PreviewAreaName = QStringLiteral("草稿预览");
const QString RepeatsName = QStringLiteral("全班草稿中重复的句子");

} // namespace

DraftsDialog::DraftsDialog(Session &session, Platform &platform, QWidget *parent)
    : QDialog(parent)
    , m_session(session)
    , m_platform(platform)
    , m_board(new DraftsBoard(session, this))
{
    setObjectName(QStringLiteral("draftsdialog"));
    setWindowTitle(Title);
    // The grid holds the roster as it was opened: nothing else changes the class meanwhile.
    setModal(true);
    RatingsModel &ratings = m_board->ratings();
    // Made first, so that Tab goes from the class's settings to the grid and on to the preview.
    m_settings = new ClassSettingsBar(ratings, this);
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("ratings"));
    m_grid->setAccessibleName(GridName);
    m_grid->setAccessibleDescription(HintText);
    m_grid->setModel(&ratings);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the grid for the preview and the buttons, as everywhere else; the arrows and
    // Enter move from cell to cell.
    m_grid->setTabKeyNavigation(false);
    m_grid->installEventFilter(this);
    m_grid->horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid->horizontalHeader(), &QHeaderView::customContextMenuRequested, this,
            &DraftsDialog::showHeaderMenu);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        currentMoved();
        refreshPreview();
    });
    connect(&ratings, &RatingsModel::columnHiddenChanged, m_grid, &QTableView::setColumnHidden);
    connect(&ratings, &RatingsModel::currentRequested, this,
            [this](const QModelIndex &at) { goTo(at.row(), at.column()); });
    connect(m_board, &DraftsBoard::draftsChanged, this, &DraftsDialog::refreshPreview);
    // "（必写）" widens a heading; the column follows.
    connect(&ratings, &RatingsModel::headerDataChanged, m_grid, [this](Qt::Orientation, int first, int last) {
        for (int c = first; c <= last; ++c)
            m_grid->resizeColumnToContents(c);
    });

    // The preview is text a screen reader reads, reached by Tab like the buttons.
    m_preview = new QLabel(this);
    m_preview->setObjectName(QStringLiteral("draftPreview"));
    m_preview->setWordWrap(true);
    m_preview->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_preview->setFocusPolicy(Qt::TabFocus);
    m_preview->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_repeats = new QLabel(this);
    m_repeats->setObjectName(QStringLiteral("repeats"));
    m_repeats->setAccessibleName(RepeatsName);
    m_repeats->setWordWrap(true);
    m_repeats->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_repeats->setFocusPolicy(Qt::TabFocus);
    m_repeats->setAlignment(Qt::AlignTop | Qt::AlignLeft);

    auto *buttons = new QDialogButtonBox(this);
    const auto button = [&](const char *name, const QString &text, QDialogButtonBox::ButtonRole role) {
        QPushButton *b = buttons->addButton(text, role);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        // A click leaves the keys with the grid; Tab still reaches the button.
        b->setFocusPolicy(Qt::TabFocus);
        return b;
    };
    QUndoStack *undo = ratings.undoStack();
    connect(button("import", QStringLiteral("导入(&I)..."), QDialogButtonBox::ActionRole), &QPushButton::clicked,
            this, &DraftsDialog::importFile);
    m_undoButton = button("undoRatings", QStringLiteral("撤消(&U)"), QDialogButtonBox::ActionRole);
    m_undoButton->setEnabled(false);
    connect(m_undoButton, &QPushButton::clicked, undo, &QUndoStack::undo);
    connect(undo, &QUndoStack::canUndoChanged, m_undoButton, &QPushButton::setEnabled);
    connect(undo, &QUndoStack::undoTextChanged, m_undoButton,
            [this](const QString &step) { m_undoButton->setToolTip(step.isEmpty() ? QString() : UndoTip.arg(step)); });
    connect(button("redraw", QStringLiteral("换一句(&R)"), QDialogButtonBox::ActionRole), &QPushButton::clicked,
            this, &DraftsDialog::redrawCurrent);
    connect(button("generate", QStringLiteral("生成(&G)"), QDialogButtonBox::AcceptRole), &QPushButton::clicked,
            this, &DraftsDialog::apply);
    connect(button("close", QStringLiteral("关闭(&C)"), QDialogButtonBox::RejectRole), &QPushButton::clicked,
            this, &QDialog::reject);

    // The draft is shown whole (fitPreview sizes it); only one longer than half the window
    // scrolls. The grid scrolls in the rest. The frame itself takes no focus: the text does.
    m_previewArea = new QScrollArea(this);
    m_previewArea->setObjectName(QStringLiteral("draftPreviewArea"));
    m_previewArea->setAccessibleName(PreviewAreaName);
    m_previewArea->setFocusPolicy(Qt::NoFocus);
    // The draft, then what the class's drafts share, read together.
    auto *previewText = new QWidget(this);
    auto *previewLayout = new QVBoxLayout(previewText);
    previewLayout->setContentsMargins(0, 0, 0, 0);
    previewLayout->addWidget(m_preview);
    previewLayout->addWidget(m_repeats);
    previewLayout->addStretch(1);
    m_previewArea->setWidget(previewText);
    m_previewArea->setWidgetResizable(true);
    m_previewArea->setFrameShape(QFrame::NoFrame);
    m_previewArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_previewArea->viewport()->installEventFilter(this);
    auto *hint = new QLabel(HintText, this);
    hint->setWordWrap(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addWidget(m_settings);
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
        CommentLibrary(LibraryLocation(m_platform, m_session.Files().library()).path()).entries();
    const CommentDocument &document = m_session.Document();
    auto drafter = std::make_unique<ClassDrafts::Drafter>(
        entries ? Drafts::fromEntries(*entries) : Drafts::Library(), SchemeStore(m_session).activeOrNone(),
        document.ItemFonts[std::size_t(Item::CommentText)]);
    const QStringList hidden = m_platform.setting(HiddenKey).toStringList();
    m_board->reload(std::move(drafter), hidden);
    const RatingsModel &ratings = m_board->ratings();
    for (int c = 0; c < ratings.columnCount(); ++c) {
        m_grid->setColumnHidden(c, ratings.isColumnHidden(c));
        if (ratings.isRequired(c))
            m_grid->resizeColumnToContents(c);
    }
    // The keys go to the first student's first shown category.
    goTo(0, ratings.visibleColumnsFrom(0).value(0, 0));
    m_grid->setFocus();
    refreshPreview();
}

void DraftsDialog::goTo(int row, int column)
{
    const QModelIndex at = m_board->ratings().index(row, column);
    if (at.isValid())
        m_grid->selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect);
}

void DraftsDialog::setSelected(int grade)
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
    RatingsModel &ratings = m_board->ratings();
    ratings.setGrades(cells, Rating(grade), current);
    // One cell set: on to the next visible one, along the row and then down.
    if (cells.size() == 1) {
        int r = current.row();
        int c = current.column();
        do {
            if (++c >= ratings.columnCount()) {
                c = 0;
                ++r;
            }
        } while (r < ratings.rowCount() && ratings.isColumnHidden(c));
        if (r < ratings.rowCount())
            goTo(r, c);
    }
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

void DraftsDialog::refreshPreview()
{
    m_preview->setText(m_board->previewText(m_grid->currentIndex().row()));
    m_repeats->setText(m_board->repeatReport());
    fitPreview();
}

void DraftsDialog::fitPreview()
{
    const int width = m_previewArea->viewport()->width();
    QWidget *text = m_previewArea->widget();
    int needed = text->heightForWidth(width);
    if (needed < 0)
        needed = text->sizeHint().height();
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
    m_board->redraw(m_grid->currentIndex().row());
}

void DraftsDialog::pasteRatings()
{
    const QModelIndex current = m_grid->currentIndex();
    if (const QString refused = m_board->ratings().paste(m_platform.clipboardText(), current.row(), current.column());
        !refused.isEmpty())
        m_platform.messageBox(refused, Platform::NoticeTitle, MsgIcon::Exclamation, MsgButtons::Ok);
}

void DraftsDialog::importFile()
{
    const QString path = m_platform.openFileName(ImportFilter);
    if (path.isEmpty())
        return;
    const Result<RatingsReport::Message> told = m_board->ratings().importFile(path);
    if (!told) {
        m_platform.messageBox(told.error(), Platform::NoticeTitle, MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    m_platform.messageBox(told->text, Platform::NoticeTitle, told->warning ? MsgIcon::Exclamation : MsgIcon::Information,
                          MsgButtons::Ok);
}

bool DraftsDialog::apply()
{
    auto existing = ClassDrafts::Existing::Skip;
    if (const int written = m_board->withComment(); written > 0) {
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
    m_board->apply(existing);
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
    if (const Result<void> kept = m_board->keepRatings(); !kept)
        m_platform.messageBox(kept.error(), Platform::NoticeTitle, MsgIcon::Critical, MsgButtons::Ok);
}

bool DraftsDialog::eventFilter(QObject *watched, QEvent *event)
{
    // The preview's width is known only once the layout has placed it: its height follows.
    if (watched == m_previewArea->viewport() && event->type() == QEvent::Resize &&
        static_cast<QResizeEvent *>(event)->size().width() != static_cast<QResizeEvent *>(event)->oldSize().width())
        fitPreview();
    if (watched != m_grid || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    QUndoStack *undo = m_board->ratings().undoStack();
    if (key->matches(QKeySequence::Paste)) {
        pasteRatings();
        return true;
    }
    if (key->matches(QKeySequence::Undo)) {
        undo->undo();
        return true;
    }
    // Ctrl+Y as on every desktop, and the platform's own redo key.
    if (key->matches(QKeySequence::Redo) ||
        (key->key() == Qt::Key_Y && (key->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier)) {
        undo->redo();
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
        const int row = m_grid->currentIndex().row() + ((key->modifiers() & Qt::ShiftModifier) ? -1 : 1);
        if (row >= 0 && row < m_board->ratings().rowCount())
            goTo(row, std::max(m_grid->currentIndex().column(), 0));
        return true;
    }
    case Qt::Key_1:
        setSelected(int(Rating::Excellent));
        return true;
    case Qt::Key_2:
        setSelected(int(Rating::Good));
        return true;
    case Qt::Key_3:
        setSelected(int(Rating::Lagging));
        return true;
    case Qt::Key_0:
    case Qt::Key_Delete:
        setSelected(int(Rating::None));
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
    RatingsModel &ratings = m_board->ratings();
    QMenu menu(this);
    for (int c = 0; c < ratings.columnCount(); ++c) {
        QAction *column = menu.addAction(ratings.column(c).category);
        column->setCheckable(true);
        column->setChecked(!ratings.isColumnHidden(c));
        connect(column, &QAction::toggled, this, [this, c](bool shown) {
            m_board->ratings().setColumnHidden(c, !shown);
            const QStringList hidden = m_board->ratings().hiddenCategories();
            m_platform.setSetting(HiddenKey, hidden);
        });
    }
    // The column clicked may be marked 必写: its sentence is in every draft.
    if (const int clicked = m_grid->horizontalHeader()->logicalIndexAt(at); clicked >= 0) {
        menu.addSeparator();
        QAction *required = menu.addAction(RequiredItem);
        required->setCheckable(true);
        required->setChecked(ratings.isRequired(clicked));
        connect(required, &QAction::toggled, this,
                [this, clicked](bool on) { m_board->ratings().setRequired(clicked, on); });
    }
    menu.exec(m_grid->horizontalHeader()->mapToGlobal(at));
}
