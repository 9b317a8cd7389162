#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class Platform;
class Session;
class TextMeasurer;

/// 导出每位学生一份: a folder, PDF or PNG, a scheme and whether students without a comment
/// get a file too; 导出 writes one file per student there (StudentCopies::exportCopies: the
/// question, the progress box with 停止 and the report, one after another).
class EachStudentDialog : public QDialog
{
    Q_OBJECT

public:
    EachStudentDialog(const Session &session, const TextMeasurer &measurer, Platform &platform,
                      QWidget *parent = nullptr);

    /// 浏览...: the folder chooser.
    void browse();
    /// 导出: writes the files; the window closes when the run went through or was stopped.
    void exportFiles();

private:
    const Session &m_session;
    const TextMeasurer &m_measurer;
    Platform &m_platform;
    QLineEdit *m_folder = nullptr;
    QRadioButton *m_png = nullptr;
    QComboBox *m_scheme = nullptr;
    QCheckBox *m_includeEmpty = nullptr;
};
