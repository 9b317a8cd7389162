#pragma once

#include "core/printing/layoutscheme.h"
#include "core/printing/textmeasurer.h"

#include <QDialog>

#include <functional>
#include <optional>

class QLabel;
class QSpinBox;
class QTimer;
class QTreeWidget;
class Session;

/// 工具 → 检查全班评语: the findings of the class check grouped by kind, one row a finding (学生,
/// 类别, 说明) under its kind, a repeated sentence one row naming its students with one row for
/// each under it. Double-clicking a student's row moves to the student and selects the text
/// concerned. The dialog stays open beside the editor and checks again a moment after each change.
class ClassCheckDialog : public QDialog
{
    Q_OBJECT

public:
    /// scheme gives the scheme comments are measured with (none: no 超出打印区域 check).
    ClassCheckDialog(Session &session, std::function<std::optional<LayoutScheme>()> scheme,
                     QWidget *parent = nullptr);

    QTreeWidget *findings() const { return m_findings; }
    /// Checks the class now; whoever shows the dialog does so first.
    void check();

signals:
    /// A finding was chosen: student (0-based) and the part of the comment (UTF-16, -1: none).
    void findingChosen(int student, int position, int length);

private:
    Session &m_session;
    std::function<std::optional<LayoutScheme>()> m_scheme;
    QTreeWidget *m_findings = nullptr;
    QSpinBox *m_repeatLimit = nullptr;
    QLabel *m_summary = nullptr;
    QTimer *m_later = nullptr;
    QtTextMeasurer m_measurer; ///< keeps its measurements from one check to the next
};
