#include "tests/ui/qt/form1_fixture.h"

#include <map>

#include <QCoreApplication>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTimerEvent>

namespace infotest::testing {

void Form1Test::SetUp() {
    form = std::make_unique<qt::Form1>();
    form->SetClockSource([this] { return clockMs; });
    form->SetMessagePresenter([this](std::string_view prompt, std::string_view title, MessageIcon icon) {
        boxes.push_back({std::string(prompt), std::string(title), icon, {}});
        return 1;
    });
    form->SetProgramEnder([this](int status) { exits.push_back(status); });
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
}

void Form1Test::TearDown() { form.reset(); }

void Form1Test::StallClock(int seconds) {
    clockMs += seconds * kTimer1IntervalMs;
    auto* timer = form->findChild<QTimer*>(QStringLiteral("Timer1"));
    ASSERT_TRUE(timer != nullptr && timer->isActive());
    QTimerEvent wake(timer->timerId());
    QCoreApplication::sendEvent(timer, &wake);
}

QWidget* Form1Test::Find(Control control) const {
    return form->findChild<QWidget*>(
        QString::fromUtf8(ControlName(control).data(), static_cast<qsizetype>(ControlName(control).size())));
}

void Form1Test::Click(Control control) {
    QWidget* widget = Find(control);
    ASSERT_NE(widget, nullptr);
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

std::vector<int> Form1Test::SelectedOptions() const {
    std::vector<int> selected;
    for (int n = 1; n <= 4; ++n) {
        if (Find<QRadioButton>(OptionControl(n))->isChecked()) selected.push_back(n);
    }
    return selected;
}

QColor Bgr(std::uint32_t bgr) {
    return {static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF), static_cast<int>((bgr >> 16) & 0xFF)};
}

QColor MostCommonColour(const QImage& image) {
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) ++counts[image.pixel(x, y) | 0xFF000000u];
    }
    QRgb best = 0;
    int bestCount = -1;
    for (const auto& [rgb, count] : counts) {
        if (count > bestCount) {
            best = rgb;
            bestCount = count;
        }
    }
    return QColor::fromRgb(best);
}

std::string Name(Control control) { return std::string(ControlName(control)); }

}  // namespace infotest::testing
