#include "ui/editor/stds.h"

#include "core/document/session.h"
#include "core/document/writingprogress.h"
#include "core/platform/platform.h"
#include "core/platform/twips.h"
#include "ui/editor/messages.h"

#include <QIcon>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

stds::stds(Session &session, Platform &platform, QWidget *parent)
    : QWidget(parent)
    , m_session(session)
    , m_platform(platform)
{
    setObjectName(QStringLiteral("stds"));
    setWindowTitle(QStringLiteral("学生列表"));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("stdlist"));
    m_list->setToolTip(QStringLiteral("单击学生姓名可以快速切换"));
    m_list->viewport()->installEventFilter(this);
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            emit stdlistClick(row);
    });
    // A click on the entry that is already selected moves the editor again.
    connect(m_list, &QListWidget::itemClicked, this, [this] { emit stdlistClick(m_list->currentRow()); });
    connect(m_list, &QListWidget::itemDoubleClicked, this,
            [this] { emit stdlistClick(m_list->currentRow()); });
    // The marks follow every keystroke.
    connect(&m_session, &Session::commentChanged, this, [this](int slot) { mark(slot - 1); });
}

void stds::fill()
{
    m_list->clear();
    QStringList names;
    for (int i = 1; i <= CommentDocument::MaxStudents; ++i) {
        const QString &name = m_session.Document().slot(i).name;
        if (name.isEmpty())
            break;
        names << name;
    }
    m_list->addItems(names);
    for (int k = 0; k < m_list->count(); ++k)
        mark(k);
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
}

namespace {

/// A dot of the list's text height: filled for a written comment, a ring for an empty one.
QIcon markIcon(bool written, const QWidget *list)
{
    const int size = list->fontMetrics().height() * 2 / 3;
    const qreal ratio = list->devicePixelRatioF();
    QPixmap pixmap(QSize(size, size) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colour = written ? QColor(0x2e, 0x8b, 0x57) : QColor(0xd2, 0x69, 0x1e);
    painter.setPen(QPen(colour, size / 6.0));
    painter.setBrush(written ? QBrush(colour) : Qt::NoBrush);
    const qreal inset = size / 6.0;
    painter.drawEllipse(QRectF(inset, inset, size - 2 * inset, size - 2 * inset));
    return QIcon(pixmap);
}

} // namespace

void stds::mark(int k)
{
    QListWidgetItem *item = m_list->item(k);
    if (!item)
        return;
    const bool written = WritingProgress::isWritten(m_session.Document().slot(k + 1).comment);
    if (item->data(Qt::UserRole).isValid() && item->data(Qt::UserRole).toBool() == written)
        return; // as it was: typing on in a written comment costs nothing here
    item->setData(Qt::UserRole, written);
    item->setIcon(markIcon(written, m_list));
    item->setToolTip(written ? QString() : QStringLiteral("评语还是空的"));
    item->setData(Qt::AccessibleDescriptionRole,
                  written ? QStringLiteral("已写评语") : QStringLiteral("评语还是空的"));
}

bool stds::markedEmpty(int k) const
{
    const QListWidgetItem *item = m_list->item(k);
    return item && !item->data(Qt::UserRole).toBool();
}

void stds::select(int k)
{
    if (k >= 0 && k < m_list->count() && m_list->currentRow() != k)
        m_list->setCurrentRow(k);
}

bool stds::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::RightButton) {
            if (m_list->currentRow() < 0) {
                m_platform.messageBox(EditorMessages::NoSelectionMessage, Platform::NoticeTitle,
                                      MsgIcon::Exclamation, MsgButtons::Ok);
            } else {
                emit studentMenuRequested(mouse->globalPosition().toPoint());
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void stds::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const double dpi = logicalDpiY();
    const int h = Twips::fromPixels(height(), dpi);
    const int w = Twips::fromPixels(width(), dpi);
    m_list->setGeometry(0, 0, Twips::toPixels(std::max(w - 100, 0), dpi),
                        Twips::toPixels(std::max(h - 300, 0), dpi));
}
