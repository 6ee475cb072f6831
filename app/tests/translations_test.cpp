// The translations against the code: lupdate reads app/ as it stands into
// a copy of each .ts file, and every text that holds Japanese must have a
// finished English translation there, every caption of the menus that
// koru_ja names a finished Japanese one (i18n.h has the rule).
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace {

bool japanese(const QString &t)
{
    for (QChar c : t) // kana, kanji, full-width forms
        if (c.unicode() >= 0x3000 && c.unicode() <= 0xffef)
            return true;
    return false;
}

// The window's sources, without the tests.
QStringList app_sources()
{
    QStringList files;
    QDirIterator it(KORU_SOURCE_DIR "/app", {"*.cpp", "*.h"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        if (!f.contains("/tests/"))
            files << f;
    }
    return files;
}

struct message {
    QString context, source, translation, type;
};

std::vector<message> read_ts(const QString &path)
{
    std::vector<message> out;
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    QXmlStreamReader x(&f);
    QString context;
    while (x.readNext() != QXmlStreamReader::Invalid && !x.atEnd()) {
        if (!x.isStartElement())
            continue;
        if (x.name() == u"name")
            context = x.readElementText();
        else if (x.name() == u"message")
            out.push_back({context, "", "", ""});
        else if (x.name() == u"source" && !out.empty())
            out.back().source = x.readElementText();
        else if (x.name() == u"translation" && !out.empty()) {
            out.back().type = x.attributes().value("type").toString();
            out.back().translation = x.readElementText(QXmlStreamReader::IncludeChildElements);
        }
    }
    EXPECT_FALSE(x.hasError()) << path.toStdString() << ": " << x.errorString().toStdString();
    return out;
}

} // namespace

TEST(Translations, EveryJapaneseTextHasAFinishedEnglishOne)
{
    const QStringList ts = QDir(KORU_SOURCE_DIR "/app/qt/translations").entryList({"*.ts"});
    ASSERT_TRUE(ts.contains("koru_en.ts"));
    QTemporaryDir tmp;
    for (const QString &name : ts) {
        const QString copy = tmp.filePath(name);
        ASSERT_TRUE(QFile::copy(KORU_SOURCE_DIR "/app/qt/translations/" + name, copy));
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
        QProcess lupdate;
        lupdate.start(KORU_LUPDATE, app_sources() + QStringList{"-silent", "-no-obsolete",
                                                                "-locations", "none", "-ts", copy});
        ASSERT_TRUE(lupdate.waitForFinished(120000)) << "lupdate did not run";
        ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();
        // koru_ja names the menus' new captions in Japanese, and leaves
        // KORU's own Japanese as written; the others put all of it in
        // their language
        const bool ja = name == "koru_ja.ts";
        int japanese_texts = 0;
        for (const message &m : read_ts(copy)) {
            if (japanese(m.source))
                japanese_texts++;
            if (ja ? m.context != "Menu" : !japanese(m.source))
                continue;
            EXPECT_TRUE(m.type.isEmpty() && !m.translation.isEmpty() &&
                        japanese(m.translation) == ja)
                << name.toStdString() << ", " << m.context.toStdString() << ": \""
                << m.source.toStdString() << "\" has no finished translation";
        }
        EXPECT_GE(japanese_texts, 4) << "the CONFIG dialog's captions are not marked";
    }
}
