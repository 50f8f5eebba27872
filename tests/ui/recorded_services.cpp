#include "tests/ui/recorded_services.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

namespace infotest::testing {

void RecordedServices::Install(FormCore& form, const model::Sequence& sequence,
                               std::function<void(model::WindowView&)> readWindow) {
    readWindow_ = std::move(readWindow);
    boxes_.clear();
    exits_.clear();
    reseeds_ = touchesAfterEnd_ = 0;

    form.SetMessagePresenter([this](std::string_view prompt, std::string_view title, MessageIcon icon) {
        if (Ended()) ++touchesAfterEnd_;
        model::ShownBox box{std::string(prompt), std::string(title), icon, {}};
        readWindow_(box.windowBehind);
        boxes_.push_back(std::move(box));
        return kOkResult;
    });
    form.SetProgramEnder([this](int status) {
        if (Ended()) ++touchesAfterEnd_;
        exits_.push_back(status);
    });
    // Running out of draws is a fault of the sequence, which the model
    // reports as well.
    auto draws = std::make_shared<std::vector<double>>(sequence.draws);
    auto next = std::make_shared<std::size_t>(0);
    form.SetRandomSource(
        [draws, next] {
            if (*next >= draws->size()) throw std::logic_error("the sequence ran out of random draws");
            return (*draws)[(*next)++];
        },
        [this] { ++reseeds_; });
    // The clock near the end of its range is out of reach of ordinary use.
    form.RunForTesting().StateForTesting().ElapsedSeconds = sequence.openingSeconds;
}

void RecordedServices::Report(model::Observation& into, bool windowShown) {
    into.boxes = std::move(boxes_);
    boxes_.clear();
    into.ended = Ended() && !windowShown;
    into.exitStatus = Ended() ? exits_.front() : -1;
    into.reseeds = reseeds_;
    into.touchesAfterEnd = touchesAfterEnd_;
}

}  // namespace infotest::testing
