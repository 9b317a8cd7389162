#include "core/app/draftsboard.h"

#include "core/document/roster.h"
#include "core/document/session.h"

#include <algorithm>

namespace {

const quint32 Seed = 1;
const QString NoDraft = QStringLiteral("（选中的学生还没有评价，没有草稿。）");
const QString DroppedNote = QStringLiteral("\n为适合纸张，略去了：");
const QString LeftOutNote = QStringLiteral("\n未写入：");
const QString NotWritten = QStringLiteral("评价表“%1”无法写入：%2");

} // namespace

const QString DraftsBoard::StepName = QStringLiteral("生成草稿");

DraftsBoard::DraftsBoard(Session &session, QObject *parent)
    : QObject(parent)
    , m_session(session)
{
    connect(&m_ratings, &RatingsModel::gradesChanged, this, &DraftsBoard::redrawAll);
    connect(&m_ratings, &RatingsModel::settingsChanged, this, &DraftsBoard::takeOptions);
    connect(&m_ratings, &RatingsModel::columnHiddenChanged, this, &DraftsBoard::takeOptions);
}

DraftsBoard::~DraftsBoard() = default;

void DraftsBoard::reload(std::unique_ptr<ClassDrafts::Drafter> drafter, const QStringList &hidden)
{
    m_drafter = std::move(drafter);
    m_redrawn.clear();
    m_ratings.load(Roster::names(m_session.Document()), m_drafter->library().categories, m_session.Ratings(),
                   hidden);
    takeOptions();
}

void DraftsBoard::takeOptions()
{
    // A 换一句 draft was drawn under the old options and gives way.
    m_redrawn.clear();
    if (m_drafter)
        m_drafter->setOptions({m_ratings.settings(), m_ratings.visibleCategories()});
    redrawAll({});
}

void DraftsBoard::redrawAll(const QList<int> &changedRows)
{
    // 换一句 holds only while the student's ratings stay.
    for (const int row : changedRows)
        m_redrawn.remove(row);
    if (!m_drafter)
        return;
    const RatingsFile::Table &table = m_ratings.table();
    m_drafts = m_drafter->draft(table.names, ClassDrafts::ratingsOf(table), Seed);
    for (auto it = m_redrawn.cbegin(); it != m_redrawn.cend(); ++it)
        m_drafts[it.key()] = it.value();
    emit draftsChanged();
}

Drafts::Draft DraftsBoard::fitted(int row) const
{
    // Only what is shown or written is measured against the paper.
    return m_drafter ? m_drafter->fitted(draft(row)) : draft(row);
}

QString DraftsBoard::previewText(int row) const
{
    if (row < 0 || row >= m_drafts.size() || m_drafts[row].text.isEmpty())
        return NoDraft;
    const Drafts::Draft shown = fitted(row);
    QString text = QStringLiteral("%1：%2").arg(m_ratings.table().names[row], shown.text);
    if (!shown.dropped.isEmpty())
        text += DroppedNote + shown.dropped.join(QStringLiteral("、"));
    if (!shown.leftOut.isEmpty())
        text += LeftOutNote + shown.leftOut.join(QStringLiteral("、"));
    return text;
}

bool DraftsBoard::redraw(int row)
{
    if (!m_drafter || row < 0 || row >= m_drafts.size() || m_drafts[row].text.isEmpty())
        return false;
    const RatingsFile::Table &table = m_ratings.table();
    m_drafts[row] = m_drafter->redraw(table.names, ClassDrafts::ratingsOf(table), m_drafts, row,
                                      Seed + quint32(m_redrawn.size()) + 1);
    m_redrawn.insert(row, m_drafts[row]);
    emit draftsChanged();
    return true;
}

QString DraftsBoard::repeatReport() const
{
    const bool drafted =
        std::any_of(m_drafts.cbegin(), m_drafts.cend(), [](const Drafts::Draft &d) { return !d.text.isEmpty(); });
    return drafted ? Drafts::repeatReport(m_drafts, m_ratings.table().names) : QString();
}

int DraftsBoard::withComment() const
{
    return ClassDrafts::withComment(Roster::comments(m_session.Document()), m_drafts);
}

bool DraftsBoard::apply(ClassDrafts::Existing existing)
{
    QList<Drafts::Draft> drafts;
    for (int row = 0; row < m_drafts.size(); ++row)
        drafts << fitted(row);
    const QList<FindReplace::Change> changes =
        ClassDrafts::changes(Roster::comments(m_session.Document()), drafts, existing);
    m_session.changeComments(StepName, changes);
    return !changes.isEmpty();
}

Result<void> DraftsBoard::keepRatings()
{
    if (!m_ratings.edited())
        return {};
    m_ratings.markKept();
    m_session.setRatings(m_ratings.table());
    if (const QString named = m_session.namedPath(); !named.isEmpty()) {
        const QString path = RatingsFile::sidecarPath(named);
        if (const Result<void> written = RatingsFile::write(path, m_session.Ratings(), named); !written)
            return Failure{NotWritten.arg(path, written.error())};
    }
    return {};
}
