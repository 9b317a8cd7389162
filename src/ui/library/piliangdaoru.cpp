#include "ui/library/piliangdaoru.h"

#include "core/document/session.h"
#include "core/library/commentlibrary.h"
#include "core/document/messages.h"
#include "core/library/messages.h"
#include "core/platform/platform.h"
#include "core/platform/scratchfile.h"
#include "core/platform/twips.h"
#include "ui/library/pytools.h"

#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

using Twips::Box;
constexpr Box Label1Box{120, 120, 4680, 180};
constexpr Box Text1Box{120, 360, 8415, 3015};
constexpr Box Label2Box{120, 3600, 4680, 180};
constexpr Box ImportBox{3240, 3960, 1695, 375};
constexpr Box ClearBox{5040, 3960, 1695, 375};
constexpr Box CloseBox{6840, 3960, 1695, 375};
constexpr int ClientWidth = 8655;
constexpr int ClientHeight = 4455;

} // namespace

piliangdaoru::piliangdaoru(Session &session, Platform &platform, std::function<pytools *()> libraryWindow,
                           QWidget *parent)
    : QDialog(parent)
    , m_session(session)
    , m_platform(platform)
    , m_libraryWindow(std::move(libraryWindow))
{
    setObjectName(QStringLiteral("piliangdaoru"));
    setWindowTitle(QStringLiteral("批量导入评语内容到评语库"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    m_label1 = new QLabel(QStringLiteral("请在以下文本框中输入评语内容，注意：一条评语占一行。"), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_text = new QPlainTextEdit(this);
    m_text->setAccessibleName(QStringLiteral("评语内容"));
    m_text->setTabChangesFocus(true); // Tab goes on to the buttons: a comment has no TAB in it
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_label2 = new QLabel(QStringLiteral("输入完成后单击“导入”即可将它们导入到您的评语库中。"), this);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_import = new QPushButton(QStringLiteral("导入"), this);
    m_import->setObjectName(QStringLiteral("Command1"));
    m_clear = new QPushButton(QStringLiteral("清空"), this);
    m_clear->setObjectName(QStringLiteral("Command2"));
    m_close = new QPushButton(QStringLiteral("退出"), this);
    m_close->setObjectName(QStringLiteral("Command3"));
    for (QPushButton *button : {m_import, m_clear, m_close})
        button->setAutoDefault(false);

    // The design geometry in twips; labels may grow to the width of the list so that their
    // text is never cut off with a larger font.
    const double dpi = logicalDpiY();
    const auto place = [dpi](QWidget *w, const Box &b, int width) {
        w->setGeometry(Twips::toPixels(b.left, dpi), Twips::toPixels(b.top, dpi), Twips::toPixels(width, dpi),
                       std::max(Twips::toPixels(b.height, dpi), w->sizeHint().height()));
    };
    place(m_label1, Label1Box, Text1Box.width);
    place(m_text, Text1Box, Text1Box.width);
    place(m_label2, Label2Box, Text1Box.width);
    place(m_import, ImportBox, ImportBox.width);
    place(m_clear, ClearBox, ClearBox.width);
    place(m_close, CloseBox, CloseBox.width);
    // A tall label pushes the rows below it down.
    const int labelGrowth = m_label1->height() - Twips::toPixels(Label1Box.height, dpi);
    if (labelGrowth > 0) {
        for (QWidget *w : {static_cast<QWidget *>(m_text), static_cast<QWidget *>(m_label2),
                           static_cast<QWidget *>(m_import), static_cast<QWidget *>(m_clear),
                           static_cast<QWidget *>(m_close)})
            w->move(w->x(), w->y() + labelGrowth);
    }
    const int secondGrowth = m_label2->height() - Twips::toPixels(Label2Box.height, dpi);
    if (secondGrowth > 0) {
        for (QWidget *w : {m_import, m_clear, m_close})
            w->move(w->x(), w->y() + secondGrowth);
    }
    setFixedSize(Twips::toPixels(ClientWidth, dpi), m_close->geometry().bottom() + Twips::toPixels(240, dpi));

    connect(m_import, &QPushButton::clicked, this, &piliangdaoru::Command1Click);
    connect(m_clear, &QPushButton::clicked, this, &piliangdaoru::Command2Click);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    Q_UNUSED(ClientHeight);
}

void piliangdaoru::Command2Click()
{
    m_text->clear();
    m_text->setFocus();
}

void piliangdaoru::Command1Click()
{
    const QString text = m_text->toPlainText();
    if (text.isEmpty()) {
        m_platform.messageBox(DocumentMessages::EmptyListMessage, Platform::NoticeTitle, MsgIcon::Exclamation,
                              MsgButtons::Ok);
        m_text->setFocus();
        return;
    }
    const Result<QStringList> roundTrip = ScratchFile::roundTrip(m_session.Files().scratch(), text);
    if (!roundTrip) {
        m_platform.messageBox(DocumentMessages::ImportFailedMessage + roundTrip.error(), Platform::NoticeTitle,
                              MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    QStringList lines = *roundTrip;
    lines.removeAll(QString());

    pytools *window = m_libraryWindow ? m_libraryWindow() : nullptr;
    if (!window)
        return;
    // The target is what the library window shows now.
    const int category = window->selectedCategoryIndex();
    const Rating rating = window->rating();
    const Result<CommentLibrary::Written> status =
        window->library().addComments(CommentLibrary::trimBlanks(window->selectedCategory()), rating, lines);
    if (!pytools::reportFailure(m_platform, status))
        return;
    window->load();
    if (category >= 0 && category < window->lblb()->count())
        window->lblb()->setCurrentRow(category);
    window->setRating(rating);
    window->fillComments();
    if (status->markerRewritten)
        m_platform.messageBox(LibraryMessages::MarkerRewrittenMessage, Platform::NoticeTitle,
                              MsgIcon::Information, MsgButtons::Ok);
    close();
}
