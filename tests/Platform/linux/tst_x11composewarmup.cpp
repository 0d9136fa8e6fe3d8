#include "linux/x11composewarmup.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QTest>
#include <QWindow>

// The warm-up's key reaches the window once, at its first activation, and carries nothing a field would act on. Runs
// on a virtual X server; elsewhere it checks only that nothing is sent.
class TestX11ComposeWarmUp : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void oneKeyWithNothingInItAtTheFirstActivation();
};

namespace {

class RecordingWindow : public QWindow
{
public:
    struct Key
    {
        QEvent::Type type;
        int key;
        QString text;
    };
    QList<Key> keys;

protected:
    void keyPressEvent(QKeyEvent *event) override { keys.append({event->type(), event->key(), event->text()}); }
    void keyReleaseEvent(QKeyEvent *event) override { keys.append({event->type(), event->key(), event->text()}); }
};

} // namespace

void TestX11ComposeWarmUp::oneKeyWithNothingInItAtTheFirstActivation()
{
    RecordingWindow window;
    window.resize(200, 100);
    X11ComposeWarmUp::warmUp(window);
    window.show();
    window.requestActivate();
    if (QGuiApplication::platformName() != u"xcb"_qs) {
        QTest::qWait(100);
        QVERIFY(window.keys.isEmpty());
        QSKIP("needs an X server");
    }
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTRY_COMPARE(window.keys.size(), 2);
    QCOMPARE(window.keys.at(0).type, QEvent::KeyPress);
    QCOMPARE(window.keys.at(1).type, QEvent::KeyRelease);
    for (const auto &key : std::as_const(window.keys)) {
        QVERIFY(key.text.isEmpty());
        QVERIFY2(key.key == 0 || key.key == Qt::Key_unknown, qPrintable(QString::number(key.key, 16)));
    }

    // Active again later: nothing more.
    RecordingWindow other;
    other.resize(100, 100);
    other.show();
    other.requestActivate();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    window.requestActivate();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::qWait(100);
    QCOMPARE(window.keys.size(), 2);
}

QTEST_MAIN(TestX11ComposeWarmUp)
#include "tst_x11composewarmup.moc"
