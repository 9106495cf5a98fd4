// The cost of one tick of the clipboard lookup over the supplied bank, with the clipboard and the
// label replaced by plain strings: what the lookup itself costs, apart from Win32.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "bank/bank.h"
#include "bank/lookup.h"

namespace {

void LookupTickOverTheBank(benchmark::State& state, const Text& clipboard) {
    TextList bank;
    LoadQuestionBank(kBankText, bank);
    Text caption;
    const LookupIo io{[&clipboard] { return clipboard; }, [&caption] { return caption; },
                      [&caption](const Text& text) { caption = text; }};
    for (auto _ : state) {
        LookupTick(bank, io);
        benchmark::DoNotOptimize(caption);
    }
    state.counters["lines shown"] = static_cast<double>(std::count(caption.begin(), caption.end(), '\n'));
}

BENCHMARK_CAPTURE(LookupTickOverTheBank, empty_clipboard_all_lines, Text());
BENCHMARK_CAPTURE(LookupTickOverTheBank, fragment_in_five_lines, Text("\xC3\xF0\xBB\xF0\xC6\xF7"));  // "灭火器"
BENCHMARK_CAPTURE(LookupTickOverTheBank, no_match, Text("xyz"));
BENCHMARK_CAPTURE(LookupTickOverTheBank, long_clipboard, Text(4000, 'x'));

}  // namespace

BENCHMARK_MAIN();
