// Every input the master-list fuzzer keeps goes through every parser on each test run.

#include "MasterChecks.h"
#include "support/CorpusReplay.h"

TEST(MasterCorpusReplay, EveryParserKeepsItsPropertiesOnEveryCorpusInput)
{
    korvane::test::replayCorpus(QStringLiteral("corpus-master"), 20, korvane::checks::CheckMaster);
}
