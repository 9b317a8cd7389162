#pragma once

#include <QWidget>

class QComboBox;
class QSpinBox;
class RatingsModel;
struct ClassSettings;

/// The row above the 评价表's grid where the teacher sets the class's stage, term and the length
/// of its drafts. It edits the ratings' settings, which go with the ratings when they are kept.
class ClassSettingsBar : public QWidget
{
    Q_OBJECT

public:
    explicit ClassSettingsBar(RatingsModel &ratings, QWidget *parent = nullptr);

    QComboBox *stage() const { return m_stage; }
    QComboBox *term() const { return m_term; }
    QSpinBox *minLength() const { return m_min; }
    QSpinBox *maxLength() const { return m_max; }

private:
    /// The controls show the settings as they stand.
    void showSettings();
    /// The settings take what the controls show.
    void takeControls();

    RatingsModel &m_ratings;
    QComboBox *m_stage = nullptr;
    QComboBox *m_term = nullptr;
    QSpinBox *m_min = nullptr;
    QSpinBox *m_max = nullptr;
    bool m_showing = false;
};
