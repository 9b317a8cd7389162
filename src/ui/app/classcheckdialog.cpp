#include "ui/app/classcheckdialog.h"

#include "core/app/classcheck.h"
#include "core/document/session.h"
#include "core/printing/textmeasurer.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Role { StudentRole = Qt::UserRole, PositionRole, LengthRole };

} // namespace

ClassCheckDialog::ClassCheckDialog(Session &session, std::function<std::optional<LayoutScheme>()> scheme,
                                   QWidget *parent)
    : QDialog(parent)
    , m_session(session)
    , m_scheme(std::move(scheme))
{
    setObjectName(QStringLiteral("classCheck"));
    setWindowTitle(QStringLiteral("检查全班评语"));
    m_findings = new QTreeWidget(this);
    m_findings->setObjectName(QStringLiteral("findings"));
    m_findings->setAccessibleName(QStringLiteral("检查结果"));
    m_findings->setHeaderLabels({QStringLiteral("学生"), QStringLiteral("类别"), QStringLiteral("说明")});
    m_findings->setRootIsDecorated(false);
    m_findings->setUniformRowHeights(true);
    m_findings->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("summary"));

    m_repeatLimit = new QSpinBox(this);
    m_repeatLimit->setObjectName(QStringLiteral("repeatLimit"));
    m_repeatLimit->setRange(1, 99);
    m_repeatLimit->setValue(ClassCheck::Options().repeatLimit);
    auto *limitLabel = new QLabel(QStringLiteral("同一句话出现在多于"), this);
    limitLabel->setBuddy(m_repeatLimit);
    auto *limitRow = new QHBoxLayout;
    limitRow->addWidget(limitLabel);
    limitRow->addWidget(m_repeatLimit);
    limitRow->addWidget(new QLabel(QStringLiteral("名学生的评语中时算作重复"), this));
    limitRow->addStretch();

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton *again = buttons->addButton(QStringLiteral("重新检查(&R)"), QDialogButtonBox::ActionRole);
    again->setObjectName(QStringLiteral("checkAgain"));
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("关闭"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("双击一项，转到该学生的评语。"), this));
    layout->addWidget(m_findings, 1);
    layout->addWidget(m_summary);
    layout->addLayout(limitRow);
    layout->addWidget(buttons);
    resize(640, 420);

    // Typing goes on while the dialog is open: the check runs again once it pauses.
    m_later = new QTimer(this);
    m_later->setSingleShot(true);
    m_later->setInterval(500);
    connect(m_later, &QTimer::timeout, this, &ClassCheckDialog::check);
    // Only while it shows: a closed dialog checks again when it is opened.
    const auto later = [this] {
        if (isVisible())
            m_later->start();
    };
    for (auto changed : {&Session::rosterChanged, &Session::documentReplaced})
        connect(&session, changed, this, later);
    connect(&session, &Session::commentChanged, this, later);
    connect(m_repeatLimit, &QSpinBox::valueChanged, this, &ClassCheckDialog::check);
    connect(again, &QPushButton::clicked, this, &ClassCheckDialog::check);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    connect(m_findings, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) {
        emit findingChosen(item->data(0, StudentRole).toInt(), item->data(0, PositionRole).toInt(),
                           item->data(0, LengthRole).toInt());
    });
}

void ClassCheckDialog::check()
{
    m_later->stop();
    ClassCheck::Options options;
    options.repeatLimit = m_repeatLimit->value();
    const std::optional<LayoutScheme> scheme = m_scheme ? m_scheme() : std::nullopt;
    if (scheme) {
        options.scheme = &*scheme;
        options.measurer = &m_measurer;
    }
    const CommentDocument &document = m_session.Document();
    const QList<ClassCheck::Finding> found = ClassCheck::check(document, options);
    m_findings->clear();
    QList<QTreeWidgetItem *> rows;
    for (const ClassCheck::Finding &finding : found) {
        auto *row = new QTreeWidgetItem(
            {document.slot(finding.student + 1).name, ClassCheck::kindName(finding.kind), finding.detail});
        for (int column = 0; column < row->columnCount(); ++column) {
            if (row->text(column).isEmpty()) // read as empty, not skipped
                row->setData(column, Qt::AccessibleTextRole, QStringLiteral("（空）"));
        }
        row->setData(0, StudentRole, finding.student);
        row->setData(0, PositionRole, finding.position);
        row->setData(0, LengthRole, finding.length);
        rows << row;
    }
    m_findings->addTopLevelItems(rows);
    m_summary->setText(found.isEmpty() ? QStringLiteral("没有发现问题。")
                                       : QStringLiteral("共发现 %1 个问题。").arg(found.size()));
}
