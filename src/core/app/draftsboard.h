#pragma once

#include "core/app/classdrafts.h"
#include "core/document/ratingsmodel.h"
#include "core/platform/result.h"

#include <QHash>
#include <QObject>

#include <memory>

class Session;

/// What the 评价表 works on: the class's ratings as a model, the drafts drawn from them, 换一句
/// per student, and 生成, which puts the drafts into the comments as one step of the class's
/// history. The window only shows it and asks the teacher.
class DraftsBoard : public QObject
{
    Q_OBJECT

public:
    /// The name of 生成's step in the class's history (编辑→撤消生成草稿).
    static const QString StepName;

    explicit DraftsBoard(Session &session, QObject *parent = nullptr);
    ~DraftsBoard() override;

    RatingsModel &ratings() { return m_ratings; }
    const RatingsModel &ratings() const { return m_ratings; }

    /// Starts afresh on the class's roster and ratings, the drafter's categories as columns;
    /// the categories in `hidden` are hidden.
    void reload(std::unique_ptr<ClassDrafts::Drafter> drafter, const QStringList &hidden);

    /// Student `row`'s draft as drawn (换一句 included), not yet fitted; empty when unrated.
    Drafts::Draft draft(int row) const { return m_drafts.value(row); }
    /// Student `row`'s draft cut to the paper, as the preview and 生成 show it.
    Drafts::Draft fitted(int row) const;
    /// What the preview shows for student `row`.
    QString previewText(int row) const;
    /// 换一句: another draft for student `row`, kept until its ratings change; false when the
    /// student has no draft.
    bool redraw(int row);
    /// The class's drafts as drawn: "全班没有重复的句子。" or the sentences they share; empty
    /// while no student has a draft.
    QString repeatReport() const;

    /// Rated students whose comment is written already (生成 asks what becomes of those).
    int withComment() const;
    /// 生成: the fitted drafts go into the comments as one step of the class's history; false
    /// when no comment changed.
    bool apply(ClassDrafts::Existing existing);
    /// The ratings become the class's when they changed, written beside a named class; the
    /// message when the file could not be written.
    Result<void> keepRatings();

signals:
    /// The drafts were drawn anew (the ratings changed, or 换一句).
    void draftsChanged();

private:
    void redrawAll(const QList<int> &changedRows);
    /// The drafter follows the class's settings and the shown columns; every draft is drawn anew.
    void takeOptions();

    Session &m_session;
    RatingsModel m_ratings;
    std::unique_ptr<ClassDrafts::Drafter> m_drafter;
    QList<Drafts::Draft> m_drafts;       ///< as drawn for the ratings
    QHash<int, Drafts::Draft> m_redrawn; ///< 换一句 per student, until its ratings change
};
