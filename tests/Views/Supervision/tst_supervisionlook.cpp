#include "supervisionlook.h"
#include "theme.h"

#include <QTest>

// The supervision panel's state colours: what changes under the pointer and with the selection.
class TestSupervisionLook : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void iconButton_data();
    void iconButton();
    void hoverAndSelection();
};

void TestSupervisionLook::iconButton_data()
{
    QTest::addColumn<bool>("destructive");
    QTest::addColumn<bool>("hovering");
    QTest::addColumn<QColor>("glyph");
    QTest::addColumn<bool>("filled");

    const QColor grey(146, 146, 146);
    QTest::newRow("edit at rest") << false << false << grey << false;
    QTest::newRow("edit hovered") << false << true << Theme::primary() << true;
    QTest::newRow("delete at rest") << true << false << grey << false;
    QTest::newRow("delete hovered") << true << true << Theme::danger() << true;
}

void TestSupervisionLook::iconButton()
{
    QFETCH(bool, destructive);
    QFETCH(bool, hovering);
    QFETCH(QColor, glyph);
    QFETCH(bool, filled);
    QCOMPARE(SupervisionLook::iconButtonGlyph(destructive, hovering), glyph);
    QCOMPARE(SupervisionLook::iconButtonFill(hovering).alpha() > 0, filled);
}

void TestSupervisionLook::hoverAndSelection()
{
    // A row is tinted only under the pointer, faintly.
    QCOMPARE(SupervisionLook::rowFill(false).alpha(), 0);
    QVERIFY(SupervisionLook::rowFill(true).alphaF() > 0.02 && SupervisionLook::rowFill(true).alphaF() < 0.04);
    // A selected tab reads in the primary colour and heavier, with its shadow; the others in grey.
    QCOMPARE(SupervisionLook::tabTitle(true), Theme::primary());
    QCOMPARE(SupervisionLook::tabTitle(false), QColor(146, 146, 146));
    QVERIFY(SupervisionLook::tabTitleWeight(true) > SupervisionLook::tabTitleWeight(false));
    QCOMPARE(SupervisionLook::tabShadowStrength(false), 0.0);
    QVERIFY(SupervisionLook::tabShadowStrength(true) > 0);
    QCOMPARE(SupervisionLook::switchTrack(true), Theme::accent());
    QVERIFY(qAbs(SupervisionLook::scrim().alphaF() - 0.25f) < 0.001f);
}

QTEST_MAIN(TestSupervisionLook)
#include "tst_supervisionlook.moc"
