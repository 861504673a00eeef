// The closing PAIR line of the benchmarks: ours and peer paired repetition by repetition, each
// side's median and slowest run, and the speed spread; one run reads as it always did.

#include "pairsummary.h"

#include <gtest/gtest.h>

namespace {

using Seconds = std::map<int64_t, double>;

struct PairCase {
    const char* name;
    Seconds ours, peer;
    std::string text;
};

} // namespace

TEST(PairSummary, PairsRepetitionsByIndex)
{
    const PairCase cases[] = {
        {"one run", {{0, 0.010}}, {{0, 0.030}}, "  fresh ours 10.000 ms peer 30.000 ms speed 3.000"},
        {"three runs, speeds 3, 2, 1",
         {{0, 0.010}, {1, 0.020}, {2, 0.040}},
         {{0, 0.030}, {1, 0.040}, {2, 0.040}},
         "  fresh runs 3 ours median 20.000 max 40.000 ms peer median 40.000 max 40.000 ms speed min/median/max "
         "1.000/2.000/3.000"},
        // A repetition that failed on one side leaves its twin out, slow as it was.
        {"unpaired repetition left out",
         {{0, 0.010}, {1, 0.010}, {2, 0.010}, {3, 0.099}},
         {{0, 0.020}, {1, 0.030}, {2, 0.040}},
         "  fresh runs 3 ours median 10.000 max 10.000 ms peer median 30.000 max 40.000 ms speed min/median/max "
         "2.000/3.000/4.000"},
        // Paired by index, not by order of arrival: index 1 of ours meets index 1 of the peer.
        {"even count, indexes not from 0",
         {{1, 0.010}, {2, 0.020}, {5, 0.040}, {7, 0.030}},
         {{1, 0.040}, {2, 0.040}, {5, 0.040}, {7, 0.060}},
         "  fresh runs 4 ours median 25.000 max 40.000 ms peer median 40.000 max 60.000 ms speed min/median/max "
         "1.000/2.000/4.000"},
        {"nothing on both sides", {{0, 0.010}}, {{1, 0.010}}, ""},
    };
    for (const PairCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(benchpairs::PairReporter::pairText("fresh", c.ours, c.peer), c.text);
    }
}
