// Every input the list-format fuzzer keeps goes through both readers and the
// SSLF round trip on each test run.

#include "ListFormatChecks.h"
#include "support/CorpusReplay.h"

TEST(FormatsCorpusReplay, ReadersAndRoundTripKeepTheirPropertiesOnEveryCorpusFile)
{
    korvane::test::replayCorpus(QStringLiteral("corpus-formats"), 10, korvane::checks::CheckListFormats);
}
