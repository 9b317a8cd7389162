#pragma once

#include "core/platform/itemfont.h"
#include "core/printing/layoutscheme.h"
#include "core/printing/textmeasurer.h"

#include <QWidget>

#include <optional>
#include <vector>

class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QScrollBar;
class QTimer;
class Session;
class Platform;

/// The editor window: one card per student (name, "同学：", comment, signature) in a strip
/// inside `frame`; the current card is centred with two cards before and after it visible.
/// Every change of a comment box goes straight into the document.
class pyedit : public QWidget
{
    Q_OBJECT

public:
    pyedit(Session &session, Platform &platform, QWidget *parent = nullptr);

    // The controls of card i.
    QLineEdit *student(int i) const;
    QLabel *Label1(int i) const;
    QPlainTextEdit *pytext1(int i) const;
    QLabel *teacher(int i) const;
    int cardCount() const { return int(m_cards.size()); }
    QFrame *frame() const { return m_frame; }
    QScrollBar *VScroll1() const { return m_scroll; }
    QTimer *Timer1() const { return m_timer; }
    /// The warning on the current card when its comment runs past its printed box.
    QLabel *fitWarning() const { return m_fitWarning; }
    /// The scheme comments are measured with as the teacher types (none: no warning).
    void setFitScheme(const std::optional<LayoutScheme> &scheme);

    /// Rebuilds the cards from the document: one card per roster student (at least card 0),
    /// filled, fonts applied, the bar's range set and card 0 made current. Returns the
    /// number of students.
    int rebuildCards();

    /// Moves to card k: sets the bar, which lays the strip out around card k.
    void moveTo(int k);

    /// Puts the focus into comment box k with the caret after its last character.
    void focusCommentEnd(int k);
    /// Selects `length` characters from `position` of comment k (positions in the comment's
    /// text, where a line break is CR LF), with the focus in its box.
    void selectInComment(int k, int position, int length);

    /// The fonts shown on card 0: what a save writes.
    ItemFonts displayFonts() const;

    /// Lays out the strip around card v (the bar's value).
    void VScroll1Change();

    /// A length in twips as pixels on this window's screen.
    int px(double twips) const;

signals:
    /// The editor moved to card v: the student list selects entry v, and when that changes its
    /// selection, the list's move rule puts the caret at the end of the comment. This is part of
    /// the card layout, not a reaction to the current student, which a mere focus change moves.
    void currentCardChanged(int v);
    /// A name was pressed with the left or right button: pop up the student menu here.
    void studentMenuRequested(const QPoint &globalPos);
    /// A signature was pressed.
    void signaturePressed();
    /// Timer1's tick after an empty refresh.
    void emptyRosterTimeout();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    struct Card
    {
        QLineEdit *student = nullptr;
        QLabel *label = nullptr;
        QPlainTextEdit *pytext = nullptr;
        QLabel *teacher = nullptr;
    };

    Card createCard(int i);
    static void nameCard(const Card &card, const QString &student);
    void placeCard(int i, int top);
    void layoutStrip(int v);
    /// Shows or hides the warning on the current card as its comment fits or not.
    void updateFitWarning();
    int cardHeight() const;
    int cardIndexOf(QObject *control) const;
    void applyFonts(int first, int last);
    void pytext1Change(int i);
    /// Box i shows its comment as the document has it now (a whole-class step changed it).
    void showComment(int i);

    Session &m_session;
    Platform &m_platform;
    QFrame *m_frame = nullptr;
    QScrollBar *m_scroll = nullptr;
    QTimer *m_timer = nullptr;
    QLabel *m_fitWarning = nullptr;
    std::optional<LayoutScheme> m_fitScheme;
    QtTextMeasurer m_measurer;
    std::vector<Card> m_cards;
    ItemFonts m_appliedFonts{}; ///< the fonts every card shows
    ItemFonts m_card0Fonts{};   ///< the fonts card 0 shows
};
