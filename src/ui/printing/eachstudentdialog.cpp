#include "ui/printing/eachstudentdialog.h"

#include "core/document/session.h"
#include "core/platform/platform.h"
#include "core/printing/schemestore.h"
#include "core/printing/studentcopies.h"
#include "ui/platform/accessiblenames.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString FolderKey = QStringLiteral("each/folder");

} // namespace

EachStudentDialog::EachStudentDialog(const Session &session, const TextMeasurer &measurer, Platform &platform,
                                     QWidget *parent)
    : QDialog(parent)
    , m_session(session)
    , m_measurer(measurer)
    , m_platform(platform)
{
    setObjectName(QStringLiteral("eachstudent"));
    setWindowTitle(StudentCopies::Title);

    m_folder = new QLineEdit(platform.setting(FolderKey).toString(), this);
    m_folder->setObjectName(QStringLiteral("folder"));
    if (m_folder->text().isEmpty() && !session.namedPath().isEmpty())
        m_folder->setText(QFileInfo(session.namedPath()).absolutePath());
    auto *browseButton = new QPushButton(QStringLiteral("浏览(&B)..."), this);
    browseButton->setObjectName(QStringLiteral("browse"));
    connect(browseButton, &QPushButton::clicked, this, &EachStudentDialog::browse);
    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(browseButton);

    auto *pdf = new QRadioButton(QStringLiteral("PDF 文件（与打印的一页相同）"), this);
    pdf->setObjectName(QStringLiteral("pdf"));
    pdf->setChecked(true);
    m_png = new QRadioButton(QStringLiteral("PNG 图片（适合在手机上查看）"), this);
    m_png->setObjectName(QStringLiteral("png"));
    auto *kinds = new QVBoxLayout;
    kinds->addWidget(pdf);
    kinds->addWidget(m_png);

    m_scheme = new QComboBox(this);
    m_scheme->setObjectName(QStringLiteral("scheme"));
    if (const Result<QStringList> names = SchemeStore(session).names()) {
        m_scheme->addItems(*names);
        // The class's chosen scheme to start with; another one serves this export only.
        m_scheme->setCurrentIndex(std::max<qsizetype>(names->indexOf(session.activeScheme()), 0));
    }

    m_includeEmpty = new QCheckBox(QStringLiteral("包括未写评语的学生(&I)"), this);
    m_includeEmpty->setObjectName(QStringLiteral("includeEmpty"));

    auto *form = new QFormLayout;
    // Each box is named by the caption before it, which its access key reaches.
    auto *folderCaption = new QLabel(QStringLiteral("保存到文件夹(&F)："), this);
    AccessibleNames::label(folderCaption, m_folder);
    form->addRow(folderCaption, folderRow);
    form->addRow(QStringLiteral("文件格式："), kinds);
    auto *schemeCaption = new QLabel(QStringLiteral("打印方案(&S)："), this);
    AccessibleNames::label(schemeCaption, m_scheme);
    form->addRow(schemeCaption, m_scheme);
    form->addRow(QString(), m_includeEmpty);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *exportButton = buttons->addButton(QStringLiteral("导出(&E)"), QDialogButtonBox::AcceptRole);
    exportButton->setObjectName(QStringLiteral("export"));
    exportButton->setDefault(true);
    exportButton->setEnabled(m_scheme->count() > 0);
    QPushButton *cancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancel"));
    connect(exportButton, &QPushButton::clicked, this, &EachStudentDialog::exportFiles);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    // Room for a folder path of the usual length.
    m_folder->setMinimumWidth(fontMetrics().averageCharWidth() * 40);
}

void EachStudentDialog::browse()
{
    const QString folder = m_platform.chooseFolder(m_folder->text());
    if (!folder.isEmpty())
        m_folder->setText(folder);
}

void EachStudentDialog::exportFiles()
{
    const Result<LayoutScheme> scheme = SchemeStore(m_session).load(m_scheme->currentText());
    if (!scheme) {
        m_platform.messageBox(scheme.error(), Platform::NoticeTitle, MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    StudentCopies::Choice choice;
    choice.folder = m_folder->text().trimmed();
    choice.kind = m_png->isChecked() ? StudentCopies::Kind::Png : StudentCopies::Kind::Pdf;
    choice.includeEmpty = m_includeEmpty->isChecked();
    choice.className = QFileInfo(m_session.CurrentPath()).completeBaseName();
    choice.classPath = m_session.CurrentPath();

    // The question, the progress box and the report come one after another through the seam.
    const StudentCopies::Outcome outcome =
        StudentCopies::exportCopies(m_session.Document(), choice, *scheme, m_measurer, m_platform);
    if (!outcome.written.isEmpty() || outcome.stopped) {
        m_platform.setSetting(FolderKey, choice.folder);
        accept();
    }
}
