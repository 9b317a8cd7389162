#include "ui/editor/stds.h"

#include "core/document/session.h"
#include "core/document/writingprogress.h"
#include "core/platform/platform.h"
#include "core/platform/twips.h"
#include "ui/editor/messages.h"

#include <QFont>
#include <QListWidget>
#include <QMouseEvent>

stds::stds(Session &session, Platform &platform, QWidget *parent)
    : QWidget(parent)
    , m_session(session)
    , m_platform(platform)
{
    setObjectName(QStringLiteral("stds"));
    setWindowTitle(QStringLiteral("学生列表"));
    m_list = new QListWidget(this);
    m_list->setAccessibleName(QStringLiteral("学生列表"));
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
    // A screen reader selects an entry without making it the current one: follow it.
    connect(m_list, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem *> selected = m_list->selectedItems();
        if (selected.size() == 1 && selected.first() != m_list->currentItem())
            m_list->setCurrentItem(selected.first());
    });
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

void stds::mark(int k)
{
    QListWidgetItem *item = m_list->item(k);
    if (!item)
        return;
    const bool written = WritingProgress::isWritten(m_session.Document().slot(k + 1).comment);
    if (item->data(Qt::UserRole).isValid() && item->data(Qt::UserRole).toBool() == written)
        return; // as it was: typing on in a written comment costs nothing here
    item->setData(Qt::UserRole, written);
    // Italic and in a colour of its own: the narrow list has no room for an icon beside a name.
    QFont font = m_list->font();
    font.setItalic(!written);
    item->setFont(font);
    item->setForeground(written ? m_list->palette().brush(QPalette::Text) : QBrush(QColor(0xb3, 0x59, 0x00)));
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
