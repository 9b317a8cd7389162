#include "ui/library/draftsdialog.h"

#include "core/document/roster.h"
#include "core/document/session.h"
#include "core/library/commentlibrary.h"
#include "core/platform/platform.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSet>
#include <QSettings>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QString Title = QStringLiteral("评价表");
const QString HiddenKey = QStringLiteral("drafts/hiddenColumns");
const QString ImportFilter = QStringLiteral("电子表格|*.csv;*.xlsx;*.xls;*.ods|所有文件|*.*");
const QString ExistingQuestion = QStringLiteral("有 %1 名学生已经写了评语。对这些学生：");
const quint32 Seed = 1;
const QString StepName = QStringLiteral("生成草稿");
const QString HintText = QStringLiteral("按 1、2、3 评为优秀、良好、后进，按 0 或 Delete 清除；单击行或列的标题可一次评定整行或整列；"
                                        "Ctrl+V 粘贴电子表格中复制的评价；右键单击类别标题可隐藏类别。");

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
    connect(m_grid, &QTableWidget::currentCellChanged, this, [this] { refreshPreview(); });
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
        return b;
    };
    connect(button("import", QStringLiteral("导入..."), QDialogButtonBox::ActionRole), &QPushButton::clicked,
            this, &DraftsDialog::importFile);
    connect(button("redraw", QStringLiteral("换一句"), QDialogButtonBox::ActionRole), &QPushButton::clicked,
            this, &DraftsDialog::redrawCurrent);
    connect(button("generate", QStringLiteral("生成"), QDialogButtonBox::AcceptRole), &QPushButton::clicked,
            this, &DraftsDialog::apply);
    connect(button("close", QStringLiteral("关闭"), QDialogButtonBox::RejectRole), &QPushButton::clicked,
            this, &QDialog::reject);

    // A long draft scrolls in its own few lines instead of squeezing the grid.
    auto *previewArea = new QScrollArea(this);
    previewArea->setWidget(m_preview);
    previewArea->setWidgetResizable(true);
    previewArea->setFrameShape(QFrame::NoFrame);
    previewArea->setFixedHeight(fontMetrics().lineSpacing() * 6 + 8);
    auto *hint = new QLabel(HintText, this);
    hint->setWordWrap(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addWidget(m_grid, 1);
    layout->addWidget(previewArea);
    layout->addWidget(buttons);
    // Wide enough for the usual categories side by side, within the screen.
    const QRect screen = parent ? parent->screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    resize(qMin(screen.width() * 9 / 10, 1100), qMin(screen.height() * 8 / 10, 680));
}

DraftsDialog::~DraftsDialog() = default;

void DraftsDialog::reload()
{
    const Result<QList<CommentLibrary::Entry>> entries =
        CommentLibrary(m_session.ProgramFolder() + CommentLibrary::FileName).entries();
    const CommentDocument &document = m_session.Document();
    m_drafter = std::make_unique<ClassDrafts::Drafter>(
        entries ? Drafts::fromEntries(*entries) : Drafts::Library(), m_session.ProgramFolder(),
        document.ItemFonts[std::size_t(Item::CommentText)]);
    const QStringList categories = m_drafter->library().categories;
    const QStringList names = Roster::names(document);
    m_grid->clear();
    m_grid->setColumnCount(int(categories.size()));
    m_grid->setRowCount(int(names.size()));
    m_grid->setHorizontalHeaderLabels(categories);
    m_grid->setVerticalHeaderLabels(names);
    const QStringList hidden = QSettings().value(HiddenKey).toStringList();
    const RatingsFile::Table &kept = m_session.Ratings();
    for (int c = 0; c < categories.size(); ++c) {
        m_grid->setColumnHidden(c, hidden.contains(categories[c]));
        const qsizetype from = kept.categories.indexOf(categories[c]);
        for (int r = 0; r < names.size(); ++r) {
            auto *item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignCenter);
            m_grid->setItem(r, c, item);
            setCell(r, c, from < 0 ? Grade::None : kept.grades.value(r).value(from, Grade::None));
        }
    }
    m_redrawn.clear();
    m_grid->setCurrentCell(0, 0);
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
        QList<Grade> grades;
        for (int c = 0; c < m_grid->columnCount(); ++c)
            grades << Grade(m_grid->item(r, c)->data(Qt::UserRole).toInt());
        table.grades << grades;
    }
    return table;
}

void DraftsDialog::setCell(int row, int column, Grade grade)
{
    if (QTableWidgetItem *item = m_grid->item(row, column)) {
        item->setData(Qt::UserRole, int(grade));
        item->setText(RatingsFile::valueText(grade));
    }
}

void DraftsDialog::setSelected(Grade grade)
{
    const QList<QTableWidgetItem *> items = m_grid->selectedItems();
    QSet<int> rows;
    for (QTableWidgetItem *item : items) {
        if (m_grid->isColumnHidden(item->column()))
            continue;
        setCell(item->row(), item->column(), grade);
        rows.insert(item->row());
    }
    for (const int row : rows)
        m_redrawn.remove(row);
    // One cell set: on to the next visible one, along the row and then down.
    if (items.size() == 1) {
        int r = items[0]->row();
        int c = items[0]->column();
        do {
            if (++c >= m_grid->columnCount()) {
                c = 0;
                ++r;
            }
        } while (r < m_grid->rowCount() && m_grid->isColumnHidden(c));
        if (r < m_grid->rowCount())
            m_grid->setCurrentCell(r, c);
    }
    ratingsEdited(-1);
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
        return;
    }
    // Only the shown draft is measured against the paper.
    const Drafts::Draft draft = m_drafter->fitted(m_drafts[row]);
    QString text = QStringLiteral("%1：%2").arg(m_grid->verticalHeaderItem(row)->text(), draft.text);
    if (!draft.dropped.isEmpty())
        text += QStringLiteral("\n为适合纸张，略去了：") + draft.dropped.join(QStringLiteral("、"));
    m_preview->setText(text);
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
    const int top = std::max(m_grid->currentRow(), 0);
    const int left = std::max(m_grid->currentColumn(), 0);
    QStringList unknown;
    QStringList lines = m_platform.clipboardText().split(u'\n');
    if (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    for (int i = 0; i < lines.size(); ++i) {
        const QStringList cells = lines[i].split(u'\t');
        for (int j = 0; j < cells.size(); ++j) {
            const QString value = cells[j].trimmed();
            const std::optional<Grade> grade = RatingsFile::parseValue(value);
            if (!grade)
                unknown << value;
            else if (top + i < m_grid->rowCount() && left + j < m_grid->columnCount())
                setCell(top + i, left + j, *grade);
        }
        m_redrawn.remove(top + i);
    }
    ratingsEdited(-1);
    if (!unknown.isEmpty())
        m_platform.messageBox(QStringLiteral("以下内容不是评价（可用：优秀、良好、后进，或 A/B/C/D 等），未粘贴：\n")
                                  + unknown.join(QStringLiteral("、")),
                              Platform::NoticeTitle, MsgIcon::Exclamation, MsgButtons::Ok);
}

void DraftsDialog::importFile()
{
    const QString path = m_platform.openFileName(ImportFilter);
    if (path.isEmpty())
        return;
    RatingsFile::Problems problems;
    const RatingsFile::Table current = table();
    const Result<RatingsFile::Table> read =
        RatingsFile::readFile(path, current.names, current.categories, &problems);
    if (!read) {
        m_platform.messageBox(read.error(), Platform::NoticeTitle, MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    for (int r = 0; r < read->names.size(); ++r) {
        for (int c = 0; c < read->categories.size(); ++c)
            setCell(r, c, read->grades[r][c]);
    }
    m_redrawn.clear();
    ratingsEdited(-1);
    if (const QStringList lines = RatingsFile::problemLines(problems); !lines.isEmpty())
        m_platform.messageBox(QStringLiteral("文件“%1”中有些内容没有读入：\n").arg(path) + lines.join(u'\n'),
                              Platform::NoticeTitle, MsgIcon::Exclamation, MsgButtons::Ok);
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
        if (const Result<void> written = RatingsFile::write(path, m_session.Ratings()); !written)
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
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    switch (key->key()) {
    case Qt::Key_1:
        setSelected(Grade::Excellent);
        return true;
    case Qt::Key_2:
        setSelected(Grade::Good);
        return true;
    case Qt::Key_3:
        setSelected(Grade::Lagging);
        return true;
    case Qt::Key_0:
    case Qt::Key_Delete:
        setSelected(Grade::None);
        return true;
    default:
        return false;
    }
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
            QSettings().setValue(HiddenKey, hidden);
        });
    }
    menu.exec(m_grid->horizontalHeader()->mapToGlobal(at));
}
