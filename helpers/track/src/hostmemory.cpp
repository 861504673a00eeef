#include "hostmemory.h"

#include "kh/exception.h"

#include <cstdio>
#include <cstring>

#include <sys/resource.h>
#include <unistd.h>

namespace kh {

namespace {

// One "Name: value kB" line of /proc/meminfo, in bytes; 0 when missing.
std::size_t memInfoBytes(const char* name)
{
    FILE* f = std::fopen("/proc/meminfo", "r");
    if (!f)
        return 0;
    char line[256];
    std::size_t bytes = 0;
    const std::size_t n = std::strlen(name);
    while (std::fgets(line, sizeof line, f)) {
        unsigned long long kb = 0;
        if (std::strncmp(line, name, n) == 0 && line[n] == ':' && std::sscanf(line + n + 1, "%llu", &kb) == 1) {
            bytes = saturatingMul(static_cast<std::size_t>(kb), 1024);
            break;
        }
    }
    std::fclose(f);
    return bytes;
}

// Pages the process already has: address space and data (from /proc/self/statm), in bytes.
void usedBytes(std::size_t& addressSpace, std::size_t& data)
{
    addressSpace = data = 0;
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f)
        return;
    unsigned long long size = 0, resident = 0, shared = 0, text = 0, lib = 0, dataPages = 0;
    if (std::fscanf(f, "%llu %llu %llu %llu %llu %llu", &size, &resident, &shared, &text, &lib, &dataPages) == 6) {
        const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        addressSpace = saturatingMul(size, page);
        data = saturatingMul(dataPages, page);
    }
    std::fclose(f);
}

// What is left under a soft resource limit, or SIZE_MAX without one.
std::size_t underLimit(int resource, std::size_t used)
{
    rlimit limit{};
    if (getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return SIZE_MAX;
    const std::size_t cap = static_cast<std::size_t>(limit.rlim_cur);
    return cap > used ? cap - used : 0;
}

}  // namespace

std::size_t saturatingMul(std::size_t a, std::size_t b)
{
    std::size_t r = 0;
    return __builtin_mul_overflow(a, b, &r) ? SIZE_MAX : r;
}

std::size_t saturatingAdd(std::size_t a, std::size_t b)
{
    std::size_t r = 0;
    return __builtin_add_overflow(a, b, &r) ? SIZE_MAX : r;
}

std::size_t hostMemoryBudget()
{
    // Every buffer is filled at set-up, so only memory that can really be had counts: what the
    // kernel reports available (physical memory when it does not), plus free swap.
    std::size_t available = memInfoBytes("MemAvailable");
    if (available == 0) {
        const long pages = sysconf(_SC_PHYS_PAGES), page = sysconf(_SC_PAGESIZE);
        if (pages > 0 && page > 0)
            available = saturatingMul(static_cast<std::size_t>(pages), static_cast<std::size_t>(page));
    }
    available = saturatingAdd(available, memInfoBytes("SwapFree"));
    std::size_t addressSpace = 0, data = 0;
    usedBytes(addressSpace, data);
    std::size_t budget = available == 0 ? SIZE_MAX : available;
    const std::size_t limits[] = {underLimit(RLIMIT_AS, addressSpace), underLimit(RLIMIT_DATA, data)};
    for (std::size_t l : limits)
        budget = l < budget ? l : budget;
    return budget;
}

void checkHostMemory(std::size_t bytes, std::size_t budget)
{
    if (bytes > budget)
        throw ExceptionOutOfMemory("Insufficient system resources");
}

}  // namespace kh
