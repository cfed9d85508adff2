// Every reply the fuzzer keeps as interesting goes through every operation on
// each test run, so a fault it once found cannot come back unnoticed.

#include "ReplyChecks.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

TEST(CorpusReplay, EveryOperationKeepsItsPropertiesOnEveryCorpusReply)
{
    const QDir corpus(QStringLiteral(KORVANE_SOURCE_DIR "/fuzz/corpus"));
    const QStringList names = corpus.entryList(QDir::Files, QDir::Name);
    ASSERT_GE(names.size(), 20) << "corpus missing at " << corpus.path().toStdString();
    for (const QString& name : names) {
        QFile file(corpus.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = file.readAll();
        const std::string reply(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        EXPECT_EQ(korvane::checks::CheckReply(reply), "") << name.toStdString();
    }
}
