#include "ui/app/helpviewer.h"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpViewer::HelpViewer(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("helpViewer"));
    m_browser = new QTextBrowser(this);
    m_browser->setAccessibleName(QStringLiteral("帮助内容"));
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    // Links within the page stay here; links to the web go to the desktop.
    m_browser->setOpenExternalLinks(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    connect(m_browser, &QTextBrowser::sourceChanged, this,
            [this] { setWindowTitle(m_browser->documentTitle()); });
    resize(820, 640);
}

void HelpViewer::showPage(const QString &path)
{
    m_browser->setSource(QUrl::fromLocalFile(path));
    setWindowTitle(m_browser->documentTitle());
    show();
    raise();
    activateWindow();
}
