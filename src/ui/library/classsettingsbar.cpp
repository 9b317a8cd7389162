#include "ui/library/classsettingsbar.h"

#include "core/document/ratingsmodel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>

namespace {

const QString Unset = QStringLiteral("未设定");
// The lengths ClassSettings reads from a file.
constexpr int ShortestWindow = 10;
constexpr int LongestWindow = 1000;

QLabel *buddyLabel(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

ClassSettingsBar::ClassSettingsBar(RatingsModel &ratings, QWidget *parent)
    : QWidget(parent)
    , m_ratings(ratings)
    , m_stage(new QComboBox(this))
    , m_term(new QComboBox(this))
    , m_min(new QSpinBox(this))
    , m_max(new QSpinBox(this))
{
    setObjectName(QStringLiteral("classSettings"));
    m_stage->setObjectName(QStringLiteral("stage"));
    m_stage->addItem(Unset);
    for (const Stage stage : {Stage::LowerPrimary, Stage::UpperPrimary, Stage::Junior, Stage::Senior})
        m_stage->addItem(ClassSettings::stageName(stage), int(stage));
    m_term->setObjectName(QStringLiteral("term"));
    for (const Term term : {Term::First, Term::Second})
        m_term->addItem(ClassSettings::termName(term), int(term));
    m_term->setPlaceholderText(Unset);
    m_min->setObjectName(QStringLiteral("minLength"));
    m_max->setObjectName(QStringLiteral("maxLength"));
    m_min->setAccessibleName(QStringLiteral("草稿最少字数"));
    m_max->setAccessibleName(QStringLiteral("草稿最多字数"));
    for (QSpinBox *box : {m_min, m_max}) {
        box->setRange(ShortestWindow, LongestWindow);
        box->setSingleStep(10);
        // Drafts are drawn anew when a value is entered, not at each digit typed.
        box->setKeyboardTracking(false);
        connect(box, &QSpinBox::valueChanged, this, &ClassSettingsBar::takeControls);
    }
    connect(m_stage, &QComboBox::currentIndexChanged, this, &ClassSettingsBar::takeControls);
    connect(m_term, &QComboBox::currentIndexChanged, this, &ClassSettingsBar::takeControls);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(buddyLabel(QStringLiteral("学段(&S)："), m_stage, this));
    layout->addWidget(m_stage);
    layout->addSpacing(12);
    layout->addWidget(buddyLabel(QStringLiteral("学期(&T)："), m_term, this));
    layout->addWidget(m_term);
    layout->addSpacing(12);
    layout->addWidget(buddyLabel(QStringLiteral("字数(&L)："), m_min, this));
    layout->addWidget(m_min);
    layout->addWidget(buddyLabel(QStringLiteral("至"), m_max, this));
    layout->addWidget(m_max);
    layout->addStretch(1);

    connect(&m_ratings, &RatingsModel::settingsChanged, this, &ClassSettingsBar::showSettings);
    connect(&m_ratings, &RatingsModel::modelReset, this, &ClassSettingsBar::showSettings);
    showSettings();
}

void ClassSettingsBar::showSettings()
{
    const ClassSettings &settings = m_ratings.settings();
    m_showing = true;
    int stage = settings.stage ? m_stage->findData(int(*settings.stage)) : 0;
    if (stage < 0) {
        // 小学 (both primary stages) is set only from the command line; it shows as it is.
        m_stage->addItem(ClassSettings::stageName(*settings.stage), int(*settings.stage));
        stage = m_stage->count() - 1;
    }
    m_stage->setCurrentIndex(stage);
    m_term->setCurrentIndex(settings.term ? m_term->findData(int(*settings.term)) : -1);
    m_min->setValue(settings.minimum());
    m_max->setValue(settings.maximum());
    m_showing = false;
}

void ClassSettingsBar::takeControls()
{
    if (m_showing)
        return;
    ClassSettings settings = m_ratings.settings();
    const QVariant stage = m_stage->currentData();
    settings.stage = stage.isValid() ? std::optional<Stage>(Stage(stage.toInt())) : std::nullopt;
    const QVariant term = m_term->currentData();
    settings.term = term.isValid() ? std::optional<Term>(Term(term.toInt())) : std::nullopt;
    // A window turned inside out follows the box just changed.
    int low = m_min->value();
    int high = m_max->value();
    if (low > high) {
        if (sender() == m_min)
            high = low;
        else
            low = high;
    }
    // The stage's own window is no window of the class's: it follows the stage when that changes.
    ClassSettings byStage = settings;
    byStage.minLength = byStage.maxLength = 0;
    const bool own = sender() != m_stage && (low != byStage.minimum() || high != byStage.maximum());
    settings.minLength = own ? low : (sender() == m_stage ? settings.minLength : 0);
    settings.maxLength = own ? high : (sender() == m_stage ? settings.maxLength : 0);
    m_ratings.setSettings(settings);
    // A window corrected above, or one the stage gives, shows as it is now.
    showSettings();
}
