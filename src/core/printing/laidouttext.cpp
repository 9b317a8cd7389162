#include "core/printing/laidouttext.h"

QList<QGlyphRun> LaidOutText::runs(qsizetype from, qsizetype to) const
{
    QList<QGlyphRun> runs;
    // Drawn on its own, a line is shaped in items that Qt ends where the script changes: at a
    // character of a script of its own other than the one before (characters of no script of
    // their own go with the item they are in); drawing the same glyphs, the runs end there too,
    // and where the font changes.
    QChar::Script script = QChar::Script_Common;
    qsizetype runFrom = from;
    const auto endRun = [&](qsizetype end) {
        QList<QPointF> places;
        places.reserve(end - runFrom);
        for (qsizetype i = runFrom; i < end; ++i)
            places.append(QPointF(x[i] - x[from], y[i]));
        QGlyphRun run;
        run.setRawFont(fonts[fontOf[runFrom]]);
        run.setGlyphIndexes(glyphs.mid(runFrom, end - runFrom));
        run.setPositions(places);
        runs.append(run);
        runFrom = end;
    };
    for (qsizetype i = from; i < to; ++i) {
        bool ends = i > from && fontOf[i] != fontOf[i - 1];
        const QChar::Script own = QChar::script(chars[i].unicode());
        if (own > QChar::Script_Common) {
            ends = ends || (script > QChar::Script_Common && own != script);
            script = own;
        }
        if (ends)
            endRun(i);
    }
    if (from < to)
        endRun(to);
    return runs;
}
