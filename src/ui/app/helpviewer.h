#pragma once

#include <QWidget>

class QTextBrowser;

/// The program's own window for the help page, used when the desktop has no program to show
/// it: help works offline and without a web browser. Its title is the page's own title.
class HelpViewer : public QWidget
{
    Q_OBJECT

public:
    explicit HelpViewer(QWidget *parent = nullptr);

    /// Shows the page (a local HTML file) and brings the window forward.
    void showPage(const QString &path);

    QTextBrowser *browser() const { return m_browser; }

private:
    QTextBrowser *m_browser = nullptr;
};
