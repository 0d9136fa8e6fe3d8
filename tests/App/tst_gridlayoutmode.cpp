#include "gridlayoutmode.h"

#include <QTest>

class TestGridLayoutMode : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void fromRaw_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<int>("expected"); // -1: no mode
        QTest::newRow("vertical") << u"vertical"_qs << int(GridLayoutMode::Vertical);
        QTest::newRow("horizontal") << u"horizontal"_qs << int(GridLayoutMode::Horizontal);
        QTest::newRow("capitalised is no mode") << u"Vertical"_qs << -1;
        QTest::newRow("empty") << QString() << -1;
        QTest::newRow("padded") << u" vertical"_qs << -1;
    }
    void fromRaw()
    {
        QFETCH(QString, raw);
        QFETCH(int, expected);
        const auto mode = GridLayoutModes::fromRaw(raw);
        QCOMPARE(mode ? int(*mode) : -1, expected);
        if (mode)
            QCOMPARE(GridLayoutModes::raw(*mode), raw);
    }
};

QTEST_GUILESS_MAIN(TestGridLayoutMode)
#include "tst_gridlayoutmode.moc"
