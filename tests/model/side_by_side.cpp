#include "tests/model/side_by_side.h"

#include <memory>
#include <stdexcept>

namespace infotest::model {

TestModel::DrawSource DrawsOf(const Sequence& sequence) {
    auto draws = std::make_shared<std::vector<double>>(sequence.draws);
    auto next = std::make_shared<std::size_t>(0);
    return [draws, next]() {
        if (*next >= draws->size()) throw std::logic_error("the sequence ran out of random draws");
        return (*draws)[(*next)++];
    };
}

SideBySideResult RunSideBySide(const Sequence& sequence, WindowUnderTest& window, ModelFault fault) {
    SideBySideResult result;
    TestModel model(DrawsOf(sequence), ModelOptions{fault, sequence.openingSeconds});
    Observation shown;
    window.Open(sequence);
    window.Observe(shown);
    auto compare = [&](std::size_t step) {
        if (Agree(model.Observed(), shown)) return true;
        result.divergence = Divergence{step, Differences(model.Observed(), shown)};
        return false;
    };
    if (compare(0)) {
        for (std::size_t i = 0; i < sequence.events.size(); ++i) {
            try {
                model.Apply(sequence.events[i]);
            } catch (const std::logic_error& error) {
                result.invalid = error.what();
                break;
            }
            window.Apply(sequence.events[i]);
            window.Observe(shown);
            ++result.steps;
            if (!compare(i + 1)) break;
        }
    }
    result.facts = model.Facts();
    return result;
}

}  // namespace infotest::model
