#pragma once

#include <QMainWindow>

class QLabel;
class QMdiArea;
struct AppState;
class Platform;

/// The main window `main`: the frame that holds the child windows.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    static inline const QString Caption = QStringLiteral("Quillmark 青禾书苑 v1.0");

    MainWindow(AppState &state, Platform &platform, QWidget *parent = nullptr);

    /// The load: reads the template into the document, then opens the comment file named by
    /// the command-line text, if any.
    void load(const QString &commandLineText);

private:
    void openDocument(const QString &path);
    void showDocumentState();

    AppState &m_state;
    Platform &m_platform;
    QMdiArea *m_mdiArea = nullptr;
    QLabel *m_documentLabel = nullptr;
};
