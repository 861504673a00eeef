#pragma once
// Shared by the helper-library benchmarks: the console output plus one closing line per pair
// (<case>_ours and <case>_peer with the same arguments), giving the speed of ours against the
// peer as peer time / ours time (above 1: ours is faster). A "fresh:1" argument marks the
// headline figure with frames that are not in cache; its "fresh:0" (warm) twin goes on the same
// line.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
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

// Copies of a frame set needed so that cycling through them touches more than the last-level
// cache (half as much again, so no replacement policy can keep a copy between two visits).
inline std::size_t freshCopies(std::size_t bytesPerCopy)
{
    const std::size_t want = lastLevelCacheBytes() * 3 / 2;
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
            m_seconds[p.key + "|" + p.side + "|" + p.fresh] = r.GetAdjustedRealTime() * unitSeconds(r.time_unit);
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
            bool any = false;
            for (const char* fresh : {"fresh", "warm", ""}) {
                const std::string ours = key + "|ours|" + fresh, peer = key + "|peer|" + fresh;
                if (!m_seconds.count(ours) || !m_seconds.count(peer))
                    continue;
                char part[160];
                std::snprintf(part, sizeof part, "  %s ours %.3f ms peer %.3f ms speed %.3f", fresh,
                              m_seconds[ours] * 1e3, m_seconds[peer] * 1e3, m_seconds[peer] / m_seconds[ours]);
                line += part;
                any = true;
            }
            if (any)
                std::printf("%s\n", line.c_str());
        }
        std::fflush(stdout);
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
        const std::size_t minTime = args.find("/min_time:");
        if (minTime != std::string::npos)
            args.erase(minTime, args.find('/', minTime + 1) - minTime);
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

    std::map<std::string, double> m_seconds;
    std::vector<std::string> m_order;
};

} // namespace benchpairs
