#include "ui/app/classcheckdialog.h"

#include "core/library/commentlibrary.h"

#include "core/app/classcheck.h"
#include "core/document/session.h"
#include "core/printing/textmeasurer.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace {

enum Role { StudentRole = Qt::UserRole, PositionRole, LengthRole, KeyRole };

// A kind's row: the kind and how many rows it holds.
const QString EntriesText = QStringLiteral("%1（%2 项）");
const QString SentencesText = QStringLiteral("%1（%2 句）");
// A repeated sentence's row names this many of its students, then how many there are.
constexpr int NamesShown = 3;
const QString ManyStudentsText = QStringLiteral("%1 等 %2 人");
const QString NameSeparator = QStringLiteral("、");

// The row of one student's finding; choosing it moves to the text concerned.
QTreeWidgetItem *findingRow(const QString &name, const ClassCheck::Finding &finding)
{
    auto *row = new QTreeWidgetItem({name, ClassCheck::kindName(finding.kind), finding.detail});
    row->setData(0, StudentRole, finding.student);
    row->setData(0, PositionRole, finding.position);
    row->setData(0, LengthRole, finding.length);
    return row;
}

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
        if (!item->data(0, StudentRole).isValid())
            return; // a kind or a sentence of several students: it opens, and moves nowhere
        emit findingChosen(item->data(0, StudentRole).toInt(), item->data(0, PositionRole).toInt(),
                           item->data(0, LengthRole).toInt());
    });
}

void ClassCheckDialog::check()
{
    m_later->stop();
    ClassCheck::Options options;
    options.repeatLimit = m_repeatLimit->value();
    QStringList lines;
    for (const CommentLibrary::Entry &entry :
         CommentLibrary(m_session.Files().library()).entries().valueOr({}))
        lines << entry.text;
    options.unverifiable = ClassCheck::unverifiableSentences(lines);
    const std::optional<LayoutScheme> scheme = m_scheme ? m_scheme() : std::nullopt;
    if (scheme) {
        options.scheme = &*scheme;
        options.measurer = &m_measurer;
    }
    const CommentDocument &document = m_session.Document();
    const QList<ClassCheck::Finding> found = ClassCheck::check(document, options);

    // Rows the teacher opened or closed stay so when the findings are listed again.
    QHash<QString, bool> expanded;
    for (QTreeWidgetItemIterator it(m_findings); *it; ++it) {
        if ((*it)->childCount() > 0)
            expanded.insert((*it)->data(0, KeyRole).toString(), (*it)->isExpanded());
    }
    m_findings->clear();
    const auto nameOf = [&](const ClassCheck::Finding &finding) {
        return document.slot(finding.student + 1).name;
    };
    QList<QTreeWidgetItem *> opened;
    const auto keep = [&](QTreeWidgetItem *item, const QString &key, bool byDefault) {
        item->setData(0, KeyRole, key);
        if (expanded.value(key, byDefault))
            opened << item;
    };
    const QList<ClassCheck::Group> groups = ClassCheck::grouped(found);
    for (const ClassCheck::Group &group : groups) {
        const QString kind = ClassCheck::kindName(group.kind);
        const bool repeated = group.kind == ClassCheck::Kind::Repeated;
        auto *kindRow = new QTreeWidgetItem(
            m_findings, {(repeated ? SentencesText : EntriesText).arg(kind).arg(group.entries.size())});
        kindRow->setFirstColumnSpanned(true);
        keep(kindRow, kind, true);
        for (const ClassCheck::Entry &entry : group.entries) {
            if (!repeated) {
                kindRow->addChild(findingRow(nameOf(entry.findings.first()), entry.findings.first()));
                continue;
            }
            // A sentence names its students; each has a row of its own under it.
            QStringList names;
            for (const ClassCheck::Finding &finding : entry.findings)
                names << nameOf(finding);
            const QString students =
                names.size() > NamesShown
                    ? ManyStudentsText.arg(names.mid(0, NamesShown).join(NameSeparator)).arg(names.size())
                    : names.join(NameSeparator);
            auto *sentenceRow = new QTreeWidgetItem(kindRow, {students, kind, entry.detail});
            sentenceRow->setToolTip(0, names.join(NameSeparator));
            keep(sentenceRow, kind + u'\n' + entry.detail, false);
            for (const ClassCheck::Finding &finding : entry.findings)
                sentenceRow->addChild(findingRow(nameOf(finding), finding));
        }
    }
    for (QTreeWidgetItemIterator it(m_findings); *it; ++it) {
        for (int column = 0; column < (*it)->columnCount(); ++column) {
            if ((*it)->text(column).isEmpty()) // read as empty, not skipped
                (*it)->setData(column, Qt::AccessibleTextRole, QStringLiteral("（空）"));
        }
    }
    for (QTreeWidgetItem *item : std::as_const(opened))
        item->setExpanded(true);
    m_summary->setText(ClassCheck::summary(groups));
}
