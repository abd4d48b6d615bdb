// The one save path every writer uses: a failed write of any kind keeps the
// earlier file byte for byte, leaves no temporary file and never ends the
// process, not even past a file-size limit.
#include "Main/core/AtomicSave.h"
#include "helpers/FailingWrite.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray Bytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

} // namespace

class TestAtomicSave : public QObject {
    Q_OBJECT

private slots:
    void failedSavesKeepTheEarlierFile_data()
    {
        QTest::addColumn<QString>("target");   // inside a fresh folder
        QTest::addColumn<QString>("prepare");  // what stands there before
        QTest::addColumn<int>("sizeLimit");    // 0: none; else writes fail (see WhileWritesFail)
        QTest::addColumn<bool>("saved");
        QTest::newRow("missing folder") << "nincs/meres.ini" << "" << 0 << false;
        QTest::newRow("folder as target") << "mappa.ini" << "folder" << 0 << false;
        QTest::newRow("write-protected file") << "vedett.ini" << "read-only" << 0 << false;
#ifdef Q_OS_WIN
        QTest::newRow("held open by another program") << "meres.ini" << "file" << 4096 << false;
#else
        QTest::newRow("size limit half-way") << "meres.ini" << "file" << 4096 << false;
#endif
        QTest::newRow("new file") << "uj.ini" << "" << 0 << true;
        QTest::newRow("replaces a file") << "meres.ini" << "file" << 0 << true;
        // The longest names the file system accepts can be created and replaced alike.
        const QString longest = QString(251, QLatin1Char('m')) + QStringLiteral(".ini");   // 255 bytes
        QTest::newRow("new 255-byte name") << longest << "" << 0 << true;
        QTest::newRow("replaces a 255-byte name") << longest << "file" << 0 << true;
        QTest::newRow("replaces a 249-byte name") << QString(245, QLatin1Char('m')) + QStringLiteral(".ini") << "file"
                                                  << 0 << true;
    }
    void failedSavesKeepTheEarlierFile()
    {
        QFETCH(QString, target);
        QFETCH(QString, prepare);
        QFETCH(int, sizeLimit);
        QFETCH(bool, saved);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(target);
        const QByteArray earlier = "[User]\r\nName=korábbi\r\n";
        if (prepare == "folder") {
            QVERIFY(QDir().mkdir(path));
        } else if (!prepare.isEmpty()) {
            Write(path, earlier);
            if (prepare == "read-only")
                QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        }
        const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        const QByteArray content(3 * 4096 + 123, 'x');   // larger than the limit
        const std::string name = path.toStdString();
        std::string message;
        const auto save = [&] {
            const Status r = SaveFileAtomically(name, std::string_view(content.constData(), content.size()));
            message = r.Message();
            return r.Ok();
        };
        const bool ok = sizeLimit > 0 ? WhileWritesFail(path, sizeLimit, save) : save();
        // A failure names the file in the words the user is shown.
        QCOMPARE(message, ok ? std::string() : "Unable to write to " + name);

        QCOMPARE(ok, saved);
        const QStringList after = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        if (saved) {
            QCOMPARE(Bytes(path), content);
            QCOMPARE(after.size(), before.size() + (prepare.isEmpty() ? 1 : 0));
            return;
        }
        QCOMPARE(after, before);   // no temporary file, nothing new
        if (prepare == "file" || prepare == "read-only")
            QCOMPARE(Bytes(path), earlier);
        QCOMPARE(QFileInfo(path).isDir(), prepare == "folder");
    }
};

QTEST_GUILESS_MAIN(TestAtomicSave)
#include "test_atomic_save.moc"
