#pragma once
// What a fuzz target made of its input, in a few words ("loaded 37 x 23",
// "refused rrTruncated", ...). The replay compares it with the outcome kept
// beside each stored crash (<crash>.outcome), so that a fixed crash stays
// fixed the way it was fixed, not merely without crashing; the fuzzer itself
// ignores it.
#include <string>
#include <utility>

inline std::string& FuzzOutcome()
{
    static std::string outcome;
    return outcome;
}

inline void ReportFuzzOutcome(std::string outcome) { FuzzOutcome() = std::move(outcome); }
