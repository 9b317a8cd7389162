#include "ui/library/pytools.h"

#include "core/document/session.h"
#include "core/library/drafts.h"
#include "core/library/messages.h"
#include "core/library/stockcomment.h"
#include "core/platform/platform.h"
#include "core/platform/twips.h"
#include "ui/editor/pyedit.h"
#include "ui/library/wrappedrowdelegate.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyleFactory>
#include <QStyleOptionGroupBox>
#include <QTextCursor>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>

namespace {

// Design geometry in twips, relative to the control's container.
using Twips::Box;
constexpr Box CategoryFrameBox{120, 120, 2655, 2415};
constexpr Box CategoryListBox{120, 240, 2415, 2040};
constexpr Box CommentFrameBox{2880, 120, 4815, 2415};
constexpr Box OptionBoxes[3] = {{110, 600, 735, 375}, {110, 1080, 735, 375}, {110, 1560, 735, 375}};
constexpr Box CommentListBox{840, 240, 3855, 2040};
constexpr int SearchHeight = 330; // the search box, above the list, which gives up its height
constexpr int SearchGap = 60;
/// A search shows at most this many stock comments.
constexpr qsizetype SearchLimit = 200;
constexpr Box PanelBox{720, 2760, 6375, 1335};
constexpr Box PanelTextBox{120, 360, 6015, 375};
constexpr Box SaveButtonBox{1440, 840, 1455, 375};
constexpr Box CancelButtonBox{3480, 840, 1455, 375};

constexpr int RightMargin = 300;        // between the comment frame and the window's right edge
constexpr int CommentListInset = 1000;  // the comment frame's width less the list's
constexpr int MinimumFrameWidth = 1200; // a narrow window keeps the comment frame usable
constexpr int MinimumListWidth = 200;
constexpr int BlinkInterval = 500; // ms
constexpr int WatchInterval = 3000; // ms: how soon another teacher's change shows

const QColor PanelCaptionRed(255, 0, 0);

const char *const RatingCaptions[3] = {"优秀", "良好", "后进"};

// Fusion makes a group box title as wide as the ink of its text, so a caption ending in
// full-width punctuation ("。", "）") loses its last character. The panel's title gets the
// text's full advance instead.
class PanelTitleStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl sub,
                         const QWidget *widget) const override
    {
        QRect rect = QProxyStyle::subControlRect(control, option, sub, widget);
        if (control == CC_GroupBox && sub == SC_GroupBoxLabel) {
            if (const auto *box = qstyleoption_cast<const QStyleOptionGroupBox *>(option))
                rect.setWidth(std::max(rect.width(), option->fontMetrics.horizontalAdvance(box->text) + 2));
        }
        return rect;
    }
};

} // namespace

pytools::pytools(Session &session, Platform &platform, std::function<pyedit *()> editor, QWidget *parent)
    : QWidget(parent)
    , m_session(session)
    , m_platform(platform)
    , m_editor(std::move(editor))
{
    setObjectName(QStringLiteral("pytools"));
    setWindowTitle(QStringLiteral("评语资源库"));

    m_pylb = new QGroupBox(QStringLiteral("评语类别"), this);
    m_pylb->setObjectName(QStringLiteral("pylb"));
    m_lblb = new QListWidget(m_pylb);
    m_lblb->setObjectName(QStringLiteral("lblb"));
    m_lblb->setToolTip(QStringLiteral("单击类别可以查看详细内容"));
    m_lblb->setAccessibleName(m_pylb->title());

    m_xxnr = new QGroupBox(QStringLiteral("详细内容"), this);
    m_xxnr->setObjectName(QStringLiteral("xxnr"));
    auto *ratings = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        m_options[i] = new QRadioButton(QString::fromUtf8(RatingCaptions[i]), m_xxnr);
        m_options[i]->setObjectName(QStringLiteral("Option%1").arg(i + 1));
        ratings->addButton(m_options[i], i);
    }
    m_options[0]->setChecked(true);
    m_lbnr = new QListWidget(m_xxnr);
    m_lbnr->setObjectName(QStringLiteral("lbnr"));
    m_lbnr->setToolTip(QStringLiteral("双击即可将评语添加到编辑窗口"));
    m_lbnr->setAccessibleName(m_xxnr->title());

    m_frame = new QGroupBox(this);
    m_frame->setObjectName(QStringLiteral("Frame1"));
    m_frame->setGeometry(px(PanelBox.left), px(PanelBox.top), px(PanelBox.width), px(PanelBox.height));
    auto *titleStyle = new PanelTitleStyle(QStyleFactory::create(QApplication::style()->name()));
    titleStyle->setParent(m_frame);
    m_frame->setStyle(titleStyle);
    m_frame->setAutoFillBackground(true); // the panel covers the lists under it
    m_frame->hide();
    m_text = new QLineEdit(m_frame);
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setAccessibleName(QStringLiteral("内容"));
    m_save = new QPushButton(QStringLiteral("保存"), m_frame);
    m_save->setObjectName(QStringLiteral("Command1"));
    m_cancel = new QPushButton(QStringLiteral("取消"), m_frame);
    m_cancel->setObjectName(QStringLiteral("Command2"));
    setCaptionColour(PanelCaptionRed);

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(BlinkInterval);
    connect(m_timer, &QTimer::timeout, this, &pytools::blink);
    m_timer->start();

    // The category list fills the comment list whenever its selection moves (click, keys or
    // code); a click on the entry already selected is handled in the press filter.
    connect(m_lblb, &QListWidget::currentRowChanged, this, [this] { fillComments(); });
    connect(ratings, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on)
            fillComments();
    });
    connect(m_lbnr, &QListWidget::itemDoubleClicked, this, [this] { insertStockComment(); });

    // The search finds stock comments in every category and rating as the teacher types; a
    // double-click (or Enter) on one inserts it as a double-click in the list does.
    m_search = new QLineEdit(m_xxnr);
    m_search->setObjectName(QStringLiteral("searchBox"));
    m_search->setPlaceholderText(QStringLiteral("搜索评语库"));
    m_search->setAccessibleName(m_search->placeholderText());
    m_search->setClearButtonEnabled(true);
    m_results = new QTreeWidget(m_xxnr);
    m_results->setObjectName(QStringLiteral("searchResults"));
    m_results->setAccessibleName(QStringLiteral("搜索结果"));
    m_results->setHeaderLabels({QStringLiteral("评语"), QStringLiteral("类别")});
    m_results->setRootIsDecorated(false);
    // The comment takes the width and wraps onto as many lines as it needs; the category
    // (with its rating) is a narrow column beside it.
    m_results->setWordWrap(true);
    m_results->setUniformRowHeights(false);
    m_results->setItemDelegate(new WrappedRowDelegate(m_results));
    m_results->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QHeaderView *header = m_results->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    header->setSectionResizeMode(1, QHeaderView::Fixed);
    header->resizeSection(1, m_results->fontMetrics().horizontalAdvance(QStringLiteral("汉")) * 7);
    // Rows are as tall as their wrapped comment at the column's present width.
    connect(header, &QHeaderView::sectionResized, m_results, [this](int column) {
        if (column == 0)
            m_results->doItemsLayout();
    });
    m_results->hide();
    connect(m_search, &QLineEdit::textChanged, this, &pytools::search);
    connect(m_results, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem *item) { insertComment(item->data(0, Qt::UserRole).toString()); });
    connect(m_save, &QPushButton::clicked, this, &pytools::saveRequested);
    connect(m_cancel, &QPushButton::clicked, this, &pytools::Command2Click);
    m_lblb->viewport()->installEventFilter(this);
    m_lbnr->viewport()->installEventFilter(this);
    m_frame->installEventFilter(this);
    m_search->installEventFilter(this);
    m_lbnr->installEventFilter(this);
    // Top to bottom as the window shows them: categories, ratings, search, stock comments.
    setTabOrder(m_lblb, m_options[0]);
    setTabOrder(m_options[0], m_search);
    setTabOrder(m_search, m_results);
    setTabOrder(m_results, m_lbnr);

    // A shared library is changed by other teachers: look at its file every few seconds and
    // whenever the teacher comes back to this window.
    m_watchTimer = new QTimer(this);
    m_watchTimer->setObjectName(QStringLiteral("libraryWatchTimer"));
    m_watchTimer->setInterval(WatchInterval);
    connect(m_watchTimer, &QTimer::timeout, this, &pytools::reloadIfChanged);
    m_watchTimer->start();
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        if (now && isAncestorOf(now) && !(old && isAncestorOf(old)))
            reloadIfChanged();
    });

    placeControls();
    load();
}

int pytools::px(double twips) const
{
    return Twips::toPixels(twips, logicalDpiY());
}

void pytools::load()
{
    LibraryLocation place = location();
    // Another library that cannot be reached (a shared folder not connected) is said, with
    // the teacher's own offered instead.
    if (!place.isOwn()) {
        if (const QString reason = place.unreachableReason(); !reason.isEmpty()) {
            const QString question = reason + QStringLiteral("\n\n要改用您自己的评语库吗？");
            if (m_platform.messageBox(question, Platform::NoticeTitle, MsgIcon::Exclamation, MsgButtons::YesNo) ==
                MsgAnswer::Yes)
                place.choose(QString());
        }
    }
    // The title names a library other than the teacher's own; its tip gives the file's place.
    setWindowTitle(place.isOwn() ? QStringLiteral("评语资源库") : QStringLiteral("评语资源库 - %1").arg(place.name()));
    m_pylb->setToolTip(place.isOwn() ? QString() : QDir::toNativeSeparators(place.path()));
    m_watch.setPath(place.path()); // what is read below is what has been seen
    {
        // Filling happens once, below, not for every intermediate row.
        const QSignalBlocker blocker(m_lblb);
        m_lblb->clear();
        m_lbnr->clear();
        const Result<QStringList> names = library().categoryNames();
        if (reportFailure(m_platform, names)) {
            m_lblb->addItems(*names);
            if (m_lblb->count() > 0)
                m_lblb->setCurrentRow(0);
        }
    }
    if (m_lblb->count() > 0)
        fillComments();
    m_entries.reset(); // the library may have changed
    if (!m_search->text().isEmpty())
        search(m_search->text());
    m_frame->hide();
    m_mode = PanelMode::None;
    endDrag();
}

void pytools::fillComments()
{
    m_lbnr->clear();
    const QString category = CommentLibrary::trimBlanks(selectedCategory());
    if (selectedCategoryIndex() < 0)
        return;
    const Result<QStringList> comments = library().comments(category, rating());
    if (!reportFailure(m_platform, comments))
        return;
    m_lbnr->addItems(*comments);
    for (int i = 0; i < m_lbnr->count(); ++i)
        m_lbnr->item(i)->setToolTip(marksTip(m_lbnr->item(i)->text()));
    if (m_lbnr->count() > 0)
        m_lbnr->setCurrentRow(0);
}

void pytools::search(const QString &query)
{
    const bool searching = !query.trimmed().isEmpty();
    m_results->setVisible(searching);
    m_lbnr->setVisible(!searching);
    if (!searching)
        return;
    if (!m_entries) {
        // Read once for a run of keystrokes; a change of the library reads it again. A library
        // that cannot be read is told once, not at every keystroke: it finds nothing.
        const Result<QList<CommentLibrary::Entry>> entries = library().entries();
        m_entries = entries.valueOr({});
        if (!reportFailure(m_platform, entries))
            return;
    }
    m_results->clear();
    QList<QTreeWidgetItem *> rows;
    for (const CommentLibrary::Entry &entry : CommentLibrary::search(*m_entries, query, SearchLimit)) {
        auto *row =
            new QTreeWidgetItem({entry.text, entry.category + QStringLiteral(" · ") +
                                                 QString::fromUtf8(RatingCaptions[int(entry.rating)])});
        row->setData(0, Qt::UserRole, entry.text);
        row->setToolTip(0, marksTip(entry.text).isEmpty() ? entry.text : entry.text + u'\n' + marksTip(entry.text));
        row->setToolTip(1, row->text(1));
        rows << row;
    }
    m_results->addTopLevelItems(rows);
}

Rating pytools::rating() const
{
    if (m_options[1]->isChecked())
        return Rating::Good;
    if (m_options[2]->isChecked())
        return Rating::Lagging;
    return Rating::Excellent;
}

void pytools::setRating(Rating rating)
{
    m_options[int(rating)]->setChecked(true);
}

QString pytools::selectedCategory() const
{
    const QListWidgetItem *item = m_lblb->currentItem();
    return item ? item->text() : QString();
}

int pytools::selectedCategoryIndex() const
{
    return m_lblb->currentRow();
}

QString pytools::selectedComment() const
{
    const QListWidgetItem *item = m_lbnr->currentItem();
    return item ? item->text() : QString();
}

int pytools::selectedCommentIndex() const
{
    return m_lbnr->currentRow();
}

QString pytools::panelCaption(PanelMode mode)
{
    switch (mode) {
    case PanelMode::AddCategory:
        return QStringLiteral("添加类别：请输入类别，然后单击“保存”。");
    case PanelMode::EditCategory:
        return QStringLiteral("编辑类别：请输入该类别的新名字，然后单击“保存”。");
    case PanelMode::AddComment:
        return QStringLiteral("添加内容：请输入新内容，然后单击“保存”。（一次只能添加一条评语）");
    case PanelMode::EditComment:
        return QStringLiteral("编辑内容：请修改该评语的内容，然后单击“保存”。");
    case PanelMode::None:
        break;
    }
    return QString();
}

void pytools::openPanel(PanelMode mode, const QString &text)
{
    m_mode = mode;
    m_frame->setTitle(panelCaption(mode));
    // Read as what is typed: "添加类别", "编辑内容", ...
    m_text->setAccessibleName(m_frame->title().section(u'：', 0, 0));
    const bool editing = mode == PanelMode::EditCategory || mode == PanelMode::EditComment;
    m_frame->move(px(editing ? 1500 : 500), px(500));
    placePanel();
    m_frame->show();
    m_frame->raise();
    m_text->setText(text);
    m_text->setFocus(Qt::OtherFocusReason);
    m_text->setCursorPosition(int(m_text->text().size()));
}

void pytools::Command2Click()
{
    m_frame->hide();
    endDrag();
}

void pytools::insertStockComment()
{
    insertAtCaret(selectedCommentIndex() < 0 ? std::nullopt : std::optional<QString>(selectedComment()));
}

void pytools::insertComment(const QString &comment)
{
    insertAtCaret(comment);
}

void pytools::insertAtCaret(const std::optional<QString> &chosen)
{
    // Where to put it comes first: without a comment box the teacher is told, chosen or not.
    pyedit *editor = m_editor ? m_editor() : nullptr;
    QPlainTextEdit *box =
        editor && m_session.CurrentStudent() >= 0 ? editor->pytext1(m_session.CurrentStudent()) : nullptr;
    if (!box) {
        m_platform.messageBox(LibraryMessages::PlaceMessage, Platform::NoticeTitle, MsgIcon::Question,
                              MsgButtons::Ok);
        return;
    }
    if (!chosen)
        return;
    // {姓名} and {名} become the student's own name and the marks stay in the library: neither
    // a placeholder nor a mark ever reaches a comment.
    const QString comment = Drafts::fillPlaceholders(StockComment::stripMarks(*chosen),
                                                     m_session.Document().slot(m_session.CurrentStudent() + 1).name);
    m_session.markModified();

    QTextCursor cursor = box->textCursor();
    int p = cursor.selectionStart();
    cursor.beginEditBlock();
    if (box->document()->isEmpty()) {
        // A new comment starts indented like a paragraph.
        cursor.insertText(Drafts::ParagraphIndent);
        p += int(Drafts::ParagraphIndent.size());
    }
    cursor.removeSelectedText();
    cursor.setPosition(p);
    cursor.insertText(comment);
    cursor.endEditBlock();

    editor->activateWindow();
    box->setFocus(Qt::OtherFocusReason);
    cursor.setPosition(p + int(comment.size()));
    box->setTextCursor(cursor);
}

void pytools::tellFailure(Platform &platform, const Failure &failure)
{
    // A comment another teacher changed or deleted meanwhile is no failed save: nothing was
    // written, and the core's text says so.
    if (failure.kind == FailureKind::NotFound) {
        platform.messageBox(failure.error, Platform::NoticeTitle, MsgIcon::Exclamation, MsgButtons::Ok);
        return;
    }
    // A library that cannot be read is damaged as far as the teacher can tell; a failed write
    // says why, as every failed save does.
    const QString message = failure.kind == FailureKind::Unreadable
                                ? LibraryMessages::CorruptMessage
                                : LibraryMessages::SaveFailedMessage + failure.error;
    platform.messageBox(message, Platform::NoticeTitle, MsgIcon::Critical, MsgButtons::Ok);
}

QColor pytools::captionColour() const
{
    return m_frame->palette().color(QPalette::WindowText);
}

// The group box draws its title in WindowText; the panel's line edit and buttons draw with
// Text and ButtonText, so they keep their usual colours.
void pytools::setCaptionColour(const QColor &colour)
{
    QPalette palette = m_frame->palette();
    palette.setColor(QPalette::WindowText, colour);
    m_frame->setPalette(palette);
}

void pytools::blink()
{
    if (captionColour() == PanelCaptionRed)
        setCaptionColour(QApplication::palette(m_frame).color(QPalette::ButtonText));
    else
        setCaptionColour(PanelCaptionRed);
}

void pytools::endDrag()
{
    if (!m_grabbing)
        return;
    m_grabbing = false;
    qApp->removeEventFilter(this);
}

bool pytools::eventFilter(QObject *watched, QEvent *event)
{
    // The library is read as the search box gets the keyboard, so that no keystroke waits for it.
    if (watched == m_search && event->type() == QEvent::FocusIn && !m_entries) {
        if (const Result<QList<CommentLibrary::Entry>> entries = library().entries())
            m_entries = *entries;
    }
    const QEvent::Type type = event->type();
    // Enter on a stock comment inserts it, as a double-click does.
    if (watched == m_lbnr && type == QEvent::KeyPress && m_lbnr->currentItem()) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            insertStockComment();
            return true;
        }
    }

    // While the panel is dragged every mouse move moves it, whichever control is under the mouse.
    if (m_grabbing && (type == QEvent::MouseMove || type == QEvent::MouseButtonRelease)) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (type == QEvent::MouseButtonRelease || !(mouse->buttons() & Qt::LeftButton)) {
            endDrag();
            return false;
        }
        movePanel(mapFromGlobal(mouse->globalPosition().toPoint()) - m_grabOffset);
        return true;
    }

    if (watched == m_frame && type == QEvent::MouseButtonPress) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && !m_grabbing) {
            m_grabOffset = mouse->position().toPoint();
            m_grabbing = true;
            qApp->installEventFilter(this);
            return true;
        }
        return false;
    }

    const bool categories = watched == m_lblb->viewport();
    if ((categories || watched == m_lbnr->viewport()) && type == QEvent::MouseButtonPress && !m_forwarding) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        QListWidget *list = categories ? m_lblb : m_lbnr;
        const int rowBefore = list->currentRow();
        // Let the list select first, so the menu acts on the entry under the mouse.
        m_forwarding = true;
        QCoreApplication::sendEvent(watched, event);
        m_forwarding = false;

        m_popupTarget = categories ? PopupTarget::CategoryList : PopupTarget::CommentList;
        const bool right = mouse->button() == Qt::RightButton;
        m_popupItems = {!(right && list->currentRow() < 0), !categories};
        if (categories && mouse->button() == Qt::LeftButton && list->currentRow() == rowBefore &&
            list->itemAt(mouse->position().toPoint()))
            fillComments(); // a click on the entry already selected refreshes its comments
        if (right)
            emit popupRequested(mouse->globalPosition().toPoint());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// Keeps the panel inside the window so that it cannot be dragged out of reach.
void pytools::movePanel(const QPoint &topLeft)
{
    const int x = std::clamp(topLeft.x(), 0, std::max(0, width() - m_frame->width()));
    const int y = std::clamp(topLeft.y(), 0, std::max(0, height() - m_frame->height()));
    m_frame->move(x, y);
}

// How far a group box's children go down so that they clear its title: the design places
// them as if the title took no room.
int pytools::titleShift(QGroupBox *box, int designTop) const
{
    return std::max(0, box->contentsRect().top() - px(designTop));
}

void pytools::placeIn(QWidget *control, int shift, int left, int top, int width, int height) const
{
    QWidget *container = control->parentWidget();
    const int bottomLimit = container->height() - container->contentsMargins().bottom();
    const int y = px(top) + shift;
    control->setGeometry(px(left), y, std::max(px(width), 1),
                         std::max(std::min(px(height), bottomLimit - y), 1));
}

void pytools::placeControls()
{
    const int w = Twips::fromPixels(width(), logicalDpiY());
    const int frameLeft = CategoryFrameBox.left + CategoryFrameBox.width;
    const int frameWidth = std::max(w - frameLeft - RightMargin, MinimumFrameWidth);
    const int listWidth = std::max(frameWidth - CommentListInset, MinimumListWidth);

    const Box &c = CategoryFrameBox;
    m_pylb->setGeometry(px(c.left), px(c.top), px(c.width), px(c.height));
    m_xxnr->setGeometry(px(frameLeft), px(CommentFrameBox.top), px(frameWidth), px(CommentFrameBox.height));

    const int shift =
        std::max(titleShift(m_pylb, CategoryListBox.top), titleShift(m_xxnr, CommentListBox.top));
    const Box &l = CategoryListBox;
    placeIn(m_lblb, shift, l.left, l.top, l.width, l.height);
    for (int i = 0; i < 3; ++i) {
        const Box &o = OptionBoxes[i];
        placeIn(m_options[i], shift, o.left, o.top, o.width, o.height);
    }
    const Box &n = CommentListBox;
    placeIn(m_search, shift, n.left, n.top, listWidth, SearchHeight);
    const int listTop = n.top + SearchHeight + SearchGap;
    placeIn(m_lbnr, shift, n.left, listTop, listWidth, n.height - SearchHeight - SearchGap);
    m_results->setGeometry(m_lbnr->geometry());
    placePanel();
}

// The panel is as wide as its caption needs, at least its design width; its controls clear the
// caption.
void pytools::placePanel()
{
    const QFontMetrics metrics(m_frame->font());
    const int captionWidth = metrics.horizontalAdvance(m_frame->title()) + 2 * px(PanelTextBox.left);
    m_frame->resize(std::max(px(PanelBox.width), captionWidth), px(PanelBox.height));
    const int shift = titleShift(m_frame, PanelTextBox.top);
    const Box &t = PanelTextBox;
    placeIn(m_text, shift, t.left, t.top, t.width, t.height);
    for (auto [button, b] : {std::pair{m_save, SaveButtonBox}, std::pair{m_cancel, CancelButtonBox}})
        placeIn(button, shift, b.left, b.top, b.width, b.height);
}

void pytools::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeControls();
}
