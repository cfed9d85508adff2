// Every reply the fuzzer keeps goes through every operation on each test run.

#include "support/CorpusReplay.h"
#include "ReplyChecks.h"

TEST(CorpusReplay, EveryOperationKeepsItsPropertiesOnEveryCorpusReply)
{
    korvane::test::replayCorpus(QStringLiteral("corpus"), 20, korvane::checks::CheckReplyAndPrepared);
}
