// Every input the data-file fuzzer keeps goes through the settings, list,
// password and watch-list readers and the output escaping on each test run.

#include "DataFileChecks.h"
#include "support/CorpusReplay.h"
#include "support/DataFolder.h"

TEST(DataFilesCorpusReplay, ReadersAndEscapingKeepTheirPropertiesOnEveryCorpusFile)
{
    korvane::test::DataFolder folder;
    korvane::test::replayCorpus(QStringLiteral("corpus-data"), 5, korvane::checks::CheckDataFiles);
}
