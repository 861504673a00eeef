#pragma once

#include "kestrix_helper_track.h"

#include <cfloat>
#include <cstddef>
#include <cstdint>
#include <vector>

// The linking rule written the long way: full cost tables over the whole capacity, links found
// by scanning them, masking by overwriting entries. Slow, plain, and independent of the
// library's candidate grid: the library must give the same records.
class ReferenceLinker {
public:
    ReferenceLinker(int capacity, int gaps, int radius)
        : P(capacity), G(gaps), R(radius), slots(gaps + 1, Slot(capacity))
    {
    }

    std::vector<kh_track_particle> link(const std::vector<kh_track_event>& e)
    {
        const int n = static_cast<int>(e.size());
        for (int s = G; s >= 1; --s)
            slots[s] = slots[s - 1];
        Slot& cur = slots[0];
        cur = Slot(P);
        cur.count = n;
        for (int i = 0; i < n; ++i) {
            cur.x[i + 1] = static_cast<int32_t>(e[i].x);
            cur.y[i + 1] = static_cast<int32_t>(e[i].y);
            cur.m0[i + 1] = static_cast<float>(e[i].m0);
            cur.m2[i + 1] = static_cast<float>(e[i].m2);
        }
        const std::size_t side = static_cast<std::size_t>(P) + 1;
        std::vector<std::vector<float>> cost(G, std::vector<float>(side * side, FLT_MAX));
        for (int g = 1; g <= G; ++g) {
            std::vector<float>& t = cost[g - 1];
            const float cg = static_cast<float>(static_cast<double>(g) * R * R);
            for (std::size_t k = 1; k < side; ++k)
                t[k] = t[k * side] = cg;
            for (int i = 1; i <= n; ++i)
                for (int j = 1; j <= slots[g].count; ++j) {
                    const float dx = static_cast<float>(cur.x[i] - slots[g].x[j]);
                    const float dy = static_cast<float>(cur.y[i] - slots[g].y[j]);
                    const float d2 = dx * dx + dy * dy;
                    const float a = cur.m0[i] - slots[g].m0[j];
                    const float b = cur.m2[i] - slots[g].m2[j];
                    t[i * side + j] = d2 > cg ? FLT_MAX : a * a / 4294836224.0f + b * b + d2;
                }
        }
        std::vector<int> linked(side, 0);
        int linkedCount = 0;
        for (int g = 1; g <= G && linkedCount < n; ++g) {
            std::vector<float>& t = cost[g - 1];
            const Slot& old = slots[g];
            const float limit = static_cast<float>(static_cast<double>(g) * R * R);
            std::vector<char> rowTaken(side, 0), colTaken(side, 0);
            std::vector<int> partner(side, 0);
            if (old.count > 0) {
                for (int r = 1; r <= n; ++r) {
                    if (rowTaken[r])
                        continue;
                    int k = 0;
                    float best = FLT_MAX;
                    for (int c = 1; c <= old.count; ++c)
                        if (!colTaken[c] && t[r * side + c] < limit && t[r * side + c] < best) {
                            best = t[r * side + c];
                            k = c;
                        }
                    if (k == 0)
                        continue;
                    int r2 = -1;
                    best = FLT_MAX;
                    for (int q = 0; q <= n; ++q)
                        if (!rowTaken[q] && t[q * side + k] < limit && t[q * side + k] < best) {
                            best = t[q * side + k];
                            r2 = q;
                        }
                    partner[r2] = k;
                    rowTaken[r2] = 1;
                    colTaken[k] = 1;
                }
            }
            for (int i = 1; i <= n; ++i) {
                const int j = partner[i];
                if (j == 0)
                    continue;
                cur.id[i] = old.id[j];
                cur.length[i] = old.length[j] + 1;
                cur.state[i] = g == 1 ? 3 : 2;
                linked[i] = 1;
                ++linkedCount;
                if (G > 1) {
                    for (int gg = 0; gg < G; ++gg)
                        for (std::size_t c = 0; c < side; ++c)
                            cost[gg][i * side + c] = FLT_MAX;
                    for (std::size_t r = 0; r < side; ++r)
                        t[r * side + j] = FLT_MAX;
                    for (int gg = g + 1; gg <= G; ++gg)
                        for (int c = 1; c <= slots[gg].count; ++c)
                            if (slots[gg].id[c] == cur.id[i])
                                for (std::size_t r = 0; r < side; ++r)
                                    cost[gg - 1][r * side + c] = FLT_MAX;
                }
            }
        }
        std::vector<kh_track_particle> out(n);
        for (int i = 1; i <= n; ++i) {
            if (!linked[i]) {
                cur.id[i] = ++lastId;
                cur.state[i] = 1;
                cur.length[i] = 1;
            }
            kh_track_particle& p = out[i - 1];
            p = kh_track_particle{};
            p.index = e[i - 1].index;
            p.x = cur.x[i];
            p.y = cur.y[i];
            p.m0 = cur.m0[i];
            p.m2 = cur.m2[i];
            p.id = cur.id[i];
            p.state = cur.state[i] - 1;
            p.length = cur.length[i];
        }
        return out;
    }

    void reset()
    {
        for (Slot& s : slots)
            s = Slot(P);
    }

private:
    struct Slot {
        explicit Slot(int p) : x(p + 1), y(p + 1), id(p + 1), length(p + 1), state(p + 1), m0(p + 1), m2(p + 1) {}
        std::vector<int32_t> x, y, id, length, state;
        std::vector<float> m0, m2;
        int count = 0;
    };
    int P, G, R;
    std::vector<Slot> slots;
    int32_t lastId = 0;
};
