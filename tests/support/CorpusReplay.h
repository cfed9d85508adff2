#pragma once
// Replays a fuzzer's kept inputs through its property checks on every test
// run, so a fault it once found cannot come back unnoticed.

#include <QDir>
#include <QFile>

#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace korvane::test {

// check returns "" when every property holds, else what broke.
inline void replayCorpus(const QString& folder, int atLeast,
                         const std::function<std::string(const std::string&)>& check)
{
    const QDir corpus(QStringLiteral(KORVANE_SOURCE_DIR "/fuzz/") + folder);
    const QStringList names = corpus.entryList(QDir::Files, QDir::Name);
    ASSERT_GE(names.size(), atLeast) << "corpus missing at " << corpus.path().toStdString();
    for (const QString& name : names) {
        QFile file(corpus.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = file.readAll();
        EXPECT_EQ(check(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()))), "")
            << name.toStdString();
    }
}

} // namespace korvane::test
