#include "ui/editor/pyedit.h"

#include "core/document/session.h"
#include "core/platform/fontsubstitution.h"
#include "core/platform/platform.h"
#include "core/platform/twips.h"
#include "core/printing/fitcheck.h"
#include "ui/editor/messages.h"

#include <QFocusEvent>
#include <QFontMetricsF>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QTimer>

#include <algorithm>

namespace {

// Design geometry of card 0 and of the window's controls, in twips.
using Twips::Box;
constexpr Box StudentBox{480, 1320, 1215, 270};
constexpr Box LabelBox{1800, 1380, 540, 180};
constexpr Box CommentBox{480, 1680, 6735, 2295};
constexpr Box SignatureBox{5160, 4290, 1815, 285};
constexpr Box FrameBox{960, 120, 7695, 5655};
constexpr Box ScrollBox{9360, 240, 255, 4935};
constexpr int NameToComment = 220;
constexpr int CommentToSignature = 100;
constexpr int CardGap = 200;
constexpr int MinimumBarHeight = 300;

// The document keeps CR LF between the lines of a comment; the box uses LF.
QString toBoxText(const QString &comment)
{
    QString text = comment;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

// A comment holds no tab: Tab moves on. One pasted or read from a file takes a space's width,
// as it does on paper.
void setCommentFont(QPlainTextEdit *box, const QFont &font)
{
    box->setFont(font);
    box->setTabStopDistance(QFontMetricsF(font).horizontalAdvance(u' '));
}

QString toCommentText(const QString &boxText)
{
    QString text = boxText;
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

} // namespace

pyedit::pyedit(Session &session, Platform &platform, QWidget *parent)
    : QWidget(parent)
    , m_session(session)
    , m_platform(platform)
{
    setObjectName(QStringLiteral("pyedit"));
    m_frame = new QFrame(this);
    m_frame->setObjectName(QStringLiteral("frame"));
    m_frame->setGeometry(px(FrameBox.left), px(FrameBox.top), px(FrameBox.width), px(FrameBox.height));

    m_scroll = new QScrollBar(Qt::Vertical, this);
    m_scroll->setObjectName(QStringLiteral("VScroll1"));
    m_scroll->setGeometry(px(ScrollBox.left), px(ScrollBox.top), px(ScrollBox.width), px(ScrollBox.height));
    m_scroll->setRange(0, 0);
    m_scroll->setSingleStep(1);
    m_scroll->setPageStep(5); // a click in the track moves by the five visible cards
    connect(m_scroll, &QScrollBar::valueChanged, this, &pyedit::VScroll1Change);

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, [this] {
        m_timer->stop();
        emit emptyRosterTimeout();
    });

    m_cards.push_back(createCard(0));
    placeCard(0, (FrameBox.height - cardHeight()) / 2);

    m_fitWarning = new QLabel(m_frame);
    m_fitWarning->setObjectName(QStringLiteral("fitWarning"));
    m_fitWarning->setStyleSheet(QStringLiteral("color: #c0392b; font-weight: bold;"));
    m_fitWarning->hide();
    connect(&m_session, &Session::currentStudentChanged, this, &pyedit::updateFitWarning);
    connect(&m_session, &Session::commentChanged, this, [this](int slot) { showComment(slot - 1); });
}

void pyedit::setFitScheme(const std::optional<LayoutScheme> &scheme)
{
    m_fitScheme = scheme;
    updateFitWarning();
}

void pyedit::updateFitWarning()
{
    const int k = m_session.CurrentStudent();
    if (!m_fitScheme || k < 0 || k >= cardCount() || !m_cards[std::size_t(k)].pytext->isVisible()) {
        m_fitWarning->hide();
        return;
    }
    const int over = FitCheck::linesPastBox(m_session.Document(), k, *m_fitScheme, m_measurer);
    if (over == 0) {
        m_fitWarning->hide();
        return;
    }
    m_fitWarning->setText(FitCheck::pastText(over));
    m_fitWarning->setToolTip(QStringLiteral("按打印方案“%1”排版，这条评语有 %2 行超出了打印区域，"
                                            "打印出来会压住签名或印不出来。")
                                 .arg(m_fitScheme->name)
                                 .arg(over));
    m_fitWarning->adjustSize();
    // On the name's row, ending where the comment box ends.
    const QRect box = m_cards[std::size_t(k)].pytext->geometry();
    const QRect name = m_cards[std::size_t(k)].student->geometry();
    m_fitWarning->move(box.right() - m_fitWarning->width(), name.center().y() - m_fitWarning->height() / 2);
    m_fitWarning->show();
    m_fitWarning->raise();
}

int pyedit::px(double twips) const
{
    return Twips::toPixels(twips, logicalDpiY());
}

QLineEdit *pyedit::student(int i) const
{
    return i >= 0 && i < cardCount() ? m_cards[std::size_t(i)].student : nullptr;
}

QLabel *pyedit::Label1(int i) const
{
    return i >= 0 && i < cardCount() ? m_cards[std::size_t(i)].label : nullptr;
}

QPlainTextEdit *pyedit::pytext1(int i) const
{
    return i >= 0 && i < cardCount() ? m_cards[std::size_t(i)].pytext : nullptr;
}

QLabel *pyedit::teacher(int i) const
{
    return i >= 0 && i < cardCount() ? m_cards[std::size_t(i)].teacher : nullptr;
}

// A screen reader reads a card's boxes by the student's name and what each box holds.
void pyedit::nameCard(const Card &card, const QString &student)
{
    const QString prefix = student.isEmpty() ? QString() : student + u' ';
    card.student->setAccessibleName(prefix + QStringLiteral("姓名"));
    card.pytext->setAccessibleName(prefix + QStringLiteral("评语"));
    card.teacher->setAccessibleName(QStringLiteral("签名"));
}

pyedit::Card pyedit::createCard(int i)
{
    Card card;
    const QString suffix = QStringLiteral("_%1").arg(i);
    card.student = new QLineEdit(m_frame);
    card.student->setObjectName(QStringLiteral("student") + suffix);
    card.student->setReadOnly(true); // names change only through the roster commands
    card.student->setFrame(false);
    card.student->setFocusPolicy(Qt::NoFocus);
    card.student->installEventFilter(this);

    card.label = new QLabel(QStringLiteral("同学："), m_frame);
    card.label->setObjectName(QStringLiteral("Label1") + suffix);

    card.pytext = new QPlainTextEdit(m_frame);
    card.pytext->setObjectName(QStringLiteral("pytext1") + suffix);
    card.pytext->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    card.pytext->setTabChangesFocus(true);
    card.pytext->installEventFilter(this);
    card.pytext->viewport()->installEventFilter(this);
    connect(card.pytext, &QPlainTextEdit::textChanged, this, [this, i] { pytext1Change(i); });

    // The signature is shown, not edited here: it is set through its own dialog.
    card.teacher = new QLabel(m_frame);
    card.teacher->setObjectName(QStringLiteral("teacher") + suffix);
    card.teacher->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    card.teacher->setAutoFillBackground(true);
    card.teacher->setBackgroundRole(QPalette::Base);
    card.teacher->installEventFilter(this);

    const Card &model = m_cards.empty() ? card : m_cards.front();
    card.student->setFont(model.student->font());
    setCommentFont(card.pytext, model.pytext->font());
    card.teacher->setFont(model.teacher->font());
    return card;
}

int pyedit::cardHeight() const
{
    return StudentBox.height + NameToComment + CommentBox.height + CommentToSignature + SignatureBox.height;
}

// Places card i with its name box at the given top (twips, relative to the frame).
void pyedit::placeCard(int i, int top)
{
    const Card &card = m_cards[std::size_t(i)];
    const int labelTop = top + (StudentBox.height - LabelBox.height) / 2;
    const int commentTop = top + StudentBox.height + NameToComment;
    const int signatureTop = commentTop + CommentBox.height + CommentToSignature;
    card.student->setGeometry(px(StudentBox.left), px(top), px(StudentBox.width), px(StudentBox.height));
    card.label->setGeometry(px(LabelBox.left), px(labelTop), px(LabelBox.width), px(LabelBox.height));
    card.pytext->setGeometry(px(CommentBox.left), px(commentTop), px(CommentBox.width),
                             px(CommentBox.height));
    card.teacher->setGeometry(px(SignatureBox.left), px(signatureTop), px(SignatureBox.width),
                              px(SignatureBox.height));
}

int pyedit::cardIndexOf(QObject *control) const
{
    for (int i = 0; i < cardCount(); ++i) {
        const Card &card = m_cards[std::size_t(i)];
        if (control == card.student || control == card.pytext || control == card.pytext->viewport() ||
            control == card.teacher)
            return i;
    }
    return -1;
}

void pyedit::applyFonts(int first, int last)
{
    const ItemFonts &fonts = m_session.Document().ItemFonts;
    const QFont name = FontSubstitution::toQFont(fonts[0]);
    const QFont comment = FontSubstitution::toQFont(fonts[1]);
    const QFont signature = FontSubstitution::toQFont(fonts[2]);
    for (int i = first; i <= last && i < cardCount(); ++i) {
        const Card &card = m_cards[std::size_t(i)];
        card.student->setFont(name);
        setCommentFont(card.pytext, comment);
        card.teacher->setFont(signature);
    }
    if (first == 0)
        m_card0Fonts = fonts;
    if (first == 0 && last >= cardCount() - 1)
        m_appliedFonts = fonts;
}

ItemFonts pyedit::displayFonts() const
{
    // A font change reaches the file once card 0 shows it.
    return m_card0Fonts;
}

int pyedit::rebuildCards()
{
    // Remove every card but card 0.
    while (m_cards.size() > 1) {
        Card card = m_cards.back();
        m_cards.pop_back();
        delete card.student;
        delete card.label;
        delete card.pytext;
        delete card.teacher;
    }
    const int n = m_session.Document().studentCount();
    const int frameHeight = Twips::fromPixels(m_frame->height(), logicalDpiY());
    const int top0 = (frameHeight - cardHeight()) / 2;
    placeCard(0, top0);
    applyFonts(0, 0);
    m_appliedFonts = m_session.Document().ItemFonts;

    m_cards.reserve(std::size_t(std::max(n, 1)));
    for (int i = 1; i < n; ++i) {
        m_cards.push_back(createCard(i));
        placeCard(i, top0 + i * (cardHeight() + CardGap));
    }
    for (int i = 0; i < n; ++i) {
        const Card &card = m_cards[std::size_t(i)];
        const StudentSlot &slot = m_session.Document().slot(i + 1);
        card.student->setText(slot.name);
        nameCard(card, slot.name);
        card.student->setCursorPosition(0); // a name wider than its box shows its start
        const QString text = toBoxText(slot.comment);
        if (card.pytext->toPlainText() != text)
            card.pytext->setPlainText(text); // runs the change rule
        card.teacher->setText(m_session.Document().TeacherSignature);
        card.teacher->setAccessibleDescription(card.teacher->text());
    }
    m_scroll->setMaximum(std::max(cardCount() - 1, 0));
    m_session.setCurrentStudent(0);
    if (m_scroll->value() == 0)
        layoutStrip(0); // the bar stays: show the strip around card 0 without moving the focus
    else
        m_scroll->setValue(0);

    if (n == 0) {
        const Card &card = m_cards.front();
        card.student->clear();
        card.pytext->clear();
        card.teacher->clear();
        nameCard(card, QString());
        m_timer->start(500);
    } else {
        m_timer->stop(); // the roster is no longer empty: nothing to guess
    }
    return n;
}

void pyedit::pytext1Change(int i)
{
    if (i >= cardCount())
        return;
    // Only a real change is the teacher's: a box showing its comment anew changes nothing.
    const QString text = pytext1(i)->toPlainText();
    if (i < m_session.Document().studentCount() && text != toBoxText(m_session.Document().slot(i + 1).comment))
        m_session.setComment(i + 1, toCommentText(text));
    if (i == m_session.CurrentStudent())
        updateFitWarning();
}

void pyedit::showComment(int i)
{
    QPlainTextEdit *box = pytext1(i);
    const QString text = toBoxText(m_session.Document().slot(i + 1).comment);
    if (!box || box->toPlainText() == text)
        return;
    // A whole-class step put this text here: it starts the box's own undo afresh, so that the
    // box's Ctrl+Z takes back only what is typed into it (the step has 编辑→撤消).
    const int caret = box->textCursor().position();
    box->setPlainText(text);
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(std::min(caret, int(text.size())));
    box->setTextCursor(cursor);
}

void pyedit::moveTo(int k)
{
    m_scroll->setValue(k);
}

void pyedit::focusCommentEnd(int k)
{
    QPlainTextEdit *box = pytext1(k);
    if (!box)
        return;
    box->setFocus(Qt::OtherFocusReason);
    m_session.setCurrentStudent(k);
    box->moveCursor(QTextCursor::End);
}

void pyedit::selectInComment(int k, int position, int length)
{
    QPlainTextEdit *box = pytext1(k);
    if (!box)
        return;
    // The box shows a line break as one character, the comment holds CR LF.
    const QString &comment = m_session.Document().slot(k + 1).comment;
    const auto inBox = [&](int index) { return int(toBoxText(comment.left(index)).size()); };
    QTextCursor cursor = box->textCursor();
    const int end = int(box->document()->characterCount()) - 1;
    cursor.setPosition(std::clamp(inBox(position), 0, end));
    cursor.setPosition(std::clamp(inBox(position + length), 0, end), QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
    box->setFocus(Qt::OtherFocusReason);
}

// Shows card v centred in the frame with two cards before and after it; hides the rest.
// Cards are created hidden, so only the cards that can be seen are ever shown.
void pyedit::layoutStrip(int v)
{
    for (const Card &card : m_cards) {
        card.student->hide();
        card.label->hide();
        card.pytext->hide();
        card.teacher->hide();
    }
    const int frameHeight = Twips::fromPixels(m_frame->height(), logicalDpiY());
    const int top = (frameHeight - cardHeight()) / 2;
    const int pitch = cardHeight() + CardGap;
    for (int i = std::max(0, v - 2); i <= std::min(cardCount() - 1, v + 2); ++i) {
        placeCard(i, top + (i - v) * pitch);
        const Card &card = m_cards[std::size_t(i)];
        card.student->show();
        card.label->show();
        card.pytext->show();
        card.teacher->show();
    }
    updateFitWarning(); // the current card may have moved
}

void pyedit::VScroll1Change()
{
    const int v = m_scroll->value();
    if (v < 0 || v >= cardCount())
        return;
    layoutStrip(v);
    emit currentCardChanged(v);
    pytext1(v)->setFocus(Qt::OtherFocusReason);
    m_session.setCurrentStudent(v);
}

bool pyedit::eventFilter(QObject *watched, QEvent *event)
{
    const int i = cardIndexOf(watched);
    if (i < 0)
        return QWidget::eventFilter(watched, event);
    const Card &card = m_cards[std::size_t(i)];

    if (watched == card.pytext) {
        // Ctrl+Y redoes what the box's Ctrl+Z took back, as on every desktop (Ctrl+Shift+Z too).
        if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y)) {
                event->accept();
                if (event->type() == QEvent::KeyPress)
                    card.pytext->redo();
                return true;
            }
        }
        // Tab and Shift+Tab go on to the next or the previous card's comment, as the cards are
        // laid out; past the class's ends they leave the editor.
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            const bool plain =
                !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
            const int to = key->key() == Qt::Key_Tab ? i + 1 : key->key() == Qt::Key_Backtab ? i - 1 : -1;
            if (plain && to >= 0 && to < cardCount() && !m_cards[std::size_t(to)].student->text().isEmpty()) {
                moveTo(to);
                focusCommentEnd(to);
                return true;
            }
        }
        // A key marks the document modified only through the change it makes to the text
        // (pytext1Change): Alt for a menu, an arrow or Ctrl+C edits nothing.
        if (event->type() == QEvent::FocusIn && isVisible()) {
            // Only the teacher's own moves make a card current: the focus Qt hands on while the
            // editor is hidden, or gives back when a window is reactivated, is not one.
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                m_session.setCurrentStudent(i);
        }
    } else if (watched == card.pytext->viewport() && event->type() == QEvent::MouseButtonRelease) {
        m_session.setCurrentStudent(i);
        if (!card.student->text().isEmpty())
            emit currentCardChanged(i);
    } else if (watched == card.student && event->type() == QEvent::MouseButtonPress) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (card.student->text().isEmpty()) {
            m_platform.messageBox(EditorMessages::NoStudentMessage, Platform::NoticeTitle,
                                  MsgIcon::Information, MsgButtons::Ok);
        } else if (mouse->button() == Qt::LeftButton || mouse->button() == Qt::RightButton) {
            // The pop-up's commands act on this student, whether or not the list is open.
            m_session.setCurrentStudent(i);
            emit currentCardChanged(i);
            const QPoint at(mouse->position().toPoint().x(), px(200));
            emit studentMenuRequested(card.student->mapToGlobal(at));
        }
        return true;
    } else if (watched == card.teacher && event->type() == QEvent::MouseButtonPress) {
        if (card.teacher->text().isEmpty())
            m_platform.messageBox(EditorMessages::NoStudentMessage, Platform::NoticeTitle,
                                  MsgIcon::Information, MsgButtons::Ok);
        else
            emit signaturePressed();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void pyedit::closeEvent(QCloseEvent *event)
{
    // A closed editor (another class is being opened) guesses nothing about its empty roster.
    m_timer->stop();
    QWidget::closeEvent(event);
}

void pyedit::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const double dpi = logicalDpiY();
    const int w = Twips::fromPixels(width(), dpi);
    const int h = Twips::fromPixels(height(), dpi);
    // Too small a window would give the bar a negative height: keep a minimum instead.
    const int barHeight = std::max(h - 800, MinimumBarHeight);
    const int barTop = (h - barHeight) / 2 - 200;
    m_frame->setGeometry(px((w - FrameBox.width) / 2), px(std::max(barTop, 0)), px(FrameBox.width),
                         px(barHeight));
    m_scroll->setGeometry(px(w - ScrollBox.width - 200), px(std::max(barTop, 0)), px(ScrollBox.width),
                          px(barHeight));
}

void pyedit::paintEvent(QPaintEvent *event)
{
    // The three fonts reach every card on repaint; only a change is applied.
    if (m_appliedFonts != m_session.Document().ItemFonts)
        applyFonts(0, cardCount() - 1);
    QWidget::paintEvent(event);
}
