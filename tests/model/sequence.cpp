#include "tests/model/sequence.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <sstream>

#include "bank/question_bank.h"

namespace infotest::model {
namespace {

constexpr int kQuestions = 21;

std::uint64_t SplitMix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

// A small deterministic source of choices; the same seed gives the same
// sequence on every platform.
class Dice {
public:
    explicit Dice(std::uint64_t seed) : engine_(seed) {}

    int Below(int n) { return static_cast<int>(engine_() % static_cast<std::uint64_t>(n)); }
    int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
    double Unit() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }
    bool Chance(double p) { return Unit() < p; }
    template <typename T, std::size_t N>
    T Pick(const std::array<T, N>& values) {
        return values.at(static_cast<std::size_t>(Below(static_cast<int>(N))));
    }

private:
    std::mt19937_64 engine_;
};

int Scaled(double draw, int n) { return static_cast<int>(std::floor(draw * n)); }

// A draw r with floor(r * n) == index: inside the band, or at its lowest or
// highest representable value, where a slip in the arithmetic shows first.
double DrawInBand(Dice& dice, int index, int n) {
    const int where = dice.Below(10);
    if (where < 7) {
        const double draw = (index + 0.02 + 0.96 * dice.Unit()) / n;
        if (Scaled(draw, n) == index) return draw;
    }
    if (where < 8) {
        double low = static_cast<double>(index) / n;
        while (Scaled(low, n) < index) low = std::nextafter(low, 1.0);
        while (low > 0 && Scaled(std::nextafter(low, 0.0), n) >= index) low = std::nextafter(low, 0.0);
        return low;
    }
    double high = std::min(static_cast<double>(index + 1) / n, 1.0);
    while (high >= 1.0 || Scaled(high, n) > index) high = std::nextafter(high, 0.0);
    for (double up = std::nextafter(high, 1.0); up < 1.0 && Scaled(up, n) == index; up = std::nextafter(up, 1.0))
        high = up;
    return high;
}

struct DealtDraws {
    std::vector<double> draws;
    std::array<int, kQuestions> order{};  // the QuestionId at each position
};

// Draws that deal a random order of the questions, with questions already
// dealt drawn again now and then, then pick a random arrangement, then a few
// spare draws that the rules never read.
DealtDraws DealDraws(Dice& dice) {
    DealtDraws dealt;
    for (int i = 0; i < kQuestions; ++i) dealt.order.at(static_cast<std::size_t>(i)) = i + 1;
    for (int i = kQuestions - 1; i > 0; --i)
        std::swap(dealt.order.at(static_cast<std::size_t>(i)),
                  dealt.order.at(static_cast<std::size_t>(dice.Below(i + 1))));
    const double repeatChance = dice.Pick(std::array{0.0, 0.2, 0.5, 0.8});
    for (int i = 0; i < kQuestions; ++i) {
        while (i > 0 && dice.Chance(repeatChance)) {
            const int again = dealt.order.at(static_cast<std::size_t>(dice.Below(i)));
            dealt.draws.push_back(DrawInBand(dice, again - 1, kQuestions));
        }
        dealt.draws.push_back(DrawInBand(dice, dealt.order.at(static_cast<std::size_t>(i)) - 1, kQuestions));
    }
    dealt.draws.push_back(DrawInBand(dice, dice.Below(200), 200));
    for (int spare = 0; spare < 8; ++spare) dealt.draws.push_back(dice.Unit());
    return dealt;
}

class SequenceWriter {
public:
    SequenceWriter(Dice& dice, Sequence& sequence) : dice_(dice), sequence_(sequence) {}

    void Add(Action action, int option = 0) { sequence_.events.push_back({action, option}); }
    void Choose(int option) { Add(Action::Choose, option); }
    void Next() { Add(dice_.Chance(0.3) ? Action::NextKey : Action::NextClick); }

    void Ticks(double rate) {
        while (dice_.Chance(rate)) Add(Action::Tick);
        if (dice_.Chance(0.002)) {
            for (int i = dice_.Between(55, 65); i > 0; --i) Add(Action::Tick);
        }
    }

    // Any action at all.
    void AnyAction() {
        const auto action = static_cast<Action>(dice_.Below(8));
        Add(action, action == Action::Choose ? dice_.Between(1, 4) : 0);
    }

    // Presses that the rules refuse or ignore on a question not yet answered.
    void OutOfTurn(double rate) {
        while (dice_.Chance(rate)) {
            switch (dice_.Below(6)) {
                case 0: Add(Action::Check); break;
                case 1: Add(Action::NextClick); break;
                case 2: Add(Action::NextKey); break;
                case 3: Add(Action::Exit); break;
                case 4: Add(Action::Start); break;
                default: Add(Action::Tick); break;
            }
        }
    }

private:
    Dice& dice_;
    Sequence& sequence_;
};

// A pupil who takes the test, more or less carefully, to the end or not.
void WritePupil(Dice& dice, const std::array<int, kQuestions>& order, SequenceWriter& write) {
    const double accuracy = dice.Pick(std::array{1.0, 0.97, 0.9, 0.8, 0.65, 0.5, 0.3, 0.0});
    const double clumsiness = dice.Pick(std::array{0.0, 0.05, 0.15, 0.3});
    const double tickRate = dice.Pick(std::array{0.0, 0.1, 0.4});
    const bool toTheEnd = dice.Chance(0.6);
    const int lastPosition = toTheEnd ? kQuestions : dice.Between(1, kQuestions);

    if (dice.Chance(0.25)) {
        for (int i = dice.Between(1, 4); i > 0; --i) {
            switch (dice.Below(5)) {
                case 0: write.Add(Action::Check); break;
                case 1: write.Add(Action::NextKey); break;
                case 2: write.Choose(dice.Between(1, 4)); break;
                case 3: write.Add(Action::Tick); break;
                default: write.Add(dice.Chance(0.1) ? Action::Exit : Action::Tick); break;
            }
        }
    }
    write.Add(Action::Start);
    if (dice.Chance(0.1)) write.Add(Action::Start);

    for (int position = 1; position <= lastPosition; ++position) {
        write.OutOfTurn(clumsiness);
        write.Ticks(tickRate);
        if (dice.Chance(0.1)) {
            for (int i = dice.Between(1, 3); i > 0; --i) write.Add(Action::Check);
        }
        const int right = FindQuestion(order.at(static_cast<std::size_t>(position - 1)))->CorrectOption;
        const int answer = dice.Chance(accuracy) ? right : (right + dice.Between(0, 2)) % 4 + 1;
        if (dice.Chance(0.2)) write.Choose(dice.Between(1, 4));
        write.Choose(answer);
        if (dice.Chance(0.05)) write.Next();  // forgot to check
        const bool lastStop = position == lastPosition && !toTheEnd;
        if (lastStop && dice.Chance(0.3)) break;  // leaves with the question open
        write.Add(Action::Check);
        if (dice.Chance(0.15)) {  // second thoughts after the check count for nothing
            write.Choose(dice.Between(1, 4));
            write.Add(Action::Check);
        }
        if (dice.Chance(0.1)) write.Add(Action::Check);
        write.Ticks(tickRate);
        if (position < kQuestions) {
            if (lastStop) break;
            write.Next();
            if (dice.Chance(0.05)) write.Next();
        } else {
            // The Next button is out of the mouse's reach now, not the keyboard's.
            while (dice.Chance(0.6)) write.Add(dice.Chance(0.8) ? Action::NextKey : Action::NextClick);
        }
    }

    // Leaving.
    switch (dice.Below(toTheEnd ? 2 : 4)) {
        case 0:
            write.Add(Action::Exit);
            write.OutOfTurn(clumsiness);
            write.Ticks(tickRate);
            if (dice.Chance(0.2)) write.Choose(dice.Between(1, 4));
            write.Add(Action::Exit);
            break;
        case 1:
            write.Add(Action::Exit);
            write.Ticks(tickRate);
            if (dice.Chance(0.5)) write.Add(Action::Close);
            break;
        case 2: write.Add(Action::Close); break;
        default: break;
    }
    // Whatever comes after the end changes nothing.
    if (dice.Chance(0.3)) {
        for (int i = dice.Between(1, 5); i > 0; --i) write.AnyAction();
    }
}

}  // namespace

std::uint64_t SequenceSeed(std::uint64_t runSeed, std::uint64_t index) { return SplitMix(runSeed ^ SplitMix(index)); }

std::uint64_t RunSeed() {
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)  // getenv: read once, never kept
#endif
    const char* fixed = std::getenv("INFOTEST_SEQUENCE_SEED");
    if (fixed != nullptr && *fixed != '\0') return std::strtoull(fixed, nullptr, 0);
    std::random_device device;
    const auto now = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    return SplitMix((static_cast<std::uint64_t>(device()) << 32U) ^ device() ^ now);
}

Sequence GenerateSequence(std::uint64_t seed) {
    Dice dice(seed);
    Sequence sequence;
    const DealtDraws dealt = DealDraws(dice);
    sequence.draws = dealt.draws;
    SequenceWriter write(dice, sequence);
    const int kind = dice.Below(100);
    if (kind < 8) {
        for (int i = dice.Between(1, 80); i > 0; --i) write.AnyAction();
    } else if (kind < 11) {
        // The clock a few seconds before the end of its range.
        sequence.openingSeconds = std::numeric_limits<std::int32_t>::max() - dice.Below(4);
        for (int i = dice.Between(1, 12); i > 0; --i) {
            if (dice.Chance(0.5)) write.Add(Action::Tick);
            else write.AnyAction();
        }
    } else {
        WritePupil(dice, dealt.order, write);
    }
    return sequence;
}

Sequence Shrink(Sequence failing, const std::function<bool(const Sequence&)>& fails, int maxTrials) {
    int trials = 0;
    auto tryCandidate = [&](const Sequence& candidate) {
        if (trials >= maxTrials) return false;
        ++trials;
        return fails(candidate);
    };
    std::size_t chunk = std::max<std::size_t>(1, failing.events.size() / 2);
    while (!failing.events.empty()) {
        bool removed = false;
        for (std::size_t start = 0; start < failing.events.size();) {
            Sequence candidate = failing;
            const auto first = candidate.events.begin() + static_cast<std::ptrdiff_t>(start);
            const std::size_t count = std::min(chunk, candidate.events.size() - start);
            candidate.events.erase(first, first + static_cast<std::ptrdiff_t>(count));
            if (tryCandidate(candidate)) {
                failing = std::move(candidate);
                removed = true;
            } else {
                start += chunk;
            }
        }
        if (trials >= maxTrials) break;
        if (!removed) {
            if (chunk == 1) break;
            chunk /= 2;
        }
    }
    // Draws that nothing reads only lengthen the report.
    while (!failing.draws.empty()) {
        Sequence candidate = failing;
        candidate.draws.pop_back();
        if (!tryCandidate(candidate)) break;
        failing = std::move(candidate);
    }
    if (failing.openingSeconds != 0) {
        Sequence candidate = failing;
        candidate.openingSeconds = 0;
        if (tryCandidate(candidate)) failing = std::move(candidate);
    }
    return failing;
}

std::string Describe(const Sequence& sequence) {
    std::ostringstream out;
    out << "clock opens at " << sequence.openingSeconds << " s\n";
    out << "draws (" << sequence.draws.size() << "):";
    for (double draw : sequence.draws) {
        std::array<char, 32> text{};
        std::snprintf(text.data(), text.size(), " %.17g", draw);
        out << text.data();
    }
    out << "\nactions (" << sequence.events.size() << "):";
    for (std::size_t i = 0; i < sequence.events.size(); ++i)
        out << (i % 10 == 0 ? "\n  " : ", ") << i + 1 << ". " << Describe(sequence.events[i]);
    out << '\n';
    return out.str();
}

}  // namespace infotest::model
