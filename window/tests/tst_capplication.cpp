#include "version/versionrecord.h"
#include "window/capplication.h"
#include "window/startuphook.h"

#include <QAtomicInt>
#include <QIcon>
#include <QImage>
#include <QPointer>
#include <QSemaphore>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <stdexcept>
#include <vector>

namespace {

// Messages Qt's logging would have printed while a test ran.
struct CapturedMessage
{
    QtMsgType type;
    QString text;
};
QList<CapturedMessage> capturedMessages;

void captureMessage(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    capturedMessages.append({type, text});
}

class MessageCapture
{
public:
    MessageCapture()
        : m_previous(qInstallMessageHandler(captureMessage))
    {
        capturedMessages.clear();
    }
    ~MessageCapture() { qInstallMessageHandler(m_previous); }

    MessageCapture(const MessageCapture &) = delete;
    MessageCapture &operator=(const MessageCapture &) = delete;

private:
    QtMessageHandler m_previous;
};

enum class Thrown { StandardException, DerivedException, OtherValue, Nothing };

const QEvent::Type throwEvent = QEvent::Type(QEvent::User + 1);

// Throws what it is told to from its event handler.
class Thrower : public QObject
{
public:
    explicit Thrower(Thrown thrown)
        : m_thrown(thrown)
    {
    }

    bool event(QEvent *event) override
    {
        if (event->type() != throwEvent)
            return QObject::event(event);
        switch (m_thrown) {
        case Thrown::StandardException:
            throw std::runtime_error("boom");
        case Thrown::DerivedException:
            throw std::out_of_range("index 7");
        case Thrown::OtherValue:
            throw 42;
        case Thrown::Nothing:
            break;
        }
        return false;
    }

private:
    Thrown m_thrown;
};

} // namespace

Q_DECLARE_METATYPE(Thrown)

class TestCApplication : public QObject
{
    Q_OBJECT

private slots:
    void actorModelHookRanOnce();
    void identity();
    void windowIcon();
    void hookRunsOncePerName();
    void hookRunsOnceAcrossThreads();
    void exceptionEndsTheLoop_data();
    void exceptionEndsTheLoop();
    void exceptionOutsideTheLoop();
    void resultPassesThrough();
};

// Five requests were queued before the application object existed, and Qt
// ran them all while constructing it; one more now runs at once.
void TestCApplication::actorModelHookRanOnce()
{
    QCOMPARE(startupHooksRun(), QStringList{QStringLiteral("CsActor::init")});
    qAddPreRoutine(actorModelStartupHook);
    actorModelStartupHook();
    QCOMPARE(startupHooksRun(), QStringList{QStringLiteral("CsActor::init")});
}

void TestCApplication::identity()
{
    const QString version = QCoreApplication::applicationVersion();
    QVERIFY2(QRegularExpression(QStringLiteral("^1\\.10\\.0\\+rev\\.1-build\\.[0-9a-f]{7}$"))
                 .match(version)
                 .hasMatch(),
        qPrintable(version));
    QCOMPARE(version, VersionRecord::current().version.toString());
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("nimbo"));
    QCOMPARE(QGuiApplication::applicationDisplayName(), "Nimbo (" + version + ")");
}

void TestCApplication::windowIcon()
{
    const QImage bundled(QStringLiteral(":/res/assets/exe_icon.png"));
    QVERIFY(!bundled.isNull());
    const QIcon icon = QApplication::windowIcon();
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.pixmap(bundled.size()).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
        bundled.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

void TestCApplication::hookRunsOncePerName()
{
    int runs = 0;
    const auto count = [&runs] { ++runs; };
    runStartupHookOnce(QStringLiteral("test.once"), count);
    runStartupHookOnce(QStringLiteral("test.once"), count);
    QCOMPARE(runs, 1);
    // Names are compared exactly.
    runStartupHookOnce(QStringLiteral("Test.Once"), count);
    QCOMPARE(runs, 2);
    QCOMPARE(startupHooksRun().count(QStringLiteral("test.once")), 1);
    QCOMPARE(startupHooksRun().count(QStringLiteral("CsActor::init")), 1);
}

void TestCApplication::hookRunsOnceAcrossThreads()
{
    constexpr int threadCount = 8;
    QAtomicInt runs;
    QSemaphore start;
    std::vector<QThread *> threads;
    for (int i = 0; i < threadCount; ++i) {
        threads.push_back(QThread::create([&] {
            start.acquire();
            runStartupHookOnce(QStringLiteral("test.threads"), [&runs] {
                QThread::msleep(20); // widens the window for a second run
                runs.ref();
            });
        }));
        threads.back()->start();
    }
    start.release(threadCount);
    for (QThread *thread : threads) {
        QVERIFY(thread->wait(10000));
        delete thread;
    }
    QCOMPARE(runs.loadRelaxed(), 1);
}

void TestCApplication::exceptionEndsTheLoop_data()
{
    QTest::addColumn<Thrown>("thrown");
    QTest::addColumn<QString>("message");
    QTest::newRow("runtime_error") << Thrown::StandardException << QStringLiteral("EXCEPTION boom");
    QTest::newRow("derived exception") << Thrown::DerivedException << QStringLiteral("EXCEPTION index 7");
    QTest::newRow("not an exception") << Thrown::OtherValue << QStringLiteral("UNKNOWN EXCEPTION");
}

void TestCApplication::exceptionEndsTheLoop()
{
    QFETCH(Thrown, thrown);
    QFETCH(QString, message);

    Thrower thrower(thrown);
    QCoreApplication::postEvent(&thrower, new QEvent(throwEvent));
    // Ends the loop with another code if the exception did not.
    QTimer fallback;
    fallback.setSingleShot(true);
    connect(&fallback, &QTimer::timeout, qApp, [] { QCoreApplication::exit(7); });
    fallback.start(10000);

    int exitCode = -1;
    {
        MessageCapture capture;
        exitCode = QCoreApplication::exec();
    }
    QCOMPARE(exitCode, 0);
    QCOMPARE(capturedMessages.size(), 1);
    QCOMPARE(capturedMessages.first().type, QtCriticalMsg);
    QCOMPARE(capturedMessages.first().text, message);

    // The application goes on working: the next loop runs and ends normally.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(3); });
    QCOMPARE(QCoreApplication::exec(), 3);
}

// Delivered outside the loop, the exception is caught all the same and the
// event counts as handled.
void TestCApplication::exceptionOutsideTheLoop()
{
    Thrower thrower(Thrown::StandardException);
    QEvent event(throwEvent);
    MessageCapture capture;
    QVERIFY(QCoreApplication::sendEvent(&thrower, &event));
    QCOMPARE(capturedMessages.size(), 1);
    QCOMPARE(capturedMessages.first().text, QStringLiteral("EXCEPTION boom"));
}

void TestCApplication::resultPassesThrough()
{
    Thrower thrower(Thrown::Nothing);
    QEvent unhandled(throwEvent);
    QVERIFY(!QCoreApplication::sendEvent(&thrower, &unhandled));
}

int main(int argc, char *argv[])
{
    CApplication application(argc, argv);
    TestCApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_capplication.moc"
