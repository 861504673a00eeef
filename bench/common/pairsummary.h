#pragma once
// Shared by the helper-library benchmarks: the console output plus one closing line per pair
// (<case>_ours and <case>_peer with the same arguments), giving the speed of ours against the
// peer as peer time / ours time (above 1: ours is faster). A "fresh:1" argument marks the
// headline figure with frames that are not in cache; its "fresh:0" (warm) twin goes on the same
// line. A case run with repetitions keeps every repetition: ours and peer are paired by
// repetition index, and the line gives each side's median and slowest run and the speed as
// min/median/max over the pairs.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace benchpairs {

// Size of the largest cache level: sysfs first, then sysconf, then a generous guess.
inline std::size_t lastLevelCacheBytes()
{
    std::size_t best = 0;
    int bestLevel = 0;
    for (int i = 0; i < 8; ++i) {
        const std::string dir = "/sys/devices/system/cpu/cpu0/cache/index" + std::to_string(i) + "/";
        std::ifstream level(dir + "level"), size(dir + "size");
        int l = 0;
        std::string s;
        if (!(level >> l) || !(size >> s) || s.empty())
            continue;
        std::size_t bytes = std::strtoull(s.c_str(), nullptr, 10);
        if (s.back() == 'K')
            bytes <<= 10;
        else if (s.back() == 'M')
            bytes <<= 20;
        if (l > bestLevel || (l == bestLevel && bytes > best)) {
            bestLevel = l;
            best = bytes;
        }
    }
    if (best)
        return best;
#if defined(_SC_LEVEL3_CACHE_SIZE)
    for (int name : {_SC_LEVEL3_CACHE_SIZE, _SC_LEVEL2_CACHE_SIZE}) {
        const long v = sysconf(name);
        if (v > 0)
            return std::size_t(v);
    }
#endif
    return std::size_t(64) << 20;
}

// Copies of a frame set needed so that cycling through them touches more than twice the
// last-level cache plus every core's second level (a victim L3 holds lines apart from the L2s),
// so no replacement policy can keep a copy between two visits.
inline std::size_t freshCopies(std::size_t bytesPerCopy)
{
    std::size_t l2 = 0;
#if defined(_SC_LEVEL2_CACHE_SIZE)
    l2 = std::size_t(std::max(sysconf(_SC_LEVEL2_CACHE_SIZE), 0L));
#endif
    const long cores = std::max(sysconf(_SC_NPROCESSORS_ONLN), 1L);
    const std::size_t want = 2 * lastLevelCacheBytes() + l2 * std::size_t(cores) + (std::size_t(1) << 20);
    const std::size_t n = (want + bytesPerCopy - 1) / std::max<std::size_t>(bytesPerCopy, 1);
    return std::max<std::size_t>(n, 2);
}

// Stops the whole run: a pair whose outputs differ measures nothing worth reading.
[[noreturn]] inline void abortRun(const std::string& what)
{
    std::fprintf(stderr, "\n*** benchmark aborted: %s ***\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

class PairReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.error_occurred || r.run_type != Run::RT_Iteration)
                continue;
            const Parsed p = parse(r.benchmark_name());
            if (p.key.empty())
                continue;
            const int64_t repetition = std::max<int64_t>(r.repetition_index, 0);
            m_seconds[p.key + "|" + p.side + "|" + p.fresh][repetition] =
                r.GetAdjustedRealTime() * unitSeconds(r.time_unit);
            m_order.push_back(p.key);
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\nPairs: speed = peer time / ours time (above 1: ours is faster)\n");
        std::map<std::string, bool> done;
        for (const std::string& key : m_order) {
            if (done[key])
                continue;
            done[key] = true;
            std::string line = "PAIR " + key;
            for (const char* fresh : {"fresh", "warm", ""})
                line += pairText(fresh, m_seconds[key + "|ours|" + fresh], m_seconds[key + "|peer|" + fresh]);
            if (line.size() > 5 + key.size())
                std::printf("%s\n", line.c_str());
        }
        std::fflush(stdout);
    }

    // The median of values (the mean of the middle two for an even count); values is reordered.
    static double median(std::vector<double>& values)
    {
        if (values.empty())
            return 0;
        const std::size_t mid = values.size() / 2;
        std::nth_element(values.begin(), values.begin() + mid, values.end());
        const double upper = values[mid];
        if (values.size() % 2)
            return upper;
        return (*std::max_element(values.begin(), values.begin() + mid) + upper) / 2;
    }

    // One group of a PAIR line from the seconds of each repetition, paired by index: empty when
    // no repetition ran on both sides; a single pair reads as before repetitions existed.
    static std::string pairText(const std::string& tag, const std::map<int64_t, double>& ours,
                                const std::map<int64_t, double>& peer)
    {
        std::vector<double> oursMs, peerMs, speed;
        for (const auto& [repetition, seconds] : ours) {
            const auto other = peer.find(repetition);
            if (other == peer.end())
                continue;
            oursMs.push_back(seconds * 1e3);
            peerMs.push_back(other->second * 1e3);
            speed.push_back(other->second / seconds);
        }
        char part[320];
        if (oursMs.empty())
            return std::string();
        if (oursMs.size() == 1) {
            std::snprintf(part, sizeof part, "  %s ours %.3f ms peer %.3f ms speed %.3f", tag.c_str(), oursMs[0],
                          peerMs[0], speed[0]);
            return part;
        }
        const double oursMax = *std::max_element(oursMs.begin(), oursMs.end());
        const double peerMax = *std::max_element(peerMs.begin(), peerMs.end());
        const auto [slow, fast] = std::minmax_element(speed.begin(), speed.end());
        const double speedMin = *slow, speedMax = *fast;
        std::snprintf(part, sizeof part,
                      "  %s runs %zu ours median %.3f max %.3f ms peer median %.3f max %.3f ms speed min/median/max "
                      "%.3f/%.3f/%.3f",
                      tag.c_str(), oursMs.size(), median(oursMs), oursMax, median(peerMs), peerMax, speedMin,
                      median(speed), speedMax);
        return part;
    }

private:
    struct Parsed {
        std::string key, side, fresh;
    };

    static double unitSeconds(benchmark::TimeUnit u)
    {
        switch (u) {
        case benchmark::kNanosecond: return 1e-9;
        case benchmark::kMicrosecond: return 1e-6;
        case benchmark::kMillisecond: return 1e-3;
        default: return 1.0;
        }
    }

    // "<case>_ours/a:1/fresh:1/real_time" -> key "<case>/a:1", side "ours", fresh "fresh";
    // an empty key when the name is not one side of a pair.
    static Parsed parse(const std::string& name)
    {
        Parsed p;
        const std::size_t slash = name.find('/');
        std::string head = name.substr(0, slash);
        std::string args = slash == std::string::npos ? "" : name.substr(slash);
        for (const char* side : {"_ours", "_peer"}) {
            const std::size_t n = std::char_traits<char>::length(side);
            if (head.size() > n && head.compare(head.size() - n, n, side) == 0) {
                head.resize(head.size() - n);
                p.side = side + 1;
            }
        }
        if (p.side.empty())
            return p;
        const struct {
            const char* text;
            const char* tag;
        } drops[] = {{"/fresh:1", "fresh"}, {"/fresh:0", "warm"}, {"/real_time", ""}};
        // the run's settings are not part of what is compared
        for (const char* setting : {"/min_time:", "/iterations:", "/repeats:"}) {
            const std::size_t at = args.find(setting);
            if (at != std::string::npos)
                args.erase(at, args.find('/', at + 1) - at);
        }
        for (const auto& d : drops) {
            const std::size_t at = args.find(d.text);
            if (at == std::string::npos)
                continue;
            args.erase(at, std::char_traits<char>::length(d.text));
            if (*d.tag)
                p.fresh = d.tag;
        }
        p.key = head + args;
        return p;
    }

    // "<key>|<side>|<fresh>" -> seconds by repetition index
    std::map<std::string, std::map<int64_t, double>> m_seconds;
    std::vector<std::string> m_order;
};

} // namespace benchpairs
