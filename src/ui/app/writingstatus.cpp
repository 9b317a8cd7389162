#include "ui/app/writingstatus.h"

#include "core/document/session.h"
#include "core/document/writingprogress.h"

#include <QLabel>

WritingStatus::WritingStatus(Session &session, QWidget *parent)
    : QStatusBar(parent)
    , m_session(session)
{
    setObjectName(QStringLiteral("writingStatus"));
    m_written = new QLabel(this);
    m_written->setObjectName(QStringLiteral("writtenCount"));
    m_length = new QLabel(this);
    m_length->setObjectName(QStringLiteral("commentLength"));
    addPermanentWidget(m_length);
    addPermanentWidget(m_written);

    connect(&session, &Session::commentChanged, this, [this](int slot) {
        showWritten();
        if (slot == m_session.CurrentStudent() + 1)
            showLength();
    });
    connect(&session, &Session::currentStudentChanged, this, &WritingStatus::showLength);
    for (auto changed : {&Session::rosterChanged, &Session::documentReplaced}) {
        connect(&session, changed, this, [this] {
            showWritten();
            showLength();
        });
    }
    showWritten();
    showLength();
}

void WritingStatus::showWritten()
{
    const int students = m_session.Document().studentCount();
    m_written->setText(students > 0 ? WritingProgress::writtenText(
                                          WritingProgress::writtenCount(m_session.Document()), students)
                                    : QString());
}

void WritingStatus::showLength()
{
    const int student = m_session.CurrentStudent();
    const bool inRoster = student >= 0 && student < m_session.Document().studentCount();
    m_length->setText(inRoster ? WritingProgress::lengthText(WritingProgress::readerCount(
                                     m_session.Document().slot(student + 1).comment))
                               : QString());
}
