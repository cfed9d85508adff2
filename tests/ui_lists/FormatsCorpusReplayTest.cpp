// Every input the list-format fuzzer keeps goes through both readers and the
// SSLF round trip on each test run, so a fault it once found cannot come back.

#include "../../fuzz/ListFormatChecks.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

TEST(FormatsCorpusReplay, ReadersAndRoundTripKeepTheirPropertiesOnEveryCorpusFile)
{
    const QDir corpus(QStringLiteral(KORVANE_SOURCE_DIR "/fuzz/corpus-formats"));
    const QStringList names = corpus.entryList(QDir::Files, QDir::Name);
    ASSERT_GE(names.size(), 10) << "corpus missing at " << corpus.path().toStdString();
    for (const QString& name : names) {
        QFile file(corpus.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = file.readAll();
        EXPECT_EQ(korvane::checks::CheckListFormats(
                      std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()))),
                  "")
            << name.toStdString();
    }
}
