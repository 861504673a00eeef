// The closing PAIR line of the benchmarks: ours and peer paired repetition by repetition, each
// side's median and slowest run, and the speed spread; one run reads as it always did.

#include "pairsummary.h"

#include <gtest/gtest.h>

#include <sstream>

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

// What the reporter is handed after a case with repetitions: each side's timed runs, its
// aggregate rows (mean, coefficient of variation...), a failed run, and a case with no twin.
// Only the timed runs count; the aggregates once made a ratio of 10 out of two equal times.
TEST(PairSummary, CountsOnlyTheTimedRunsOfEachSide)
{
    using Run = benchmark::BenchmarkReporter::Run;
    auto run = [](const char* function, int64_t repetition, double ms) {
        Run r;
        r.run_name.function_name = function;
        r.run_name.args = "a:1";
        r.run_name.repetitions = "repeats:3";
        r.run_name.time_type = "real_time";
        r.repetition_index = repetition;
        r.repetitions = 3;
        r.iterations = 1;
        r.real_accumulated_time = ms / 1e3;
        r.cpu_accumulated_time = ms / 1e3;
        r.time_unit = benchmark::kMillisecond;
        return r;
    };
    auto aggregate = [&](const char* function, const char* name, double value) {
        Run r = run(function, Run::no_repetition_index, value);
        r.run_type = Run::RT_Aggregate;
        r.aggregate_name = name;
        return r;
    };
    std::vector<Run> ours = {run("case_ours", 0, 10), run("case_ours", 1, 20), run("case_ours", 2, 40),
                             aggregate("case_ours", "mean", 23.3), aggregate("case_ours", "cv", 0.9)};
    std::vector<Run> peer = {run("case_peer", 0, 30), run("case_peer", 1, 40), run("case_peer", 2, 40),
                             aggregate("case_peer", "mean", 36.7), aggregate("case_peer", "cv", 0.01)};
    Run failed = run("case_peer", 3, 1);
    failed.error_occurred = true;
    peer.push_back(failed);
    const std::vector<Run> lone = {run("other", 0, 5)};

    std::ostringstream console;
    benchpairs::PairReporter reporter;
    reporter.SetOutputStream(&console);
    reporter.SetErrorStream(&console);
    ::testing::internal::CaptureStdout();
    reporter.ReportRuns(ours);
    reporter.ReportRuns(peer);
    reporter.ReportRuns(lone);
    reporter.Finalize();
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("PAIR case/a:1   runs 3 ours median 20.000 max 40.000 ms peer median 40.000 max 40.000 ms "
                       "speed min/median/max 1.000/2.000/3.000\n"),
              std::string::npos)
        << out;
    size_t lines = 0;
    for (size_t at = out.find("PAIR "); at != std::string::npos; at = out.find("PAIR ", at + 1))
        ++lines;
    EXPECT_EQ(lines, 1u) << out; // no line of the aggregates, none for the case without a twin
}
