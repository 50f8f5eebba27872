#include "run/controls.h"

#include <array>

namespace infotest {

std::string_view ControlName(Control control) {
    // clang-format off
    static constexpr std::array<std::string_view, kControlCount> kNames{
        "Form1",    "Timer1",   "Picture1", "Frame1",   "Command1", "Command2", "Command3",
        "Command4", "Option1",  "Option2",  "Option3",  "Option4",  "Label1",   "Label2",
        "Label3",   "Label4",   "Label5",   "Label6",   "Label7",   "Label8",   "Label9",
        "Label10",  "Label11",  "Label12",  "Label13",  "Label14",  "Label15",
    };
    // clang-format on
    const auto index = static_cast<std::size_t>(control);
    return index < kNames.size() ? kNames[index] : std::string_view("?");
}

}  // namespace infotest
