#include "ui/app/copyright.h"

#include "core/app/startupsequence.h"
#include "core/document/session.h"
#include "core/platform/fontsubstitution.h"
#include "core/platform/programfiles.h"

#include <QFrame>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

bool copyright::StartupDone = false;

copyright::copyright(Session &session, Platform &platform, QString programFolder,
                     std::function<void()> openMain, QWidget *parent)
    // As the About window it takes the keyboard and the mouse at once (grabbed while it shows),
    // whatever the window manager does, so a key or a click closes it and nothing typed
    // meanwhile reaches a comment box behind it. It is a dialog, not a pop-up, so that a screen
    // reader finds it among the program's windows.
    : QDialog(parent, (StartupDone ? Qt::Dialog : Qt::SplashScreen) | Qt::FramelessWindowHint)
    , m_session(session)
    , m_platform(platform)
    , m_programFolder(std::move(programFolder))
    , m_openMain(std::move(openMain))
{
    setObjectName(QStringLiteral("copyright"));
    setWindowTitle(QStringLiteral("青禾书苑"));
    // The program ends with the main window, not with this one.
    setAttribute(Qt::WA_QuitOnClose, false);
    setStyleSheet(QStringLiteral("copyright { background: #f6faf2; }"));

    auto *shape = new QFrame(this);
    shape->setObjectName(QStringLiteral("Shape1"));
    shape->setFrameShape(QFrame::Box);
    shape->setStyleSheet(QStringLiteral("#Shape1 { border: 2px solid #3d7a3a; }"));

    auto *product = new QLabel(QStringLiteral("青禾书苑"), shape);
    product->setObjectName(QStringLiteral("Label1"));
    QFont productFont = FontSubstitution::toQFont({QStringLiteral("宋体"), 18, true, false});
    product->setFont(productFont);
    product->setAlignment(Qt::AlignCenter);

    auto *version = new QLabel(QStringLiteral("（v1.0）"), shape);
    version->setObjectName(QStringLiteral("Label6"));
    version->setAlignment(Qt::AlignCenter);

    auto *edition = new QLabel(QStringLiteral("标准版"), shape);
    edition->setObjectName(QStringLiteral("Label10"));
    edition->setAlignment(Qt::AlignCenter);

    auto *english = new QLabel(QStringLiteral("Quillmark"), shape);
    english->setAlignment(Qt::AlignCenter);

    auto *inner = new QVBoxLayout(shape);
    inner->setContentsMargins(24, 20, 24, 20);
    inner->addStretch();
    const QPixmap icon(ProgramFiles(m_programFolder).programIcon());
    if (!icon.isNull()) {
        auto *picture = new QLabel(shape);
        picture->setPixmap(icon.scaled(56, 56, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        picture->setAlignment(Qt::AlignCenter);
        inner->addWidget(picture);
    }
    inner->addWidget(product);
    inner->addWidget(english);
    auto *line = new QHBoxLayout;
    line->addStretch();
    line->addWidget(version);
    line->addWidget(edition);
    line->addStretch();
    inner->addLayout(line);
    inner->addStretch();

    m_doing = new QLabel(this);
    m_doing->setObjectName(QStringLiteral("doing"));

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 12, 12, 8);
    outer->addWidget(shape, 1);
    outer->addWidget(m_doing);
    setFixedSize(400, 280);

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(10000);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &QWidget::close);
}

void copyright::showEvent(QShowEvent *event)
{
    if (QWidget *owner = parentWidget(); owner && StartupDone) {
        // A pop-up is not placed by the window manager: centre it on the main window.
        move(owner->frameGeometry().center() - rect().center());
    }
    QDialog::showEvent(event);
    if (StartupDone) {
        grabKeyboard();
        grabMouse();
    }
    m_timer->start();
    // Once the window is on screen and has the focus, run the sequence (first time) or just
    // clear the status line (as the About window).
    QTimer::singleShot(0, this, &copyright::Form_GotFocus);
}

void copyright::Form_GotFocus()
{
    if (StartupDone) {
        m_doing->clear();
        return;
    }
    // Show the window's content before the checks run, since they may block on a message.
    QWindow *window = windowHandle();
    if (window && !window->isExposed() && m_exposeRetries++ < 50) {
        QTimer::singleShot(20, this, &copyright::Form_GotFocus);
        return;
    }
    repaint();
    StartupDone = true;
    StartupSequence sequence(m_session, m_platform, m_programFolder, [this](const QString &text) {
        m_doing->setText(text);
        m_doing->repaint();
    });
    if (!sequence.run()) {
        close();
        emit startupFailed();
        return;
    }
    if (m_openMain)
        m_openMain();
    m_doing->setText(m_doing->text() + StartupSequence::SuccessText);
    close();
}

void copyright::hideEvent(QHideEvent *event)
{
    releaseKeyboard();
    releaseMouse();
    QDialog::hideEvent(event);
}

void copyright::mousePressEvent(QMouseEvent *event)
{
    Q_UNUSED(event);
    close();
}

void copyright::keyPressEvent(QKeyEvent *event)
{
    Q_UNUSED(event);
    close();
}
