// Edge coverage for libFuzzer from g++'s -fsanitize-coverage=trace-pc,trace-cmp.
//
// g++ calls __sanitizer_cov_trace_pc() at the start of every basic block, with no
// per-site state. libFuzzer counts coverage in tables of 8-bit counters, one program
// counter per counter. This file keeps one such table: the first time a block runs, its
// return address gets its own slot (open addressing on a hash of the address), and from
// then on each run of the block bumps that slot's counter. The table is registered with
// libFuzzer before it starts, so its counters become coverage features exactly as those of
// clang's inline counters would, and the addresses name the covered code.
//
// libFuzzer's own __sanitizer_cov_trace_pc only refuses to run; the build links a copy of
// the libFuzzer archive in which that symbol is weak, so the definition here wins. The
// compare callbacks (trace_cmp*, trace_switch) are libFuzzer's; g++ also traces floating
// point compares, which libFuzzer has no use for.
#include <cstddef>
#include <cstdint>
#include <cstdio>

extern "C" {
void __sanitizer_cov_8bit_counters_init(std::uint8_t* begin, std::uint8_t* end);
void __sanitizer_cov_pcs_init(const std::uintptr_t* begin, const std::uintptr_t* end);
}

namespace {

// libFuzzer clears and scans the whole table on every execution, so its size costs speed
// (a trivial target runs at about 22,000 executions a second with 2^16 slots, 3,300 with
// 2^19). 2^16 is a few times the blocks a target reaches, so that probes stay short; the
// "cov:" figure libFuzzer prints is the number of slots in use.
constexpr unsigned slotBits = 16;
constexpr std::size_t slotCount = std::size_t{1} << slotBits;
constexpr std::size_t maxProbes = 64;

// libFuzzer's layout of a PC table entry: the address and flags (bit 0: function entry,
// which trace-pc cannot tell).
struct PcEntry {
    std::uintptr_t pc;
    std::uintptr_t flags;
};

alignas(4096) std::uint8_t counters[slotCount];
alignas(4096) PcEntry pcs[slotCount];
bool tableFull = false;

__attribute__((constructor)) void RegisterTables()
{
    __sanitizer_cov_8bit_counters_init(counters, counters + slotCount);
    __sanitizer_cov_pcs_init(reinterpret_cast<const std::uintptr_t*>(pcs),
                             reinterpret_cast<const std::uintptr_t*>(pcs + slotCount));
}

} // namespace

extern "C" __attribute__((no_sanitize_coverage, no_sanitize_address)) void __sanitizer_cov_trace_pc()
{
    const auto pc = reinterpret_cast<std::uintptr_t>(__builtin_return_address(0));
    std::size_t slot = static_cast<std::size_t>((pc * 0x9E3779B97F4A7C15ull) >> (64 - slotBits));
    for (std::size_t probe = 0; probe < maxProbes; ++probe) {
        PcEntry& entry = pcs[slot];
        if (entry.pc == pc) {
            ++counters[slot];
            return;
        }
        if (entry.pc == 0) {
            entry.pc = pc;
            ++counters[slot];
            return;
        }
        slot = (slot + 1) & (slotCount - 1);
    }
    // A crowded neighbourhood: the block goes uncounted rather than sharing a slot.
    if (!tableFull) {
        tableFull = true;
        std::fprintf(stderr, "CoverageCounters: no free slot near %#zx; some blocks go uncounted\n",
                     static_cast<std::size_t>(pc));
    }
}

extern "C" __attribute__((no_sanitize_coverage)) void __sanitizer_cov_trace_cmpf(float, float) {}
extern "C" __attribute__((no_sanitize_coverage)) void __sanitizer_cov_trace_cmpd(double, double) {}
