#include "core/platform/leadingnumber.h"
#include "core/printing/schemeediting.h"

#include <QTest>

#include <optional>

namespace {

using Box = SchemeEditing::Box;
using Field = std::optional<SchemeField>;
const Field NoField;

/// A scheme whose every field has a text of its own.
LayoutScheme sample()
{
    LayoutScheme scheme;
    scheme.name = QStringLiteral("甲");
    const QStringList values{"20", "10", "1", "1.5", "1", "2", "5", "8", ".4", ".05", "8"};
    for (int i = 0; i < LayoutScheme::FieldCount; ++i)
        scheme.setValue(LayoutScheme::FileFields[i], values[i]);
    return scheme;
}

} // namespace

class tst_SchemeEditing : public QObject
{
    Q_OBJECT

private slots:
    void numberText_data();
    void numberText();
    void apply_data();
    void apply();
    void spin_data();
    void spin();
    void heightStepped_data();
    void heightStepped();
    void lowerSpacing_data();
    void lowerSpacing();
    void itemTexts_data();
    void itemTexts();
    void copiesStepped_data();
    void copiesStepped();
};

void tst_SchemeEditing::numberText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("half") << 0.5 << ".5";
    QTest::newRow("minus five hundredths") << 0.05 - 0.1 << "-.05";
    QTest::newRow("sum residue") << 0.1 + 0.2 << ".3";
    QTest::newRow("above one") << 1.0 + 0.1 << "1.1";
    QTest::newRow("sixteen nines") << 0.9999999999999999 << "1";
    QTest::newRow("whole") << 100.0 << "100";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("tiny, no exponent") << 1e-16 << ".0000000000000001";
    QTest::newRow("large, no exponent") << 123456789012345678.0 << "123456789012346000";
}

void tst_SchemeEditing::numberText()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(SchemeEditing::numberText(value), text);
    // What the panel writes must read back as the same number wherever lengths are read.
    QCOMPARE(leadingNumber(text), QString::number(value, 'g', 15).toDouble());
}

void tst_SchemeEditing::apply_data()
{
    QTest::addColumn<Box>("box");
    QTest::addColumn<SelectedObject>("selected");
    QTest::addColumn<Field>("field"); // none: nothing is stored

    QTest::newRow("paper height") << Box::PaperHeight << SelectedObject::None
                                  << Field(SchemeField::PaperHeight);
    QTest::newRow("paper width, name selected")
        << Box::PaperWidth << SelectedObject::StudentName << Field(SchemeField::PaperWidth);
    QTest::newRow("spacing") << Box::Spacing << SelectedObject::Signature << Field(SchemeField::PyTextJuli);
    QTest::newRow("left, nothing selected") << Box::ItemLeft << SelectedObject::None << NoField;
    QTest::newRow("left of the name")
        << Box::ItemLeft << SelectedObject::StudentName << Field(SchemeField::StudentLeft);
    QTest::newRow("left of the comment")
        << Box::ItemLeft << SelectedObject::CommentText << Field(SchemeField::PyTextLeft);
    QTest::newRow("left of the signature")
        << Box::ItemLeft << SelectedObject::Signature << Field(SchemeField::TeacherLeft);
    QTest::newRow("top, nothing selected") << Box::ItemTop << SelectedObject::None << NoField;
    QTest::newRow("top of the name") << Box::ItemTop << SelectedObject::StudentName
                                     << Field(SchemeField::StudentTop);
    QTest::newRow("top of the comment")
        << Box::ItemTop << SelectedObject::CommentText << Field(SchemeField::PyTextTop);
    QTest::newRow("top of the signature")
        << Box::ItemTop << SelectedObject::Signature << Field(SchemeField::TeacherTop);
    QTest::newRow("width of the comment")
        << Box::ItemWidth << SelectedObject::CommentText << Field(SchemeField::PyTextWidth);
    QTest::newRow("width, name selected") << Box::ItemWidth << SelectedObject::StudentName << NoField;
    QTest::newRow("width, signature selected") << Box::ItemWidth << SelectedObject::Signature << NoField;
    QTest::newRow("height of the comment") << Box::ItemHeight << SelectedObject::CommentText << NoField;
}

void tst_SchemeEditing::apply()
{
    QFETCH(Box, box);
    QFETCH(SelectedObject, selected);
    QFETCH(Field, field);
    QCOMPARE(SchemeEditing::fieldOf(box, selected), field);
    // The text goes in as typed, unit and all; every other field stays.
    LayoutScheme scheme = sample();
    LayoutScheme expected = sample();
    if (field)
        expected.setValue(*field, QStringLiteral("7cm"));
    SchemeEditing::apply(scheme, box, selected, QStringLiteral("7cm"));
    QCOMPARE(scheme, expected);
}

void tst_SchemeEditing::spin_data()
{
    QTest::addColumn<Box>("box");
    QTest::addColumn<SelectedObject>("selected");
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("clicks"); // positive up, negative down
    QTest::addColumn<QString>("text");
    QTest::addColumn<Field>("field"); // where the text is stored; none: nowhere

    QTest::newRow("left below zero") << Box::ItemLeft << SelectedObject::Signature << ".05" << -1 << "-.05"
                                     << Field(SchemeField::TeacherLeft);
    QTest::newRow("and no further") << Box::ItemLeft << SelectedObject::Signature << ".05" << -2 << "-.05"
                                    << Field(SchemeField::TeacherLeft);
    QTest::newRow("ten steps up, no residue")
        << Box::ItemLeft << SelectedObject::CommentText << "1" << 10 << "2" << Field(SchemeField::PyTextLeft);
    QTest::newRow("text becomes 0") << Box::PaperHeight << SelectedObject::None << "abc" << -1 << "0"
                                    << Field(SchemeField::PaperHeight);
    QTest::newRow("negative written back")
        << Box::PaperWidth << SelectedObject::None << "-3cm" << -1 << "-3" << Field(SchemeField::PaperWidth);
    QTest::newRow("unit dropped going up")
        << Box::PaperWidth << SelectedObject::None << "12cm" << 1 << "12.1" << Field(SchemeField::PaperWidth);
    QTest::newRow("spacing: text kept")
        << Box::Spacing << SelectedObject::None << "abc" << -1 << "abc" << Field(SchemeField::PyTextJuli);
    QTest::newRow("spacing down to zero")
        << Box::Spacing << SelectedObject::None << ".4" << -5 << "0" << Field(SchemeField::PyTextJuli);
    QTest::newRow("spacing below zero kept")
        << Box::Spacing << SelectedObject::None << "-1cm" << -1 << "-1cm" << Field(SchemeField::PyTextJuli);
    QTest::newRow("width, name selected: shown only")
        << Box::ItemWidth << SelectedObject::StudentName << "8" << 1 << "8.1" << NoField;
    QTest::newRow("top, nothing selected: shown only")
        << Box::ItemTop << SelectedObject::None << "x" << -1 << "0" << NoField;
}

void tst_SchemeEditing::spin()
{
    QFETCH(Box, box);
    QFETCH(SelectedObject, selected);
    QFETCH(QString, start);
    QFETCH(int, clicks);
    QFETCH(QString, text);
    QFETCH(Field, field);
    LayoutScheme scheme = sample();
    QString shown = start;
    for (int i = 0; i < std::abs(clicks); ++i)
        shown = SchemeEditing::spin(scheme, box, selected, shown, clicks > 0).value_or(shown);
    QCOMPARE(shown, text);
    LayoutScheme expected = sample();
    if (field)
        expected.setValue(*field, text);
    QCOMPARE(scheme, expected);
}

void tst_SchemeEditing::heightStepped_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QString>("text");
    QTest::newRow("three up") << "5" << 3 << "5.3";
    QTest::newRow("down") << "5" << -1 << "4.9";
    QTest::newRow("down below zero") << "0" << -2 << "-.2";
    QTest::newRow("text counts as 0") << "abc" << 1 << ".1";
}

void tst_SchemeEditing::heightStepped()
{
    QFETCH(QString, start);
    QFETCH(int, clicks);
    QFETCH(QString, text);
    QString shown = start;
    for (int i = 0; i < std::abs(clicks); ++i)
        shown = SchemeEditing::heightStepped(shown, clicks > 0);
    QCOMPARE(shown, text);
}

void tst_SchemeEditing::lowerSpacing_data()
{
    QTest::addColumn<QString>("spacing");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QString>("result");
    QTest::newRow("a step") << ".4" << 1 << ".3";
    QTest::newRow("down to zero, no further") << ".4" << 5 << "0";
    QTest::newRow("from just above zero to below it") << ".05" << 2 << "-.05";
    QTest::newRow("unit dropped") << "1cm" << 1 << ".9";
    QTest::newRow("not a number: kept") << "abc" << 1 << "abc";
    QTest::newRow("negative: kept") << "-1" << 1 << "-1";
}

void tst_SchemeEditing::lowerSpacing()
{
    QFETCH(QString, spacing);
    QFETCH(int, clicks);
    QFETCH(QString, result);
    LayoutScheme scheme = sample();
    scheme.pytextjuli = spacing;
    for (int i = 0; i < clicks; ++i)
        SchemeEditing::lowerSpacing(scheme);
    LayoutScheme expected = sample();
    expected.pytextjuli = result;
    QCOMPARE(scheme, expected);
}

void tst_SchemeEditing::itemTexts_data()
{
    QTest::addColumn<SelectedObject>("selected");
    QTest::addColumn<QStringList>("texts"); // height, width, top, left; empty: the boxes stay
    QTest::newRow("name") << SelectedObject::StudentName << QStringList{"", "", "1.5", "1"};
    QTest::newRow("comment") << SelectedObject::CommentText << QStringList{"5", "8", "2", "1"};
    QTest::newRow("signature") << SelectedObject::Signature << QStringList{"", "", "8", ".05"};
    QTest::newRow("nothing") << SelectedObject::None << QStringList{};
}

void tst_SchemeEditing::itemTexts()
{
    QFETCH(SelectedObject, selected);
    QFETCH(QStringList, texts);
    const std::optional<SchemeEditing::ItemTexts> shown = SchemeEditing::itemTexts(sample(), selected);
    QCOMPARE(shown.has_value(), !texts.isEmpty());
    if (shown)
        QCOMPARE((QStringList{shown->height, shown->width, shown->top, shown->left}), texts);
}

void tst_SchemeEditing::copiesStepped_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QString>("text");
    QTest::newRow("copies up, no limit") << "999" << 2 << "1001";
    QTest::newRow("copies down to 1") << "3" << -5 << "1";
    QTest::newRow("copies, not a number") << "abc" << -1 << "0";
    QTest::newRow("a part of a copy left") << "1.5" << -1 << ".5";
}

void tst_SchemeEditing::copiesStepped()
{
    QFETCH(QString, start);
    QFETCH(int, clicks);
    QFETCH(QString, text);
    QString shown = start;
    for (int i = 0; i < std::abs(clicks); ++i)
        shown = SchemeEditing::copiesStepped(shown, clicks > 0);
    QCOMPARE(shown, text);
}

QTEST_APPLESS_MAIN(tst_SchemeEditing)
#include "tst_schemeediting.moc"
